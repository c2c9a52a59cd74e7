// Board model and rules.
#include "HraciPole.h"

int Smer_X[9];
int Smer_Y[9];

CHraciPole CHPHraciPole;

static unsigned int randomState = 1;

int RandomInt(int n)
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF) % n;
}

void ResetRandomInt()
{
    randomState = 1;
}

unsigned RandomIntState()
{
    return randomState;
}

void SetRandomIntState(unsigned state)
{
    randomState = state;
}

Deska::Deska() : bunky{}
{
    ClearResults(&okna);
}

void Deska::Nastav(int x, int y, int code)
{
    if (bunky[y][x] == code)
        return;
    bunky[y][x] = code;
    ZmenaBunky(&okna, x, y, code);
}

int OpacnySmer(int d)
{
    if (d < 1 || d > 8)
        return 0;
    return d <= 4 ? d + 4 : d - 4;
}

CHraciPole::CHraciPole()
    : fTahy(nullptr), lpddsKrizek(nullptr), lpddsKolecko(nullptr),
      PosledniTahPC_Y(100), PosledniTahPC_X(100), PosledniTah_Y(100), PosledniTah_X(100)
{
    ClearHraciPole();
    for (int d = 0; d <= 8; ++d) {
        Smer_X[d] = KrokX[d];
        Smer_Y[d] = KrokY[d];
    }
}

CHraciPole::~CHraciPole()
{
    ZapisHru();
}

void CHraciPole::ClearHraciPole()
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            Pole.Nastav(x, y, 0);
}

bool CHraciPole::PutItem(int x, int y, int player)
{
    if (x < 0 || x >= HRACIPOLEX || y < 0 || y >= HRACIPOLEY)
        return false;
    if (Pole[y][x] != 0)
        return false;
    if (player != 1 && player != 2)
        return false;
    Pole.Nastav(x, y, player);
    PosledniTah_X = x;
    PosledniTah_Y = y;
    return true;
}

bool CHraciPole::JeHPZaplnene()
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            if (Pole[y][x] == 0)
                return false;
    return true;
}

// Length of the unbroken run of player's marks from (x, y) in direction d,
// the start cell included.
static int DelkaRady(const Deska& pole, int player, int x, int y, int d)
{
    int run = 1;
    for (int k = 1;; ++k) {
        int cx = x + k * Smer_X[d];
        int cy = y + k * Smer_Y[d];
        if (CheckOut(cx, cy) || pole[cy][cx] != player)
            return run;
        ++run;
    }
}

bool CHraciPole::NajdiViteznouRadu(int winner, int* rx, int* ry, int* rd)
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            for (int d = 1; d <= 8; ++d)
                if (Pole[y][x] == winner && DelkaRady(Pole, winner, x, y, d) >= 5) {
                    *rx = x;
                    *ry = y;
                    *rd = d;
                    return true;
                }
    return false;
}

int CHraciPole::ZkontrolujJestliJeVyherce()
{
    int x, y, d;
    for (int p = 1; p <= 2; ++p)
        if (NajdiViteznouRadu(p, &x, &y, &d))
            return p;
    return JeHPZaplnene() ? 0 : -1;
}

int CHraciPole::GetScore(int player, int x, int y)
{
    int score = 1;
    for (int d = 1; d <= 8; ++d) {
        int run = 0;
        for (int k = 1;; ++k) {
            int cx = x + k * Smer_X[d];
            int cy = y + k * Smer_Y[d];
            if (CheckOut(cx, cy) || Pole[cy][cx] != player)
                break;
            ++run;
            score += 5 * run;
        }
    }
    return score;
}
