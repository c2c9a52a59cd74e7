// The command line: help, version, and the window the game starts in.
#pragma once

enum class WindowChoice {
    Remembered,  // as the settings file says (full screen when it says nothing)
    FullScreen,
    Window,
};

struct CommandLine {
    enum class Action { Play, Help, Version, Wrong };
    Action action = Action::Play;
    WindowChoice window = WindowChoice::Remembered;
    const char* wrongOption = nullptr;
};

CommandLine ReadCommandLine(int argc, char** argv);

extern const char kUsage[];
