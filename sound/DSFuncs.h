// A WAV file as a filled, static sound buffer.
#pragma once

#include "platform/Sound.h"

// Null when the file cannot be loaded or the buffer cannot be made.
SoundBuffer* LPDSB_LoadFromFile(SoundDevice* ds, const char* fileName, unsigned long flags);
void LPDSB_Release(SoundBuffer** buffer);
