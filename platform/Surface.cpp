#include "Surface.h"

#include "Text.h"

#include <algorithm>
#include <cstring>

// Every pixel but the key colour; written so that the compiler vectorises it.
static void KopirujSKlicem(uint16_t* __restrict out, const uint16_t* __restrict from, int width, uint16_t key)
{
    for (int x = 0; x < width; ++x)
        out[x] = from[x] == key ? out[x] : from[x];
}

// Versions are unique among all surfaces, so a new surface at the address of
// a released one is never taken for it.
static uint64_t NextVersion()
{
    static uint64_t last = 0;
    return ++last;
}

static bool Intersect(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

Surface::Surface(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h), version(NextVersion()) {}

Surface::~Surface() = default;  // here, where DeviceContext is complete

static int64_t Area(const RECT& r)
{
    return r.right > r.left && r.bottom > r.top ? int64_t(r.right - r.left) * (r.bottom - r.top) : 0;
}

// What is drawn over a copied rectangle leaves the largest part of it beside
// the drawing still a copy: the panel of a frame keeps the board's part.
void Surface::Forget(const RECT* area)
{
    version = NextVersion();
    const RECT r = copyOf.rect;
    if (!area) {
        copyOf.source = nullptr;
    } else if (Intersect(*area, r)) {
        const RECT parts[4] = {{r.left, r.top, area->left, r.bottom},
                               {area->right, r.top, r.right, r.bottom},
                               {r.left, r.top, r.right, area->top},
                               {r.left, area->bottom, r.right, r.bottom}};
        const RECT* largest = std::max_element(parts, parts + 4, [](const RECT& a, const RECT& b) { return Area(a) < Area(b); });
        if (Area(*largest) == 0)
            copyOf.source = nullptr;
        else
            copyOf.rect = *largest;
    }
}

void Surface::Touched(const RECT* area)
{
    Forget(area);
    if (watcher)
        watcher->FrameChanged();
}

bool Surface::HoldsCopyOf(const Surface& source, const RECT& rect) const
{
    const RECT& r = copyOf.rect;
    return copyOf.source == &source && copyOf.sourceVersion == source.version && r.left <= rect.left &&
           r.top <= rect.top && rect.right <= r.right && rect.bottom <= r.bottom;
}

bool Surface::ClipDestination(const RECT& dst, RECT* clipped) const
{
    if (!clipper) {
        if (dst.left < 0 || dst.top < 0 || dst.right > width || dst.bottom > height)
            return false;
        *clipped = dst;
        return true;
    }
    const RECT& c = clipper->ClipList();
    clipped->left = std::max({dst.left, c.left, 0});
    clipped->top = std::max({dst.top, c.top, 0});
    clipped->right = std::min({dst.right, c.right, width});
    clipped->bottom = std::min({dst.bottom, c.bottom, height});
    if (clipped->right < clipped->left)
        clipped->right = clipped->left;
    if (clipped->bottom < clipped->top)
        clipped->bottom = clipped->top;
    return true;
}

bool Surface::Blt(const RECT* dstRect, Surface* source, const RECT* srcRect, uint32_t flags, const BltFx* fx)
{
    if (locked)
        return false;
    const RECT dst = dstRect ? *dstRect : RECT{0, 0, width, height};
    if (dst.right <= dst.left || dst.bottom <= dst.top)
        return false;
    RECT clip;
    if (!ClipDestination(dst, &clip))
        return false;

    if (flags & DDBLT_COLORFILL) {
        if (!fx)
            return false;
        const uint16_t colour = static_cast<uint16_t>(fx->dwFillColor);
        for (int y = clip.top; y < clip.bottom; ++y)
            std::fill(Row(y) + clip.left, Row(y) + clip.right, colour);
        Touched(&clip);
        return true;
    }

    if (!source || source->locked)
        return false;
    const RECT src = srcRect ? *srcRect : RECT{0, 0, source->width, source->height};
    if (src.left < 0 || src.top < 0 || src.right > source->width || src.bottom > source->height ||
        src.right <= src.left || src.bottom <= src.top)
        return false;

    const bool keyed = (flags & DDBLT_KEYSRC) && source->hasKey;
    const uint16_t key = source->key;
    const int width = clip.right - clip.left;
    const int64_t dw = dst.right - dst.left, dh = dst.bottom - dst.top;
    const int64_t sw = src.right - src.left, sh = src.bottom - src.top;
    if (sw == dw && sh == dh) {
        const int shiftX = src.left - dst.left, shiftY = src.top - dst.top;
        if (!keyed && width == this->width && width == source->width && shiftX == 0) {
            // Whole rows of equal surfaces lie end to end: one copy.
            std::memmove(Row(clip.top), source->Row(clip.top + shiftY),
                         static_cast<size_t>(clip.bottom - clip.top) * width * sizeof(uint16_t));
        } else {
            for (int y = clip.top; y < clip.bottom; ++y) {
                const uint16_t* from = source->Row(y + shiftY) + clip.left + shiftX;
                uint16_t* out = Row(y) + clip.left;
                if (keyed)
                    KopirujSKlicem(out, from, width, key);
                else
                    std::memmove(out, from, static_cast<size_t>(width) * sizeof(uint16_t));
            }
        }
        Touched(&clip);
        if (!keyed && shiftX == 0 && shiftY == 0 && source != this)
            copyOf = Copy{source, clip, source->version};
        return true;
    }

    // Stretched: the nearest source column of each destination column,
    // stepped without division.
    std::vector<int> columns(static_cast<size_t>(width));
    const int64_t first = (clip.left - dst.left) * sw;
    int sx = static_cast<int>(src.left + first / dw);
    int64_t remainder = first % dw;
    for (int& column : columns) {
        column = sx;
        for (remainder += sw; remainder >= dw; remainder -= dw)
            ++sx;
    }
    for (int y = clip.top; y < clip.bottom; ++y) {
        const uint16_t* in = source->Row(static_cast<int>(src.top + (y - dst.top) * sh / dh));
        uint16_t* out = Row(y) + clip.left;
        for (int x = 0; x < width; ++x) {
            const uint16_t p = in[columns[static_cast<size_t>(x)]];
            if (!keyed || p != key)
                out[x] = p;
        }
    }
    Touched(&clip);
    return true;
}

bool Surface::Flip(Surface*, uint32_t)
{
    if (!backBuffer || !watcher || locked || backBuffer->locked)
        return false;
    std::swap(pixels, backBuffer->pixels);
    Forget(nullptr);
    backBuffer->Forget(nullptr);
    watcher->Flipped(*this, *backBuffer);
    return true;
}

bool Surface::GetSurfaceDesc(SurfaceDesc* desc) const
{
    if (!desc)
        return false;
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc->dwWidth = static_cast<uint32_t>(width);
    desc->dwHeight = static_cast<uint32_t>(height);
    desc->lPitch = width * static_cast<int32_t>(sizeof(uint16_t));
    desc->lpSurface = nullptr;
    desc->ddpfPixelFormat = PIXELFORMAT565;
    desc->ddsCaps = SurfaceCaps{watcher ? DDSCAPS_PRIMARYSURFACE : DDSCAPS_OFFSCREENPLAIN, 0, 0, 0};
    return true;
}

bool Surface::Lock(const RECT*, SurfaceDesc* desc, uint32_t)
{
    if (locked || !GetSurfaceDesc(desc))
        return false;
    desc->lpSurface = pixels.data();
    locked = true;
    return true;
}

bool Surface::Unlock(const RECT*)
{
    if (!locked)
        return false;
    locked = false;
    Touched();
    return true;
}

bool Surface::SetColorKey(uint32_t flags, const ColorKey* colorKey)
{
    if (!(flags & DDCKEY_SRCBLT) || !colorKey)
        return false;
    hasKey = true;
    key = static_cast<uint16_t>(colorKey->dwColorSpaceLowValue);
    return true;
}

bool Surface::SetClipper(Clipper* c)
{
    clipper = c;
    return true;
}

bool Surface::GetAttachedSurface(const SurfaceCaps* caps, Surface** attached)
{
    if (!caps || !(caps->dwCaps & DDSCAPS_BACKBUFFER) || !backBuffer)
        return false;
    *attached = backBuffer;
    return true;
}

// The context holds the surface locked, so nothing blits to or from it
// meanwhile. Every keyed blit takes one, so it is made once and reset.
bool Surface::GetDC(DeviceContext** dc)
{
    if (locked || !dc)
        return false;
    locked = true;
    // A flip may have swapped the pixels since the context was last handed out.
    const PixelBuffer buffer{pixels.data(), width, height};
    if (!context)
        context = std::make_unique<DeviceContext>(buffer);
    context->Reset(buffer);
    *dc = context.get();
    return true;
}

bool Surface::ReleaseDC(DeviceContext* dc)
{
    if (!dc || dc != context.get())
        return false;
    locked = false;
    if (dc->Drew())  // reading a pixel changes nothing
        Touched();
    return true;
}

bool Surface::CopyBitmap(const Bitmap& bitmap)
{
    if (locked)
        return false;
    const int w = std::min(width, bitmap.Width());
    const int h = std::min(height, bitmap.Height());
    for (int y = 0; y < h; ++y)
        std::memcpy(Row(y), bitmap.Row(y), static_cast<size_t>(w) * sizeof(uint16_t));
    Touched();
    return true;
}
