#include "Score.h"

#include "graphics/DDScreen.h"

#include <cstdio>

CScore Score;

CScore::CScore() : kolecko(0), krizek(0), pocetTahu(0), score(100000) {}

CScore::~CScore() = default;

void CScore::Reset()
{
    kolecko = 0;
    krizek = 0;
    pocetTahu = 0;
    score = 100000;
}

void CScore::IncPocetTahu()
{
    ++pocetTahu;
}

void CScore::IncScore(uint32_t amount)
{
    score = static_cast<int32_t>(static_cast<uint32_t>(score) - amount);
}

int CScore::GetScore() { return score; }
int CScore::GetPocetTahu() { return pocetTahu; }
int CScore::GetKolecko() { return kolecko; }
int CScore::GetKrizek() { return krizek; }

// A character that is not a digit (the minus sign) leaves its slot empty.
void CScore::DrawScore(Surface*)
{
    char text[80] = {};
    std::snprintf(text, 60, "%d", score);
    std::snprintf(text + 60, 20, "%d", pocetTahu);
    for (int i = 0; text[i] != '\0'; ++i)
        DrawOneNumber(text[i] - '0', 650 + 18 * i, 155);
    for (int i = 0; text[60 + i] != '\0'; ++i)
        DrawOneNumber(text[60 + i] - '0', 680 + 18 * i, 210);
}
