#include "Surface.h"

#include "Display.h"
#include "Files.h"
#include "Text.h"
#ifdef __EMSCRIPTEN__
#include "Browser.h"
#endif

#include <SDL.h>

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
    if (display)
        display->FrameChanged();
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
    if (!backBuffer || !display || locked || backBuffer->locked)
        return false;
    std::swap(pixels, backBuffer->pixels);
    Forget(nullptr);
    backBuffer->Forget(nullptr);
    display->PresentFlipped(*this, *backBuffer);
#ifdef __EMSCRIPTEN__
    SleepInBrowser(0);  // the page shows the frame now, as a screen would
#endif
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
    desc->ddsCaps = SurfaceCaps{display ? DDSCAPS_PRIMARYSURFACE : DDSCAPS_OFFSCREENPLAIN, 0, 0, 0};
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
    if (!context)
        context = std::make_unique<DeviceContext>(*this);
    context->Reset();
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

namespace {

int32_t Le32(const uint8_t* p)
{
    return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// What a bitmap file's header says of its pixels.
struct BitmapHeader {
    int width;
    int height;
    bool topFirst;  // rows stored top first (a negative height)
    uint32_t bits;
    uint32_t compression;
    int64_t dataAt;
    int64_t rowBytes;
};

// Whether the bitmap file's header describes a picture that its file really
// holds, of sane dimensions: checked before the pixels are read, since SDL
// would make a surface of whatever size the header claims. Plain rows (no
// run-length compression, whose data says nothing about the picture's size).
bool ReadSaneBitmapHeader(FILE* file, BitmapHeader* header)
{
    constexpr int kLargestSide = 8192;
    uint8_t h[14 + 40] = {};
    if (std::fseek(file, 0, SEEK_END) != 0)
        return false;
    const long size = std::ftell(file);
    if (size < 14 + 12 || std::fseek(file, 0, SEEK_SET) != 0 ||
        std::fread(h, std::min<size_t>(sizeof h, static_cast<size_t>(size)), 1, file) != 1 ||
        std::fseek(file, 0, SEEK_SET) != 0 || h[0] != 'B' || h[1] != 'M')
        return false;
    const int64_t dataAt = static_cast<uint32_t>(Le32(h + 10));
    const uint32_t headerSize = static_cast<uint32_t>(Le32(h + 14));
    int64_t width, height;
    uint32_t bits, compression = 0;
    if (headerSize == 12) {  // the old OS/2 header
        width = Le16(h + 18);
        height = Le16(h + 20);
        bits = Le16(h + 24);
    } else if (headerSize >= 40 && headerSize <= 124 && size >= 14 + 40) {
        width = Le32(h + 18);
        height = Le32(h + 22);
        bits = Le16(h + 28);
        compression = static_cast<uint32_t>(Le32(h + 30));
    } else {
        return false;
    }
    const bool topFirst = height < 0;
    height = topFirst ? -height : height;
    const bool plain = compression == 0 || (compression == 3 && (bits == 16 || bits == 32));
    if (width < 1 || width > kLargestSide || height < 1 || height > kLargestSide || !plain ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return false;
    const int64_t rowBytes = (width * bits + 31) / 32 * 4;
    if (dataAt < 14 + headerSize || dataAt + rowBytes * height > size)
        return false;
    *header = {static_cast<int>(width), static_cast<int>(height), topFirst, bits, compression, dataAt, rowBytes};
    return true;
}

// Plain 24-bit rows, the format of all the game's pictures, are converted
// here in one pass, a few rows read at a time: SDL would make a 24-bit
// surface, then a converted one, each cleared first. Same result: each
// channel keeps its top bits.
bool Read24BitRows(FILE* file, const BitmapHeader& header, Pixels* pixels)
{
    if (std::fseek(file, static_cast<long>(header.dataAt), SEEK_SET) != 0)
        return false;
    const int rowsAtOnce = static_cast<int>(std::max<int64_t>(1, 65536 / header.rowBytes));
    std::vector<uint8_t> rows(static_cast<size_t>(header.rowBytes * rowsAtOnce));
    pixels->resize(static_cast<size_t>(header.width) * header.height);
    for (int first = 0; first < header.height; first += rowsAtOnce) {
        const int count = std::min(rowsAtOnce, header.height - first);
        if (std::fread(rows.data(), static_cast<size_t>(header.rowBytes * count), 1, file) != 1)
            return false;
        for (int i = 0; i < count; ++i) {
            const int stored = first + i;  // rows are stored bottom first unless the height says otherwise
            const int y = header.topFirst ? stored : header.height - 1 - stored;
            const uint8_t* in = rows.data() + i * header.rowBytes;
            uint16_t* out = pixels->data() + static_cast<size_t>(y) * header.width;
            for (int x = 0; x < header.width; ++x, in += 3)
                out[x] = static_cast<uint16_t>((in[2] >> 3) << 11 | (in[1] >> 2) << 5 | in[0] >> 3);
        }
    }
    return true;
}

// Every other plain format through SDL's reader and converter; the file
// stays open for the caller to close.
bool ReadThroughSdl(FILE* file, Pixels* pixels)
{
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromFP(file, SDL_FALSE), 1);
    if (!loaded)
        return false;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB565, 0);
    SDL_FreeSurface(loaded);
    if (!converted)
        return false;
    pixels->resize(static_cast<size_t>(converted->w) * converted->h);
    for (int y = 0; y < converted->h; ++y)
        std::memcpy(pixels->data() + static_cast<size_t>(y) * converted->w,
                    static_cast<const uint8_t*>(converted->pixels) + static_cast<size_t>(y) * converted->pitch,
                    static_cast<size_t>(converted->w) * sizeof(uint16_t));
    SDL_FreeSurface(converted);
    return true;
}

}  // namespace

Bitmap* Bitmap::Load(const char* path)
{
    FILE* file = OpenGameFile(path, "rb");
    if (!file)
        return nullptr;
    BitmapHeader header;
    Pixels pixels;
    const bool read = ReadSaneBitmapHeader(file, &header) &&
                      (header.bits == 24 && header.compression == 0 ? Read24BitRows(file, header, &pixels)
                                                                    : ReadThroughSdl(file, &pixels));
    std::fclose(file);
    if (!read)
        return nullptr;
    Bitmap* bitmap = new Bitmap;
    bitmap->width = header.width;
    bitmap->height = header.height;
    bitmap->pixels = std::move(pixels);
    return bitmap;
}
