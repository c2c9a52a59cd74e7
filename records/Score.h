// The running score and move count of the game in progress.
#pragma once

#include <cstdint>

class Surface;

class CScore {
public:
    CScore();
    virtual ~CScore();

    void Reset();
    void IncPocetTahu();
    // Takes the amount off the score: the score only falls during a game.
    void IncScore(uint32_t amount);
    int GetScore();
    int GetPocetTahu();
    int GetKolecko();
    int GetKrizek();
    // Draws the score and the move count into the back buffer (the argument is unused).
    void DrawScore(Surface* surface);

private:
    int32_t kolecko;
    int32_t krizek;
    int32_t pocetTahu;
    int32_t score;
};

extern CScore Score;
