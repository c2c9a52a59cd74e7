// The move files: data/tahy.dat keeps every move ever recorded, a.a the number
// of whole records found before the latest one, data/hra.dat the final board.
#include "HraciPole.h"

#include "platform/Files.h"

#include <cstdint>

static const char* const PathTahy = "data/tahy.dat";
static const char* const PathPocetTahu = "a.a";
static const char* const PathHra = "data/hra.dat";

bool CHraciPole::UlozTah(int x, int y)
{
    // Whole records already in the file; a partial trailing record is
    // overwritten by the new one, so the file always holds whole records.
    long n = 0;
    fTahy = OpenGameFile(PathTahy, "r+b");
    if (fTahy) {
        if (std::fseek(fTahy, 0, SEEK_END) == 0) {
            long size = std::ftell(fTahy);
            n = size > 0 ? size / 4 : 0;
        }
        if (FILE* pocet = OpenGameFile(PathPocetTahu, "w")) {
            std::fprintf(pocet, "%ld", n);
            std::fclose(pocet);
        }
        std::fseek(fTahy, n * 4, SEEK_SET);
    } else {
        fTahy = OpenGameFile(PathTahy, "wb");
        if (!fTahy)
            return false;
    }
    const uint32_t cell = static_cast<uint32_t>(y * HRACIPOLEX + x);
    const unsigned char record[4] = {
        static_cast<unsigned char>(cell), static_cast<unsigned char>(cell >> 8),
        static_cast<unsigned char>(cell >> 16), static_cast<unsigned char>(cell >> 24)};
    bool written = std::fwrite(record, sizeof record, 1, fTahy) == 1;
    written = std::fclose(fTahy) == 0 && written;
    fTahy = nullptr;
    return written;
}

void CHraciPole::ZapisHru()
{
    FILE* hra = OpenGameFile(PathHra, "wb");
    if (!hra)
        return;
    for (int y = 0; y <= HRACIPOLEY; ++y) {
        char line[HRACIPOLEX + 1 + 3];
        for (int x = 0; x <= HRACIPOLEX; ++x)
            line[x] = Pole[y][x] == 1 ? 'O' : Pole[y][x] == 2 ? 'X' : ' ';
        // The original's "\n\r" through a text stream: CR LF CR.
        line[HRACIPOLEX + 1] = '\r';
        line[HRACIPOLEX + 2] = '\n';
        line[HRACIPOLEX + 3] = '\r';
        std::fwrite(line, sizeof line, 1, hra);
    }
    std::fclose(hra);
}
