#include "Window.h"

#include "Display.h"
#include "System.h"

#include <SDL.h>

#include <climits>
#include <cstdio>
#include <deque>
#include <string>

class Window {
public:
    Window(WNDPROC p, const char* c, const WindowPlacement& w) : procedure(p), caption(c), placement(w) {}
    WNDPROC procedure;
    std::string caption;
    WindowPlacement placement;
};

namespace {

std::string registeredClass;
WNDPROC registeredProcedure = nullptr;
Window* mainWindow = nullptr;
std::deque<MSG> posted;
bool quitPosted = false;
int quitCode = 0;
bool destroyed = false;

// The input taken from SDL, translated, in the order it arrived, each message
// with whether it arrived while a step ran a blocking effect. A step runs
// when PeekMessage finds nothing to give.
struct Arrival {
    MSG msg;
    bool duringEffect;
};
std::deque<Arrival> input;
int effectsRunning = 0;
// Presses dispatched since the last step: no step has seen them yet.
bool leftPressUnseen = false;
bool keyPressUnseen = false;

int VirtualKey(const SDL_Keysym& key)
{
    const SDL_Scancode sc = key.scancode;
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
        return '1' + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0)
        return '0';
    if (key.sym >= SDLK_a && key.sym <= SDLK_z)
        return 'A' + (key.sym - SDLK_a);
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)  // a layout whose key gives no Latin letter
        return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12)
        return 0x70 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
        return 0x61 + (sc - SDL_SCANCODE_KP_1);
    switch (sc) {
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return 0x12;
    case SDL_SCANCODE_CAPSLOCK: return 0x14;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_DELETE: return 0x2E;
    case SDL_SCANCODE_KP_0: return 0x60;
    default: return 0xFF;  // no virtual key of its own
    }
}

// The buttons an event says are down, with the modifiers held now.
uintptr_t ButtonFlags(uint32_t buttons)
{
    const SDL_Keymod mod = SDL_GetModState();
    uintptr_t flags = 0;
    if (buttons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
    if (mod & KMOD_SHIFT) flags |= MK_SHIFT;
    if (mod & KMOD_CTRL) flags |= MK_CONTROL;
    return flags;
}

// One SDL event as a window message; false for events the game does not see.
bool Translate(const SDL_Event& e, MSG* msg)
{
    *msg = MSG{mainWindow, 0, 0, 0};
    switch (e.type) {
    case SDL_KEYDOWN:
        msg->wParam = static_cast<uintptr_t>(VirtualKey(e.key.keysym));
        // Enter with Alt held is the window's key, as on Windows; never the game's Enter.
        msg->message = msg->wParam == VK_RETURN && (e.key.keysym.mod & KMOD_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN;
        msg->lParam = e.key.repeat ? KEY_WAS_DOWN : 0;
        return true;
    case SDL_KEYUP:
        msg->message = WM_KEYUP;
        msg->wParam = static_cast<uintptr_t>(VirtualKey(e.key.keysym));
        return true;
    case SDL_MOUSEMOTION:
        msg->message = WM_MOUSEMOVE;
        msg->wParam = ButtonFlags(e.motion.state);
        msg->lParam = MAKELPARAM(e.motion.x, e.motion.y);
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        // Every second press of a quick series is a double click, as on Windows.
        const bool doubleClick = down && e.button.clicks % 2 == 0;
        if (e.button.button == SDL_BUTTON_LEFT)
            msg->message = down ? (doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_LBUTTONUP;
        else if (e.button.button == SDL_BUTTON_RIGHT)
            msg->message = down ? (doubleClick ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN) : WM_RBUTTONUP;
        else if (e.button.button == SDL_BUTTON_MIDDLE)
            msg->message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        else
            return false;
        // The event's own button, not the state now: a quick click's release
        // is often taken from the system before its press is translated.
        const uintptr_t bit = e.button.button == SDL_BUTTON_LEFT    ? MK_LBUTTON
                              : e.button.button == SDL_BUTTON_RIGHT ? MK_RBUTTON
                                                                    : MK_MBUTTON;
        const uintptr_t others = ButtonFlags(SDL_GetMouseState(nullptr, nullptr));
        msg->wParam = down ? others | bit : others & ~bit;
        msg->lParam = MAKELPARAM(e.button.x, e.button.y);
        return true;
    }
    case SDL_WINDOWEVENT:
        // A new size is a new enlarging factor.
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            RepaintDisplay();
        if (e.window.event != SDL_WINDOWEVENT_CLOSE)
            return false;
        [[fallthrough]];
    case SDL_QUIT:
        if (destroyed)
            return false;
        destroyed = true;
        msg->message = WM_DESTROY;
        return true;
    default:
        if (e.type < SDL_USEREVENT)
            return false;
        msg->message = WM_APP;
        return true;
    }
}

// A pointer move is judged by the event's own place on the screen, before
// the renderer turns it into picture coordinates: the window changing under a
// pointer that stays put (full screen switched, the window resized) moves it
// in the picture but not on the screen, and is no move of the player's.
int SDLCALL DropMovesOfTheWindow(void*, SDL_Event* event)
{
    static SDL_Point lastOnScreen{INT_MIN, INT_MIN};
    if (event->type != SDL_MOUSEMOTION)
        return 1;
    SDL_Window* window = SDL_GetWindowFromID(event->motion.windowID);
    if (!window)
        return 1;
    SDL_Point onScreen;
    SDL_GetWindowPosition(window, &onScreen.x, &onScreen.y);
    onScreen.x += event->motion.x;
    onScreen.y += event->motion.y;
    const bool still = onScreen.x == lastOnScreen.x && onScreen.y == lastOnScreen.y && event->motion.state == 0;
    lastOnScreen = onScreen;
    return still ? 0 : 1;
}

// Moves SDL's events into the game's queue, as having arrived during an
// effect or not.
void TakeEvents(bool duringEffect)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    SDL_EventFilter filter = nullptr;
    void* data = nullptr;
    if (!SDL_GetEventFilter(&filter, &data) || filter != DropMovesOfTheWindow)
        SDL_SetEventFilter(DropMovesOfTheWindow, nullptr);
    SDL_Event event;
    MSG msg;
    while (SDL_PollEvent(&event))
        if (Translate(event, &msg))
            input.push_back(Arrival{msg, duringEffect});
}

bool IsMouseMessage(uint32_t message)
{
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP;
}

bool IsKeyMessage(uint32_t message)
{
    return message >= WM_KEYDOWN && message <= WM_SYSKEYDOWN;
}

// The original's loop runs a step whenever no message waits, so a press that
// came while it waited was seen by a step before its release came. Here a
// press and its release may both wait for the loop: the next message of the
// same device then waits for a step. Input that arrived during an effect is
// taken whole before the next step, as the original's loop takes it.
bool WaitsForAStep(const Arrival& next)
{
    if (next.duringEffect)
        return false;
    return (leftPressUnseen && IsMouseMessage(next.msg.message)) ||
           (keyPressUnseen && IsKeyMessage(next.msg.message));
}

}  // namespace

bool RegisterWindowClass(const char* className, WNDPROC procedure)
{
    if (!className || !procedure)
        return false;
    registeredClass = className;
    registeredProcedure = procedure;
    return true;
}

HWND CreateMainWindow(const char* className, const char* caption, const WindowPlacement& placement)
{
    if (!registeredProcedure || registeredClass != className)
        return nullptr;
    if (!mainWindow)
        mainWindow = new Window(registeredProcedure, caption, placement);
    mainWindow->placement = placement;
    destroyed = false;
    System::CatchQuitRequests();
    return mainWindow;
}

const char* WindowCaption(HWND window)
{
    return window ? window->caption.c_str() : "";
}

WindowPlacement WindowPlaced(HWND window)
{
    return window ? window->placement : WindowPlacement();
}

bool PeekMessage(MSG* msg)
{
    if (!posted.empty()) {
        *msg = posted.front();
        posted.pop_front();
        return true;
    }
    if ((System::QuitRequestCaught() || System::DisplayLost()) && !destroyed) {
        destroyed = true;
        *msg = MSG{mainWindow, WM_DESTROY, 0, 0};
        return true;
    }
    TakeEvents(false);
    if (!input.empty() && !WaitsForAStep(input.front())) {
        *msg = input.front().msg;
        input.pop_front();
        leftPressUnseen = leftPressUnseen || msg->message == WM_LBUTTONDOWN;
        keyPressUnseen = keyPressUnseen || msg->message == WM_KEYDOWN;
        return true;
    }
    if (input.empty() && quitPosted) {
        quitPosted = false;
        *msg = MSG{mainWindow, WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
        return true;
    }
    leftPressUnseen = keyPressUnseen = false;
    return false;
}

BlockingEffect::BlockingEffect()
{
    if (effectsRunning++ == 0)
        TakeEvents(false);
}

BlockingEffect::~BlockingEffect()
{
    if (--effectsRunning == 0)
        TakeEvents(true);
}

bool InputQueued()
{
    TakeEvents(false);
    return !input.empty();
}

bool MessageWaiting()
{
    return !posted.empty() || quitPosted;
}

bool QuitRequested()
{
    if (quitPosted || destroyed || System::QuitRequestCaught() || System::DisplayLost())
        return true;
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    SDL_Event events[32];
    if (SDL_PeepEvents(events, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0)
        return true;
    const int n = SDL_PeepEvents(events, 32, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    for (int i = 0; i < n; ++i)
        if (events[i].window.event == SDL_WINDOWEVENT_CLOSE)
            return true;
    return false;
}

intptr_t DispatchMessage(const MSG* msg)
{
    Window* target = msg->hwnd ? msg->hwnd : mainWindow;
    return target ? target->procedure(target, msg->message, msg->wParam, msg->lParam) : 0;
}

intptr_t DefWindowProc(HWND, uint32_t, uintptr_t, intptr_t)
{
    return 0;
}

void PostMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    posted.push_back(MSG{window, message, wParam, lParam});
}

void PostQuitMessage(int exitCode)
{
    quitPosted = true;
    quitCode = exitCode;
}

void MessageBox(HWND, const char* text, const char* caption)
{
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
}
