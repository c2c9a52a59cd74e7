// Whole games driven through the state machine with injected window messages
// and the fake clock, on SDL's dummy drivers.
#include "BezPisem.h"
#include "Obrazky.h"

#include "board/HraciPole.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "records/Score.h"
#include "shell/main.h"

#include <SDL.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

using namespace obrazky;

class Hra : public VDocasnemAdresari {
protected:
    void SetUp() override
    {
        VDocasnemAdresari::SetUp();
        NakresliVse();
        GameState = 0;
        PlayGame = 0;
        HumanOrAI = 1;
        End = NewGame = ZobrazNejlepsi = ZapisNejlepsi = ZapisOn = MaxScore = 0;
        std::memset(szBestName, 0, sizeof szBestName);
        DelkaJmena = 0;
        PosledniKlavesa = 0;
        Pismeno = 0;
        std::memset(keys, 0, sizeof keys);
        ptClick = ptMouse = POINT{0, 0};
        fwMouseKeys = 0;
        fps = 60;
        Kurzor = POINT{12, 12};
        KurzorZobrazen = false;
        FokusTlacitka = 0;
        Score.Reset();
        ResetRandomInt();
        ASSERT_TRUE(RegisterWindowClass("Ortelanka", TheWindowProc));
        hWndMain = CreateMainWindow("Ortelanka", "Ortelaky", WindowPlacement());
        ASSERT_TRUE(Game_Init());
        ASSERT_NE(lpddsback, nullptr);
        CHPHraciPole.ClearHraciPole();
    }
    void TearDown() override
    {
        Game_Done();
        CHPHraciPole.Destroy();
        VDocasnemAdresari::TearDown();
    }

    void Zprava(uint32_t message, uintptr_t wParam, int x = 0, int y = 0)
    {
        TheWindowProc(hWndMain, message, wParam, MAKELPARAM(x, y));
    }
    void Klik(int x, int y)
    {
        Zprava(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    }
    void KlikNaPole(int x, int y)
    {
        Klik(15 + 22 * x + 11, 15 + 22 * y + 11);
    }
    // The input as it reaches the game, through the message queue, at a
    // stated moment: while a step runs one of its effects (the intro, a
    // curtain, an animation, the blink), or while the game waits between steps.
    enum class Kdy { BehemEfektu, VCekani };
    static SDL_Event Mys(uint32_t type, int x, int y, uint8_t button = SDL_BUTTON_LEFT)
    {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.x = x;
            e.motion.y = y;
        } else {
            e.button.button = button;
            e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            e.button.clicks = 1;
            e.button.x = x;
            e.button.y = y;
        }
        return e;
    }
    static std::vector<SDL_Event> RychlyKlik(int x, int y)
    {
        return {Mys(SDL_MOUSEBUTTONDOWN, x, y), Mys(SDL_MOUSEBUTTONUP, x, y)};
    }
    static std::vector<SDL_Event> RychlyKlikNa(int x, int y) { return RychlyKlik(15 + 22 * x + 11, 15 + 22 * y + 11); }
    static SDL_Event Klavesa(uint32_t type, SDL_Scancode code)
    {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = code;
        e.key.keysym.sym = SDL_GetKeyFromScancode(code);
        return e;
    }
    static std::vector<SDL_Event> Tuk(SDL_Scancode code)
    {
        return {Klavesa(SDL_KEYDOWN, code), Klavesa(SDL_KEYUP, code)};
    }
    // The input comes at the next such moment.
    void Prijde(Kdy kdy, std::vector<SDL_Event> vstup)
    {
        prichazi = std::move(vstup);
        auto posli = [this](uint32_t) {
            for (SDL_Event& e : prichazi)
                SDL_PushEvent(&e);
            prichazi.clear();
        };
        clock.onSleep = clock.onWait = nullptr;
        (kdy == Kdy::BehemEfektu ? clock.onSleep : clock.onWait) = posli;
    }
    // Steps as the main loop makes them, each after every message it may take.
    void KrokSmycky(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            MSG msg;
            while (PeekMessage(&msg))
                DispatchMessage(&msg);
            Game_Loop();
        }
    }
    // Steps until the input has come, and then as many more.
    void AzPrijde(int potom = 1)
    {
        for (int i = 0; i < 50 && !prichazi.empty(); ++i)
            KrokSmycky();
        ASSERT_TRUE(prichazi.empty()) << "the moment never came";
        KrokSmycky(potom);
        clock.onSleep = clock.onWait = nullptr;
    }
    std::vector<SDL_Event> prichazi;
    void Stisk(int vk) { Zprava(WM_KEYDOWN, static_cast<uintptr_t>(vk)); }
    void Pust(int vk) { Zprava(WM_KEYUP, static_cast<uintptr_t>(vk)); }
    // A press seen by one frame.
    void Zmackni(int vk)
    {
        Stisk(vk);
        Krok();
        Pust(vk);
    }
    // The keyboard's auto-repeat of a key still held.
    void Opakuj(int vk) { TheWindowProc(hWndMain, WM_KEYDOWN, static_cast<uintptr_t>(vk), KEY_WAS_DOWN); }
    void Krok(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            Game_Loop();
    }
    // Steps until the state is reached; false when it is not within the limit.
    bool DoStavu(int state, int limit = 50)
    {
        for (int i = 0; i < limit && GameState != state; ++i)
            Game_Loop();
        return GameState == state;
    }
    void NaHerniObrazovku()
    {
        GameState = 1;
        Krok();
        ASSERT_EQ(GameState, 2);
    }
    uint16_t Obrazovka(int x, int y) { return lpddsprime->Row(y)[x]; }
    int PocetZnacek(int mark)
    {
        int n = 0;
        for (int y = 0; y < HRACIPOLEY; ++y)
            for (int x = 0; x < HRACIPOLEX; ++x)
                n += CHPHraciPole.Pole[y][x] == mark;
        return n;
    }
    void NapisJmeno(std::initializer_list<int> keysToType)
    {
        for (int vk : keysToType) {
            clock.now += 25;
            Zmackni(vk);
        }
    }

    FakeClock clock;
};

TEST_F(Hra, AWinAgainstTheComputerAsksForANameAndEntersTheTable)
{
    NaHerniObrazovku();
    for (int x = 0; x < 4; ++x)
        CHPHraciPole.Pole.Nastav(x, 0, 1);
    KlikNaPole(4, 0);
    Krok();
    EXPECT_EQ(CHPHraciPole.Pole[0][4], 1);
    EXPECT_EQ(Score.GetScore(), 100000 - 51);
    EXPECT_EQ(Score.GetPocetTahu(), 1);
    EXPECT_EQ(PlayGame, 1);

    Krok();  // the win is seen before the computer moves
    EXPECT_EQ(GameState, 12);
    EXPECT_EQ(ZapisOn, 1);
    EXPECT_EQ(MaxScore, 99949);
    EXPECT_EQ(PlayGame, 0);
    EXPECT_EQ(PocetZnacek(2), 0);
    EXPECT_EQ(Obrazovka(400, 300), Pixel565(0x005040)) << "the victory picture";
    EXPECT_EQ(Obrazovka(400, 5), 0) << "the picture waits with a thin black band";
    EXPECT_EQ(CtiSoubor("data/tahy.dat"), std::vector<uint8_t>({4, 0, 0, 0}));

    Krok(3);
    EXPECT_EQ(GameState, 12) << "the picture does not pass by itself";
    Klik(400, 300);
    Krok();
    EXPECT_EQ(GameState, 13);

    // Space that left the picture is still the pending key: it starts nothing.
    Zmackni(VK_SPACE);
    EXPECT_EQ(ZapisNejlepsi, 2);
    EXPECT_EQ(DelkaJmena, 0) << "a name never begins with a space";
    NapisJmeno({'P', '3', VK_SPACE, 'A'});
    EXPECT_STREQ(szBestName, "P\x9A A");
    NapisJmeno({VK_BACK, VK_BACK, '1', '0', 0xBA});
    EXPECT_STREQ(szBestName, "P\x9A") << "digits but 3 and other keys type nothing";

    // Two keys within 20 ms: the second waits for a later frame.
    clock.now += 25;
    Stisk('X');
    Krok();
    Stisk('Y');
    Krok();
    EXPECT_STREQ(szBestName, "P\x9AX");
    EXPECT_EQ(Pismeno, 'Y');
    clock.now += 25;
    Krok();
    EXPECT_STREQ(szBestName, "P\x9AXY");
    Pust('Y');
    Pust('X');

    for (int i = 0; i < 20; ++i)
        NapisJmeno({'Q'});
    EXPECT_EQ(DelkaJmena, 18);
    NapisJmeno({VK_BACK, 'Z'});
    EXPECT_EQ(DelkaJmena, 18);
    EXPECT_EQ(szBestName[17], 'Z');

    Zmackni(VK_RETURN);
    EXPECT_EQ(GameState, 15);
    Krok();
    EXPECT_EQ(GameState, 10);
    EXPECT_EQ(ZapisOn, 0);
    const std::vector<uint8_t> best = CtiSoubor("best.dat");
    ASSERT_EQ(best.size(), 240u);
    EXPECT_EQ(best[0] | best[1] << 8 | best[2] << 16, 99949);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(best.data() + 4)), std::string(szBestName));

    Krok();  // the table opens
    EXPECT_EQ(ZobrazNejlepsi, 2);
    EXPECT_EQ(Obrazovka(30, 30), Pixel565(0x182838));
    EXPECT_EQ(PocetZnacek(1), 0) << "the board is cleared when the table opens";
    Krok(3);
    EXPECT_EQ(GameState, 10);
    Klik(400, 300);
    ASSERT_TRUE(DoStavu(2));
    EXPECT_EQ(HumanOrAI, 1);
    EXPECT_EQ(DelkaJmena, 0);
    EXPECT_EQ(szBestName[0], 0);
    EXPECT_EQ(Score.GetScore(), 100000);
    EXPECT_EQ(Obrazovka(300, 300), Pixel565(DESKA)) << "an empty board";
}

// Input goes through the message queue as the original's loop took it: what
// arrives while a step runs an effect is taken whole before the next step (a
// quick click or a tapped key there is gone); what arrives while the game waits
// between steps meets a step between a press and its release, as it would in a
// loop that never waits; nothing is reordered, and a move is judged by itself.
TEST_F(Hra, InputIsTakenInTheOrderAndAtTheMomentTheOriginalsLoopTookIt)
{
    const POINT kPole{15 + 22 * 3 + 11, 15 + 22 * 3 + 11};  // cell (3, 3)
    struct Pripad {
        const char* nazev;
        std::function<void()> priprava;  // leaves the game just before the moment
        Kdy kdy;
        std::vector<SDL_Event> vstup;
        int potom;  // steps after the input came
        int stav;
        int zaznamu;                      // records in data/tahy.dat
        std::function<bool()> jinak;      // what else must hold; may be empty
    };
    auto herni = [this] { NaHerniObrazovku(); };
    auto tahPocitace = [this] {
        NaHerniObrazovku();
        CHPHraciPole.Pole.Nastav(12, 12, 1);
        PlayGame = 1;
    };
    auto vyhra = [this] {
        NaHerniObrazovku();
        for (int x = 0; x < 5; ++x)
            CHPHraciPole.Pole.Nastav(x, 0, 1);
    };
    auto zapis = [this] {
        GameState = 13;
        ZapisOn = 1;
        MaxScore = 99999;
    };
    auto zapisBezi = [this] {
        GameState = 13;
        ZapisOn = 1;
        ZapisNejlepsi = 2;
        std::strcpy(szBestName, "X");
        DelkaJmena = 1;
        PosledniKlavesa = clock.now;
        KrokSmycky();
    };
    // The pointer rests at (100, 100) of a window, the keyboard's cursor
    // shows, and the window moves 10 pixels right under the pointer.
    SDL_Window* okno = nullptr;
    auto oknoPosunuto = [&, this] {
        NaHerniObrazovku();
        lpdd->SetFullScreen(false);
        for (uint32_t id = 1; id < 100 && !okno; ++id)
            okno = SDL_GetWindowFromID(id);
        ASSERT_NE(okno, nullptr);
        SDL_Event pohyb = Mys(SDL_MOUSEMOTION, 100, 100);
        pohyb.motion.windowID = SDL_GetWindowID(okno);
        SDL_PushEvent(&pohyb);
        KrokSmycky();
        Zmackni(VK_LEFT);
        int x, y;
        SDL_GetWindowPosition(okno, &x, &y);
        SDL_SetWindowPosition(okno, x + 10, y);
    };
    auto tamTaky = [&](int x, int y) {
        SDL_Event e = Mys(SDL_MOUSEMOTION, x, y);
        e.motion.windowID = okno ? SDL_GetWindowID(okno) : 0;
        return e;
    };
    auto jmeno = [](const char* name) { return [name] { return std::string(szBestName) == name; }; };
    const uint16_t hracPcPodMysi = Pixel565(0x00F800);
    const Pripad pripady[] = {
        {"a quick click on Konec during the intro", [this] { GameState = 0; }, Kdy::BehemEfektu,
         RychlyKlik(700, 435), 2, 2, 0, nullptr},
        {"a quick click on the table's button during the intro", [this] { GameState = 0; }, Kdy::BehemEfektu,
         RychlyKlik(700, 395), 2, 2, 0, nullptr},
        {"a quick click on a new-game button during the intro", [this] { GameState = 0; }, Kdy::BehemEfektu,
         RychlyKlik(700, 315), 2, 2, 0, nullptr},
        {"a quick click on a cell while the computer's cross is placed", tahPocitace, Kdy::BehemEfektu,
         RychlyKlik(kPole.x, kPole.y), 2, 2, 1, [this] { return CHPHraciPole.Pole[3][3] == 0; }},
        {"a press on the board released over a button during the cross's animation", tahPocitace,
         Kdy::BehemEfektu, {Mys(SDL_MOUSEBUTTONDOWN, kPole.x, kPole.y), Mys(SDL_MOUSEBUTTONUP, 700, 395)}, 1, 10, 1,
         [this] { return CHPHraciPole.Pole[3][3] == 0; }},
        {"a quick click during the winning blink", vyhra, Kdy::BehemEfektu, RychlyKlik(400, 300), 3, 12, 0, nullptr},
        {"letters and Enter tapped during the name entry's curtain", zapis, Kdy::BehemEfektu,
         {Tuk(SDL_SCANCODE_A)[0], Tuk(SDL_SCANCODE_A)[1], Tuk(SDL_SCANCODE_RETURN)[0], Tuk(SDL_SCANCODE_RETURN)[1]},
         3, 13, 0, jmeno("")},
        {"a key tapped while the last one is not yet due, and the next pressed", zapisBezi, Kdy::VCekani,
         {Klavesa(SDL_KEYDOWN, SDL_SCANCODE_A), Klavesa(SDL_KEYUP, SDL_SCANCODE_A), Klavesa(SDL_KEYDOWN, SDL_SCANCODE_B)},
         3, 13, 0, jmeno("XB")},
        {"an idle quick click", herni, Kdy::VCekani, RychlyKlik(kPole.x, kPole.y), 2, 2, 2,
         [this] { return CHPHraciPole.Pole[3][3] == 1; }},
        {"a quick click with a small move before its release", herni, Kdy::VCekani,
         {Mys(SDL_MOUSEBUTTONDOWN, kPole.x, kPole.y), Mys(SDL_MOUSEMOTION, kPole.x + 2, kPole.y),
          Mys(SDL_MOUSEBUTTONUP, kPole.x + 2, kPole.y)}, 2, 2, 2, [this] { return CHPHraciPole.Pole[3][3] == 1; }},
        {"a left click and then a right press on the table's button", herni, Kdy::VCekani,
         {RychlyKlik(kPole.x, kPole.y)[0], RychlyKlik(kPole.x, kPole.y)[1],
          Mys(SDL_MOUSEBUTTONDOWN, 700, 395, SDL_BUTTON_RIGHT)}, 2, 10, 2, nullptr},
        {"Escape tapped on the game screen", herni, Kdy::VCekani, Tuk(SDL_SCANCODE_ESCAPE), 2, 17, 0, nullptr},
        {"a quick click on a button", herni, Kdy::VCekani, RychlyKlik(700, 355), 2, 21, 0, nullptr},
        {"one move onto a button", herni, Kdy::VCekani, {Mys(SDL_MOUSEMOTION, 700, 355)}, 1, 2, 0,
         [=, this] { return ptMouse.x == 700 && ptMouse.y == 355 && Obrazovka(700, 355) == hracPcPodMysi; }},
        {"a sweep onto a button during the cross's animation", tahPocitace, Kdy::BehemEfektu,
         {Mys(SDL_MOUSEMOTION, 300, 300), Mys(SDL_MOUSEMOTION, 690, 350)}, 1, 2, 1,
         [=, this] { return ptMouse.x == 690 && Obrazovka(700, 355) == hracPcPodMysi; }},
        {"the window moved under a pointer that stays put", oknoPosunuto, Kdy::VCekani, {}, 0, 2, 0,
         [&, this] {
             SDL_Event stejneMisto = tamTaky(90, 100);
             SDL_PushEvent(&stejneMisto);
             KrokSmycky();
             const bool zustal = KurzorZobrazen;
             SDL_Event jinde = tamTaky(91, 100);
             SDL_PushEvent(&jinde);
             KrokSmycky();
             lpdd->SetFullScreen(true);
             return zustal && !KurzorZobrazen;
         }},
    };
    for (const Pripad& p : pripady) {
        SCOPED_TRACE(p.nazev);
        std::filesystem::remove("data/tahy.dat");
        CHPHraciPole.ClearHraciPole();
        std::memset(szBestName, 0, sizeof szBestName);
        DelkaJmena = ZapisOn = ZapisNejlepsi = ZobrazNejlepsi = 0;
        HumanOrAI = 1;
        p.priprava();
        Prijde(p.kdy, p.vstup);
        AzPrijde(p.potom);
        EXPECT_EQ(GameState, p.stav);
        EXPECT_EQ(CtiSoubor("data/tahy.dat").size(), 4u * p.zaznamu);
        if (p.jinak) {
            EXPECT_TRUE(p.jinak());
        }
        ZapomenStisky();
        Pismeno = 0;
    }
}

TEST_F(Hra, TheComputerWinsAndTheTableFollowsWithoutANameEntry)
{
    NaHerniObrazovku();
    for (int y = 5; y < 9; ++y)
        CHPHraciPole.Pole.Nastav(7, y, 2);
    CHPHraciPole.Pole.Nastav(7, 9, 1);
    PlayGame = 1;
    Krok();
    EXPECT_EQ(CHPHraciPole.Pole[4][7], 2) << "rule 1 completes the five";
    EXPECT_EQ(Score.GetScore(), 100000) << "the computer's move costs nothing";
    EXPECT_EQ(Score.GetPocetTahu(), 1);
    Krok();
    EXPECT_EQ(GameState, 12);
    EXPECT_EQ(ZapisOn, 0);
    EXPECT_EQ(PlayGame, 1);
    EXPECT_EQ(Obrazovka(400, 300), Pixel565(0x405000)) << "the defeat picture";
    Stisk(VK_SPACE);
    Krok();
    EXPECT_EQ(GameState, 10);
    Krok();
    EXPECT_EQ(ZobrazNejlepsi, 2);
    Opakuj(VK_SPACE);
    Krok();
    EXPECT_EQ(GameState, 10) << "the Space that left the result, still held, is no new press";
    Pust(VK_SPACE);
    Stisk(VK_SPACE);
    Krok();
    EXPECT_EQ(GameState, 14);
    Pust(VK_SPACE);
}

TEST_F(Hra, TwoHumansTakeTurnsWithQuickClicksAndTheSecondWins)
{
    HumanOrAI = 0;
    NaHerniObrazovku();
    const int kola[][2] = {{0, 0}, {10, 10}, {1, 0}, {10, 11}, {2, 0}, {10, 12}, {5, 5}, {10, 13}, {6, 6}, {10, 14}};
    for (const auto& c : kola) {
        Prijde(Kdy::VCekani, RychlyKlikNa(c[0], c[1]));
        AzPrijde();
    }
    EXPECT_EQ(PocetZnacek(1), 5);
    EXPECT_EQ(PocetZnacek(2), 5);
    EXPECT_EQ(Score.GetPocetTahu(), 10);
    EXPECT_EQ(Score.GetScore(), 100000 - (1 + 6 + 16 + 1 + 6) - (1 + 6 + 16 + 31 + 51)) << "one shared score";
    Krok();
    EXPECT_EQ(GameState, 12);
    EXPECT_EQ(ZapisOn, 0) << "a game between two humans never enters the table";
    EXPECT_EQ(Obrazovka(400, 300), Pixel565(0x504000)) << "player 2 won";
    Klik(1, 1);
    Krok();
    EXPECT_EQ(GameState, 10);
}

TEST_F(Hra, AFullBoardIsClearedWithoutAResultButAFinalFiveWins)
{
    NaHerniObrazovku();
    PlnaBezPetice(CHPHraciPole.Pole);
    Score.IncScore(7);
    Score.IncPocetTahu();
    PlayGame = 1;
    HumanOrAI = 0;
    Krok();
    EXPECT_EQ(GameState, 2);
    EXPECT_EQ(PocetZnacek(1) + PocetZnacek(2), 0);
    EXPECT_EQ(Score.GetScore(), 99993);
    EXPECT_EQ(Score.GetPocetTahu(), 1);
    EXPECT_EQ(PlayGame, 1);

    // The last empty cell completes five circles: that wins.
    PlnaBezPetice(CHPHraciPole.Pole);
    for (int x = 10; x < 15; ++x)
        CHPHraciPole.Pole.Nastav(x, 20, 1);
    CHPHraciPole.Pole.Nastav(12, 20, 0);
    PlayGame = 0;
    KlikNaPole(12, 20);
    Krok();
    ASSERT_TRUE(CHPHraciPole.JeHPZaplnene());
    Krok();
    EXPECT_EQ(GameState, 12);
}

TEST_F(Hra, AClickWhileTheComputerIsToMoveIsIgnoredAndForgotten)
{
    NaHerniObrazovku();
    CHPHraciPole.Pole.Nastav(12, 12, 1);
    PlayGame = 1;
    KlikNaPole(3, 3);
    Krok();
    EXPECT_EQ(CHPHraciPole.Pole[3][3], 0);
    EXPECT_EQ(PocetZnacek(2), 1);
    EXPECT_EQ(PlayGame, 0);
    EXPECT_EQ(ptClick.x, -1000);
    Krok();
    EXPECT_EQ(CHPHraciPole.Pole[3][3], 0) << "not kept for the human's turn";
    EXPECT_EQ(PocetZnacek(1), 1);
}

TEST_F(Hra, MenuButtonsAndEscapeInTheirOverrideOrder)
{
    struct Pripad {
        int y;
        bool escape;
        int state;
    };
    const Pripad pripady[] = {{315, false, 18}, {355, false, 20}, {395, false, 10}, {435, false, 7},
                              {315, true, 18},  {355, true, 20},  {395, true, 7},   {435, true, 7},
                              {295, false, 2},  {100, true, 7}};
    for (const Pripad& p : pripady) {
        NaHerniObrazovku();
        Zprava(WM_RBUTTONDOWN, MK_RBUTTON, 700, p.y);  // the menu looks at the point only
        if (p.escape)
            Stisk(VK_ESCAPE);
        Krok();
        EXPECT_EQ(GameState, p.state) << "y " << p.y << (p.escape ? " with Escape" : "");
        if (p.escape)
            Pust(VK_ESCAPE);
    }
    NaHerniObrazovku();
    Prijde(Kdy::VCekani, Tuk(SDL_SCANCODE_ESCAPE));
    AzPrijde(2);
    EXPECT_EQ(GameState, 17) << "a key tapped between two steps opens the dialog, which stays";
}

TEST_F(Hra, TheDialogsAnswerToClicksAndKeysWithEnterWinning)
{
    struct Pripad {
        int state;
        POINT click;
        bool escape, enter;
        int next;
    };
    const Pripad pripady[] = {
        {7, {200, 320}, false, false, -1}, {7, {320, 320}, false, false, 2}, {7, {0, 0}, true, false, 2},
        {7, {0, 0}, false, true, -1},      {7, {0, 0}, true, true, -1},     {7, {200, 320}, true, false, 2},
        {7, {320, 320}, false, true, -1},  {7, {230, 320}, false, false, 0},
        {18, {200, 320}, false, false, 9}, {18, {0, 0}, true, false, 2},   {20, {0, 0}, false, true, 8},
        {20, {320, 320}, false, false, 2}, {20, {0, 0}, true, true, 8}};
    for (const Pripad& p : pripady) {
        NaHerniObrazovku();
        CHPHraciPole.Pole.Nastav(1, 1, 1);
        GameState = p.state;
        Krok();
        ASSERT_EQ(GameState, p.state == 7 ? 17 : p.state + 1);
        ptClick = p.click;
        keys[VK_ESCAPE] = p.escape;
        keys[VK_RETURN] = p.enter;
        Krok();
        const bool quit = GameState == 17 && End == 1;
        if (p.next == -1) {
            EXPECT_TRUE(quit) << p.click.x << (p.escape ? " Esc" : "") << (p.enter ? " Enter" : "");
            MSG msg;
            while (PeekMessage(&msg) && msg.message != WM_QUIT) {
            }
            EXPECT_EQ(msg.message, WM_QUIT);
            End = 0;
        } else if (p.next == 0) {
            EXPECT_EQ(GameState, 17) << "the edge of an answer does not answer";
        } else {
            EXPECT_EQ(GameState, p.next) << p.state << " " << p.click.x;
            EXPECT_FALSE(keys[VK_ESCAPE]) << "the dialog takes the Escape";
            EXPECT_EQ(End, 0);
            EXPECT_EQ(NewGame, 0);
        }
        keys[VK_RETURN] = false;
        if (p.next == 8 || p.next == 9) {
            Krok(2);
            EXPECT_EQ(HumanOrAI, p.next == 8 ? 1 : 0);
            EXPECT_EQ(CHPHraciPole.Pole[1][1], 0) << "a new game";
            HumanOrAI = 1;
        } else if (p.next == 2) {
            EXPECT_EQ(CHPHraciPole.Pole[1][1], 1) << "no returns to the game as it was";
        }
        CHPHraciPole.ClearHraciPole();
    }
}

TEST_F(Hra, AHeldEscapeLeavesTheQuitDialogOpenAndAltEnterNeverAnswers)
{
    NaHerniObrazovku();
    Stisk(VK_ESCAPE);
    Krok(2);
    ASSERT_EQ(GameState, 17);
    Opakuj(VK_ESCAPE);
    Krok(3);
    EXPECT_EQ(GameState, 17) << "the press that opened the dialog does not answer it";
    Pust(VK_ESCAPE);

    Zprava(WM_SYSKEYDOWN, VK_RETURN);
    Krok();
    EXPECT_EQ(GameState, 17) << "Alt+Enter is not Enter";
    EXPECT_EQ(End, 0);
    EXPECT_FALSE(lpdd->FullScreen());
    EXPECT_EQ(CtiText("ortelanka.conf"), "fullscreen=0\nmusic=1\n");
    Pust(VK_RETURN);
    Zprava(WM_SYSKEYDOWN, VK_RETURN);
    EXPECT_TRUE(lpdd->FullScreen());

    Stisk(VK_ESCAPE);
    Krok();
    EXPECT_EQ(GameState, 2) << "a new press answers no";
}

TEST_F(Hra, F9SilencesTheMusicWithoutTypingAndIsRemembered)
{
    ASSERT_NE(lpds, nullptr);
    Pismeno = 'A';
    keys['A'] = true;
    Stisk(VK_F9);
    Pust(VK_F9);
    EXPECT_TRUE(lpds->Paused());
    EXPECT_EQ(Pismeno, 'A') << "the name entry's pending letter stays";
    EXPECT_TRUE(keys['A']);
    EXPECT_EQ(CtiText("ortelanka.conf"), "fullscreen=1\nmusic=0\n");
    Stisk(VK_F9);
    EXPECT_FALSE(lpds->Paused());
    EXPECT_EQ(CtiText("ortelanka.conf"), "fullscreen=1\nmusic=1\n");
}

TEST_F(Hra, ArrowsAndSpacePlayLikeAClickAndThePointerHidesTheCursor)
{
    NaHerniObrazovku();
    Krok();
    const std::vector<uint16_t> bezKurzoru(lpddsprime->Row(0), lpddsprime->Row(0) + 800 * 600);
    Zmackni(VK_SPACE);
    EXPECT_EQ(PocetZnacek(1), 0) << "no cursor, no move";
    EXPECT_TRUE(std::equal(bezKurzoru.begin(), bezKurzoru.end(), lpddsprime->Row(0)));

    const uint16_t jantar = Pixel565(0xE09020);
    Zmackni(VK_LEFT);
    EXPECT_EQ(Obrazovka(13 + 22 * 12, 13 + 22 * 12), jantar) << "the first press shows the cursor where it is";
    Stisk(VK_RIGHT);
    Pust(VK_RIGHT);
    Stisk(VK_DOWN);
    Opakuj(VK_DOWN);
    Pust(VK_DOWN);
    Krok();
    EXPECT_EQ(Obrazovka(13 + 22 * 13, 13 + 22 * 14), jantar) << "the cursor on cell (13, 14)";
    EXPECT_EQ(Obrazovka(13 + 22 * 14, 13 + 22 * 15), jantar) << "its far corner";
    EXPECT_EQ(Obrazovka(13 + 22 * 13 + 11, 13 + 22 * 14 + 11), Pixel565(DESKA));

    Stisk(VK_SPACE);
    Krok();
    EXPECT_EQ(CHPHraciPole.Pole[14][13], 1);
    EXPECT_EQ(PlayGame, 1);
    Opakuj(VK_SPACE);
    Krok();
    Pust(VK_SPACE);
    EXPECT_EQ(PocetZnacek(1), 1) << "a held Space places one mark";
    EXPECT_EQ(PocetZnacek(2), 1) << "the computer answered";
    EXPECT_EQ(Score.GetPocetTahu(), 2);
    const std::vector<uint8_t> tahy = CtiSoubor("data/tahy.dat");
    ASSERT_EQ(tahy.size(), 8u);
    EXPECT_EQ(tahy[0] | tahy[1] << 8, 14 * 26 + 13);

    Zprava(WM_MOUSEMOVE, 0, 5, 5);
    Krok();
    EXPECT_EQ(Obrazovka(13 + 22 * 13, 13 + 22 * 14), Pixel565(DESKA)) << "the pointer moved: no cursor";
    Stisk(VK_RETURN);
    Krok();
    EXPECT_EQ(PocetZnacek(1), 1);
}

TEST_F(Hra, TabMovesAFocusThroughTheButtonsAndEnterOrSpacePressesThemAsAClickWould)
{
    const uint16_t jantar = Pixel565(0xE09020);
    struct Pripad {
        int taby;
        bool shift;
        int klavesa;
        int stav;
    };
    // Two players, against the computer, the best players, the end; Shift goes back.
    const Pripad pripady[] = {{1, false, VK_RETURN, 18}, {2, false, VK_SPACE, 20}, {3, false, VK_SPACE, 10},
                              {4, false, VK_RETURN, 7},  {1, true, VK_RETURN, 7}};
    for (const Pripad& p : pripady) {
        NaHerniObrazovku();
        FokusTlacitka = 0;  // each case starts on the board
        if (p.shift)
            Stisk(VK_SHIFT);
        for (int i = 0; i < p.taby; ++i)
            Zmackni(VK_TAB);
        if (p.shift)
            Pust(VK_SHIFT);
        const int top = kHorniOkrajeTlacitek[(p.shift ? 5 - p.taby : p.taby) - 1];
        EXPECT_EQ(Obrazovka(620, top), jantar) << p.taby << " tabs: the focused button is framed";
        Zmackni(p.klavesa);
        EXPECT_EQ(GameState, p.stav) << p.taby << " tabs";
    }
    Krok();
    Zmackni(VK_RETURN);
    MSG msg{};
    while (PeekMessage(&msg) && msg.message != WM_QUIT) {
    }
    EXPECT_EQ(msg.message, WM_QUIT) << "Konec, Enter, Enter";
    End = 0;

    NaHerniObrazovku();
    FokusTlacitka = 0;
    for (int i = 0; i < 5; ++i)
        Zmackni(VK_TAB);
    EXPECT_EQ(Obrazovka(13 + 22 * 12, 13 + 22 * 12), jantar) << "round to the board: the cell cursor";
    Zmackni(VK_SPACE);
    EXPECT_EQ(CHPHraciPole.Pole[12][12], 1);
}

TEST_F(Hra, TheDialogFontFitsTheAnswerBoxesAndThePanel)
{
    auto napis = [](Surface& s, int x, int y, const char* text) {
        DeviceContext* dc = nullptr;
        ASSERT_TRUE(s.GetDC(&dc));
        dc->SetTextColor(RGB(255, 255, 0));
        dc->TextOut(x, y, text, -1);
        s.ReleaseDC(dc);
    };
    Surface s(400, 60);
    napis(s, 20, 20, "ANO");
    EXPECT_TRUE(RadekMaText(&s, 20, 49, 20, 39, 0));
    EXPECT_FALSE(RadekMaText(&s, 49, 400, 0, 60, 0)) << "within 29 pixels";
    EXPECT_FALSE(RadekMaText(&s, 0, 400, 39, 60, 0)) << "within 19 pixels";

    // Both questions end inside the panel, whose right edge is x = 380.
    const std::pair<const char*, int> otazky[] = {{kOtazkaNovaHra, 195}, {kOtazkaKonec, 230}};
    for (const auto& [otazka, x] : otazky) {
        Surface panel(400, 60);
        napis(panel, x, 10, otazka);
        EXPECT_TRUE(RadekMaText(&panel, x, 380, 10, 30, 0)) << otazka;
        EXPECT_FALSE(RadekMaText(&panel, 380, 400, 0, 60, 0)) << otazka;
    }
}

TEST_F(Hra, TheDialogDimsItsPanelWithTheExactArithmetic)
{
    NaHerniObrazovku();
    Krok(2);  // two frames of the game screen fill both buffers
    GameState = 7;
    Krok();
    const uint16_t deska = Pixel565(DESKA);
    const uint16_t ztlumena = static_cast<uint16_t>((deska & 0xF91B) >> 1);
    EXPECT_EQ(lpddsprime->Row(345)[185], ztlumena);
    EXPECT_EQ(lpddsback->Row(345)[185], ztlumena) << "both buffers carry the dialog";
    EXPECT_EQ(lpddsprime->Row(350)[185], deska);
    EXPECT_EQ(lpddsprime->Row(345)[380], deska);
}

TEST_F(Hra, TheTableFromTheMenuAbandonsTheGameAndKeepsTheMode)
{
    HumanOrAI = 0;
    NaHerniObrazovku();
    KlikNaPole(3, 3);
    Krok();
    Klik(700, 395);
    Krok();
    ASSERT_EQ(GameState, 10);
    Krok();
    EXPECT_EQ(ZobrazNejlepsi, 2);
    Klik(5, 5);
    ASSERT_TRUE(DoStavu(2));
    EXPECT_EQ(HumanOrAI, 0);
    EXPECT_EQ(PocetZnacek(1), 0);
    EXPECT_EQ(Score.GetPocetTahu(), 0);
    EXPECT_EQ(PlayGame, 0);
}

TEST_F(Hra, TheIntroHoldsLongerOnTheFirstRun)
{
    // The holds; the curtain frames sleep out what is left of their 20 ms.
    std::vector<uint32_t> holds;
    clock.onSleep = [&holds](uint32_t ms) {
        if (ms > SLEEPTIME)
            holds.push_back(ms);
    };
    GameState = 0;
    Krok();
    EXPECT_EQ(GameState, 1);
    EXPECT_EQ(holds, std::vector<uint32_t>(5, 2000));
    ASSERT_TRUE(std::filesystem::exists("data/poprve.dat"));
    EXPECT_EQ(std::filesystem::file_size("data/poprve.dat"), 0u);
    EXPECT_EQ(Obrazovka(400, 300), Pixel565(DESKA)) << "the intro ends on the empty board";

    const uint32_t pred = clock.now;
    holds.clear();
    GameState = 0;
    Krok();
    EXPECT_EQ(holds, std::vector<uint32_t>(5, 500));
    EXPECT_GE(clock.now - pred, 5u * 500 + 5 * 62 * 20) << "five curtains of 62 frames of 20 ms";
}

// The font is looked for after the intro; in a fresh process, since the
// fonts found are kept for the run.
TEST_F(Hra, WithNoFontInstalledTheIntroEndsWithOneWarning)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            BezPisem();
            Krok();
            const std::string log = CtiText("Ortelanka.log");
            const std::string varovani = "'Zadne pismo: dialogy a tabulka budou bez textu' :: warning.";
            const size_t at = log.find(varovani);
            const bool jednou = at != std::string::npos && log.find(varovani, at + 1) == std::string::npos;
            std::exit(GameState == 1 && jednou ? 3 : 0);
        },
        ::testing::ExitedWithCode(3), "");
}

}  // namespace
