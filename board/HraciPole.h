// The board: a 26 x 26 playing area inside a 27 x 27 store whose last row and
// column stay empty, the rules, the computer opponent, the move files and the
// drawing of the marks.
#pragma once

#include "Okna.h"

#include <cstdio>

// Where the board's first cell box starts on screen.
constexpr int OFFSETWIDTH = 14;
constexpr int OFFSETHEIGHT = 13;

class Display;
class Surface;

// Step tables of the eight directions, indexed 1..8 (1 right, then clockwise);
// d and d + 4 are opposite. Filled by the board's constructor.
extern int Smer_X[9];
extern int Smer_Y[9];

// The cells of the 27 x 27 store, read as Pole[y][x]. They are written only
// through Nastav, which keeps the computer's window table in step with them.
class Deska {
public:
    Deska();
    const int* operator[](int y) const { return bunky[y]; }
    // Cell (x, y) of the playing area (0..25 both) gets code 0, 1 or 2.
    void Nastav(int x, int y, int code);
    const RESULTS& Okna() const { return okna; }

private:
    int bunky[HRACIPOLEY + 1][HRACIPOLEX + 1];
    RESULTS okna;
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

// The classic C-library generator, made portable so the computer plays the
// same moves everywhere: never seeded, so every run draws the same sequence.
int RandomInt(int n);
// Puts the generator back to its start (the state of a fresh process).
void ResetRandomInt();
// The generator's state, to replay the same draws.
unsigned RandomIntState();
void SetRandomIntState(unsigned state);

class CHraciPole {
public:
    FILE* fTahy;
    // Each mark placed goes to the move file; not while the board only shows
    // others' game (watching online play).
    bool ZapisujTahy = true;
    Deska Pole;
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
