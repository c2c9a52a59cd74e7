// The best-players table screen and the name entry.
#include "main.h"

#include "board/HraciPole.h"
#include "platform/Clock.h"
#include "platform/Waiting.h"
#include "platform/Text.h"

void Nejlepsi()
{
    ZobrazNejlepsi = 2;
    ZapomenStisky();
    ZavriOponu(nullptr);
    OtevriOponu([] {
        KresliObrazek(lpddsNejlepsiTabulka);
        NejlepsiHraci->Zobraz(lpddsback);
    });
}

void NejlepsiPryc()
{
    ZavriOponu(nullptr);
    OtevriOponu(KresliHerniObrazovku);
}

void NejlepsiZapis()
{
    if (ZapisNejlepsi == 1) {
        ZapomenStisky();
        ZavriOponu(nullptr);
        OtevriOponu([] { KresliObrazek(lpddsZapisJmeno); });
    }
    ZapisNejlepsi = 2;
    KresliObrazek(lpddsZapisJmeno);
    GetName();
    lpddsprime->Flip(nullptr, DDFLIP_WAIT);
    if (keys[VK_RETURN]) {
        GameState = 15;
        ZapisNejlepsi = 0;
    }
}

void GetName()
{
    Font* font = Font::Create(34, FW_BOLD, "Verdana");
    VsechnyPismenaProjed();
    DrawTextNejlepsi(szBestName, 200, 300, RGB(255, 255, 0), lpddsback, font);
    DeleteObject(font);
}

static void PridejZnak(char c)
{
    szBestName[DelkaJmena] = c;
    ++DelkaJmena;
    szBestName[DelkaJmena] = '\0';
}

// Whether the pending key changes the name once it is due.
static bool KlavesaSeBere()
{
    const bool misto = DelkaJmena < 18;
    if ((Pismeno >= 0x41 && Pismeno <= 0x5A) || Pismeno == VK_SPACE || Pismeno == 0x33)
        return misto;
    return Pismeno == VK_BACK && DelkaJmena > 0;
}

uint32_t KlavesaZaMs()
{
    if (!KlavesaSeBere())
        return INFINITE;
    const int32_t left = static_cast<int32_t>(PosledniKlavesa + 21 - timeGetTime());
    return left > 0 ? static_cast<uint32_t>(left) : 0;
}

// At most one key per call, and only more than 20 ms after the last one taken;
// a key not yet due stays in Pismeno for the next frame.
void VsechnyPismenaProjed()
{
    const bool due = PosledniKlavesa + 20 < timeGetTime();
    if (!due || !KlavesaSeBere())
        return;
    if (Pismeno == VK_SPACE) {
        if (DelkaJmena > 0)  // a name never begins with a space
            PridejZnak(' ');
    } else if (Pismeno == 0x33) {
        PridejZnak('\x9A');  // the 3 key carries š on the Czech layout
    } else if (Pismeno == VK_BACK) {
        --DelkaJmena;
        szBestName[DelkaJmena] = '\0';
    } else {
        PridejZnak(static_cast<char>(Pismeno));
    }
    PosledniKlavesa = timeGetTime();
    Pismeno = 0;
}

void NejlepsiZapisPryc()
{
    NejlepsiHraci->Pridej(MaxScore, szBestName);
    ZapisOn = 0;
}

void DrawTextNejlepsi(const char* text, int x, int y, uint32_t colour, Surface* surface, Font* font)
{
    Draw_Text(text, x, y, colour, surface, font);
}
