// The table of the ten best players, kept in best.dat.
#pragma once

#include <cstdint>
#include <vector>

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
    // The new row goes into the table as it is on disk now, which another
    // copy of the game may have changed since it was read.
    void Pridej(int score, const char* name);
    // Reads the table again as the copies of the game left it on disk, with
    // the rows that still wait to be saved.
    void Obnov();
    void Zobraz(Surface* surface);

    const BestEntry& Radek(int i) const { return entries[i]; }
    // False when the table on screen could not be written to best.dat.
    bool Ulozeno() const { return ulozeno; }

private:
    bool Uloz();
    // The rows on disk merged with the rows still waiting; false, with the
    // table left as it is, when the file is there but cannot be read.
    bool NactiSCekajicimi();

    BestEntry entries[10];
    std::vector<BestEntry> cekajici;  // entered, not yet saved
    char fileName[16];
    bool ulozeno;  // the last save succeeded, or none was needed
};

void Draw_Text(const char* text, int x, int y, uint32_t colour, Surface* surface, Font* font);
