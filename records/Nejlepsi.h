// The table of the ten best players, kept in best.dat.
#pragma once

#include <cstdint>
#include <cstdio>

class Surface;
class Font;

constexpr int MAXDELKAJMENA = 19;

struct BestEntry {
    int32_t score;
    char name[20];  // Windows-1250, NUL-terminated
};
static_assert(sizeof(BestEntry) == 24, "best.dat rows are 24 bytes");

class CNejlepsi {
public:
    CNejlepsi();
    virtual ~CNejlepsi();

    bool MuzePridat(int score);
    void Pridej(int score, const char* name);
    void Zobraz(Surface* surface);

    const BestEntry& Radek(int i) const { return entries[i]; }
    // False when the table on screen could not be written to best.dat.
    bool Ulozeno() const { return ulozeno; }

private:
    bool Uloz();

    BestEntry entries[10];
    FILE* file;
    char fileName[16];
    bool ulozeno;  // the last save succeeded, or none was needed
};

void Draw_Text(const char* text, int x, int y, uint32_t colour, Surface* surface, Font* font);
