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
        // Replaced whole, so a full disk leaves the old count, not an empty file.
        char pocet[24];
        const int delka = std::snprintf(pocet, sizeof pocet, "%ld", n);
        if (!ReplaceGameFile(PathPocetTahu, pocet, static_cast<size_t>(delka)))
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
    // The whole picture at once, so a full disk at exit leaves the old one whole.
    constexpr size_t kRadek = HRACIPOLEX + 1 + 3;
    char hra[(HRACIPOLEY + 1) * kRadek];
    for (int y = 0; y <= HRACIPOLEY; ++y) {
        char* line = hra + y * kRadek;
        for (int x = 0; x <= HRACIPOLEX; ++x)
            line[x] = Pole[y][x] == 1 ? 'O' : Pole[y][x] == 2 ? 'X' : ' ';
        // The original's "\n\r" through a text stream: CR LF CR.
        line[HRACIPOLEX + 1] = '\r';
        line[HRACIPOLEX + 2] = '\n';
        line[HRACIPOLEX + 3] = '\r';
    }
    if (!ReplaceGameFile(PathHra, hra, sizeof hra))
        NelzeZapsat(PathHra);
}
