#include "Kresba.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>

namespace {

float Saturate(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

uint32_t Hash(int x, int y, unsigned seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

std::string SouborPisma(Pismo pismo)
{
    const char* pattern = pismo == Pismo::Nadpis ? "DejaVu Serif:bold" : pismo == Pismo::Tucne ? "DejaVu Sans:bold" : "DejaVu Sans";
    FcInit();
    FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, p, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
    if (match)
        FcPatternDestroy(match);
    FcPatternDestroy(p);
    if (file.empty())
        throw std::runtime_error(std::string("no font for ") + pattern);
    return file;
}

TTF_Font* Otevri(Pismo pismo, int size)
{
    static std::map<std::pair<int, int>, TTF_Font*> open;
    const auto key = std::make_pair(static_cast<int>(pismo), size);
    auto found = open.find(key);
    if (found != open.end())
        return found->second;
    if (!TTF_WasInit() && TTF_Init() != 0)
        throw std::runtime_error("SDL_ttf cannot start");
    TTF_Font* font = TTF_OpenFont(SouborPisma(pismo).c_str(), size);
    if (!font)
        throw std::runtime_error(TTF_GetError());
    open[key] = font;
    return font;
}

bool VZaoblenem(float x, float y, float x0, float y0, float x1, float y1, float r)
{
    if (x < x0 || x >= x1 || y < y0 || y >= y1)
        return false;
    const float cx = std::min(std::max(x, x0 + r), x1 - r);
    const float cy = std::min(std::max(y, y0 + r), y1 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

void Pridej32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

uint32_t Crc32(const uint8_t* data, size_t size)
{
    static uint32_t table[256];
    if (!table[1])
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PridejBlok(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    Pridej32(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Pridej32(png, Crc32(&png[start], png.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks: the icons are small.
std::vector<uint8_t> Zlib(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    Pridej32(z, b << 16 | a);
    return z;
}

bool Zapis(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), bytes.size(), 1, f) == 1;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

float Sum(float x, float y, unsigned seed)
{
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const float fx = x - xi, fy = y - yi;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto v = [&](int dx, int dy) { return (Hash(xi + dx, yi + dy, seed) & 0xFFFF) / 65535.0f; };
    const float a = v(0, 0) + (v(1, 0) - v(0, 0)) * sx;
    const float b = v(0, 1) + (v(1, 1) - v(0, 1)) * sx;
    return a + (b - a) * sy;
}

Kresba::Kresba(int width, int height) : w(width), h(height), rgba(static_cast<size_t>(width) * height * 4, 0.0f)
{
    Vypln(Rgb(0, 0, 0));
}

void Kresba::Pruhledne()
{
    std::fill(rgba.begin(), rgba.end(), 0.0f);
}

void Kresba::Smichej(int x, int y, Barva c, float alpha)
{
    if (x < 0 || y < 0 || x >= w || y >= h || alpha <= 0)
        return;
    float* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
    const float a = Saturate(alpha);
    const float outA = a + p[3] * (1 - a);
    if (outA <= 0)
        return;
    p[0] = (c.r * a + p[0] * p[3] * (1 - a)) / outA;
    p[1] = (c.g * a + p[1] * p[3] * (1 - a)) / outA;
    p[2] = (c.b * a + p[2] * p[3] * (1 - a)) / outA;
    p[3] = outA;
}

// Coverage is estimated on a 4 x 4 grid of samples in each pixel.
template <typename Pokryti>
void Kresba::Tvar(float x0, float y0, float x1, float y1, Barva c, float alpha, Pokryti inside)
{
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1), iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    const int ix1 = std::min(w, static_cast<int>(std::ceil(x1)) + 1), iy1 = std::min(h, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y < iy1; ++y)
        for (int x = ix0; x < ix1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    hits += inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) ? 1 : 0;
            if (hits)
                Smichej(x, y, c, alpha * hits / 16.0f);
        }
}

void Kresba::Vypln(Barva c)
{
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = c.r;
        rgba[i + 1] = c.g;
        rgba[i + 2] = c.b;
        rgba[i + 3] = 1;
    }
}

void Kresba::Obdelnik(float x0, float y0, float x1, float y1, Barva c, float alpha)
{
    Tvar(x0, y0, x1, y1, c, alpha, [&](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; });
}

void Kresba::ZaoblenyObdelnik(float x0, float y0, float x1, float y1, float r, Barva c, float alpha)
{
    Tvar(x0, y0, x1, y1, c, alpha, [&](float x, float y) { return VZaoblenem(x, y, x0, y0, x1, y1, r); });
}

void Kresba::Orizni(float x0, float y0, float x1, float y1, float r)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    hits += VZaoblenem(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4, x0, y0, x1, y1, r) ? 1 : 0;
            rgba[(static_cast<size_t>(y) * w + x) * 4 + 3] *= hits / 16.0f;
        }
}

void Kresba::Kruh(float cx, float cy, float r, Barva c, float alpha)
{
    Tvar(cx - r, cy - r, cx + r, cy + r, c, alpha,
         [&](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; });
}

void Kresba::Mezikruzi(float cx, float cy, float inner, float outer, Barva c, float alpha)
{
    Tvar(cx - outer, cy - outer, cx + outer, cy + outer, c, alpha, [&](float x, float y) {
        const float d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d <= outer * outer && d >= inner * inner;
    });
}

void Kresba::Usecka(float x0, float y0, float x1, float y1, float t, Barva c, float alpha)
{
    const float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    Tvar(std::min(x0, x1) - t, std::min(y0, y1) - t, std::max(x0, x1) + t, std::max(y0, y1) + t, c, alpha,
         [&](float x, float y) {
             const float u = len2 > 0 ? Saturate(((x - x0) * dx + (y - y0) * dy) / len2) : 0;
             const float px = x0 + u * dx - x, py = y0 + u * dy - y;
             return px * px + py * py <= t * t / 4;
         });
}

// Grain running along x, bent by low-frequency noise, with fine fibres.
void Kresba::Drevo(float x0, float y0, float x1, float y1, Barva light, Barva dark, unsigned seed)
{
    for (int y = static_cast<int>(y0); y < static_cast<int>(y1); ++y)
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
            const float bend = Sum(x / 180.0f, y / 60.0f, seed) * 14;
            const float rings = 0.5f + 0.5f * std::sin((y + bend) * 0.42f + Sum(x / 40.0f, y / 9.0f, seed + 1) * 3);
            const float fibre = Sum(x / 3.0f, y / 0.9f, seed + 2);
            const float t = Saturate(0.55f * rings + 0.3f * fibre + 0.15f * Sum(x / 90.0f, y / 90.0f, seed + 3));
            Smichej(x, y, Barva{light.r + (dark.r - light.r) * t, light.g + (dark.g - light.g) * t, light.b + (dark.b - light.b) * t}, 1);
        }
}

void Kresba::Papir(float x0, float y0, float x1, float y1, Barva c, unsigned seed)
{
    for (int y = static_cast<int>(y0); y < static_cast<int>(y1); ++y)
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1); ++x) {
            const float n = 0.94f + 0.04f * Sum(x / 7.0f, y / 7.0f, seed) + 0.02f * Sum(x / 1.5f, y / 1.5f, seed + 1);
            Smichej(x, y, Barva{c.r * n, c.g * n, c.b * n}, 1);
        }
}

void Kresba::Vinetace(float strength)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float dx = (x - w / 2.0f) / (w / 2.0f), dy = (y - h / 2.0f) / (h / 2.0f);
            const float k = 1 - strength * Saturate((dx * dx + dy * dy) * 0.5f);
            float* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            p[0] *= k;
            p[1] *= k;
            p[2] *= k;
        }
}

int Kresba::SirkaTextu(const std::string& utf8, Pismo pismo, int size)
{
    int tw = 0, th = 0;
    TTF_SizeUTF8(Otevri(pismo, size), utf8.c_str(), &tw, &th);
    return tw;
}

int Kresba::Text(const std::string& utf8, Pismo pismo, int size, float x, float y, Barva c, float alpha)
{
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(Otevri(pismo, size), utf8.c_str(), SDL_Color{255, 255, 255, 255});
    if (!rendered)
        throw std::runtime_error(TTF_GetError());
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    for (int row = 0; row < argb->h; ++row) {
        const uint32_t* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + row * argb->pitch);
        for (int col = 0; col < argb->w; ++col)
            Smichej(static_cast<int>(x) + col, static_cast<int>(y) + row, c, alpha * (in[col] >> 24) / 255.0f);
    }
    const int width = argb->w;
    SDL_FreeSurface(argb);
    return width;
}

void Kresba::TextNaStred(const std::string& utf8, Pismo pismo, int size, float cy, Barva c, float cx)
{
    if (cx < 0)
        cx = w / 2.0f;
    const int height = TTF_FontHeight(Otevri(pismo, size));
    Text(utf8, pismo, size, std::round(cx - SirkaTextu(utf8, pismo, size) / 2.0f), std::round(cy - height / 2.0f), c);
}

void Kresba::NadpisSeStinem(const std::string& utf8, Pismo pismo, int size, float cy, Barva c, float cx)
{
    if (cx < 0)
        cx = w / 2.0f;
    const float shift = std::max(1.0f, size / 18.0f);
    for (int i = 3; i >= 1; --i)
        TextNaStred(utf8, pismo, size, cy + shift * i * 0.7f, Rgb(0, 0, 0), cx + shift * i * 0.7f);
    TextNaStred(utf8, pismo, size, cy, c, cx);
}

// 4 x 4 ordered dithering to 5-6-5 levels; a colour at (or next to) a level
// stays flat.
bool Kresba::UlozBmp(const std::string& path, const Barva* matte) const
{
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const int rowBytes = (w * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + static_cast<size_t>(rowBytes) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    file[26] = 1;
    file[28] = 24;
    put32(34, static_cast<uint32_t>(rowBytes * h));
    for (int y = 0; y < h; ++y) {
        uint8_t* out = &file[54 + static_cast<size_t>(h - 1 - y) * rowBytes];
        for (int x = 0; x < w; ++x) {
            const float* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            Barva c{p[0], p[1], p[2]};
            const float a = Saturate(p[3]);
            if (matte) {
                if (a <= 0.0f)
                    c = KLIC;
                else
                    c = Barva{c.r * a + matte->r * (1 - a), c.g * a + matte->g * (1 - a), c.b * a + matte->b * (1 - a)};
            }
            const float threshold = (bayer[y & 3][x & 3] + 0.5f) / 16.0f;
            auto level = [&](float v, int levels) {
                const float exact = Saturate(v) * levels;
                const float nearest = std::round(exact);
                const int q = std::fabs(exact - nearest) < 0.15f
                                  ? static_cast<int>(nearest)
                                  : std::min(levels, static_cast<int>(std::floor(exact + threshold)));
                return static_cast<uint8_t>(q * 255 / levels);
            };
            // A level of 565 read back through the game's loader gives the same level.
            const uint8_t r = level(c.r, 31), g = level(c.g, 63), b = level(c.b, 31);
            out[x * 3] = b;
            out[x * 3 + 1] = g;
            out[x * 3 + 2] = r;
        }
    }
    return Zapis(path, file);
}

bool Kresba::UlozPng(const std::string& path) const
{
    // Each row: filter type 0 (none), then its pixels.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(h) * (1 + 4 * w));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        for (int x = 0; x < w * 4; ++x)
            raw.push_back(static_cast<uint8_t>(std::lround(Saturate(rgba[static_cast<size_t>(y) * w * 4 + x]) * 255)));
    }
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Pridej32(header, static_cast<uint32_t>(w));
    Pridej32(header, static_cast<uint32_t>(h));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter choice, no interlace
    PridejBlok(png, "IHDR", header);
    PridejBlok(png, "IDAT", Zlib(raw));
    PridejBlok(png, "IEND", {});
    return Zapis(path, png);
}
