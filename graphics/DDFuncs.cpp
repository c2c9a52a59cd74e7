#include "DDFuncs.h"

#include "GDICanvas.h"
#include "log/Log.h"

#include <cstdio>
#include <cstring>

void DDSD_Clear(SurfaceDesc* desc)
{
    std::memset(desc, 0, sizeof *desc);
    desc->dwSize = sizeof *desc;
}

void DDSD_PrimarySurface(SurfaceDesc* desc)
{
    DDSD_Clear(desc);
    desc->dwFlags = DDSD_CAPS;
    desc->ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
}

void DDSD_PrimarySurfaceWBackBuffer(SurfaceDesc* desc, unsigned long count)
{
    DDSD_Clear(desc);
    desc->dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc->ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc->dwBackBufferCount = static_cast<uint32_t>(count);
}

void DDSD_OffscreenSurface(SurfaceDesc* desc, unsigned long width, unsigned long height)
{
    DDSD_Clear(desc);
    desc->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc->ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc->dwWidth = static_cast<uint32_t>(width);
    desc->dwHeight = static_cast<uint32_t>(height);
}

void DDSCAPS_Clear(SurfaceCaps* caps)
{
    std::memset(caps, 0, sizeof *caps);
}

void DDSCAPS_BackBuffer(SurfaceCaps* caps)
{
    DDSCAPS_Clear(caps);
    caps->dwCaps = DDSCAPS_BACKBUFFER;
}

void DDBLTFX_Clear(BltFx* fx)
{
    std::memset(fx, 0, sizeof *fx);
    fx->dwSize = sizeof *fx;
}

void DDBLTFX_ColorFill(BltFx* fx, unsigned long colour)
{
    DDBLTFX_Clear(fx);
    fx->dwFillColor = static_cast<uint32_t>(colour);
}

void DDPF_Clear(PixelFormat* format)
{
    std::memset(format, 0, sizeof *format);
    format->dwSize = sizeof *format;
}

Display* LPDD_Create(HWND window)
{
    return Display::Create(WindowCaption(window), WindowPlaced(window));
}

void LPDD_Release(Display** dd)
{
    if (*dd) {
        delete *dd;
        *dd = nullptr;
    }
}

Surface* LPDDS_CreatePrimary(Display* dd, unsigned long backBufferCount)
{
    SurfaceDesc desc;
    if (backBufferCount == 0)
        DDSD_PrimarySurface(&desc);
    else
        DDSD_PrimarySurfaceWBackBuffer(&desc, backBufferCount);
    return dd->CreateSurface(&desc);
}

Surface* LPDDS_GetSecondary(Surface* primary)
{
    SurfaceCaps caps;
    DDSCAPS_BackBuffer(&caps);
    Surface* back = nullptr;
    if (primary)
        primary->GetAttachedSurface(&caps, &back);
    return back;
}

Surface* LPDDS_CreateOffscreen(Display* dd, unsigned long width, unsigned long height)
{
    SurfaceDesc desc;
    DDSD_OffscreenSurface(&desc, width, height);
    return dd->CreateSurface(&desc);
}

Surface* LPDDS_LoadFromFile(Display* dd, const char* path)
{
    CGDICanvas canvas;
    canvas.Load(path);
    Surface* surface = nullptr;
    if (dd && canvas.GetWidth() > 0 && canvas.GetHeight() > 0)
        surface = LPDDS_CreateOffscreen(dd, static_cast<unsigned long>(canvas.GetWidth()),
                                        static_cast<unsigned long>(canvas.GetHeight()));
    if (!surface) {
        char message[200];
        std::snprintf(message, sizeof message, "Obrazek nelze nacist: %s", path);
        Log.Write(message, 2);
        return nullptr;
    }
    surface->CopyBitmap(*static_cast<const Bitmap*>(canvas));
    return surface;
}

void LPDDS_Release(Surface** surface)
{
    if (*surface) {
        delete *surface;
        *surface = nullptr;
    }
}

void LPDDS_SetSrcColorKey(Surface* surface, unsigned long key)
{
    ColorKey colorKey{static_cast<uint32_t>(key), static_cast<uint32_t>(key)};
    surface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
}

unsigned long ConvertColorRef(unsigned long rgb, const PixelFormat* format)
{
    const uint32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    const uint32_t red = (r * format->dwRBitMask / 255) & format->dwRBitMask;
    const uint32_t green = (g * format->dwGBitMask / 255) & format->dwGBitMask;
    const uint32_t blue = (b * format->dwBBitMask / 255) & format->dwBBitMask;
    return red | green | blue;
}

unsigned long ConvertDDColor(unsigned long pixel, const PixelFormat* format)
{
    const uint32_t p = static_cast<uint32_t>(pixel);
    const uint32_t r = (p & format->dwRBitMask) * 255 / format->dwRBitMask;
    const uint32_t g = (p & format->dwGBitMask) * 255 / format->dwGBitMask;
    const uint32_t b = (p & format->dwBBitMask) * 255 / format->dwBBitMask;
    return r | g << 8 | b << 16;
}

Clipper* LPDDCLIP_Create(Display* dd, const RECT* region)
{
    Clipper* clipper = dd->CreateClipper();
    clipper->SetClipList(*region);
    return clipper;
}

void LPDDCLIP_Release(Clipper** clipper)
{
    if (*clipper) {
        delete *clipper;
        *clipper = nullptr;
    }
}
