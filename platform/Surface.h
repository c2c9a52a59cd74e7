// Surfaces: 16-bit 5-6-5 pixel buffers with stretching, colour-keyed blits,
// colour fills, a rectangular clip, lock/unlock and a flipping primary.
#pragma once

#include "Bitmap.h"
#include "Pixels.h"
#include "Types.h"

#include <cstdint>
#include <memory>

class Clipper;
class DeviceContext;
class Surface;

// Whoever shows a primary surface: told when its pixels may have changed and
// when a flip swapped them with the back buffer's.
class SurfaceWatcher {
public:
    virtual void FrameChanged() = 0;
    virtual void Flipped(const Surface& front, const Surface& flippedAway) = 0;

protected:
    ~SurfaceWatcher() = default;
};

struct PixelFormat {
    uint32_t dwSize;
    uint32_t dwRGBBitCount;
    uint32_t dwRBitMask;
    uint32_t dwGBitMask;
    uint32_t dwBBitMask;
};

struct SurfaceCaps {
    uint32_t dwCaps;
    uint32_t dwCaps2;
    uint32_t dwCaps3;
    uint32_t dwCaps4;
};

struct SurfaceDesc {
    uint32_t dwSize;
    uint32_t dwFlags;
    uint32_t dwHeight;
    uint32_t dwWidth;
    int32_t lPitch;
    uint32_t dwBackBufferCount;
    void* lpSurface;
    PixelFormat ddpfPixelFormat;
    SurfaceCaps ddsCaps;
};

struct BltFx {
    uint32_t dwSize;
    uint32_t dwFillColor;
};

struct ColorKey {
    uint32_t dwColorSpaceLowValue;
    uint32_t dwColorSpaceHighValue;
};

// Description flags.
constexpr uint32_t DDSD_CAPS = 0x1;
constexpr uint32_t DDSD_HEIGHT = 0x2;
constexpr uint32_t DDSD_WIDTH = 0x4;
constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x20;
// Capabilities.
constexpr uint32_t DDSCAPS_BACKBUFFER = 0x4;
constexpr uint32_t DDSCAPS_COMPLEX = 0x8;
constexpr uint32_t DDSCAPS_FLIP = 0x10;
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x200;
// Blit, flip, lock and key flags.
constexpr uint32_t DDBLT_COLORFILL = 0x400;
constexpr uint32_t DDBLT_KEYSRC = 0x8000;
constexpr uint32_t DDBLT_WAIT = 0x1000000;
constexpr uint32_t DDFLIP_WAIT = 0x1;
constexpr uint32_t DDLOCK_WAIT = 0x1;
constexpr uint32_t DDCKEY_SRCBLT = 0x8;

// The one pixel format of the game: 16 bits, 5-6-5.
constexpr PixelFormat PIXELFORMAT565{sizeof(PixelFormat), 16, 0xF800, 0x07E0, 0x001F};

class Surface {
public:
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Copies srcRect of source onto dst (null: whole surfaces), stretching when
    // the sizes differ and, with DDBLT_KEYSRC, leaving the destination wherever
    // the source pixel equals the source's colour key. DDBLT_COLORFILL fills dst
    // with fx->dwFillColor instead. With a clipper the destination is cut to its
    // rectangle; without one a rectangle outside the surface is refused.
    bool Blt(const RECT* dst, Surface* source, const RECT* srcRect, uint32_t flags, const BltFx* fx);
    // Primary only: swaps the pixels with the back buffer and shows them.
    bool Flip(Surface* override, uint32_t flags);
    bool Lock(const RECT* rect, SurfaceDesc* desc, uint32_t flags);
    bool Unlock(const RECT* rect);
    bool GetSurfaceDesc(SurfaceDesc* desc) const;
    bool SetColorKey(uint32_t flags, const ColorKey* key);
    bool SetClipper(Clipper* clipper);
    bool GetAttachedSurface(const SurfaceCaps* caps, Surface** attached);
    // A drawing context for reading pixels and writing text; give it back
    // with ReleaseDC.
    bool GetDC(DeviceContext** dc);
    bool ReleaseDC(DeviceContext* dc);
    // Copies a loaded picture to the top-left corner, cut at the edges.
    bool CopyBitmap(const Bitmap& bitmap);

    // Whether the rectangle still holds what the last unkeyed one-to-one copy
    // from the same rectangle of `source` put there: nothing has drawn into it
    // since, and the source has not changed.
    bool HoldsCopyOf(const Surface& source, const RECT& rect) const;
    // Makes this the primary surface that the watcher shows, flipping with
    // the back buffer when there is one.
    void MakePrimary(SurfaceWatcher* shownBy, Surface* back)
    {
        watcher = shownBy;
        backBuffer = back;
    }
    // Changes whenever the pixels may have changed.
    uint64_t Version() const { return version; }

    int Width() const { return width; }
    int Height() const { return height; }
    uint16_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint16_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }

private:
    bool ClipDestination(const RECT& dst, RECT* clipped) const;
    // Pixels of the area (null: anywhere) may have changed.
    void Touched(const RECT* area = nullptr);
    void Forget(const RECT* area);

    int width;
    int height;
    Pixels pixels;
    bool hasKey = false;
    uint16_t key = 0;
    Clipper* clipper = nullptr;
    Surface* backBuffer = nullptr;  // set on a flipping primary only
    SurfaceWatcher* watcher = nullptr;  // set on the primary only
    bool locked = false;
    std::unique_ptr<DeviceContext> context;
    uint64_t version;
    struct Copy {
        const Surface* source;
        RECT rect;
        uint64_t sourceVersion;
    } copyOf{nullptr, {0, 0, 0, 0}, 0};
};

// A rectangular clip list.
class Clipper {
public:
    void SetClipList(const RECT& rect) { clip = rect; }
    const RECT& ClipList() const { return clip; }

private:
    RECT clip{0, 0, 0, 0};
};
