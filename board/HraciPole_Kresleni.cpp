// Drawing the marks, the placing animation and the blinking winning line.
#include "HraciPole.h"

#include "graphics/DDFuncs.h"
#include "graphics/DDScreen.h"
#include "platform/Clock.h"
#include "platform/Waiting.h"
#include "platform/Window.h"

#include <algorithm>

constexpr int VELIKOSPOLICKANADESCE = 22;
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
        if (!lpddsVrstva)
            lpddsVrstva = LPDDS_CreateOffscreen(dd, HRACIPLOCHA.right, HRACIPLOCHA.bottom);
    }
    ClearHraciPole();
    return true;
}

void CHraciPole::Destroy()
{
    LPDDS_Release(&lpddsKrizek);
    LPDDS_Release(&lpddsKolecko);
    LPDDS_Release(&lpddsVrstva);
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

static uint64_t Verze(const Surface* surface)
{
    return surface ? surface->Version() : 0;
}

// Brings the layer up to the board: only the cells whose mark changed are
// drawn again, each exactly as a frame draws it over the empty board.
bool CHraciPole::ObnovVrstvu()
{
    if (!lpddsVrstva || !lpddsDeskaEmpty)
        return false;
    const uint64_t z[3] = {Verze(lpddsDeskaEmpty), Verze(lpddsKolecko), Verze(lpddsKrizek)};
    if (!std::equal(z, z + 3, VrstvaZ)) {
        lpddsVrstva->Blt(&HRACIPLOCHA, lpddsDeskaEmpty, &HRACIPLOCHA, DDBLT_WAIT, nullptr);
        std::fill(&VeVrstve[0][0], &VeVrstve[0][0] + HRACIPOLEY * HRACIPOLEX, 0);
        std::copy(z, z + 3, VrstvaZ);
    }
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x) {
            if (VeVrstve[y][x] == Pole[y][x])
                continue;
            const RECT box = RamecekPolicka(x, y, 0);
            lpddsVrstva->Blt(&box, lpddsDeskaEmpty, &box, DDBLT_WAIT, nullptr);
            if (Pole[y][x] == 1)
                DrawKolecko(box.left, box.top, &lpddsVrstva);
            else if (Pole[y][x] == 2)
                DrawKrizek(box.left, box.top, &lpddsVrstva);
            VeVrstve[y][x] = Pole[y][x];
        }
    return true;
}

void CHraciPole::DrawAllHraciPole(Surface** target)
{
    // Over the empty board (a frame of the game screen) the rows that hold
    // marks come from the layer, whole.
    Surface* surface = *target;
    if (surface && ShowsEmptyBoard(*surface) && ObnovVrstvu()) {
        for (int y = 0; y < HRACIPOLEY; ++y) {
            if (std::none_of(Pole[y], Pole[y] + HRACIPOLEX, [](int c) { return c == 1 || c == 2; }))
                continue;
            const RECT box = RamecekPolicka(0, y, 0);
            const RECT rows{HRACIPLOCHA.left, box.top, HRACIPLOCHA.right, box.bottom};
            surface->Blt(&rows, lpddsVrstva, &rows, DDBLT_WAIT, nullptr);
        }
        return;
    }
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
    const BlockingEffect effect;
    uint32_t last = timeGetTime();
    if (ZapisujTahy)
        UlozTah(x, y);
    static const int kInsets[30] = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4,
                                    5,  6, 7, 8, 9, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    const RECT whole{0, 0, KOLECKOWIDTH, KOLECKOHEIGHT};
    for (int inset : kInsets) {
        if (QuitRequested())  // the game is ending: the move is recorded, the show is not needed
            break;
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
    const BlockingEffect effect;
    for (int blink = 0; blink < 8 && !QuitRequested(); ++blink) {
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
