// A whole run of the program and the log it leaves.
#include "Obrazky.h"

#include "board/HraciPole.h"
#include "platform/Clock.h"
#include "shell/main.h"

#include <filesystem>

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

// Presses Escape once the game screen is up and Enter once the quit dialog
// waits: a dialog answers only to presses that began after it appeared.
void KoncimPresDialog(FakeClock& clock)
{
    clock.onSleep = [](uint32_t) {
        if (GameState == 2 && !keys[VK_ESCAPE])
            PostMessage(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
        if (GameState == 17 && !keys[VK_RETURN])
            PostMessage(nullptr, WM_KEYDOWN, VK_RETURN, 0);
    };
}

TEST_F(Beh, ARunEndedThroughTheQuitDialogLogsFourLines)
{
    obrazky::NakresliVse();
    FakeClock clock;
    Znovu();
    KoncimPresDialog(clock);
    EXPECT_EQ(WinMain(), 0);
    const std::string log = CtiText("Ortelanka.log");
    EXPECT_EQ(log.rfind(" Ortelanka Log File\n======================================\n\n", 0), 0u);
    EXPECT_EQ(Radky(log), "Registrace tridy okna|ok.\nHlavni okno|ok.\nInicializace hry|ok.\nKonec programu|ok.\n");
    EXPECT_FALSE(std::filesystem::exists("ortelanka.conf")) << "nothing changed, nothing saved";
    CHPHraciPole.Destroy();
}

TEST_F(Beh, TheSettingsFileChoosesTheWindowAndTheMusicAndADamagedOneIsLogged)
{
    obrazky::NakresliVse();
    FakeClock clock;
    Znovu();
    KoncimPresDialog(clock);
    std::ofstream("ortelanka.conf") << "fullscreen=0\nmusic=0\n";
    bool celaObrazovka = true, ticho = false;
    clock.onSleep = [&, koncim = clock.onSleep](uint32_t ms) {
        celaObrazovka = lpdd && lpdd->FullScreen();
        ticho = lpds && lpds->Paused();
        koncim(ms);
    };
    EXPECT_EQ(WinMain(), 0);
    EXPECT_FALSE(celaObrazovka);
    EXPECT_TRUE(ticho);
    CHPHraciPole.Destroy();
    EXPECT_EQ(WinMain(WindowChoice::FullScreen), 0) << "the command line wins over the file";
    EXPECT_TRUE(celaObrazovka);
    CHPHraciPole.Destroy();

    std::ofstream("ortelanka.conf") << "fullscreen=2\n";
    EXPECT_EQ(WinMain(), 0);
    EXPECT_TRUE(celaObrazovka);
    EXPECT_FALSE(ticho);
    EXPECT_EQ(Radky(CtiText("Ortelanka.log")),
              "Nastaveni nelze precist, plati vychozi: ortelanka.conf|warning.\nRegistrace tridy okna|ok.\n"
              "Hlavni okno|ok.\nInicializace hry|ok.\nKonec programu|ok.\n");
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

// SDL quietly falls back to an invisible driver when there is no X11 or
// Wayland display; only a driver asked for by name may be invisible.
TEST(Displej, WithoutAnXOrWaylandDisplayOnlyAnInvisibleDriverAskedForIsTaken)
{
    const char* const nazvy[] = {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"};
    std::string puvodni[3];
    bool byla[3];
    for (int i = 0; i < 3; ++i) {
        const char* v = getenv(nazvy[i]);
        byla[i] = v != nullptr;
        puvodni[i] = v ? v : "";
        unsetenv(nazvy[i]);
    }
    EXPECT_FALSE(DisplayAvailable());
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_TRUE(DisplayAvailable());
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    EXPECT_TRUE(DisplayAvailable());
    for (int i = 0; i < 3; ++i) {
        if (byla[i])
            setenv(nazvy[i], puvodni[i].c_str(), 1);
        else
            unsetenv(nazvy[i]);
    }
}

}  // namespace
