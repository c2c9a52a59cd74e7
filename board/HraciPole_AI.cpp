// The computer opponent: a fixed list of line patterns, tried in order, then a
// one-move evaluation of every empty cell with a random tie-break.
#include "HraciPole.h"

#include <array>
#include <cstring>

namespace {

constexpr int KRIZEK = 2;   // the computer's own mark in the pattern rules
constexpr int KOLECKO = 1;  // the opponent's
constexpr int OKEN = HRACIPOLEX * HRACIPOLEY * 8;

// The patterns of the rules, one symbol per window position: '0' empty,
// '1' circle, '2' cross, 'o' empty or cross, '*' not examined. A position
// beyond the store (-1) matches only '*'.
enum Vzor : uint32_t {
    CTYRI_KRIZKY,           // 0 2 2 2 2   rule 1: an empty cell followed directly by four crosses
    DVA_DVA_NULA_DVA_DVA,   // 2 2 0 2 2   rule 2
    CTYRI_KOLECKA,          // 0 1 1 1 1   rule 3
    JEDNA_JEDNA_NULA,       // 1 1 0 1 1   rule 4
    ROZDELENA_TROJKA_A,     // 0 2 2 0 2   rule 5
    ROZDELENA_TROJKA_B,     // 0 2 0 2 2   rule 5
    OTEVRENA_TROJKA,        // 0 2 2 2 0   rule 6
    OTEVRENA_TROJKA_SOUPERE,  // 0 1 1 1 0   rule 7
    ROZDELENA_SOUPERE_A,    // 0 1 1 0 1   rule 8
    ROZDELENA_SOUPERE_B,    // 0 1 0 1 1   rule 8
    OTEVRENA_DVOJKA,        // 0 2 2 0 0   rules 9, 14, 16
    PRODLOUZENI_DVOJKY,     // 0 0 2 2 *   rule 10
    DVOJKA_SOUPERE,         // 0 1 1 0 0   rules 11, 12
    ROZDELENA_DVOJKA_SOUPERE,  // 0 1 0 1 *   rule 12
    VOLNA_DVOJKA,           // 0 2 2 o o   rule 13
    VOLNA_JEDNICKA,         // 0 2 o o o   rule 13
    JEDNICKA,               // 0 2 0 * *   rules 14, 15
    DVOJKA,                 // 0 2 2 0 *   rules 15, 17
    POCET_VZORU
};

const char* const kVzory[POCET_VZORU] = {"02222", "22022", "01111", "11011", "02202", "02022",
                                         "02220", "01110", "01101", "01011", "02200", "0022*",
                                         "01100", "0101*", "022oo", "02ooo", "020**", "0220*"};

// For each of the 4^5 contents of a window (-1 as 3), the patterns it matches.
const std::array<uint32_t, 1024>& TabulkaVzoru()
{
    static const std::array<uint32_t, 1024> tabulka = [] {
        std::array<uint32_t, 1024> t{};
        for (int kod = 0; kod < 1024; ++kod)
            for (uint32_t v = 0; v < POCET_VZORU; ++v) {
                bool ok = true;
                for (int k = 0; kVzory[v][k] != '\0' && ok; ++k) {
                    const int h = (kod >> (2 * k)) & 3;
                    switch (kVzory[v][k]) {
                    case '0': ok = h == 0; break;
                    case '1': ok = h == 1; break;
                    case '2': ok = h == 2; break;
                    case 'o': ok = h == 0 || h == 2; break;
                    default: break;
                    }
                }
                if (ok)
                    t[static_cast<size_t>(kod)] |= 1u << v;
            }
        return t;
    }();
    return tabulka;
}

// The board with a frame of cells beyond the store (code 3), so that a window
// reads its five cells without bounds checks.
constexpr int RAM = 4;
using Ramovane = int[HRACIPOLEY + 1 + 2 * RAM][HRACIPOLEX + 1 + 2 * RAM];

void StavOkna(const int (&pole)[HRACIPOLEY + 1][HRACIPOLEX + 1], RESULTS* results)
{
    const std::array<uint32_t, 1024>& tabulka = TabulkaVzoru();
    Ramovane deska;
    for (auto& row : deska)
        for (int& cell : row)
            cell = 3;
    for (int y = 0; y <= HRACIPOLEY; ++y)
        for (int x = 0; x <= HRACIPOLEX; ++x)
            deska[y + RAM][x + RAM] = pole[y][x];

    ClearResults(results);
    for (int start = 0; start < HRACIPOLEX * HRACIPOLEY; ++start) {
        const int x = start % HRACIPOLEX + RAM;
        const int y = start / HRACIPOLEX + RAM;
        for (int d = 1; d <= 8; ++d) {
            int kod = 0;
            for (int k = 0; k < 5; ++k)
                kod |= deska[y + k * Smer_Y[d]][x + k * Smer_X[d]] << (2 * k);
            results->okno[start][d - 1].Kod = static_cast<uint16_t>(kod);
            results->vzory[start * 8 + d - 1] = tabulka[static_cast<size_t>(kod)];
        }
    }
}

constexpr uint32_t Bit(Vzor v)
{
    return 1u << v;
}

struct Volba {
    int x = -1;
    int y = -1;
    bool Nalezena() const { return x >= 0; }
};

// Position k of window i (windows in the order of the rules: start cells
// row-major, then directions 1..8).
Volba Pozice(int i, int k)
{
    const int start = i / 8, d = i % 8 + 1;
    return {start % HRACIPOLEX + k * Smer_X[d], start / HRACIPOLEX + k * Smer_Y[d]};
}

// The first window that matches gives its position.
Volba JednoOkno(const RESULTS& r, Vzor vzor, int pozice)
{
    for (int i = 0; i < OKEN; ++i) {
        if (r.vzory[i] & Bit(vzor))
            return Pozice(i, pozice);
    }
    return {};
}

// Rules 5 and 8: per start cell and direction the first pattern, then the second.
Volba DveVarianty(const RESULTS& r, Vzor vzor1, int pozice1, Vzor vzor2, int pozice2)
{
    for (int i = 0; i < OKEN; ++i) {
        if (r.vzory[i] & Bit(vzor1))
            return Pozice(i, pozice1);
        if (r.vzory[i] & Bit(vzor2))
            return Pozice(i, pozice2);
    }
    return {};
}

// Rules 9 and 11 to 15: two windows from the same start cell in two different
// directions; the start cell is taken.
Volba DveOkna(const RESULTS& r, Vzor vzor1, Vzor vzor2)
{
    for (int start = 0; start < HRACIPOLEX * HRACIPOLEY; ++start) {
        unsigned prvni = 0, druhe = 0;  // the directions whose window matches
        for (int d = 0; d < 8; ++d) {
            prvni |= ((r.vzory[start * 8 + d] >> vzor1) & 1u) << d;
            druhe |= ((r.vzory[start * 8 + d] >> vzor2) & 1u) << d;
        }
        // Some d of the first kind and some other d2 of the second.
        const bool jedinaSpolecna = prvni == druhe && (prvni & (prvni - 1)) == 0;
        if (prvni != 0 && druhe != 0 && !jedinaSpolecna)
            return {start % HRACIPOLEX, start / HRACIPOLEX};
    }
    return {};
}

// Rule 6: three crosses after an empty cell, an empty cell (the margin
// counts) after them, and an empty cell on the board behind the start. A
// longer run after an empty cell would have been completed by rule 1.
Volba OtevrenaCtverice(const RESULTS& r, const int (&pole)[HRACIPOLEY + 1][HRACIPOLEX + 1])
{
    for (int i = 0; i < OKEN; ++i) {
        if (!(r.vzory[i] & Bit(OTEVRENA_TROJKA)))
            continue;
        const Volba s = Pozice(i, 0);
        const int opacny = OpacnySmer(i % 8 + 1);
        const int bx = s.x + Smer_X[opacny];
        const int by = s.y + Smer_Y[opacny];
        if (CheckIn(bx, by) && pole[by][bx] == 0)
            return s;
    }
    return {};
}

// Rule 18's value of one direction from an empty cell: marks counted by their
// distance, a closed long run loses, four in a row is decisive.
int Hodnota(const int (&pole)[HRACIPOLEY + 1][HRACIPOLEX + 1], int x, int y, int d, int closing)
{
    int value = 0;
    int k = 0;
    for (;;) {
        ++k;
        const int cx = x + k * Smer_X[d];
        const int cy = y + k * Smer_Y[d];
        if (CheckOut(cx, cy) || pole[cy][cx] == closing) {
            if (k > 3)
                value = value - k + 1;
            break;
        }
        if (pole[cy][cx] == 0)
            break;
        value += k;  // a counted mark
    }
    if (k == 5)
        value = 10000;
    return value;
}

// Among equal totals each later cell replaces the choice with probability
// 19 in 100; pass B (the opponent's lines) comes after pass A.
Volba Ohodnoceni(const int (&pole)[HRACIPOLEY + 1][HRACIPOLEX + 1])
{
    int best = 0;
    Volba chosen{0, 0};
    const int closing[2] = {KOLECKO, KRIZEK};  // pass A counts crosses, pass B circles
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < HRACIPOLEY; ++y)
            for (int x = 0; x < HRACIPOLEX; ++x) {
                if (pole[y][x] != 0)
                    continue;
                int total = 0;
                for (int d = 1; d <= 8; ++d)
                    total += Hodnota(pole, x, y, d, closing[pass]);
                if (total > best) {
                    best = total;
                    chosen = {x, y};
                }
                if (total == best && RandomInt(100) > 80)
                    chosen = {x, y};
            }
    }
    return chosen;
}

}  // namespace

void ClearResults(RESULTS* results)
{
    std::memset(results, 0xFF, sizeof(RESULTS));
}

bool CHraciPole::Umisti(int x, int y, int player)
{
    Pole[y][x] = player;
    PosledniTahPC_X = x;
    PosledniTahPC_Y = y;
    return true;
}

bool CHraciPole::PutItemWithAI(int player)
{
    if (JeHPZaplnene())
        return false;

    RESULTS results;
    StavOkna(Pole, &results);

    Volba v = JednoOkno(results, CTYRI_KRIZKY, 0);                                           // 1
    if (!v.Nalezena()) v = JednoOkno(results, DVA_DVA_NULA_DVA_DVA, 2);                      // 2
    if (!v.Nalezena()) v = JednoOkno(results, CTYRI_KOLECKA, 0);                             // 3
    if (!v.Nalezena()) v = JednoOkno(results, JEDNA_JEDNA_NULA, 2);                          // 4
    if (!v.Nalezena()) v = DveVarianty(results, ROZDELENA_TROJKA_A, 3, ROZDELENA_TROJKA_B, 2);  // 5
    if (!v.Nalezena()) v = OtevrenaCtverice(results, Pole);                                  // 6
    if (!v.Nalezena()) v = JednoOkno(results, OTEVRENA_TROJKA_SOUPERE, 0);                   // 7
    if (!v.Nalezena()) v = DveVarianty(results, ROZDELENA_SOUPERE_A, 3, ROZDELENA_SOUPERE_B, 2);  // 8
    if (!v.Nalezena()) v = DveOkna(results, OTEVRENA_DVOJKA, OTEVRENA_DVOJKA);               // 9
    if (!v.Nalezena()) v = JednoOkno(results, PRODLOUZENI_DVOJKY, 1);                        // 10
    if (!v.Nalezena()) v = DveOkna(results, DVOJKA_SOUPERE, DVOJKA_SOUPERE);                 // 11
    if (!v.Nalezena()) v = DveOkna(results, DVOJKA_SOUPERE, ROZDELENA_DVOJKA_SOUPERE);       // 12
    if (!v.Nalezena()) v = DveOkna(results, VOLNA_DVOJKA, VOLNA_JEDNICKA);                   // 13
    if (!v.Nalezena()) v = DveOkna(results, OTEVRENA_DVOJKA, JEDNICKA);                      // 14
    if (!v.Nalezena()) v = DveOkna(results, DVOJKA, JEDNICKA);                               // 15
    if (!v.Nalezena()) v = JednoOkno(results, OTEVRENA_DVOJKA, 0);                           // 16
    if (!v.Nalezena()) v = JednoOkno(results, DVOJKA, 0);                                    // 17
    if (v.Nalezena())
        return Umisti(v.x, v.y, KRIZEK);
    v = Ohodnoceni(Pole);                                                                    // 18
    return Umisti(v.x, v.y, player);
}
