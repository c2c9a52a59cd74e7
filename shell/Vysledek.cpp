// The curtain transition and the result screen.
#include "main.h"

#include "board/HraciPole.h"
#include "platform/Clock.h"
#include "platform/Waiting.h"
#include "records/Score.h"

static void SnimekOpony(int h, const std::function<void()>& scene)
{
    const uint32_t t = GetTickCount();
    if (scene)
        scene();
    if (h > 0 && lpddsCerna) {
        const RECT pixel{0, 0, 1, 1};
        const RECT top{0, 0, SCREENWIDTH, h};
        const RECT bottom{0, SCREENHEIGHT - h, SCREENWIDTH, SCREENHEIGHT};
        lpddsback->Blt(&top, lpddsCerna, &pixel, DDBLT_WAIT, nullptr);
        lpddsback->Blt(&bottom, lpddsCerna, &pixel, DDBLT_WAIT, nullptr);
    }
    lpddsprime->Flip(nullptr, DDFLIP_WAIT);
    // The rest of the frame's time is slept out rather than polled.
    const uint32_t spent = GetTickCount() - t;
    if (spent < static_cast<uint32_t>(SLEEPTIME))
        Sleep(SLEEPTIME - spent);
}

// A quit request (the window closed, a signal) cuts the curtain short.
void ZavriOponu(const std::function<void()>& scene)
{
    const BlockingEffect effect;
    for (int h = 0; h <= 300 && !QuitRequested(); h += 10)
        SnimekOpony(h, scene);
}

void OtevriOponu(const std::function<void()>& scene)
{
    const BlockingEffect effect;
    for (int h = 300; h >= 0 && !QuitRequested(); h -= 10)
        SnimekOpony(h, scene);
}

void KresliHerniObrazovku()
{
    DrawPozadi();
    Score.DrawScore(lpddsback);
    DrawFPS();
    CHPHraciPole.DrawAllHraciPole(&lpddsback);
    NaTahu(PlayGame == 0 ? 0 : 1);
}

void KresliObrazek(Surface* picture)
{
    const RECT screen{0, 0, SCREENWIDTH, SCREENHEIGHT};
    if (picture)
        lpddsback->Blt(&screen, picture, &screen, DDBLT_WAIT, nullptr);
}

int Vysledek(int who)
{
    Surface* picture = HumanOrAI == 1 ? (who == 1 ? lpddsVyhra : lpddsProhra)
                                      : (who == 1 ? lpddsVyhraHrac1 : lpddsVyhraHrac2);
    ZavriOponu(KresliHerniObrazovku);
    OtevriOponu([picture] { KresliObrazek(picture); });
    ptClick = POINT{0, 0};
    // Brings back the frame before the last: the picture waits with thin black bands.
    lpddsprime->Flip(nullptr, DDFLIP_WAIT);
    fwMouseKeys = 0;
    ZapomenStisky();
    GameState = 12;
    return who;
}
