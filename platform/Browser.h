// The game in a browser page: the game's loop blocks, the page must not. While
// the game sleeps or has nothing to do, and after every flip, the page gets its
// turn (Emscripten's ASYNCIFY unwinds the game's stack and resumes it later),
// so that the page shows each frame and an idle game costs next to nothing.
// Only the web build has this file.
#pragma once

#include <cstdint>

// Sleeps without holding up the page; 0 just lets the page show a frame.
void SleepInBrowser(uint32_t milliseconds);
// For a game with nothing to do: waits for the browser's next frame, so that
// an idle game makes one pass per frame the browser shows.
void WaitForBrowserFrame();

// The page's read-only package of pictures and music. The page's script makes
// the game's working directory a folder of the browser's persistent storage
// before the game starts; reads of files missing there look here.
constexpr const char* kBrowserDataRoot = "/ortelanka-data/";
