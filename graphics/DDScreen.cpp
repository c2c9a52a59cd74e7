#include "DDScreen.h"

#include "DDFuncs.h"
#include "log/Log.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdio>
#include <string>

Display* lpdd = nullptr;
Surface* lpddsprime = nullptr;
Surface* lpddsback = nullptr;
Clipper* lpddclip = nullptr;

Surface* lpddsData = nullptr;
Surface* lpddsUvodniOkno = nullptr;
Surface* lpddsDeskaEmpty = nullptr;
Surface* lpddsCerna = nullptr;
Surface* lpddsHracHrac1 = nullptr;
Surface* lpddsHracHrac2 = nullptr;
Surface* lpddsHracPC1 = nullptr;
Surface* lpddsHracPC2 = nullptr;
Surface* lpddsKonec1 = nullptr;
Surface* lpddsKonec2 = nullptr;
Surface* lpddsNejlepsi1 = nullptr;
Surface* lpddsNejlepsi2 = nullptr;
Surface* lpddsZapisJmeno = nullptr;
Surface* lpddsNejlepsiTabulka = nullptr;
Surface* lpddsProhra = nullptr;
Surface* lpddsVyhra = nullptr;
Surface* lpddsVyhraHrac1 = nullptr;
Surface* lpddsVyhraHrac2 = nullptr;

const char* const PathData = "./data/data.bmp";
const char* const PathUvodniOkno = "./data/Ortelaky.bmp";
const char* const PathDeskaEmpty = "./data/deskaempty.bmp";
const char* const PathCerna = "./data/cerny.bmp";
const char* const PathHracHrac1 = "./data/hh/hh1.bmp";
const char* const PathHracHrac2 = "./data/hh/hh3.bmp";
const char* const PathHracPC1 = "./data/hp/hracpc2.bmp";
const char* const PathHracPC2 = "./data/hp/hracpc3.bmp";
const char* const PathKonec1 = "./data/k/konec2.bmp";
const char* const PathKonec2 = "./data/k/konec3.bmp";
const char* const PathNejlepsi1 = "./data/n/nejlepsi2.bmp";
const char* const PathNejlepsi2 = "./data/n/nejlepsi3.bmp";
const char* const PathZapisJmeno = "./data/zapisjmeno.bmp";
const char* const PathNejlepsiTabulka = "./data/nejlepsi.bmp";
const char* const PathProhra = "./data/prohra.bmp";
const char* const PathVyhra = "./data/vyhra.bmp";
const char* const PathVyhraHrac1 = "./data/vyhrahrac1.bmp";
const char* const PathVyhraHrac2 = "./data/vyhrahrac2.bmp";
const char* const PathIntro1 = "./data/intro/intro1.bmp";
const char* const PathIntro2 = "./data/intro/intro2.bmp";
const char* const PathIntro3 = "./data/intro/intro3.bmp";
const char* const PathIntro4 = "./data/intro/intro4.bmp";
const char* const PathKolecko = "./data/kolecko.bmp";
const char* const PathKrizek = "./data/krizek.bmp";

HWND hWndMain = nullptr;
POINT ptMouse = {0, 0};
int fps = 60;

static BltFx ddbltfxclip;

namespace {

struct Obrazek {
    Surface** surface;
    const char* const* path;
};

// Loaded in this order and released in this order.
const Obrazek kObrazky[] = {
    {&lpddsData, &PathData},
    {&lpddsUvodniOkno, &PathUvodniOkno},
    {&lpddsDeskaEmpty, &PathDeskaEmpty},
    {&lpddsCerna, &PathCerna},
    {&lpddsHracHrac1, &PathHracHrac1},
    {&lpddsHracHrac2, &PathHracHrac2},
    {&lpddsHracPC1, &PathHracPC1},
    {&lpddsHracPC2, &PathHracPC2},
    {&lpddsKonec1, &PathKonec1},
    {&lpddsKonec2, &PathKonec2},
    {&lpddsNejlepsi1, &PathNejlepsi1},
    {&lpddsNejlepsi2, &PathNejlepsi2},
    {&lpddsZapisJmeno, &PathZapisJmeno},
    {&lpddsNejlepsiTabulka, &PathNejlepsiTabulka},
    {&lpddsProhra, &PathProhra},
    {&lpddsVyhra, &PathVyhra},
    {&lpddsVyhraHrac1, &PathVyhraHrac1},
    {&lpddsVyhraHrac2, &PathVyhraHrac2},
};

// The empty board with the four buttons as nobody points at them, composed
// once and again only when one of its pictures changes.
Surface* lpddsPozadi = nullptr;

bool Uvnitr(const POINT& p, const RECT& r)
{
    return r.left < p.x && p.x < r.right && r.top < p.y && p.y < r.bottom;
}

}  // namespace

void SayWhyNoDisplay(bool inTheLog)
{
    const std::string& why = DisplayProblem();
    std::fprintf(stderr, "ortelanka: cannot set up the display: %s\n", why.c_str());
    if (inTheLog)
        Log.Write(("Displej nelze pripravit: " + why).c_str(), 0);
}

void DD_Init()
{
    lpdd = LPDD_Create(hWndMain);
    if (!lpdd) {
        SayWhyNoDisplay(true);
        MessageBox(hWndMain, "CHYBA", "CHYBA");
        PostQuitMessage(0);
        return;
    }
    lpdd->SetDisplayMode(SCREENWIDTH, SCREENHEIGHT, SCREENBPP);
    lpddsprime = LPDDS_CreatePrimary(lpdd, 1);
    lpddsback = LPDDS_GetSecondary(lpddsprime);
    if (lpddsback) {
        DDBLTFX_ColorFill(&ddbltfxclip, 0);
        lpddsback->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &ddbltfxclip);
        const RECT screen{0, 0, SCREENWIDTH, SCREENHEIGHT};
        lpddclip = LPDDCLIP_Create(lpdd, &screen);
        lpddsback->SetClipper(lpddclip);
    }
    for (const Obrazek& obrazek : kObrazky)
        *obrazek.surface = LPDDS_LoadFromFile(lpdd, *obrazek.path);
    if (lpddsback) {
        BltFx fx;
        DDBLTFX_ColorFill(&fx, 0);
        lpddsback->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }
}

void DD_Done()
{
    LPDDS_Release(&lpddsPozadi);
    for (const Obrazek& obrazek : kObrazky)
        LPDDS_Release(obrazek.surface);
    // The display takes its primary surface and back buffer with it.
    LPDD_Release(&lpdd);
    lpddsprime = nullptr;
    lpddsback = nullptr;
    LPDDCLIP_Release(&lpddclip);
}

void SetTransparent(Surface* surface, int x, int y)
{
    if (!surface)
        return;
    SurfaceDesc desc;
    DDSD_Clear(&desc);
    surface->GetSurfaceDesc(&desc);
    DeviceContext* dc = nullptr;
    if (!surface->GetDC(&dc))
        return;
    const COLORREF colour = dc->GetPixel(x, y);
    surface->ReleaseDC(dc);
    LPDDS_SetSrcColorKey(surface, ConvertColorRef(colour, &desc.ddpfPixelFormat));
}

void DrawTransparent(int srcLeft, int srcTop, int srcRight, int srcBottom, int dstLeft, int dstTop, int dstRight,
                     int dstBottom, Surface* source)
{
    if (!source || !lpddsback)
        return;
    const RECT src{srcLeft, srcTop, srcRight, srcBottom};
    const RECT dst{dstLeft, dstTop, dstRight, dstBottom};
    SetTransparent(source, 0, 0);
    lpddsback->Blt(&dst, source, &src, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}

namespace {

struct Tlacitko {
    RECT kam;
    Surface* const* normal;
    Surface* const* podMysi;
};

const Tlacitko kTlacitka[4] = {{{620, 295, 780, 335}, &lpddsHracHrac1, &lpddsHracHrac2},
                               {{620, 335, 780, 375}, &lpddsHracPC1, &lpddsHracPC2},
                               {{620, 375, 780, 415}, &lpddsNejlepsi1, &lpddsNejlepsi2},
                               {{620, 415, 780, 455}, &lpddsKonec1, &lpddsKonec2}};

uint64_t PozadiZ[5] = {};  // versions of the pictures the background was composed from

uint64_t Verze(const Surface* surface)
{
    return surface ? surface->Version() : 0;
}

void KresliTlacitko(const Tlacitko& t, Surface* picture)
{
    DrawTransparent(0, 0, 160, 40, t.kam.left, t.kam.top, t.kam.right, t.kam.bottom, picture);
}

bool SlozPozadi()
{
    if (!lpddsDeskaEmpty || !lpdd)
        return false;
    const uint64_t z[5] = {Verze(lpddsDeskaEmpty), Verze(lpddsHracHrac1), Verze(lpddsHracPC1), Verze(lpddsNejlepsi1),
                           Verze(lpddsKonec1)};
    if (lpddsPozadi && std::equal(z, z + 5, PozadiZ))
        return true;
    if (!lpddsPozadi)
        lpddsPozadi = LPDDS_CreateOffscreen(lpdd, SCREENWIDTH, SCREENHEIGHT);
    if (!lpddsPozadi)
        return false;
    Surface* back = lpddsback;
    lpddsback = lpddsPozadi;  // the buttons are drawn exactly as onto a frame
    const RECT screen{0, 0, SCREENWIDTH, SCREENHEIGHT};
    lpddsPozadi->Blt(&screen, lpddsDeskaEmpty, &screen, DDBLT_WAIT, nullptr);
    for (const Tlacitko& t : kTlacitka)
        KresliTlacitko(t, *t.normal);
    lpddsback = back;
    std::copy(z, z + 5, PozadiZ);
    return true;
}

}  // namespace

bool ShowsEmptyBoard(const Surface& surface)
{
    return (lpddsDeskaEmpty && surface.HoldsCopyOf(*lpddsDeskaEmpty, HRACIPLOCHA)) ||
           (lpddsPozadi && surface.HoldsCopyOf(*lpddsPozadi, HRACIPLOCHA));
}

void DrawPozadi()
{
    if (!lpddsback)
        return;
    const RECT screen{0, 0, SCREENWIDTH, SCREENHEIGHT};
    if (!SlozPozadi()) {
        if (lpddsDeskaEmpty)
            lpddsback->Blt(&screen, lpddsDeskaEmpty, &screen, DDBLT_WAIT, nullptr);
        for (const Tlacitko& t : kTlacitka)
            KresliTlacitko(t, Uvnitr(ptMouse, t.kam) ? *t.podMysi : *t.normal);
        return;
    }
    lpddsback->Blt(&screen, lpddsPozadi, &screen, DDBLT_WAIT, nullptr);
    // The button under the mouse goes over the clean background.
    for (const Tlacitko& t : kTlacitka)
        if (Uvnitr(ptMouse, t.kam)) {
            lpddsback->Blt(&t.kam, lpddsDeskaEmpty, &t.kam, DDBLT_WAIT, nullptr);
            KresliTlacitko(t, *t.podMysi);
        }
}

void DrawOneNumber(int digit, int x, int y)
{
    if (digit < 0 || digit > 9 || !lpddsData || !lpddsback)
        return;
    const int index = digit == 0 ? 10 : digit;
    const RECT src{(index - 1) * 19, 0, index * 19, 20};
    const RECT dst{x, y, x + 19, y + 20};
    SetTransparent(lpddsData, 0, 0);
    lpddsback->Blt(&dst, lpddsData, &src, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}

void DrawFPS()
{
    if (!lpddsback)
        return;
    char number[11] = {};
    std::snprintf(number, sizeof number, "%d", fps);
    char line[20] = {};
    std::snprintf(line, sizeof line, "FPS: %s", number);
    DeviceContext* dc = nullptr;
    if (!lpddsback->GetDC(&dc))
        return;
    dc->SetTextColor(RGB(255, 255, 255));
    dc->DrawText(line, -1, RECT{0, 0, SCREENWIDTH, 60}, DT_RIGHT | DT_SINGLELINE);
    lpddsback->ReleaseDC(dc);
}
