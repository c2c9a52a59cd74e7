// Where the game's files are: the game folder when it is portable; installed,
// the read-only data folder for the pictures and music and the user's own
// folders for everything the game writes and for its settings.
#pragma once

#include <string>

// Decides once, at start and before any file is opened, where the files are:
// a writable game folder with data/ beside the executable is used as it is
// (portable); an installed game reads its pictures and music from the
// installed data folder and writes everything to the user's data folder.
// False when no usable folder can be had.
bool SetUpGameFolders();

// The folder of the settings file, empty or ending in '/'.
std::string SettingsFolder();

// The game's relative name as it is to be opened in that mode: the installed
// copy of a file the user's folder lacks when it is only to be read.
std::string GameFilePath(const char* name, const char* mode);
