#include "Display.h"

#include <SDL.h>

static Display* currentDisplay = nullptr;

#ifdef __EMSCRIPTEN__
#include <vector>

// A page keeps showing its canvas: a frame like the one shown costs nothing,
// so an idle game screen that redraws itself every frame stays cheap.
static std::vector<uint16_t> shownPixels;
#endif

Display* Display::Create(const char* title)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return nullptr;
    Display* display = new Display;
#ifdef __EMSCRIPTEN__
    // The page scales the canvas to fit; a full-screen request would wait for
    // the player's next click and take the whole screen then.
    const uint32_t flags = 0;
#else
    const uint32_t flags = SDL_WINDOW_FULLSCREEN_DESKTOP;
#endif
    display->window = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 800, 600, flags);
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
#ifdef __EMSCRIPTEN__
    if (front.pixels == shownPixels)
        return;
    shownPixels = front.pixels;
#endif
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
