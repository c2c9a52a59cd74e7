// SIGINT, SIGTERM and SIGHUP end the game as closing its window does: the
// handler only notes the signal, and the message queue turns it into the
// window's destruction.
#pragma once

// A signal the game was started ignoring (nohup, a shell's background job)
// stays ignored.
void CatchQuitSignals();
bool QuitSignalCaught();
