// A whole run of the program and the log it leaves.
#include "Obrazky.h"

#include "board/HraciPole.h"
#include "platform/Clock.h"
#include "platform/System.h"
#include "shell/CommandLine.h"
#include "shell/main.h"

#include <csignal>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

// Each run starts from the program's initial state, with the pictures drawn.
class Beh : public VDocasnemAdresari {
protected:
    void SetUp() override
    {
        VDocasnemAdresari::SetUp();
        obrazky::NakresliVse();
        GameState = 0;
        End = 0;
    }
    void TearDown() override
    {
        CHPHraciPole.Destroy();
        VDocasnemAdresari::TearDown();
    }
};

// The messages of the log lines of a run, from its start to the game's start, and its last.
const std::string kZacatek = "Registrace tridy okna|ok.\nHlavni okno|ok.\nInicializace hry|ok.\n";
const std::string kKonec = "Konec programu|ok.\n";

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
    FakeClock clock;
    KoncimPresDialog(clock);
    EXPECT_EQ(WinMain(), 0);
    const std::string log = CtiText("Ortelanka.log");
    EXPECT_EQ(log.rfind(" Ortelanka Log File\n======================================\n\n", 0), 0u);
    EXPECT_EQ(Radky(log), kZacatek + kKonec);
    EXPECT_FALSE(std::filesystem::exists("ortelanka.conf")) << "nothing changed, nothing saved";
}

TEST_F(Beh, TheSettingsFileChoosesTheWindowAndTheMusicAndADamagedOneIsLogged)
{
    FakeClock clock;
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
    CommandLine plnaObrazovka;
    plnaObrazovka.window = WindowChoice::FullScreen;
    EXPECT_EQ(WinMain(plnaObrazovka), 0) << "the command line wins over the file";
    EXPECT_TRUE(celaObrazovka);
    CHPHraciPole.Destroy();

    std::ofstream("ortelanka.conf") << "fullscreen=2\n";
    EXPECT_EQ(WinMain(), 0);
    EXPECT_TRUE(celaObrazovka);
    EXPECT_FALSE(ticho);
    EXPECT_EQ(Radky(CtiText("Ortelanka.log")),
              "Nastaveni nelze precist, plati vychozi: ortelanka.conf|warning.\n" + kZacatek + kKonec);
}

TEST_F(Beh, ARunWhoseWindowIsClosedLogsDestroyWindowFirst)
{
    FakeClock clock;
    PostMessage(nullptr, WM_DESTROY, 0, 0);
    EXPECT_EQ(WinMain(), 0);
    EXPECT_EQ(Radky(CtiText("Ortelanka.log")), kZacatek + "Destroy Window|ok.\n" + kKonec);
}

// CHYBA says nothing more, as the original's did; SDL's reason is in the log
// and on standard error.
TEST_F(Beh, WithoutADisplayTheRunEndsAtOnceAndSaysWhy)
{
    FakeClock clock;
    setenv("SDL_VIDEODRIVER", "nonexistent", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(WinMain(), 0);
    const std::string chyby = testing::internal::GetCapturedStderr();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    EXPECT_EQ(clock.slept, 0u) << "no intro was played";
    EXPECT_EQ(Radky(CtiText("Ortelanka.log")),
              "Registrace tridy okna|ok.\nHlavni okno|ok.\nDisplej nelze pripravit: nonexistent not available|error.\n"
              "Inicializace hry|ok.\n" + kKonec);
    EXPECT_NE(chyby.find("ortelanka: cannot set up the display: nonexistent not available\n"), std::string::npos)
        << chyby;
}

// SDL quietly falls back to an invisible driver when there is no X11 or
// Wayland display; only a driver asked for by name may be invisible.
TEST(Displej, WithoutAnXOrWaylandDisplayOnlyAnInvisibleDriverAskedForIsTaken)
{
    const char* const nazvy[] = {"SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"};
    std::optional<std::string> puvodni[3];
    for (int i = 0; i < 3; ++i) {
        if (const char* v = getenv(nazvy[i]))
            puvodni[i] = v;
        unsetenv(nazvy[i]);
    }
    EXPECT_FALSE(DisplayAvailable());
    EXPECT_EQ(DisplayProblem(), "no display, only SDL's invisible driver offscreen");
    EXPECT_FALSE(DisplayThere());
    // A driver asked for that is not there makes no display there either: such a run leaves no log.
    setenv("SDL_VIDEODRIVER", "nonexistent", 1);
    EXPECT_FALSE(DisplayAvailable());
    EXPECT_FALSE(DisplayThere());
    EXPECT_EQ(DisplayProblem(), "nonexistent not available") << "SDL's own words, kept through the look for a display";
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_TRUE(DisplayAvailable());
    EXPECT_EQ(DisplayProblem(), "");
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    EXPECT_TRUE(DisplayAvailable());
    for (int i = 0; i < 3; ++i)
        puvodni[i] ? setenv(nazvy[i], puvodni[i]->c_str(), 1) : unsetenv(nazvy[i]);
}

// SIGINT, SIGTERM and SIGHUP end the game as closing the window does, within
// half a second of game time wherever they come: while a screen waits for
// input, during the intro's holds and curtains, during a mark's animation.
TEST_F(Beh, AQuitSignalEndsTheRunLikeClosingTheWindowOnEveryScreen)
{
    struct Pripad {
        const char* screen;
        int signal;
        int state;
        bool duringSleep;       // raised in a sleep longer than ...
        uint32_t longerThan;    // ... this; otherwise in the first wait for input
    };
    const Pripad pripady[] = {
        {"the intro's hold", SIGHUP, 0, true, 400},
        {"the intro's curtain", SIGINT, 0, true, 0},
        {"the game screen", SIGTERM, 2, false, 0},
        {"a mark's animation", SIGHUP, 2, true, 30},
        {"the quit dialog", SIGINT, 7, false, 0},
        {"the new-game dialog", SIGHUP, 20, false, 0},
        {"the result picture", SIGTERM, 12, false, 0},
        {"the table", SIGINT, 10, false, 0},
        {"the name entry", SIGHUP, 13, false, 0},
    };
    for (const Pripad& p : pripady) {
        FakeClock clock;
        End = 0;
        GameState = p.state;
        ZobrazNejlepsi = p.state == 10 ? 2 : 0;  // the table and the name entry already open
        ZapisNejlepsi = p.state == 13 ? 2 : 0;
        if (std::string(p.screen) == "a mark's animation")
            PostMessage(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
        uint32_t raisedAt = 0;
        auto raiseOnce = [&](uint32_t ms, bool sleeping) {
            if (raisedAt == 0 && sleeping == p.duringSleep && (!sleeping || ms > p.longerThan)) {
                raisedAt = clock.now;
                std::raise(p.signal);
            }
        };
        clock.onSleep = [&](uint32_t ms) { raiseOnce(ms, true); };
        clock.onWait = [&](uint32_t ms) { raiseOnce(ms, false); };
        EXPECT_EQ(WinMain(), 0) << p.screen;
        ASSERT_NE(raisedAt, 0u) << p.screen;
        EXPECT_LT(clock.now - raisedAt, 500u) << p.screen;
        EXPECT_EQ(Radky(CtiText("Ortelanka.log")), kZacatek + "Destroy Window|ok.\n" + kKonec) << p.screen;
        CHPHraciPole.Destroy();
    }
    GameState = 0;
    ZobrazNejlepsi = ZapisNejlepsi = 0;
}

TEST(Signaly, AnIgnoredSignalStaysIgnored)
{
    struct sigaction ignore {}, before {}, after {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGINT, &ignore, &before);
    System::CatchQuitRequests();
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
    std::raise(SIGINT);
    EXPECT_FALSE(System::QuitRequestCaught());
    std::raise(SIGTERM);
    EXPECT_TRUE(System::QuitRequestCaught()) << "the others are caught";
    sigaction(SIGINT, &before, nullptr);
    System::CatchQuitRequests();  // forgets the SIGTERM
}

}  // namespace

// What the desktop's link handler and Windows' registration hand the game:
// the link alone, after any options.
TEST(PrikazovaRadka, ALinkJoinsItsGameOnItsHostsBrokerUnlessOneIsGiven)
{
    struct Pripad {
        std::vector<const char*> slova;
        CommandLine::Action akce;
        const char* kod;
        const char* broker;
    };
    const char* kod = "ZW014D2PF2DBSQQG";
    const Pripad pripady[] = {
        {{"ortelanka://example.org/#zw01-4d2p-f2db-sqqg"}, CommandLine::Action::Play, kod, "mqtts://example.org"},
        {{"--windowed", "https://example.org/#ZW01-4D2P-F2DB-SQQG"}, CommandLine::Action::Play, kod,
         "mqtts://example.org"},
        {{"--broker", "mqtt://127.0.0.1:1883", "ortelanka://example.org/#ZW014D2PF2DBSQQG"}, CommandLine::Action::Play,
         kod, "mqtt://127.0.0.1:1883"},
        {{"--online", "ortelanka://example.org/#ZW014D2PF2DBSQQG"}, CommandLine::Action::Wrong, "", ""},
        {{"--online"}, CommandLine::Action::Play, "", ""},  // the broker is chosen once the settings are read
        {{"ortelanka://example.org/#ZW01"}, CommandLine::Action::Wrong, "", ""},
        {{"ortelanka://exa mple.org/#ZW014D2PF2DBSQQG"}, CommandLine::Action::Wrong, "", ""},
        {{"example.org/#ZW014D2PF2DBSQQG"}, CommandLine::Action::Wrong, "", ""},
        {{"--join"}, CommandLine::Action::Wrong, "", ""},
    };
    for (const Pripad& pripad : pripady) {
        std::vector<char*> argv{const_cast<char*>("ortelanka")};
        for (const char* slovo : pripad.slova)
            argv.push_back(const_cast<char*>(slovo));
        const CommandLine radka = ReadCommandLine(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(pripad.slova.back());
        EXPECT_EQ(radka.action, pripad.akce);
        if (pripad.akce == CommandLine::Action::Play) {
            EXPECT_EQ(radka.join, pripad.kod);
            EXPECT_EQ(radka.broker, pripad.broker);
        }
    }
    // Named on the command line or by the link, else in the settings; this
    // build has none of its own.
    std::string broker = "mqtt://127.0.0.1:1883";
    EXPECT_TRUE(ChooseBroker("mqtts://hra.example", &broker) && broker == "mqtt://127.0.0.1:1883");
    broker.clear();
    EXPECT_TRUE(ChooseBroker("mqtts://hra.example", &broker) && broker == "mqtts://hra.example");
    broker.clear();
    EXPECT_FALSE(ChooseBroker("", &broker));
}
