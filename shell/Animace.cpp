// The intro: four slides and the title picture, each held for a moment and
// followed by a curtain, held longer on the very first run.
#include "main.h"

#include "graphics/DDFuncs.h"
#include "log/Log.h"
#include "platform/Waiting.h"
#include "platform/Files.h"

#include <cstdio>

static const char* const PathPoprve = "data/poprve.dat";

static Surface* lpddsIntro1 = nullptr;
static Surface* lpddsIntro2 = nullptr;
static Surface* lpddsIntro3 = nullptr;
static Surface* lpddsIntro4 = nullptr;

static void UkazAPockej(Surface* picture, uint32_t hold)
{
    const RECT screen{0, 0, SCREENWIDTH, SCREENHEIGHT};
    if (picture)
        lpddsprime->Blt(&screen, picture, &screen, DDBLT_WAIT, nullptr);
    // An online game takes its seat while the intro runs, not after it.
    PrijmiZpravyHryPoSiti();
    Sleep(hold);
}

void NextIntro(Surface* from, Surface* to)
{
    ZavriOponu([from] { KresliObrazek(from); });
    OtevriOponu([to] { KresliObrazek(to); });
}

void Animace()
{
    const BlockingEffect effect;
    uint32_t hold = 2000;
    if (FILE* marker = OpenGameFile(PathPoprve, "r")) {
        hold = 500;
        std::fclose(marker);
    } else if (FILE* created = OpenGameFile(PathPoprve, "w")) {
        std::fclose(created);
    } else {
        Log.Write("data/poprve.dat nelze zapsat", 2);
    }
    lpddsIntro1 = LPDDS_LoadFromFile(lpdd, PathIntro1);
    lpddsIntro2 = LPDDS_LoadFromFile(lpdd, PathIntro2);
    lpddsIntro3 = LPDDS_LoadFromFile(lpdd, PathIntro3);
    lpddsIntro4 = LPDDS_LoadFromFile(lpdd, PathIntro4);

    UkazAPockej(lpddsIntro1, hold);
    Surface* const slides[5] = {lpddsIntro1, lpddsIntro2, lpddsIntro3, lpddsIntro4, lpddsUvodniOkno};
    for (int i = 0; i < 4; ++i) {
        NextIntro(slides[i], slides[i + 1]);
        UkazAPockej(slides[i + 1], hold);
    }
    NextIntro(lpddsUvodniOkno, lpddsDeskaEmpty);

    LPDDS_Release(&lpddsIntro1);
    LPDDS_Release(&lpddsIntro2);
    LPDDS_Release(&lpddsIntro3);
    LPDDS_Release(&lpddsIntro4);
}
