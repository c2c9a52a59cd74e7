#include "Display.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <string>

static Display* currentDisplay = nullptr;

namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

// Whether SDL_VIDEODRIVER (a comma-separated list) names the driver.
bool Requested(const char* driver)
{
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    if (!wanted)
        return false;
    const std::string list = std::string(",") + wanted + ",";
    return list.find(std::string(",") + driver + ",") != std::string::npos;
}

// The video subsystem on a real display, or on an invisible driver that was asked for.
bool StartVideo()
{
    // A double click needs its second press within a few pixels of the first,
    // as on Windows; SDL's default of 32 pixels swallows quick clicks on
    // neighbouring cells.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "4");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool invisible = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (invisible && !Requested(driver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

// Without a window manager nobody makes a full-screen window as large as the
// screen, so the window is given the screen's size and place itself.
void CoverScreen(SDL_Window* window)
{
    SDL_Rect screen;
    if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window)), &screen) != 0)
        return;
    SDL_SetWindowPosition(window, screen.x, screen.y);
    SDL_SetWindowSize(window, screen.w, screen.h);
}

}  // namespace

bool DisplayAvailable()
{
    if (!StartVideo())
        return false;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return true;
}

Display* Display::Create(const char* title, bool fullScreen)
{
    if (!StartVideo())
        return nullptr;
    Display* display = new Display;
    display->fullScreen = fullScreen;
    // Made as large as the screen from the start when full screen, so that
    // it covers the screen with or without a window manager.
    SDL_Rect place{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWindowWidth, kWindowHeight};
    if (fullScreen)
        SDL_GetDisplayBounds(0, &place);
    display->window = SDL_CreateWindow(title, place.x, place.y, place.w, place.h,
                                       SDL_WINDOW_RESIZABLE | (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
    if (display->window)
        display->renderer = SDL_CreateRenderer(display->window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!display->renderer) {
        delete display;
        return nullptr;
    }
    SDL_ShowCursor(SDL_ENABLE);
    currentDisplay = display;
    return display;
}

void Display::SetFullScreen(bool on)
{
    if (on == fullScreen)
        return;
    if (on) {
        CoverScreen(window);
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowSize(window, kWindowWidth, kWindowHeight);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    fullScreen = on;
    Repaint();
}

Display::~Display()
{
    if (currentDisplay == this)
        currentDisplay = nullptr;
    if (texture)
        SDL_DestroyTexture(texture);
    if (renderer)
        SDL_DestroyRenderer(renderer);
    if (window)
        SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool Display::SetDisplayMode(int width, int height, int bitsPerPixel)
{
    if (bitsPerPixel != 16 || texture)
        return false;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    if (SDL_RenderSetLogicalSize(renderer, width, height) != 0)
        return false;
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width, height);
    return texture != nullptr;
}

Surface* Display::CreateSurface(const SurfaceDesc* desc)
{
    if (!desc || !(desc->dwFlags & DDSD_CAPS))
        return nullptr;
    if (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) {
        if (!texture || primary)
            return nullptr;
        int w = 0, h = 0;
        SDL_QueryTexture(texture, nullptr, nullptr, &w, &h);
        primary = std::make_unique<Surface>(w, h);
        primary->display = this;
        if ((desc->dwFlags & DDSD_BACKBUFFERCOUNT) && desc->dwBackBufferCount == 1) {
            back = std::make_unique<Surface>(w, h);
            primary->backBuffer = back.get();
        }
        return primary.get();
    }
    if (!(desc->dwFlags & DDSD_WIDTH) || !(desc->dwFlags & DDSD_HEIGHT) || desc->dwWidth == 0 ||
        desc->dwHeight == 0 || desc->dwWidth > 8192 || desc->dwHeight > 8192)
        return nullptr;
    return new Surface(static_cast<int>(desc->dwWidth), static_cast<int>(desc->dwHeight));
}

Clipper* Display::CreateClipper()
{
    return new Clipper;
}

void Display::Present(const Surface& front)
{
    framePending = false;
    if (!texture)
        return;
    SDL_UpdateTexture(texture, nullptr, front.pixels.data(), front.width * static_cast<int>(sizeof(uint16_t)));
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

void Display::PresentIfPending()
{
    if (framePending && primary)
        Present(*primary);
}

void Display::Repaint()
{
    if (primary)
        Present(*primary);
}

void PresentPendingFrame()
{
    if (currentDisplay)
        currentDisplay->PresentIfPending();
}

void RepaintDisplay()
{
    if (currentDisplay)
        currentDisplay->Repaint();
}
