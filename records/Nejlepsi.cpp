#include "Nejlepsi.h"

#include "log/Log.h"
#include "platform/Files.h"
#include "platform/LittleEndian.h"
#include "platform/Surface.h"
#include "platform/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

static const char kNelzeUlozit[] = "Tabulku nelze ulo\x9Eit";  // Windows-1250

static void VychoziRadek(BestEntry* entry, int i)
{
    std::memset(entry, 0, sizeof *entry);
    entry->score = 99900 - 200 * i;
    std::strcpy(entry->name, "Beze Jmena");
}

// A name always ends within its field, and nothing is kept after its end.
static void ZakonciJmeno(char (&name)[20])
{
    name[19] = '\0';
    size_t length = std::strlen(name);
    std::memset(name + length, 0, sizeof name - length);
}

CNejlepsi::CNejlepsi() : entries{}, file(nullptr), fileName{}, ulozeno(true)
{
    std::strcpy(fileName, "best.dat");
    file = OpenGameFile(fileName, "rb");
    if (file) {
        unsigned char raw[sizeof entries + 1];  // one byte more tells a longer file
        const size_t bytes = std::fread(raw, 1, sizeof raw, file);
        std::fclose(file);
        file = nullptr;
        const size_t rows = std::min<size_t>(bytes / sizeof(BestEntry), 10);
        for (int i = 0; i < 10; ++i) {
            if (static_cast<size_t>(i) < rows) {
                entries[i].score = static_cast<int32_t>(ReadLe32(raw + 24 * i));
                std::memcpy(entries[i].name, raw + 24 * i + 4, sizeof entries[i].name);
                ZakonciJmeno(entries[i].name);
            } else {
                VychoziRadek(&entries[i], i);
            }
        }
        char message[64];
        if (rows < 10) {
            std::snprintf(message, sizeof message, "best.dat ma jen %d radku", static_cast<int>(rows));
            Log.Write(message, 2);
        } else if (bytes > sizeof entries) {
            Log.Write("best.dat je delsi nez 240 bajtu, zbytek se necte", 2);
        }
        return;
    }
    for (int i = 0; i < 10; ++i)
        VychoziRadek(&entries[i], i);
    // A missing table is made anew, and so is one that something other than
    // a file stands in for; a table that is there but cannot be read is left
    // alone on the disk (and the defaults shown are not what it holds).
    if (errno == ENOENT) {
        Uloz();
    } else if (errno == ENODEV || errno == EISDIR) {
        Log.Write("best.dat neni soubor, plati vychozi tabulka", 2);
        Uloz();
    } else {
        Log.Write("best.dat nelze cist, plati vychozi tabulka", 2);
        ulozeno = false;
    }
}

CNejlepsi::~CNejlepsi() = default;

bool CNejlepsi::MuzePridat(int score)
{
    for (const BestEntry& entry : entries)
        if (entry.score < score)
            return true;
    return false;
}

void CNejlepsi::Pridej(int score, const char* name)
{
    for (int i = 0; i < 10; ++i) {
        if (entries[i].score < score) {
            for (int j = 9; j > i; --j)
                entries[j] = entries[j - 1];
            std::memset(&entries[i], 0, sizeof entries[i]);
            entries[i].score = score;
            std::strncpy(entries[i].name, name, MAXDELKAJMENA);
            break;
        }
    }
    Uloz();
}

// The whole table is replaced at once, so a failed or interrupted save never
// destroys the table already on disk.
bool CNejlepsi::Uloz()
{
    unsigned char raw[sizeof entries];
    for (int i = 0; i < 10; ++i) {
        unsigned char* row = raw + 24 * i;
        WriteLe32(row, static_cast<uint32_t>(entries[i].score));
        std::memcpy(row + 4, entries[i].name, sizeof entries[i].name);
    }
    ulozeno = ReplaceGameFile(fileName, raw, sizeof raw);
    if (!ulozeno)
        Log.Write("best.dat nelze ulozit", 2);
    return ulozeno;
}

void CNejlepsi::Zobraz(Surface* surface)
{
    Font* font = Font::Create(34, FW_BOLD, "Verdana");
    for (int i = 0; i < 10; ++i) {
        const int y = 150 + 28 * i;
        char text[16];
        std::snprintf(text, sizeof text, "%d.", i + 1);
        Draw_Text(text, 100, y, RGB(255, 244, 80), surface, font);
        Draw_Text(entries[i].name, 150, y, RGB(255, 244, 80), surface, font);
        std::snprintf(text, sizeof text, "%d", entries[i].score);
        Draw_Text(text, 650, y, RGB(255, 240, 80), surface, font);
    }
    // The player is told when the table on screen is not the one on disk.
    if (!ulozeno)
        Draw_Text(kNelzeUlozit, 100, 150 + 28 * 10 + 14, RGB(255, 244, 80), surface, font);
    DeleteObject(font);
}

void Draw_Text(const char* text, int x, int y, uint32_t colour, Surface* surface, Font* font)
{
    DeviceContext* dc = nullptr;
    if (!surface || !surface->GetDC(&dc))
        return;
    dc->SetTextColor(colour);
    dc->SelectObject(font);
    dc->TextOut(x, y, text, -1);
    surface->ReleaseDC(dc);
}
