// The computer opponent: a fixed list of line patterns, tried in order, then a
// one-move evaluation of every empty cell with a random tie-break.
#include "HraciPole.h"

#include <cstring>

namespace {

constexpr int KRIZEK = 2;   // the computer's own mark in the pattern rules
constexpr int KOLECKO = 1;  // the opponent's

void StavOkna(const int (&pole)[HRACIPOLEY + 1][HRACIPOLEX + 1], RESULTS* results)
{
    ClearResults(results);
    for (int start = 0; start < HRACIPOLEX * HRACIPOLEY; ++start) {
        int x = start % HRACIPOLEX;
        int y = start / HRACIPOLEX;
        for (int d = 1; d <= 8; ++d) {
            Okno& okno = results->okno[start][d - 1];
            for (int k = 0; k < 5; ++k) {
                int cx = x + k * Smer_X[d];
                int cy = y + k * Smer_Y[d];
                if (CheckOut(cx, cy))
                    break;
                okno.Hodnota[k] = pole[cy][cx];
                okno.X[k] = cx;
                okno.Y[k] = cy;
            }
        }
    }
}

// A pattern holds one symbol per window position: '0' empty, '1' circle,
// '2' cross, 'o' empty or cross, '*' not examined. A position beyond the store
// (-1) matches only '*'.
bool Odpovida(const Okno& okno, const char* vzor)
{
    for (int k = 0; vzor[k] != '\0'; ++k) {
        int h = okno.Hodnota[k];
        switch (vzor[k]) {
        case '*': break;
        case '0': if (h != 0) return false; break;
        case '1': if (h != 1) return false; break;
        case '2': if (h != 2) return false; break;
        case 'o': if (h != 0 && h != 2) return false; break;
        }
    }
    return true;
}

struct Volba {
    int x = -1;
    int y = -1;
    bool Nalezena() const { return x >= 0; }
};

// Rules 2, 4, 7, 10, 16, 17: the first window that matches gives its position.
Volba JednoOkno(const RESULTS& r, const char* vzor, int pozice)
{
    for (int start = 0; start < HRACIPOLEX * HRACIPOLEY; ++start)
        for (int d = 1; d <= 8; ++d) {
            const Okno& o = r.okno[start][d - 1];
            if (Odpovida(o, vzor))
                return {o.X[pozice], o.Y[pozice]};
        }
    return {};
}

// Rules 5 and 8: per start cell and direction the first pattern, then the second.
Volba DveVarianty(const RESULTS& r, const char* vzor1, int pozice1, const char* vzor2, int pozice2)
{
    for (int start = 0; start < HRACIPOLEX * HRACIPOLEY; ++start)
        for (int d = 1; d <= 8; ++d) {
            const Okno& o = r.okno[start][d - 1];
            if (Odpovida(o, vzor1))
                return {o.X[pozice1], o.Y[pozice1]};
            if (Odpovida(o, vzor2))
                return {o.X[pozice2], o.Y[pozice2]};
        }
    return {};
}

// Rules 9 and 11 to 15: two windows from the same start cell in two different
// directions; the start cell is taken.
Volba DveOkna(const RESULTS& r, const char* vzor1, const char* vzor2)
{
    for (int start = 0; start < HRACIPOLEX * HRACIPOLEY; ++start)
        for (int d = 1; d <= 8; ++d) {
            const Okno& o = r.okno[start][d - 1];
            if (!Odpovida(o, vzor1))
                continue;
            for (int d2 = 1; d2 <= 8; ++d2)
                if (d2 != d && Odpovida(r.okno[start][d2 - 1], vzor2))
                    return {o.X[0], o.Y[0]};
        }
    return {};
}

// How a walk from an empty cell over one kind of mark ends.
enum class Konec { MimoDesku, Prazdne, Cizi };

int Beh(const int (&pole)[HRACIPOLEY + 1][HRACIPOLEX + 1], int x, int y, int d, int mark, Konec* konec)
{
    int run = 0;
    for (int k = 1;; ++k) {
        int cx = x + k * Smer_X[d];
        int cy = y + k * Smer_Y[d];
        if (CheckOut(cx, cy)) {
            *konec = Konec::MimoDesku;
            return run;
        }
        if (pole[cy][cx] != mark) {
            *konec = pole[cy][cx] == 0 ? Konec::Prazdne : Konec::Cizi;
            return run;
        }
        ++run;
    }
}

// Rules 1 and 3: an empty cell followed directly by at least four marks.
Volba Ctverice(const int (&pole)[HRACIPOLEY + 1][HRACIPOLEX + 1], int mark)
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x) {
            if (pole[y][x] != 0)
                continue;
            for (int d = 1; d <= 8; ++d) {
                Konec konec;
                if (Beh(pole, x, y, d, mark, &konec) >= 4)
                    return {x, y};
            }
        }
    return {};
}

// Rule 6: three crosses after an empty cell, open at the far end, and an empty
// cell on the board behind the start.
Volba OtevrenaCtverice(const int (&pole)[HRACIPOLEY + 1][HRACIPOLEX + 1])
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x) {
            if (pole[y][x] != 0)
                continue;
            for (int d = 1; d <= 8; ++d) {
                Konec konec;
                if (Beh(pole, x, y, d, KRIZEK, &konec) < 3 || konec != Konec::Prazdne)
                    continue;
                int opacny = OpacnySmer(d);
                int bx = x + Smer_X[opacny];
                int by = y + Smer_Y[opacny];
                if (CheckIn(bx, by) && pole[by][bx] == 0)
                    return {x, y};
            }
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
        int cx = x + k * Smer_X[d];
        int cy = y + k * Smer_Y[d];
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

    Volba v = Ctverice(Pole, KRIZEK);                                               // 1
    if (!v.Nalezena()) v = JednoOkno(results, "22022", 2);                         // 2
    if (!v.Nalezena()) v = Ctverice(Pole, KOLECKO);                                 // 3
    if (!v.Nalezena()) v = JednoOkno(results, "11011", 2);                         // 4
    if (!v.Nalezena()) v = DveVarianty(results, "02202", 3, "02022", 2);           // 5
    if (!v.Nalezena()) v = OtevrenaCtverice(Pole);                                 // 6
    if (!v.Nalezena()) v = JednoOkno(results, "01110", 0);                         // 7
    if (!v.Nalezena()) v = DveVarianty(results, "01101", 3, "01011", 2);           // 8
    if (!v.Nalezena()) v = DveOkna(results, "02200", "02200");                     // 9
    if (!v.Nalezena()) v = JednoOkno(results, "0022*", 1);                         // 10
    if (!v.Nalezena()) v = DveOkna(results, "01100", "01100");                     // 11
    if (!v.Nalezena()) v = DveOkna(results, "01100", "0101*");                     // 12
    if (!v.Nalezena()) v = DveOkna(results, "022oo", "02ooo");                     // 13
    if (!v.Nalezena()) v = DveOkna(results, "02200", "020**");                     // 14
    if (!v.Nalezena()) v = DveOkna(results, "0220*", "020**");                     // 15
    if (!v.Nalezena()) v = JednoOkno(results, "02200", 0);                         // 16
    if (!v.Nalezena()) v = JednoOkno(results, "0220*", 0);                         // 17
    if (v.Nalezena())
        return Umisti(v.x, v.y, KRIZEK);
    v = Ohodnoceni(Pole);                                                          // 18
    return Umisti(v.x, v.y, player);
}
