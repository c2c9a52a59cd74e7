// The command line: help, version, the window the game starts in, and
// online play.
#pragma once

#include <string>

enum class WindowChoice {
    Remembered,  // as the settings file says (full screen when it says nothing)
    FullScreen,
    Window,
};

struct CommandLine {
    enum class Action { Play, Help, Version, Wrong };
    Action action = Action::Play;
    WindowChoice window = WindowChoice::Remembered;
    // --online: host a new game; --join: the friend's link or code.
    bool host = false;
    std::string join;
    bool paste = false;         // --paste: join the game whose link is on the clipboard
    bool onlineScreen = false;  // --online-screen: open the online screen on the board
    std::string broker;  // --broker, or the link's broker
    std::string wrongOption;
    std::string complaint;  // why the command line is wrong, beyond an unknown option
};

CommandLine ReadCommandLine(int argc, char** argv);
// The broker of online play: --broker, else the link's, else the settings'
// (broker= in ortelanka.conf), else the one the game was built with. False
// when none of them names one (kNoBroker says what to set).
bool ChooseBroker(const std::string& fromSettings, std::string* broker);
extern const char kNoBroker[];

extern const char kUsage[];
