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

}  // namespace

void ZapomenStisky()
{
    std::memset(keys, 0, sizeof keys);
    PosunKurzoru = POINT{0, 0};
}

void KlavesovyTah()
{
    if (PosunKurzoru.x != 0 || PosunKurzoru.y != 0) {
        Kurzor.x = std::clamp(Kurzor.x + PosunKurzoru.x, 0, HRACIPOLEX - 1);
        Kurzor.y = std::clamp(Kurzor.y + PosunKurzoru.y, 0, HRACIPOLEY - 1);
        PosunKurzoru = POINT{0, 0};
        KurzorZobrazen = true;
    }
    if (!KurzorZobrazen || !(keys[VK_SPACE] || keys[VK_RETURN]))
        return;
    keys[VK_SPACE] = keys[VK_RETURN] = false;  // one press, one mark
    ptClick = POINT{15 + VELIKOSPOLICKANADESCE * Kurzor.x + VELIKOSPOLICKANADESCE / 2,
                    15 + VELIKOSPOLICKANADESCE * Kurzor.y + VELIKOSPOLICKANADESCE / 2};
    fwMouseKeys = MK_LBUTTON;
}

// A two-pixel frame over the grid lines around the cell, clear of the mark.
void KresliKurzor()
{
    if (!KurzorZobrazen || !lpddsback)
        return;
    const int left = OFFSETWIDTH + VELIKOSPOLICKANADESCE * Kurzor.x - 1;
    const int top = OFFSETHEIGHT + VELIKOSPOLICKANADESCE * Kurzor.y;
    const int size = VELIKOSPOLICKANADESCE + 1;
    Vypln(RECT{left, top, left + size, top + 2});
    Vypln(RECT{left, top + size - 2, left + size, top + size});
    Vypln(RECT{left, top, left + 2, top + size});
    Vypln(RECT{left + size - 2, top, left + size, top + size});
}
