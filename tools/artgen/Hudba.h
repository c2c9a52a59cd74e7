// The background music: a gentle folk-like tune over chords, composed and
// synthesised here, that loops without a seam.
#pragma once

#include <string>

bool ZahrajHudbu(const std::string& path);
