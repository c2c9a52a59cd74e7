// The program's entry point: the command line, the display check and the
// game's folders, then the game itself (WinMain).
#include "CommandLine.h"
#include "main.h"
#include "platform/Display.h"
#include "platform/Folders.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const CommandLine line = ReadCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case CommandLine::Action::Version:
        std::puts("ortelanka " ORTELANKA_VERSION);
        return 0;
    case CommandLine::Action::Wrong:
        std::fprintf(stderr, "ortelanka: unknown option '%s'\n%s", line.wrongOption, kUsage);
        return 2;
    case CommandLine::Action::Play:
        break;
    }
    // Checked before anything is written, so that a run without a display
    // leaves no trace. _Exit, here and below, because the board's static
    // destructor would still write data/hra.dat.
    if (!DisplayAvailable()) {
        MessageBox(nullptr, "CHYBA", "CHYBA");
        std::_Exit(1);
    }
    // Says on standard error why, when no folder for the game's files can be had.
    if (!SetUpGameFolders())
        std::_Exit(1);
    return WinMain(line.window);
}
