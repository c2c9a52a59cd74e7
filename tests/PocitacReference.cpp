#include "PocitacReference.h"

#include <optional>

namespace {

using Bunka = std::pair<int, int>;
using Nalez = std::optional<Bunka>;

constexpr int KRIZEK = 2;
constexpr int KOLECKO = 1;

// The code of a cell of the 27 x 27 store, -1 beyond it.
int Kod(const Deska& pole, int x, int y)
{
    return CheckOut(x, y) ? -1 : pole[y][x];
}

Bunka Pozice(int x, int y, int d, int k)
{
    return {x + k * Smer_X[d], y + k * Smer_Y[d]};
}

// Pattern symbols: '0' empty, '1' circle, '2' cross, 'o' empty or cross,
// '*' anything (a position beyond the store included).
bool Pripousti(char symbol, int h)
{
    if (symbol == '*')
        return true;
    if (symbol == 'o')
        return h == 0 || h == 2;
    return h == symbol - '0';
}

// The window from (x, y) in direction d, positions 0..4, read from the cells.
bool Shoda(const Deska& pole, int x, int y, int d, const char* vzor)
{
    for (int k = 0; vzor[k] != '\0'; ++k) {
        const auto [cx, cy] = Pozice(x, y, d, k);
        if (!Pripousti(vzor[k], Kod(pole, cx, cy)))
            return false;
    }
    return true;
}

// Marks of `mark` that follow (x, y) in direction d without a gap.
int Rada(const Deska& pole, int x, int y, int d, int mark)
{
    int n = 0;
    for (int k = 1;; ++k) {
        const auto [cx, cy] = Pozice(x, y, d, k);
        if (Kod(pole, cx, cy) != mark)
            return n;
        ++n;
    }
}

// Every start cell in row-major order, every direction 1..8.
template <class Pravidlo>
Nalez KazdeOkno(Pravidlo pravidlo)
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            for (int d = 1; d <= 8; ++d)
                if (Nalez n = pravidlo(x, y, d))
                    return n;
    return std::nullopt;
}

// The first window matching either pattern (the first tried first at each
// window); the cell at the pattern's position.
Nalez JednoOkno(const Deska& pole, const char* vzor1, int pozice1, const char* vzor2 = nullptr, int pozice2 = 0)
{
    return KazdeOkno([&](int x, int y, int d) -> Nalez {
        if (Shoda(pole, x, y, d, vzor1))
            return Pozice(x, y, d, pozice1);
        if (vzor2 && Shoda(pole, x, y, d, vzor2))
            return Pozice(x, y, d, pozice2);
        return std::nullopt;
    });
}

// A start cell with one window of each pattern in two different directions.
Nalez DveOkna(const Deska& pole, const char* vzor1, const char* vzor2)
{
    return KazdeOkno([&](int x, int y, int d) -> Nalez {
        if (!Shoda(pole, x, y, d, vzor1))
            return std::nullopt;
        for (int d2 = 1; d2 <= 8; ++d2)
            if (d2 != d && Shoda(pole, x, y, d2, vzor2))
                return Bunka(x, y);
        return std::nullopt;
    });
}

// Rules 1 and 3: an empty cell before four marks; rule 6: an empty cell
// before three crosses or more, with empty cells behind it and after them.
Nalez Ctverice(const Deska& pole, int mark, bool otevrena = false)
{
    return KazdeOkno([&](int x, int y, int d) -> Nalez {
        if (pole[y][x] != 0)
            return std::nullopt;
        const int n = Rada(pole, x, y, d, mark);
        const auto [ex, ey] = Pozice(x, y, d, n + 1);
        const auto [bx, by] = Pozice(x, y, OpacnySmer(d), 1);
        if (otevrena ? n >= 3 && Kod(pole, ex, ey) == 0 && Kod(pole, bx, by) == 0 : n >= 4)
            return Bunka(x, y);
        return std::nullopt;
    });
}

int Hodnota(const Deska& pole, int x, int y, int d, int closing)
{
    int value = 0, k = 1;
    for (;; ++k) {
        const auto [cx, cy] = Pozice(x, y, d, k);
        const int h = Kod(pole, cx, cy);
        if (h == -1 || h == closing) {
            if (k > 3)
                value = value - k + 1;
            break;
        }
        if (h == 0)
            break;
        value += k;
    }
    return k == 5 ? 10000 : value;
}

Bunka Ohodnoceni(const Deska& pole)
{
    int best = 0;
    Bunka chosen{0, 0};
    for (int closing : {KOLECKO, KRIZEK})
        for (int y = 0; y < HRACIPOLEY; ++y)
            for (int x = 0; x < HRACIPOLEX; ++x) {
                if (pole[y][x] != 0)
                    continue;
                int total = 0;
                for (int d = 1; d <= 8; ++d)
                    total += Hodnota(pole, x, y, d, closing);
                if (total < best)
                    continue;  // no draw
                if (total > best) {
                    best = total;
                    chosen = {x, y};
                }
                if (RandomInt(100) > 80)  // every tie draws, a new best too
                    chosen = {x, y};
            }
    return chosen;
}

bool Plna(const Deska& pole)
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            if (pole[y][x] == 0)
                return false;
    return true;
}

}  // namespace

std::pair<int, int> ReferencniTah(const Deska& pole)
{
    if (Plna(pole))
        return {-1, -1};
    Nalez n = Ctverice(pole, KRIZEK);                              // 1
    if (!n) n = JednoOkno(pole, "22022", 2);                       // 2
    if (!n) n = Ctverice(pole, KOLECKO);                           // 3
    if (!n) n = JednoOkno(pole, "11011", 2);                       // 4
    if (!n) n = JednoOkno(pole, "02202", 3, "02022", 2);           // 5
    if (!n) n = Ctverice(pole, KRIZEK, true);                      // 6
    if (!n) n = JednoOkno(pole, "01110", 0);                       // 7
    if (!n) n = JednoOkno(pole, "01101", 3, "01011", 2);           // 8
    if (!n) n = DveOkna(pole, "02200", "02200");                   // 9
    if (!n) n = JednoOkno(pole, "0022", 1);                        // 10
    if (!n) n = DveOkna(pole, "01100", "01100");                   // 11
    if (!n) n = DveOkna(pole, "01100", "0101");                    // 12
    if (!n) n = DveOkna(pole, "022oo", "02ooo");                   // 13
    if (!n) n = DveOkna(pole, "02200", "020");                     // 14
    if (!n) n = DveOkna(pole, "0220", "020");                      // 15
    if (!n) n = JednoOkno(pole, "02200", 0);                       // 16
    if (!n) n = JednoOkno(pole, "0220", 0);                        // 17
    return n ? *n : Ohodnoceni(pole);                              // 18
}
