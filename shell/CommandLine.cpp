#include "CommandLine.h"

#include <cstring>

const char kUsage[] =
    "Usage: ortelanka [OPTION]\n"
    "Five in a row on a 26 x 26 board.\n"
    "\n"
    "      --fullscreen  start full screen (the default)\n"
    "      --windowed    start in a window\n"
    "  -h, --help        show this help and exit\n"
    "  -v, --version     show the version and exit\n"
    "\n"
    "Keys: Alt+Enter switches between full screen and the window, F9 turns the\n"
    "music off and on; both are remembered. Arrow keys and Space or Enter play\n"
    "without the mouse; Escape asks whether to end.\n";

CommandLine ReadCommandLine(int argc, char** argv)
{
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
            line.action = CommandLine::Action::Help;
        } else if (std::strcmp(option, "--version") == 0 || std::strcmp(option, "-v") == 0) {
            line.action = CommandLine::Action::Version;
        } else if (std::strcmp(option, "--fullscreen") == 0) {
            line.window = WindowChoice::FullScreen;
        } else if (std::strcmp(option, "--windowed") == 0) {
            line.window = WindowChoice::Window;
        } else {
            line.action = CommandLine::Action::Wrong;
            line.wrongOption = option;
            return line;
        }
    }
    return line;
}
