// The computer opponent: a fixed list of line patterns, tried in order, then a
// one-move evaluation of every empty cell with a random tie-break. The board's
// window table (Okna.h) already knows which windows match which pattern and
// each cell's evaluation, so a rule only looks for its first match.
#include "HraciPole.h"

namespace {

constexpr int KRIZEK = 2;  // the computer's own mark in the pattern rules

struct Volba {
    int x = -1;
    int y = -1;
    bool Nalezena() const { return x >= 0; }
};

// Position k of window i.
Volba Pozice(int i, int k)
{
    const int start = i / 8, d = i % 8 + 1;
    return {start % HRACIPOLEX + k * KrokX[d], start / HRACIPOLEX + k * KrokY[d]};
}

bool Obsahuje(const MnozinaOken& okna, int i)
{
    return (okna[i / 64] >> (i % 64)) & 1u;
}

// The first window of a set, -1 when it is empty.
int PrvniOkno(const MnozinaOken& okna)
{
    for (int w = 0; w < SLOV_OKEN; ++w)
        if (okna[w] != 0)
            return w * 64 + __builtin_ctzll(okna[w]);
    return -1;
}

// The first window that matches gives its position.
Volba JednoOkno(const RESULTS& r, Vzor vzor, int pozice)
{
    const int i = PrvniOkno(r.okna[vzor]);
    return i < 0 ? Volba{} : Pozice(i, pozice);
}

// Rules 5 and 8: per start cell and direction the first pattern, then the second.
Volba DveVarianty(const RESULTS& r, Vzor vzor1, int pozice1, Vzor vzor2, int pozice2)
{
    for (int w = 0; w < SLOV_OKEN; ++w) {
        const uint64_t obe = r.okna[vzor1][w] | r.okna[vzor2][w];
        if (obe == 0)
            continue;
        const int i = w * 64 + __builtin_ctzll(obe);
        return Obsahuje(r.okna[vzor1], i) ? Pozice(i, pozice1) : Pozice(i, pozice2);
    }
    return {};
}

// Rules 9 and 11 to 15: two windows from the same start cell in two different
// directions; the start cell is taken.
Volba DveOkna(const RESULTS& r, Vzor vzor1, Vzor vzor2)
{
    for (int w = 0; w < SLOV_OKEN; ++w) {
        const uint64_t prvniSlovo = r.okna[vzor1][w], druheSlovo = r.okna[vzor2][w];
        if (prvniSlovo == 0 || druheSlovo == 0)
            continue;
        for (int j = 0; j < 8; ++j) {  // the eight start cells of the word
            const unsigned prvni = (prvniSlovo >> (8 * j)) & 0xFFu;  // the directions whose window matches
            const unsigned druhe = (druheSlovo >> (8 * j)) & 0xFFu;
            // Some d of the first kind and some other d2 of the second.
            const bool jedinaSpolecna = prvni == druhe && (prvni & (prvni - 1)) == 0;
            if (prvni != 0 && druhe != 0 && !jedinaSpolecna) {
                const int start = w * 8 + j;
                return {start % HRACIPOLEX, start / HRACIPOLEX};
            }
        }
    }
    return {};
}

// Rule 6: three crosses after an empty cell, an empty cell (the margin
// counts) after them, and an empty cell on the board behind the start. A
// longer run after an empty cell would have been completed by rule 1.
Volba OtevrenaCtverice(const RESULTS& r, const Deska& pole)
{
    for (int w = 0; w < SLOV_OKEN; ++w)
        for (uint64_t okna = r.okna[OTEVRENA_TROJKA][w]; okna != 0; okna &= okna - 1) {
            const int i = w * 64 + __builtin_ctzll(okna);
            const Volba s = Pozice(i, 0);
            const int opacny = OpacnySmer(i % 8 + 1);
            const int bx = s.x + Smer_X[opacny];
            const int by = s.y + Smer_Y[opacny];
            if (CheckIn(bx, by) && pole[by][bx] == 0)
                return s;
        }
    return {};
}

// Rule 18. Every empty cell is visited in pass A (the computer's lines) and
// again in pass B (the opponent's); among equal totals each later cell
// replaces the choice with probability 19 in 100, so every tie draws.
Volba Ohodnoceni(const Deska& pole)
{
    const RESULTS& r = pole.Okna();
    int best = 0;
    Volba chosen{0, 0};
    for (int pass = 0; pass < 2; ++pass)
        for (int y = 0; y < HRACIPOLEY; ++y)
            for (int x = 0; x < HRACIPOLEX; ++x) {
                if (pole[y][x] != 0)
                    continue;
                const int total = r.soucet[pass][y * HRACIPOLEX + x];
                if (total > best) {
                    best = total;
                    chosen = {x, y};
                }
                if (total == best && RandomInt(100) > 80)
                    chosen = {x, y};
            }
    return chosen;
}

}  // namespace

bool CHraciPole::Umisti(int x, int y, int player)
{
    Pole.Nastav(x, y, player);
    PosledniTahPC_X = x;
    PosledniTahPC_Y = y;
    return true;
}

bool CHraciPole::PutItemWithAI(int player)
{
    if (JeHPZaplnene())
        return false;

    const RESULTS& r = Pole.Okna();
    Volba v = JednoOkno(r, CTYRI_KRIZKY, 0);                                           // rule 1: complete five
    if (!v.Nalezena()) v = JednoOkno(r, DVA_DVA_NULA_DVA_DVA, 2);                      // rule 2: fill a split four
    if (!v.Nalezena()) v = JednoOkno(r, CTYRI_KOLECKA, 0);                             // rule 3: block four
    if (!v.Nalezena()) v = JednoOkno(r, JEDNA_JEDNA_NULA, 2);                          // rule 4: block a split four
    if (!v.Nalezena()) v = DveVarianty(r, ROZDELENA_TROJKA_A, 3, ROZDELENA_TROJKA_B, 2);  // rule 5: four from a split three
    if (!v.Nalezena()) v = OtevrenaCtverice(r, Pole);                                  // rule 6: make an open four
    if (!v.Nalezena()) v = JednoOkno(r, OTEVRENA_TROJKA_SOUPERE, 0);                   // rule 7: block an open three
    if (!v.Nalezena()) v = DveVarianty(r, ROZDELENA_SOUPERE_A, 3, ROZDELENA_SOUPERE_B, 2);  // rule 8: block a split three
    if (!v.Nalezena()) v = DveOkna(r, OTEVRENA_DVOJKA, OTEVRENA_DVOJKA);               // rule 9: double two
    if (!v.Nalezena()) v = JednoOkno(r, PRODLOUZENI_DVOJKY, 1);                        // rule 10: extend a two
    if (!v.Nalezena()) v = DveOkna(r, DVOJKA_SOUPERE, DVOJKA_SOUPERE);                 // rule 11: block a double two
    if (!v.Nalezena()) v = DveOkna(r, DVOJKA_SOUPERE, ROZDELENA_DVOJKA_SOUPERE);       // rule 12: block a two with a split two
    if (!v.Nalezena()) v = DveOkna(r, VOLNA_DVOJKA, VOLNA_JEDNICKA);                   // rule 13: loose double two
    if (!v.Nalezena()) v = DveOkna(r, OTEVRENA_DVOJKA, JEDNICKA);                      // rule 14: two and one
    if (!v.Nalezena()) v = DveOkna(r, DVOJKA, JEDNICKA);                               // rule 15: loose two and one
    if (!v.Nalezena()) v = JednoOkno(r, OTEVRENA_DVOJKA, 0);                           // rule 16: open two
    if (!v.Nalezena()) v = JednoOkno(r, DVOJKA, 0);                                    // rule 17: two
    if (v.Nalezena())
        return Umisti(v.x, v.y, KRIZEK);
    v = Ohodnoceni(Pole);                                                              // rule 18: evaluation
    return Umisti(v.x, v.y, player);
}
