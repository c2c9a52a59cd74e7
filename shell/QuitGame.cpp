// The two yes/no dialogs: a dimmed panel over the frozen game screen.
#include "main.h"

#include "platform/Text.h"

const char kOtazkaKonec[] = "Opravdu skon\xE8it?";
const char kOtazkaNovaHra[] = "Chcete opravdu novou hru?";

// "ANO" fits its 29 x 19 answer box; each question fits the panel right of
// where it starts (the new-game question is shifted left by 35 to fit).
void PripravPismoDialogu()
{
    FitDefaultFont({{"ANO", 29}, {kOtazkaNovaHra, 184}, {kOtazkaKonec, 149}}, 19);
}

namespace {

constexpr uint32_t ZLUTA = 0xFFFF;  // yellow, as a COLORREF
constexpr uint32_t CERVENA = 0xFF;  // red

bool NaAno(const POINT& p)
{
    return 180 < p.x && p.x < 230 && 290 < p.y && p.y < 330;
}

bool NaNe(const POINT& p)
{
    return 300 < p.x && p.x < 340 && 290 < p.y && p.y < 330;
}

void KresliDialog(const char* text, int shift)
{
    SurfaceDesc desc{};
    desc.dwSize = sizeof desc;
    if (!lpddsback->Lock(nullptr, &desc, DDLOCK_WAIT))
        return;
    // Halve the panel's brightness: keep bits 15-11, 8, 4, 3, 1 and 0, shift right.
    for (int row = 250; row < 350; ++row) {
        uint16_t* pixels = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(desc.lpSurface) + row * desc.lPitch);
        for (int col = 180; col < 380; ++col)
            pixels[col] = static_cast<uint16_t>((pixels[col] & 0xF91B) >> 1);
    }
    lpddsback->Unlock(nullptr);
    Draw_Text(text, 230 - shift, 260, ZLUTA, lpddsback, nullptr);
    Draw_Text("ANO", 200, 310, ZLUTA, lpddsback, nullptr);
    Draw_Text("NE", 320, 310, ZLUTA, lpddsback, nullptr);
    lpddsprime->Flip(nullptr, DDFLIP_WAIT);
}

// Redraws the answers (red under the pointer) and reads the answer: a later
// rule overrides an earlier one, so Enter beats Escape and both beat a click.
int Odpoved(bool& zmena, bool& last)
{
    last = zmena;
    zmena = !NaAno(ptMouse);
    Draw_Text("ANO", 200, 310, zmena ? ZLUTA : CERVENA, lpddsback, nullptr);
    last = zmena;
    zmena = !NaNe(ptMouse);
    Draw_Text("NE", 320, 310, zmena ? ZLUTA : CERVENA, lpddsback, nullptr);
    if (last != zmena)
        lpddsprime->Flip(nullptr, DDFLIP_WAIT);

    int answer = 0;
    if (NaAno(ptClick))
        answer = 1;
    if (NaNe(ptClick))
        answer = 2;
    if (keys[VK_ESCAPE]) {
        answer = 2;
        keys[VK_ESCAPE] = false;
    }
    if (keys[VK_RETURN])
        answer = 1;
    return answer;
}

}  // namespace

// Drawn twice, so that both buffers of the flip chain carry the dialog.
void QuitGame(const char* text, int shift)
{
    ZapomenStisky();
    KresliDialog(text, shift);
    KresliDialog(text, shift);
}

void CheckEnd()
{
    static bool zmena = false;
    static bool last = false;
    if (const int answer = Odpoved(zmena, last))
        End = answer;
}

void CheckNew()
{
    static bool zmena2 = false;
    static bool last2 = false;
    if (const int answer = Odpoved(zmena2, last2))
        NewGame = answer;
}
