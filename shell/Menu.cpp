// The menu buttons, the whose-turn indicator and the cell under a click.
#include "main.h"

static bool VTlacitku(const POINT& p, int top)
{
    return 620 < p.x && p.x < 780 && top < p.y && p.y < top + 40;
}

// Later tests override earlier ones: a button beats Escape, except the table.
void Menu()
{
    if (VTlacitku(ptClick, 375))
        GameState = 10;
    if (VTlacitku(ptClick, 415))
        GameState = 7;
    if (keys[VK_ESCAPE])
        GameState = 7;
    if (VTlacitku(ptClick, 335))
        GameState = 20;
    if (VTlacitku(ptClick, 295))
        GameState = 18;
}

void NaTahu(int who)
{
    const RECT src = who == 0 ? RECT{205, 0, 285, 20} : RECT{285, 0, 350, 20};
    const RECT dst = who == 0 ? RECT{655, 270, 735, 290} : RECT{660, 270, 725, 290};
    if (!lpddsData || !lpddsback)
        return;
    SetTransparent(lpddsData, 0, 0);
    lpddsback->Blt(&dst, lpddsData, &src, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
}

// Counted from 15 pixels in, with division truncating toward zero.
POINT PolickoKliknuti(POINT click)
{
    return POINT{(click.x - 15) / VELIKOSPOLICKANADESCE, (click.y - 15) / VELIKOSPOLICKANADESCE};
}
