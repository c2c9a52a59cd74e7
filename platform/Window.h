// The one window and its message queue, fed from SDL's events and translated
// to the messages the game's window procedure expects.
#pragma once

#include "Types.h"

#include <cstdint>

class Window;
using HWND = Window*;
using WNDPROC = intptr_t (*)(HWND, uint32_t, uintptr_t, intptr_t);

struct MSG {
    HWND hwnd;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;  // a key pressed with Alt: the window's, not the game's
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
// News from outside the window (online play's broker): it wakes a wait for
// input and records nothing; the next step takes the news.
constexpr uint32_t WM_APP = 0x8000;

// Button and modifier flags of mouse messages.
constexpr uintptr_t MK_LBUTTON = 0x1;
constexpr uintptr_t MK_RBUTTON = 0x2;
constexpr uintptr_t MK_SHIFT = 0x4;
constexpr uintptr_t MK_CONTROL = 0x8;
constexpr uintptr_t MK_MBUTTON = 0x10;

// Virtual-key codes; letters are 0x41..0x5A and the number row 0x30..0x39.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F2 = 0x71;
constexpr int VK_F9 = 0x78;

// Bit 30 of a key-down's lParam: the key was already down, an auto-repeat.
constexpr intptr_t KEY_WAS_DOWN = intptr_t(1) << 30;

constexpr intptr_t MAKELPARAM(int low, int high)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFF) | (static_cast<uint32_t>(high) & 0xFFFF) << 16);
}

bool RegisterWindowClass(const char* className, WNDPROC procedure);
// Null when the class is not registered. The display later makes the window
// full screen or an ordinary resizable one, as asked here.
HWND CreateMainWindow(const char* className, const char* caption, const WindowPlacement& placement);
const char* WindowCaption(HWND window);
WindowPlacement WindowPlaced(HWND window);

// Takes one waiting message without blocking: posted messages first, then a
// quit signal (as the window's destruction), the input, a posted quit. False
// when nothing is to be taken now: the caller runs a step of the game then.
//
// Input keeps its order, and input that arrives while a step runs a blocking
// effect is given whole before the next step, as the original's loop took
// it: a quick click there is gone. Other input comes while the game waits
// between steps, and would have met a step between a press and its release
// in the original's loop, which never waited: so after a left press (or a key
// press) given since the last step, the next message of the mouse (or of the
// keyboard) waits until a step has run, and comes right after it. A quick
// click or a tapped key is then seen by a step, and its release lands where
// the original's would have.
bool PeekMessage(MSG* msg);
// While one lives, a step runs a blocking effect (the intro, a curtain, a
// mark's animation, the blink): what input comes meanwhile came during it.
class BlockingEffect {
public:
    BlockingEffect();
    ~BlockingEffect();
    BlockingEffect(const BlockingEffect&) = delete;
    BlockingEffect& operator=(const BlockingEffect&) = delete;
};
// Input that PeekMessage has not given yet, with what came just now: events
// that make no message (the window's own) are none.
bool InputQueued();
// A posted message or quit is waiting (input is not counted).
bool MessageWaiting();
// The game is asked to end: the window is being closed, a quit signal came or
// a quit was posted. Long waits and animations stop early for it.
bool QuitRequested();
intptr_t DispatchMessage(const MSG* msg);
intptr_t DefWindowProc(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void PostMessage(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void PostQuitMessage(int exitCode);

// Falls back to standard error when no message box can be shown.
void MessageBox(HWND owner, const char* text, const char* caption);
