// Start-up, the window procedure, the main loop and shut-down.
#include "main.h"

#include "board/HraciPole.h"
#include "log/Log.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "OnlineScreen.h"
#include "platform/Settings.h"
#include "records/Score.h"
#include "sound/DSFuncs.h"

int GameState = 0;
int PlayGame = 0;
int HumanOrAI = 1;
int End = 0;
int NewGame = 0;
int ZobrazNejlepsi = 0;
int ZapisNejlepsi = 0;
int ZapisOn = 0;
int MaxScore = 0;
char szBestName[20] = {};
int DelkaJmena = 0;
uint32_t PosledniKlavesa = 0;
int Pismeno = 0;
bool keys[256] = {};
POINT ptClick = {0, 0};
uint32_t fwMouseKeys = 0;
CNejlepsi* NejlepsiHraci = nullptr;
SoundDevice* lpds = nullptr;
SoundBuffer* lpdsbMusic = nullptr;
POINT PosunKurzoru = {0, 0};
POINT Kurzor = {12, 12};
bool KurzorZobrazen = false;
int FokusTlacitka = 0;

// The window and music choices of this run, saved whenever they change.
static Settings nastaveni;

// Only the choice just made is written into the file, which another copy
// of the game may have changed meanwhile.
static void UlozNastaveni(const std::function<void(Settings*)>& zmena)
{
    if (!SaveSettingChange(nastaveni, zmena))
        Log.Write("Nastaveni nelze ulozit: ortelanka.conf", 2);
}

// Alt+Enter: full screen or the window, at once and on any screen.
static void PrepniZobrazeni()
{
    if (!lpdd)
        return;
    lpdd->SetFullScreen(!lpdd->FullScreen());
    nastaveni.fullScreen = lpdd->FullScreen();
    lpdd->ShowNote(nastaveni.fullScreen ? "Cel\xE1 obrazovka" : "Okno");
    UlozNastaveni([](Settings* s) { s->fullScreen = nastaveni.fullScreen; });
}

// F9: the music stops where it is and goes on from there.
static void PrepniHudbu()
{
    nastaveni.music = !nastaveni.music;
    if (lpds)
        lpds->Pause(!nastaveni.music);
    if (lpdd)
        lpdd->ShowNote(nastaveni.music ? "Hudba zapnuta" : "Hudba vypnuta");
    UlozNastaveni([](Settings* s) { s->music = nastaveni.music; });
}

static void PosunKurzorem(int dx, int dy)
{
    PosunKurzoru.x += dx;
    PosunKurzoru.y += dy;
}

// The halves of a position are unsigned 16-bit numbers, never sign-extended.
static POINT BodZParametru(intptr_t lParam)
{
    return POINT{static_cast<int32_t>(lParam & 0xFFFF), static_cast<int32_t>((lParam >> 16) & 0xFFFF)};
}

// Ctrl is down: Ctrl+V pastes into the online screen.
static bool ctrlDrzen = false;

// Only records the input; every reaction happens in a state step.
intptr_t TheWindowProc(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    // F9 and Alt+Enter belong to the window: the game never sees them.
    const bool opakovani = (lParam & KEY_WAS_DOWN) != 0;
    switch (message) {
    case WM_SYSKEYDOWN:
        if (wParam == VK_RETURN && !opakovani)
            PrepniZobrazeni();
        break;
    case WM_KEYDOWN:
        if (wParam == VK_F9) {
            if (!opakovani)
                PrepniHudbu();
            return 0;
        }
        if (wParam == VK_CONTROL)
            ctrlDrzen = true;
        // The online screen, while it is open, takes every key.
        if (!opakovani && OnlineScreenKey(static_cast<int>(wParam), ctrlDrzen))
            return 0;
        if (OnlineScreenOpen())
            return 0;
        Pismeno = static_cast<int>(wParam);
        // Auto-repeat is no new press: a held key does not answer a screen again.
        if (!opakovani)
            keys[wParam & 0xFF] = true;
        if (wParam == VK_LEFT || wParam == VK_RIGHT)
            PosunKurzorem(wParam == VK_LEFT ? -1 : 1, 0);
        if (wParam == VK_UP || wParam == VK_DOWN)
            PosunKurzorem(0, wParam == VK_UP ? -1 : 1);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_CONTROL)
            ctrlDrzen = false;
        if (wParam == VK_F9)
            return 0;
        Pismeno = 0;
        keys[wParam & 0xFF] = false;
        return 0;
    case WM_MOUSEMOVE:
        fwMouseKeys = 0;
        ptMouse = BodZParametru(lParam);
        KurzorZobrazen = false;
        FokusTlacitka = 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
        // A click beside the online screen closes it and is no move.
        if (OnlineScreenOpen()) {
            if (message == WM_LBUTTONDOWN)
                CloseOnlineScreen();
            return 0;
        }
        fwMouseKeys = static_cast<uint32_t>(wParam);
        ptClick = BodZParametru(lParam);
        break;
    case WM_PAINT:
        return 0;
    case WM_DESTROY:
        Log.Write("Destroy Window", 1);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

bool Game_Init()
{
    NejlepsiHraci = new CNejlepsi;
    PripravPismoDialogu();
    DD_Init();
    lpds = SoundDevice::Create();
    if (lpds) {
        lpds->Pause(!nastaveni.music);
        lpdsbMusic = LPDSB_LoadFromFile(lpds, "data/sound/music.wav", 0);
        if (lpdsbMusic)
            lpdsbMusic->Play(true);
    }
    CHPHraciPole.InitHraciPole(lpdd);
    return true;
}

// The window's size, when the player gave it one, is there again next time.
static void ZapamatujOkno()
{
    if (!lpdd)
        return;
    const WindowPlacement okno = lpdd->Placement();
    const bool puvodni = okno.width == 800 && okno.height == 600 && nastaveni.windowWidth == 0;
    if (puvodni || (okno.width == nastaveni.windowWidth && okno.height == nastaveni.windowHeight))
        return;
    nastaveni.windowWidth = okno.width;
    nastaveni.windowHeight = okno.height;
    UlozNastaveni([](Settings* s) {
        s->windowWidth = nastaveni.windowWidth;
        s->windowHeight = nastaveni.windowHeight;
    });
}

void Game_Done()
{
    OpustHruPoSiti();
    ZapamatujOkno();
    DD_Done();
    LPDSB_Release(&lpdsbMusic);
    if (lpds) {
        delete lpds;
        lpds = nullptr;
    }
    if (NejlepsiHraci) {
        delete NejlepsiHraci;
        NejlepsiHraci = nullptr;
    }
}

int WinMain(const CommandLine& line)
{
    const WindowChoice window = line.window;
    Log.Init();
    nastaveni = Settings();
    if (LoadSettings(&nastaveni) == SettingsStatus::Damaged)
        Log.Write("Nastaveni nelze precist, plati vychozi: ortelanka.conf", 2);
    if (window != WindowChoice::Remembered)
        nastaveni.fullScreen = window == WindowChoice::FullScreen;
    if (!RegisterWindowClass("Ortelanka", TheWindowProc))
        return 0;
    Log.Write("Registrace tridy okna", 1);
    hWndMain = CreateMainWindow("Ortelanka", "Ortelaky od Zorb :o)",
                                WindowPlacement{nastaveni.fullScreen, nastaveni.windowWidth, nastaveni.windowHeight});
    if (!hWndMain)
        return 0;
    Log.Write("Hlavni okno", 1);
    if (!Game_Init())
        return 0;
    Log.Write("Inicializace hry", 1);
    ZacniHruPoSiti(line);

    // Every pass counts towards fps, whether it handles a message or a step.
    uint32_t measuringStart = timeGetTime();
    int passes = 0;
    MSG msg{};
    for (;;) {
        const uint32_t now = timeGetTime();
        ++passes;
        if (static_cast<int32_t>(now - measuringStart) > 1000) {
            measuringStart = timeGetTime();
            fps = passes;
            passes = 0;
        }
        if (PeekMessage(&msg)) {
            if (msg.message == WM_QUIT)
                break;
            DispatchMessage(&msg);
        } else {
            Game_Loop();
        }
    }

    Game_Done();
    Log.Write("Konec programu", 1);
    return static_cast<int>(msg.wParam);
}
