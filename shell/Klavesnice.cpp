// Keyboard play on the game screen, and forgetting presses when a screen appears.
#include "main.h"

#include "board/HraciPole.h"
#include "graphics/DDFuncs.h"

#include <algorithm>
#include <cstring>

namespace {

// A deep amber, as a 5-6-5 pixel: plain to see on the light board.
constexpr uint32_t kJantar = (224 >> 3) << 11 | (144 >> 2) << 5 | (32 >> 3);

void Vypln(const RECT& r)
{
    BltFx fx;
    DDBLTFX_ColorFill(&fx, kJantar);
    lpddsback->Blt(&r, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

void Ramecek(const RECT& r)
{
    Vypln(RECT{r.left, r.top, r.right, r.top + 2});
    Vypln(RECT{r.left, r.bottom - 2, r.right, r.bottom});
    Vypln(RECT{r.left, r.top, r.left + 2, r.bottom});
    Vypln(RECT{r.right - 2, r.top, r.right, r.bottom});
}

constexpr int kTlacitek = 4;

}  // namespace

void ZapomenStisky()
{
    std::memset(keys, 0, sizeof keys);
    PosunKurzoru = POINT{0, 0};
}

void KlavesovyTah()
{
    if (keys[VK_TAB]) {
        keys[VK_TAB] = false;  // one press, one step
        FokusTlacitka = (FokusTlacitka + (keys[VK_SHIFT] ? kTlacitek : 1)) % (kTlacitek + 1);
        KurzorZobrazen = FokusTlacitka == 0;
    }
    if (PosunKurzoru.x != 0 || PosunKurzoru.y != 0) {
        // The first press shows the cursor where it is.
        if (KurzorZobrazen) {
            Kurzor.x = std::clamp(Kurzor.x + PosunKurzoru.x, 0, HRACIPOLEX - 1);
            Kurzor.y = std::clamp(Kurzor.y + PosunKurzoru.y, 0, HRACIPOLEY - 1);
        }
        PosunKurzoru = POINT{0, 0};
        KurzorZobrazen = true;
        FokusTlacitka = 0;
    }
    if (!(KurzorZobrazen || FokusTlacitka > 0) || !(keys[VK_SPACE] || keys[VK_RETURN]))
        return;
    keys[VK_SPACE] = keys[VK_RETURN] = false;  // one press, one click
    if (FokusTlacitka > 0)
        ptClick = POINT{700, kHorniOkrajeTlacitek[FokusTlacitka - 1] + 20};
    else
        ptClick = POINT{15 + VELIKOSPOLICKANADESCE * Kurzor.x + VELIKOSPOLICKANADESCE / 2,
                        15 + VELIKOSPOLICKANADESCE * Kurzor.y + VELIKOSPOLICKANADESCE / 2};
    fwMouseKeys = MK_LBUTTON;
}

// A two-pixel frame over the grid lines around the cell, clear of the mark,
// or around the focused button.
void KresliKurzor()
{
    if (!lpddsback)
        return;
    if (FokusTlacitka > 0) {
        Ramecek(RECT{620, kHorniOkrajeTlacitek[FokusTlacitka - 1], 780, kHorniOkrajeTlacitek[FokusTlacitka - 1] + 40});
        return;
    }
    if (!KurzorZobrazen)
        return;
    const int left = OFFSETWIDTH + VELIKOSPOLICKANADESCE * Kurzor.x - 1;
    const int top = OFFSETHEIGHT + VELIKOSPOLICKANADESCE * Kurzor.y;
    const int size = VELIKOSPOLICKANADESCE + 1;
    Ramecek(RECT{left, top, left + size, top + size});
}
