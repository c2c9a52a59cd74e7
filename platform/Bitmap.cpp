#include "Bitmap.h"

#include "Files.h"
#include "LittleEndian.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

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
    const int64_t dataAt = ReadLe32(h + 10);
    const uint32_t headerSize = ReadLe32(h + 14);
    int64_t width, height;
    uint32_t bits, compression = 0;
    if (headerSize == 12) {  // the old OS/2 header
        width = ReadLe16(h + 18);
        height = ReadLe16(h + 20);
        bits = ReadLe16(h + 24);
    } else if (headerSize >= 40 && headerSize <= 124 && size >= 14 + 40) {
        width = static_cast<int32_t>(ReadLe32(h + 18));
        height = static_cast<int32_t>(ReadLe32(h + 22));
        bits = ReadLe16(h + 28);
        compression = ReadLe32(h + 30);
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
