// Plain types shared by the game and the platform.
#pragma once

#include <cstdint>

// 8 bits per channel, red in the low byte.
using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<COLORREF>(r) | static_cast<COLORREF>(g) << 8 | static_cast<COLORREF>(b) << 16;
}

// Right and bottom edges are exclusive.
struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct POINT {
    int32_t x;
    int32_t y;
};

// Where the window goes: full screen, or a window of this size (0: 800 x 600).
struct WindowPlacement {
    bool fullScreen = true;
    int width = 0;
    int height = 0;
};
