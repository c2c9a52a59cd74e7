// Small pictures the tests draw for themselves, each in colours of its own.
#pragma once

#include "Pomocnik.h"
#include "platform/Surface.h"

#include <filesystem>

namespace obrazky {

constexpr uint32_t KLIC = 0xFF00FF;
constexpr uint32_t DESKA = 0x405060;
constexpr uint32_t KOLECKO = 0x2040F8;
constexpr uint32_t KRIZEK = 0xF82020;
constexpr uint32_t INDIKATOR_KOLECEK = 0x0000F8;
constexpr uint32_t INDIKATOR_KRIZKU = 0xF8F800;

// Glyph i (1..9, then 0 as 10) is a block in a colour of its own, inside a key border.
constexpr uint32_t Cislice(int index)
{
    return static_cast<uint32_t>(index * 20) << 16 | 0xC800;
}

// A picture of one colour (but for a button's keyed corner).
struct Obrazek {
    const char* path;
    uint32_t barva;
};

constexpr Obrazek kTlacitka[8] = {
    {"data/hh/hh1.bmp", 0x800000}, {"data/hh/hh3.bmp", 0xF80000}, {"data/hp/hracpc2.bmp", 0x008000},
    {"data/hp/hracpc3.bmp", 0x00F800}, {"data/n/nejlepsi2.bmp", 0x000080}, {"data/n/nejlepsi3.bmp", 0x0000F8},
    {"data/k/konec2.bmp", 0x808080}, {"data/k/konec3.bmp", 0xF8F8F8}};

constexpr Obrazek kCeleObrazovky[] = {
    {"data/deskaempty.bmp", DESKA},          {"data/Ortelaky.bmp", 0x102030},   {"data/zapisjmeno.bmp", 0x203040},
    {"data/nejlepsi.bmp", 0x182838},         {"data/prohra.bmp", 0x405000},     {"data/vyhra.bmp", 0x005040},
    {"data/vyhrahrac1.bmp", 0x500040},       {"data/vyhrahrac2.bmp", 0x504000}, {"data/intro/intro1.bmp", 0x101010},
    {"data/intro/intro2.bmp", 0x202020},     {"data/intro/intro3.bmp", 0x303030}, {"data/intro/intro4.bmp", 0x383838}};

inline void NakresliVse()
{
    for (const char* d : {"data", "data/hh", "data/hp", "data/n", "data/k", "data/intro", "data/sound"})
        std::filesystem::create_directories(d);
    for (const Obrazek& c : kCeleObrazovky)
        ZapisBmp(c.path, 800, 600, [&](int, int) { return c.barva; });
    ZapisBmp("data/cerny.bmp", 4, 4, [](int, int) { return 0u; });
    ZapisBmp("data/data.bmp", 350, 20, [](int x, int y) {
        if (y < 2 || y > 17)
            return KLIC;
        if (x < 190) {
            const int index = x / 19 + 1;
            return (x % 19 >= 2 && x % 19 <= 16) ? Cislice(index) : KLIC;
        }
        if (x >= 207 && x < 283)
            return INDIKATOR_KOLECEK;
        if (x >= 287 && x < 348)
            return INDIKATOR_KRIZKU;
        return KLIC;
    });
    for (const Obrazek& t : kTlacitka)
        ZapisBmp(t.path, 160, 40, [&](int x, int y) { return x < 3 && y < 3 ? KLIC : t.barva; });
    auto znacka = [](uint32_t barva) {
        return [barva](int x, int y) { return x >= 2 && x <= 18 && y >= 2 && y <= 18 ? barva : KLIC; };
    };
    ZapisBmp("data/kolecko.bmp", 21, 21, znacka(KOLECKO));
    ZapisBmp("data/krizek.bmp", 21, 21, znacka(KRIZEK));
}

// Whether anything other than the background is drawn in [x0, x1) x [y0, y1).
inline bool RadekMaText(const Surface* s, int x0, int x1, int y0, int y1, uint16_t pozadi)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (s->Row(y)[x] != pozadi)
                return true;
    return false;
}

}  // namespace obrazky
