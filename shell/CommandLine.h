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
    std::string broker;  // --broker, or the link's host
    std::string wrongOption;
    std::string complaint;  // why the command line is wrong, beyond an unknown option
};

CommandLine ReadCommandLine(int argc, char** argv);

extern const char kUsage[];
