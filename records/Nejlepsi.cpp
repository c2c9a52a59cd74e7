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

namespace {

enum class Stav { Precteno, Chybi, NeniSoubor, NelzeCist };

// The table in the file; rows a short file does not cover are the default
// rows. `bytes` is how much the file held, one byte more telling a longer file.
Stav CtiTabulku(const char* fileName, BestEntry (&rows)[10], size_t* bytes)
{
    for (int i = 0; i < 10; ++i)
        VychoziRadek(&rows[i], i);
    *bytes = 0;
    FILE* file = OpenGameFile(fileName, "rb");
    if (!file)
        return errno == ENOENT ? Stav::Chybi : errno == ENODEV || errno == EISDIR ? Stav::NeniSoubor : Stav::NelzeCist;
    unsigned char raw[sizeof rows + 1];
    *bytes = std::fread(raw, 1, sizeof raw, file);
    std::fclose(file);
    const size_t rowsRead = std::min<size_t>(*bytes / sizeof(BestEntry), 10);
    for (size_t i = 0; i < rowsRead; ++i) {
        rows[i].score = static_cast<int32_t>(ReadLe32(raw + 24 * i));
        std::memcpy(rows[i].name, raw + 24 * i + 4, sizeof rows[i].name);
        ZakonciJmeno(rows[i].name);
    }
    return Stav::Precteno;
}

// Below every row with the same score: among equal scores the older rows stay ahead.
void VlozRadek(BestEntry (&rows)[10], const BestEntry& row)
{
    for (int i = 0; i < 10; ++i) {
        if (rows[i].score < row.score) {
            for (int j = 9; j > i; --j)
                rows[j] = rows[j - 1];
            rows[i] = row;
            return;
        }
    }
}

}  // namespace

CNejlepsi::CNejlepsi() : entries{}, fileName{}, ulozeno(true)
{
    std::strcpy(fileName, "best.dat");
    // Under the lock: another copy may be making the table at the same moment.
    GameFileLock zamek(fileName);
    size_t bytes = 0;
    switch (CtiTabulku(fileName, entries, &bytes)) {
    case Stav::Precteno: {
        char message[64];
        if (bytes < sizeof entries) {
            std::snprintf(message, sizeof message, "best.dat ma jen %d radku", static_cast<int>(bytes / 24));
            Log.Write(message, 2);
        } else if (bytes > sizeof entries) {
            Log.Write("best.dat je delsi nez 240 bajtu, zbytek se necte", 2);
        }
        break;
    }
    // A missing table is made anew, and so is one that something other than
    // a file stands in for; a table that is there but cannot be read is left
    // alone on the disk (and the defaults shown are not what it holds).
    case Stav::Chybi:
        Uloz();
        break;
    case Stav::NeniSoubor:
        Log.Write("best.dat neni soubor, plati vychozi tabulka", 2);
        Uloz();
        break;
    case Stav::NelzeCist:
        Log.Write("best.dat nelze cist, plati vychozi tabulka", 2);
        ulozeno = false;
        break;
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

bool CNejlepsi::NactiSCekajicimi()
{
    BestEntry naDisku[10];
    size_t bytes = 0;
    if (CtiTabulku(fileName, naDisku, &bytes) == Stav::NelzeCist)
        return false;
    std::copy(std::begin(naDisku), std::end(naDisku), std::begin(entries));
    for (const BestEntry& row : cekajici)
        VlozRadek(entries, row);
    return true;
}

void CNejlepsi::Pridej(int score, const char* name)
{
    BestEntry row{};
    row.score = score;
    std::strncpy(row.name, name, MAXDELKAJMENA);
    cekajici.push_back(row);
    GameFileLock zamek(fileName);
    if (!NactiSCekajicimi()) {
        // Never replaced: what the file holds is not known. The row waits in
        // memory, and the table on screen says it is not saved.
        VlozRadek(entries, row);
        ulozeno = false;
        Log.Write("best.dat nelze cist, novy radek zustava jen v pameti", 2);
        return;
    }
    if (Uloz())
        cekajici.clear();
}

void CNejlepsi::Obnov()
{
    GameFileLock zamek(fileName);
    NactiSCekajicimi();
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
