// Start-up, the window procedure, the main loop and shut-down.
#include "main.h"

#include "board/HraciPole.h"
#include "log/Log.h"
#include "platform/Clock.h"
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

// The halves of a position are unsigned 16-bit numbers, never sign-extended.
static POINT BodZParametru(intptr_t lParam)
{
    return POINT{static_cast<int32_t>(lParam & 0xFFFF), static_cast<int32_t>((lParam >> 16) & 0xFFFF)};
}

// Only records the input; every reaction happens in a state step.
intptr_t TheWindowProc(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        Pismeno = static_cast<int>(wParam);
        keys[wParam & 0xFF] = true;
        return 0;
    case WM_KEYUP:
        Pismeno = 0;
        keys[wParam & 0xFF] = false;
        return 0;
    case WM_MOUSEMOVE:
        fwMouseKeys = 0;
        ptMouse = BodZParametru(lParam);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
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
    DD_Init();
    lpds = SoundDevice::Create();
    if (lpds) {
        lpdsbMusic = LPDSB_LoadFromFile(lpds, "data/sound/music.wav", 0);
        if (lpdsbMusic)
            lpdsbMusic->Play(true);
    }
    CHPHraciPole.InitHraciPole(lpdd);
    return true;
}

void Game_Done()
{
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

int WinMain()
{
    Log.Init();
    if (!RegisterWindowClass("Ortelanka", TheWindowProc))
        return 0;
    Log.Write("Registrace tridy okna", 1);
    hWndMain = CreateMainWindow("Ortelanka", "Ortelaky od Zorb :o)");
    if (!hWndMain)
        return 0;
    Log.Write("Hlavni okno", 1);
    if (!Game_Init())
        return 0;
    Log.Write("Inicializace hry", 1);

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
