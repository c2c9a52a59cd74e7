// The port's own screen for online play, in the notes' style over the game's
// board, never over the original's screens: F2 on the board opens it; H
// hosts a new game and shows its code and its link (on the clipboard too);
// P joins by the link on the clipboard or by a link or code typed in; K
// plays anyone (a quick match, with a name for the list if one is typed);
// S shows the list of open games, the keys 1 to 9 joining or watching one;
// Esc closes it. While it is open, the game's own screens see no input.
#pragma once

#include <string>

bool OnlineScreenOpen();
// Opens the screen on its first page, or on the game hosted now.
void OpenOnlineScreen();
// Hosts a new game and opens the screen on it, or on why it cannot be.
void OpenOnlineScreenToHost();
// Opens the screen where a link or code is typed in, with why it is needed.
void OpenOnlineScreenToJoin(const char* why);
void CloseOnlineScreen();
// Every step: the list of open games shown anew once a second.
void OnlineScreenStep();
// A key pressed (not repeated) while the screen is open, or F2 on the board:
// true when the screen took it.
bool OnlineScreenKey(int virtualKey, bool control);
