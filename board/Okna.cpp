#include "Okna.h"

namespace {

const char* const kVzory[POCET_VZORU] = {"02222", "22022", "01111", "11011", "02202", "02022",
                                         "02220", "01110", "01101", "01011", "02200", "0022*",
                                         "01100", "0101*", "022oo", "02ooo", "020**", "0220*"};

constexpr int MIMO = 3;  // a position beyond the store

int Pozice(int kod, int k)
{
    return (kod >> (2 * k)) & 3;
}

// Rule 18's value of one direction from an empty cell, read from its window:
// marks counted by their distance, a closed long run loses, four in a row is
// decisive. The walk of the rule can go one cell past the window only after
// four counted marks, and rules 1 and 3 take every such cell before rule 18
// is reached.
int Hodnota(int kod, int closing)
{
    int value = 0;
    int k = 0;
    for (;;) {
        ++k;
        if (k == 5)
            return 10000;
        const int h = Pozice(kod, k);
        if (h == MIMO || h == closing) {
            if (k > 3)
                value = value - k + 1;
            return value;
        }
        if (h == 0)
            return value;
        value += k;  // a counted mark
    }
}

// What each of the 4^5 contents of a window means to the rules.
struct Vyznam {
    uint32_t vzory[1024];      // one bit for each pattern it matches
    int hodnota[2][1024];      // rule 18's value: [0] pass A, closed by circles; [1] pass B, by crosses
};

bool Odpovida(int kod, const char* vzor)
{
    for (int k = 0; vzor[k] != '\0'; ++k) {
        const int h = Pozice(kod, k);
        switch (vzor[k]) {
        case '0': if (h != 0) return false; break;
        case '1': if (h != 1) return false; break;
        case '2': if (h != 2) return false; break;
        case 'o': if (h != 0 && h != 2) return false; break;
        default: break;
        }
    }
    return true;
}

const Vyznam& VyznamOken()
{
    static const Vyznam vyznam = [] {
        Vyznam t{};
        for (int kod = 0; kod < 1024; ++kod) {
            for (int v = 0; v < POCET_VZORU; ++v)
                if (Odpovida(kod, kVzory[v]))
                    t.vzory[kod] |= 1u << v;
            t.hodnota[0][kod] = Hodnota(kod, 1);
            t.hodnota[1][kod] = Hodnota(kod, 2);
        }
        return t;
    }();
    return vyznam;
}

// Window i now holds `kod`: its pattern bits and its start cell's totals follow.
void ZapisOkno(RESULTS* r, int i, int kod)
{
    const Vyznam& vyznam = VyznamOken();
    const int stary = r->kod[i];
    r->kod[i] = static_cast<uint16_t>(kod);
    for (uint32_t zmena = vyznam.vzory[stary] ^ vyznam.vzory[kod]; zmena != 0; zmena &= zmena - 1)
        r->okna[__builtin_ctz(zmena)][i / 64] ^= uint64_t{1} << (i % 64);
    for (int pass = 0; pass < 2; ++pass)
        r->soucet[pass][i / 8] += vyznam.hodnota[pass][kod] - vyznam.hodnota[pass][stary];
}

}  // namespace

// All windows start as code 0 (five empty cells), which matches no pattern
// and is worth nothing; then each gets its positions beyond the store.
void ClearResults(RESULTS* results)
{
    *results = RESULTS{};
    for (int i = 0; i < POCET_OKEN; ++i) {
        const int start = i / 8, d = i % 8 + 1;
        int kod = 0;
        for (int k = 0; k < 5; ++k) {
            const int x = start % HRACIPOLEX + k * KrokX[d];
            const int y = start / HRACIPOLEX + k * KrokY[d];
            if (x < 0 || x > HRACIPOLEX || y < 0 || y > HRACIPOLEY)
                kod |= MIMO << (2 * k);
        }
        ZapisOkno(results, i, kod);
    }
}

// The windows that hold the cell: for each direction, those starting 0..4
// steps back from it, with the cell at that position.
void ZmenaBunky(RESULTS* results, int x, int y, int code)
{
    for (int d = 1; d <= 8; ++d)
        for (int k = 0; k < 5; ++k) {
            const int sx = x - k * KrokX[d];
            const int sy = y - k * KrokY[d];
            if (sx < 0 || sx >= HRACIPOLEX || sy < 0 || sy >= HRACIPOLEY)
                break;
            const int i = (sy * HRACIPOLEX + sx) * 8 + d - 1;
            ZapisOkno(results, i, (results->kod[i] & ~(3 << (2 * k))) | (code << (2 * k)));
        }
}
