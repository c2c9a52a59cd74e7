// Drawing the marks, the placing animation and the blinking winning line.
#include "HraciPole.h"

#include "graphics/DDFuncs.h"
#include "graphics/DDScreen.h"
#include "platform/Clock.h"

constexpr int VELIKOSPOLICKANADESCE = 22;
constexpr int OFFSETWIDTH = 14;
constexpr int OFFSETHEIGHT = 13;
constexpr int KOLECKOWIDTH = 21;
constexpr int KOLECKOHEIGHT = 21;
constexpr int KRIZEKWIDTH = 21;
constexpr int KRIZEKHEIGHT = 21;

static RECT RamecekPolicka(int x, int y, int inset)
{
    const int left = OFFSETWIDTH + VELIKOSPOLICKANADESCE * x;
    const int top = OFFSETHEIGHT + VELIKOSPOLICKANADESCE * y;
    return RECT{left + inset, top + inset, left + KOLECKOWIDTH - inset, top + KOLECKOHEIGHT - inset};
}

bool CHraciPole::InitHraciPole(Display* dd)
{
    if (dd) {
        lpddsKrizek = LPDDS_LoadFromFile(dd, PathKrizek);
        if (lpddsKrizek)
            LPDDS_SetSrcColorKey(lpddsKrizek, 0xFFFFFF);
        lpddsKolecko = LPDDS_LoadFromFile(dd, PathKolecko);
        if (lpddsKolecko)
            LPDDS_SetSrcColorKey(lpddsKolecko, 0xFFFFFF);
    }
    ClearHraciPole();
    return true;
}

void CHraciPole::Destroy()
{
    LPDDS_Release(&lpddsKrizek);
    LPDDS_Release(&lpddsKolecko);
    ClearHraciPole();
}

static void NakresliZnacku(Surface* picture, int left, int top, Surface* target, int width, int height)
{
    if (!picture || !target)
        return;
    const RECT src{0, 0, width, height};
    const RECT dst{left, top, left + width, top + height};
    SetTransparent(picture, 0, 0);
    target->Blt(&dst, picture, &src, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}

void CHraciPole::DrawKolecko(int left, int top, Surface** target)
{
    NakresliZnacku(lpddsKolecko, left, top, *target, KOLECKOWIDTH, KOLECKOHEIGHT);
}

void CHraciPole::DrawKrizek(int left, int top, Surface** target)
{
    NakresliZnacku(lpddsKrizek, left, top, *target, KRIZEKWIDTH, KRIZEKHEIGHT);
}

void CHraciPole::DrawAllHraciPole(Surface** target)
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x) {
            const RECT box = RamecekPolicka(x, y, 0);
            if (Pole[y][x] == 1)
                DrawKolecko(box.left, box.top, target);
            else if (Pole[y][x] == 2)
                DrawKrizek(box.left, box.top, target);
        }
}

// The mark grows from a dot, shrinks back to 3 x 3 and grows again, each step
// erased from the clean background after its wait.
void CHraciPole::AnimujTah(Surface* picture, int x, int y, Surface* front, Surface* background)
{
    uint32_t last = timeGetTime();
    UlozTah(x, y);
    static const int kInsets[30] = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4,
                                    5,  6, 7, 8, 9, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    const RECT whole{0, 0, KOLECKOWIDTH, KOLECKOHEIGHT};
    for (int inset : kInsets) {
        const RECT r = RamecekPolicka(x, y, inset);
        if (front && picture) {
            SetTransparent(picture, 0, 0);
            front->Blt(&r, picture, &whole, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
        }
        // The step's clock is the time read before its sleep, so a step that
        // waited lets the next one pass without waiting, as it always has.
        const uint32_t now = timeGetTime();
        const int32_t elapsed = static_cast<int32_t>(now - last);
        if (elapsed < 50)
            Sleep(static_cast<uint32_t>(50 - elapsed));
        last = now;
        if (front && background)
            front->Blt(&r, background, &r, DDBLT_WAIT, nullptr);
    }
}

void CHraciPole::PutItemAndWait(int, int, Surface* front, Surface* background, int)
{
    AnimujTah(lpddsKolecko, PosledniTah_X, PosledniTah_Y, front, background);
}

void CHraciPole::PutItemAndWaitKRIZEK(int, int, Surface* front, Surface* background, int)
{
    AnimujTah(lpddsKrizek, PosledniTah_X, PosledniTah_Y, front, background);
}

void CHraciPole::PutItemAIAndWait(int, int, Surface* front, Surface* background, int)
{
    AnimujTah(lpddsKrizek, PosledniTahPC_X, PosledniTahPC_Y, front, background);
}

void CHraciPole::UkazViteze(Surface* front, Surface* background)
{
    const int winner = ZkontrolujJestliJeVyherce();
    int x, y, d;
    if ((winner != 1 && winner != 2) || !NajdiViteznouRadu(winner, &x, &y, &d))
        return;
    for (int blink = 0; blink < 8; ++blink) {
        for (int i = 0; i < 5; ++i) {
            const RECT box = RamecekPolicka(x + i * Smer_X[d], y + i * Smer_Y[d], 0);
            if (front && background)
                front->Blt(&box, background, &box, DDBLT_WAIT, nullptr);
        }
        Sleep(150);
        for (int i = 0; i < 5; ++i) {
            const RECT box = RamecekPolicka(x + i * Smer_X[d], y + i * Smer_Y[d], 0);
            if (winner == 1)
                DrawKolecko(box.left, box.top, &front);
            else
                DrawKrizek(box.left, box.top, &front);
        }
        Sleep(150);
    }
}
