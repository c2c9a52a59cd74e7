// The state machine: one step of the current state per call.
#include "main.h"

#include <algorithm>

#include "board/HraciPole.h"
#include "log/Log.h"
#include "platform/Clock.h"
#include "platform/Waiting.h"
#include "platform/Display.h"
#include "platform/Text.h"
#include "records/Score.h"

namespace {

const POINT kDalekoMimo = {-10000, -10000};  // consumes a click on entering a screen
const POINT kMimo = {-1000, -1000};          // consumes a click after a frame or a dialog

// A step that showed nothing new would show the same again on every step
// until a message comes (or the timeout passes): it waits for that instead of
// spinning. Only the screen's own pacing is kept.
void CekejNaVstup(uint64_t shownBefore, uint32_t timeout = INFINITE)
{
    if (FramesShown() == shownBefore)
        WaitMessage(std::min(timeout, CekaniHryPoSiti()));
}

// A step that took t < 30 ms sleeps about t ms more.
void Tempo(uint32_t t0)
{
    if (GetTickCount() - t0 < 30)
        Sleep(GetTickCount() - t0);
}

void Vyhra(int who)
{
    PlayGame = who == 1 ? 0 : 1;
    CHPHraciPole.UkazViteze(lpddsprime, lpddsDeskaEmpty);
    Vysledek(who);
}

void TahPocitace()
{
    if (!CHPHraciPole.PutItemWithAI(2))
        return;
    PlayGame = 0;
    Score.IncPocetTahu();
    // The indicator changes on the visible screen before the cross appears.
    const RECT indikator{655, 270, 735, 290};
    SetTransparent(lpddsDeskaEmpty, 0, 0);
    lpddsprime->Blt(&indikator, lpddsDeskaEmpty, &indikator, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
    const RECT krizky{285, 0, 350, 20};
    const RECT kam{660, 270, 725, 290};
    SetTransparent(lpddsData, 0, 0);
    lpddsprime->Blt(&kam, lpddsData, &krizky, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
    CHPHraciPole.PutItemAIAndWait(0, 0, lpddsprime, lpddsDeskaEmpty, 2);
}

// A human's mark: the click's, or the other device's in an online game.
void TahCloveka(int player)
{
    POINT cell;
    if (HrajeSoupere(player)) {
        if (!TahSoupere(player, &cell))
            return;
    } else {
        if (!(fwMouseKeys & MK_LBUTTON))
            return;
        cell = PolickoKliknuti(ptClick);
    }
    if (!CHPHraciPole.PutItem(cell.x, cell.y, player))
        return;
    if (!HrajeSoupere(player))
        OdesliTah(cell);  // before the animation: the other device sees it at once
    if (player == 1)
        CHPHraciPole.PutItemAndWait(0, 0, lpddsprime, lpddsDeskaEmpty, 1);
    else
        CHPHraciPole.PutItemAndWaitKRIZEK(0, 0, lpddsprime, lpddsDeskaEmpty, 2);
    PlayGame = player == 1 ? 1 : 0;
    Score.IncPocetTahu();
    Score.IncScore(static_cast<uint32_t>(CHPHraciPole.GetScore(player, cell.x, cell.y)));
}

void HerniObrazovka()
{
    const uint32_t t0 = GetTickCount();
    const uint64_t shown = FramesShown();
    // A move that completes five wins even when it fills the board.
    if (CHPHraciPole.JeHPZaplnene() && CHPHraciPole.ZkontrolujJestliJeVyherce() <= 0)
        CHPHraciPole.ClearHraciPole();
    DrawPozadi();
    Score.DrawScore(lpddsback);
    NaTahu(PlayGame == 0 ? 0 : 1);

    if (CHPHraciPole.ZkontrolujJestliJeVyherce() == 1) {
        if (HumanOrAI == 1 && NejlepsiHraci && NejlepsiHraci->MuzePridat(Score.GetScore())) {
            ZapisOn = 1;
            MaxScore = Score.GetScore();
        }
        Vyhra(1);
        return;
    }
    if (CHPHraciPole.ZkontrolujJestliJeVyherce() == 2) {
        Vyhra(2);
        return;
    }

    KlavesovyTah();
    if (PlayGame == 0)
        TahCloveka(1);
    else if (HumanOrAI == 0)
        TahCloveka(2);
    else
        TahPocitace();

    CHPHraciPole.DrawAllHraciPole(&lpddsback);
    KresliKurzor();
    lpddsprime->Flip(nullptr, DDFLIP_WAIT);
    Menu();
    if (GameState == 10)
        OpustHruPoSiti();  // the table from the menu abandons the game
    Tempo(t0);
    ptClick = kMimo;
    fwMouseKeys = 0xFFFFFFFF;
    const bool computerToMove = PlayGame == 1 && HumanOrAI == 1;
    if (GameState == 2 && !computerToMove)
        CekejNaVstup(shown);
}

// A dialog waiting for its answer; gives 0 until answered.
int CekajiciDialog(void (*check)(), int* answer)
{
    const uint32_t t0 = GetTickCount();
    const uint64_t shown = FramesShown();
    lpddsprime->Flip(nullptr, DDFLIP_WAIT);
    check();
    Tempo(t0);
    if (*answer == 0)
        CekejNaVstup(shown);
    return *answer;
}

void NejlepsiTabulka()
{
    if (((fwMouseKeys & MK_LBUTTON) || keys[VK_SPACE]) && ZobrazNejlepsi == 2) {
        GameState = 14;
        ZobrazNejlepsi = 0;
        return;
    }
    if (ZobrazNejlepsi == 2) {  // the table stays on screen until a click or Space
        WaitMessage(CekaniHryPoSiti());
        return;
    }
    if (ZobrazNejlepsi == 0) {
        ZobrazNejlepsi = 1;
        fwMouseKeys = 0;
    }
    if (ZobrazNejlepsi == 1) {
        Nejlepsi();
        CHPHraciPole.ClearHraciPole();
        Score.Reset();
        fwMouseKeys = 0;
    }
}

void NovaHra(int mode)
{
    OpustHruPoSiti();
    CHPHraciPole.ClearHraciPole();
    Score.Reset();
    HumanOrAI = mode;
    PlayGame = 0;
    GameState = 11;
}

void Reset()
{
    MaxScore = 0;
    PlayGame = 0;
    Pismeno = 0;
    szBestName[0] = '\0';
    DelkaJmena = 0;
    ZapisOn = 0;
    CHPHraciPole.ClearHraciPole();
    Score.Reset();
    ZobrazNejlepsi = 0;
    GameState = 1;
}


}  // namespace

void Game_Loop()
{
    HraPoSitiKrok();
    switch (GameState) {
    case 0:
        Animace();
        // Looked for once the intro is over, so that fontconfig's start does
        // not delay the first picture.
        if (!TextFontAvailable())
            Log.Write("Zadne pismo: dialogy a tabulka budou bez textu", 2);
        GameState = 1;
        break;
    case 1:
        ptClick = kDalekoMimo;
        ZapomenStisky();
        GameState = 2;
        break;
    case 2:
        HerniObrazovka();
        break;
    case 7:
        QuitGame(kOtazkaKonec, 0);
        lpddsprime->Flip(nullptr, DDFLIP_WAIT);
        GameState = 17;
        break;
    case 8:
        NovaHra(1);
        break;
    case 9:
        NovaHra(0);
        break;
    case 10:
        NejlepsiTabulka();
        break;
    case 11:
        Reset();
        break;
    case 12:
        ptClick = kDalekoMimo;
        if (keys[VK_SPACE] || (fwMouseKeys & MK_LBUTTON))
            GameState = ZapisOn == 1 ? 13 : 10;
        else
            WaitMessage(CekaniHryPoSiti());
        break;
    case 13: {
        const uint64_t shown = FramesShown();
        if (ZapisNejlepsi == 0)
            ZapisNejlepsi = 1;
        NejlepsiZapis();
        // A key not yet due is taken when it is.
        if (GameState == 13)
            CekejNaVstup(shown, KlavesaZaMs());
        break;
    }
    case 14:
        NejlepsiPryc();
        DalsiHraPoSiti();
        GameState = 11;
        break;
    case 15:
        NejlepsiZapisPryc();
        GameState = 10;
        break;
    case 17:
        // Yes leaves End at 1, so every pass until the quit is taken asks again.
        if (CekajiciDialog(CheckEnd, &End) == 1) {
            PostQuitMessage(0);
        } else if (End == 2) {
            End = 0;
            ptClick = kMimo;
            ZapomenStisky();
            GameState = 2;
        }
        break;
    case 18:
    case 20:
        QuitGame(kOtazkaNovaHra, 35);
        lpddsprime->Flip(nullptr, DDFLIP_WAIT);
        GameState = GameState + 1;
        break;
    case 19:
    case 21:
        if (CekajiciDialog(CheckNew, &NewGame) != 0) {
            const int yes = GameState == 19 ? 9 : 8;
            GameState = NewGame == 1 ? yes : 2;
            NewGame = 0;
            ptClick = kMimo;
            ZapomenStisky();
        }
        break;
    default:
        break;  // codes outside the table do nothing
    }
}
