// The program's entry point: the command line, the display check and the
// game's folders, then the game itself (WinMain).
#include "CommandLine.h"
#include "main.h"
#include "graphics/DDScreen.h"
#include "log/Log.h"
#include "platform/Display.h"
#include "platform/Folders.h"
#include "platform/Settings.h"
#include "platform/System.h"

#include <cstdio>
#include <cstdlib>
#include <string>

// To the console the game was started from; a game started without one (from
// the desktop on Windows) shows the text in a message box. Then the program
// ends at once: it has played nothing, and the board's static destructor
// would still write data/hra.dat (and a log line where it cannot).
[[noreturn]] static void Odpovez(FILE* stream, const std::string& text, int status)
{
    if (System::ReachConsole())
        std::fputs(text.c_str(), stream);
    else
        MessageBox(nullptr, text.c_str(), "Ortelanka");
    std::fflush(stream);
    std::_Exit(status);
}

int main(int argc, char** argv)
{
    CommandLine line = ReadCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Help:
        Odpovez(stdout, kUsage, 0);
    case CommandLine::Action::Version:
        Odpovez(stdout, "ortelanka " ORTELANKA_VERSION "\n", 0);
    case CommandLine::Action::Wrong:
        Odpovez(stderr,
                "ortelanka: " + (line.complaint.empty() ? "unknown option '" + line.wrongOption + "'" : line.complaint) +
                    "\n" + kUsage,
                2);
    case CommandLine::Action::Play:
        break;
    }
    // Checked before anything is written, so that a run without a display
    // leaves no trace: its reason goes to standard error only. A display that
    // is there but cannot be set up (SDL_VIDEODRIVER names another, say) is
    // worth the log as well, which sets up the game's folders first. _Exit,
    // here and below, because the board's static destructor would still
    // write data/hra.dat.
    if (!DisplayAvailable()) {
        SayWhyNoDisplay(DisplayThere() && SetUpGameFolders() && Log.Init());
        MessageBox(nullptr, "CHYBA", "CHYBA");
        std::_Exit(1);
    }
    // Says on standard error why, when no folder for the game's files can be had.
    if (!SetUpGameFolders())
        std::_Exit(1);
    // The online screen says itself what is missing.
    if ((line.host && !line.onlineScreen) || !line.join.empty()) {
        Settings settings;
        LoadSettings(&settings);
        if (!ChooseBroker(settings.broker, &line.broker))
            Odpovez(stderr, std::string("ortelanka: ") + kNoBroker + "\n", 2);
    }
    return WinMain(line);
}
