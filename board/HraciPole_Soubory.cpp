// The move files: data/tahy.dat keeps every move ever recorded, a.a the number
// of whole records found before the latest one, data/hra.dat the final board.
#include "HraciPole.h"

#include "log/Log.h"
#include "platform/Files.h"
#include "platform/LittleEndian.h"

#include <cerrno>
#include <cstdint>

static const char* const PathTahy = "data/tahy.dat";
static const char* const PathPocetTahu = "a.a";
static const char* const PathHra = "data/hra.dat";

static void NelzeZapsat(const char* path)
{
    char message[64];
    std::snprintf(message, sizeof message, "%s nelze zapsat", path);
    Log.Write(message, 2);
}

bool CHraciPole::UlozTah(int x, int y)
{
    // Another copy of the game may be recording its moves at the same time:
    // the count and the append are one step that copies take in turns.
    GameFileLock zamek(PathTahy);
    // Whole records already in the file; a partial trailing record is
    // overwritten by the new one, so the file always holds whole records.
    long n = 0;
    fTahy = OpenGameFile(PathTahy, "r+b");
    if (fTahy) {
        if (std::fseek(fTahy, 0, SEEK_END) == 0) {
            long size = std::ftell(fTahy);
            n = size > 0 ? size / 4 : 0;
        }
        FILE* pocet = OpenGameFile(PathPocetTahu, "w");
        bool counted = pocet && std::fprintf(pocet, "%ld", n) > 0;
        counted = pocet && std::fclose(pocet) == 0 && counted;
        if (!counted)
            NelzeZapsat(PathPocetTahu);
        std::fseek(fTahy, n * 4, SEEK_SET);
    } else if (errno == ENOENT) {
        fTahy = OpenGameFile(PathTahy, "wb");
    }
    if (!fTahy) {
        NelzeZapsat(PathTahy);
        return false;
    }
    unsigned char record[4];
    WriteLe32(record, static_cast<uint32_t>(y * HRACIPOLEX + x));
    bool written = std::fwrite(record, sizeof record, 1, fTahy) == 1;
    written = std::fclose(fTahy) == 0 && written;
    fTahy = nullptr;
    if (!written)
        NelzeZapsat(PathTahy);
    return written;
}

void CHraciPole::ZapisHru()
{
    FILE* hra = OpenGameFile(PathHra, "wb");
    if (!hra) {
        NelzeZapsat(PathHra);
        return;
    }
    bool written = true;
    for (int y = 0; y <= HRACIPOLEY; ++y) {
        char line[HRACIPOLEX + 1 + 3];
        for (int x = 0; x <= HRACIPOLEX; ++x)
            line[x] = Pole[y][x] == 1 ? 'O' : Pole[y][x] == 2 ? 'X' : ' ';
        // The original's "\n\r" through a text stream: CR LF CR.
        line[HRACIPOLEX + 1] = '\r';
        line[HRACIPOLEX + 2] = '\n';
        line[HRACIPOLEX + 3] = '\r';
        written = std::fwrite(line, sizeof line, 1, hra) == 1 && written;
    }
    if (!(std::fclose(hra) == 0 && written))
        NelzeZapsat(PathHra);
}
