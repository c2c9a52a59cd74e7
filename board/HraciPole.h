// The board: a 26 x 26 playing area inside a 27 x 27 store whose last row and
// column stay empty, the rules, the computer opponent, the move files and the
// drawing of the marks.
#pragma once

#include <cstdint>
#include <cstdio>

class Display;
class Surface;

constexpr int HRACIPOLEX = 26;
constexpr int HRACIPOLEY = 26;

// Step tables of the eight directions, indexed 1..8 (1 right, then clockwise);
// d and d + 4 are opposite. Filled by the board's constructor.
extern int Smer_X[9];
extern int Smer_Y[9];

// Five positions from a start cell in one direction, as the computer sees them:
// the cell codes two bits each, position 0 lowest, 3 for a position beyond the
// 27 x 27 store.
struct Okno {
    uint16_t Kod;
    int Hodnota(int k) const
    {
        const int h = (Kod >> (2 * k)) & 3;
        return h == 3 ? -1 : h;
    }
};

// The computer's window table: every start cell (y * 26 + x) in every direction.
struct RESULTS {
    Okno okno[HRACIPOLEX * HRACIPOLEY][8];  // [start cell][direction - 1]
    // Per window, in the same order: one bit for each pattern of the rules
    // that it matches.
    uint32_t vzory[HRACIPOLEX * HRACIPOLEY * 8];
};

// Inside the 27 x 27 store, the empty margin included.
inline bool CheckIn(int x, int y)
{
    return x >= 0 && x <= HRACIPOLEX && y >= 0 && y <= HRACIPOLEY;
}

inline bool CheckOut(int x, int y)
{
    return !CheckIn(x, y);
}

int OpacnySmer(int d);
void ClearResults(RESULTS* results);

// The classic C-library generator, made portable so the computer plays the
// same moves everywhere: never seeded, so every run draws the same sequence.
int RandomInt(int n);
// Puts the generator back to its start (the state of a fresh process).
void ResetRandomInt();

class CHraciPole {
public:
    FILE* fTahy;
    int Pole[HRACIPOLEY + 1][HRACIPOLEX + 1];  // [y][x]
    Surface* lpddsKrizek;
    Surface* lpddsKolecko;
    int PosledniTahPC_Y;
    int PosledniTahPC_X;
    int PosledniTah_Y;
    int PosledniTah_X;

    CHraciPole();
    ~CHraciPole();  // writes data/hra.dat

    void ClearHraciPole();
    bool PutItem(int x, int y, int player);
    bool JeHPZaplnene();
    int ZkontrolujJestliJeVyherce();
    int GetScore(int player, int x, int y);
    bool PutItemWithAI(int player);
    bool UlozTah(int x, int y);

    bool InitHraciPole(Display* dd);
    void Destroy();
    void DrawKolecko(int left, int top, Surface** target);
    void DrawKrizek(int left, int top, Surface** target);
    void DrawAllHraciPole(Surface** target);
    void PutItemAndWait(int, int, Surface* front, Surface* background, int);
    void PutItemAndWaitKRIZEK(int, int, Surface* front, Surface* background, int);
    void PutItemAIAndWait(int, int, Surface* front, Surface* background, int);
    void UkazViteze(Surface* front, Surface* background);

private:
    bool Umisti(int x, int y, int player);
    void ZapisHru();
    bool NajdiViteznouRadu(int winner, int* x, int* y, int* d);
    void AnimujTah(Surface* picture, int x, int y, Surface* front, Surface* background);
    bool ObnovVrstvu();

    // The board's part of the game screen with every mark drawn, kept up to
    // date cell by cell: a frame lays it over the empty board in one copy.
    Surface* lpddsVrstva = nullptr;
    int VeVrstve[HRACIPOLEY][HRACIPOLEX] = {};  // the mark each cell of the layer shows
    uint64_t VrstvaZ[3] = {};                     // versions of the pictures it was drawn from
};

extern CHraciPole CHPHraciPole;
