// A whole run of the program and the log it leaves.
#include "Obrazky.h"

#include "board/HraciPole.h"
#include "platform/Clock.h"
#include "shell/main.h"

namespace {

using Beh = VDocasnemAdresari;

std::string Radky(const std::string& log)
{
    std::string messages;
    size_t at = 0;
    while ((at = log.find(" - '", at)) != std::string::npos) {
        const size_t end = log.find("' :: ", at);
        messages += log.substr(at + 4, end - at - 4) + "|" + log.substr(end + 5, log.find('\n', end) - end - 5) + "\n";
        at = end;
    }
    return messages;
}

// Each run starts from the program's initial state.
void Znovu()
{
    GameState = 0;
    End = 0;
}

TEST_F(Beh, ARunEndedThroughTheQuitDialogLogsFourLines)
{
    obrazky::NakresliVse();
    FakeClock clock;
    Znovu();
    // Escape opens the dialog and is taken as no; the Enter held with it answers yes.
    PostMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessage(nullptr, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(WinMain(), 0);
    const std::string log = CtiText("Ortelanka.log");
    EXPECT_EQ(log.rfind(" Ortelanka Log File\n======================================\n\n", 0), 0u);
    EXPECT_EQ(Radky(log), "Registrace tridy okna|ok.\nHlavni okno|ok.\nInicializace hry|ok.\nKonec programu|ok.\n");
    CHPHraciPole.Destroy();
}

TEST_F(Beh, ARunWhoseWindowIsClosedLogsDestroyWindowFirst)
{
    obrazky::NakresliVse();
    FakeClock clock;
    Znovu();
    PostMessage(nullptr, WM_DESTROY, 0, 0);
    EXPECT_EQ(WinMain(), 0);
    EXPECT_EQ(Radky(CtiText("Ortelanka.log")),
              "Registrace tridy okna|ok.\nHlavni okno|ok.\nInicializace hry|ok.\nDestroy Window|ok.\nKonec programu|ok.\n");
    CHPHraciPole.Destroy();
}

TEST_F(Beh, WithoutADisplayTheRunEndsAtOnce)
{
    obrazky::NakresliVse();
    FakeClock clock;
    Znovu();
    setenv("SDL_VIDEODRIVER", "nonexistent", 1);
    EXPECT_EQ(WinMain(), 0);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    EXPECT_EQ(clock.slept, 0u) << "no intro was played";
    EXPECT_EQ(Radky(CtiText("Ortelanka.log")),
              "Registrace tridy okna|ok.\nHlavni okno|ok.\nInicializace hry|ok.\nKonec programu|ok.\n");
}

}  // namespace
