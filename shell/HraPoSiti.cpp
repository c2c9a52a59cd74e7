// The two-player game with one side on another device: the original's game
// between two humans, the other device's marks coming through the broker and
// placed, recorded and animated as a click's are.
#include "main.h"

#include "board/HraciPole.h"
#include "log/Log.h"
#include "online/OnlineGame.h"
#include "platform/Display.h"
#include "platform/System.h"
#include "records/Score.h"

#include <cstdio>

namespace {

OnlineGame hra;
OnlineGame::Stage ukazano = OnlineGame::Stage::Off;

POINT Bunka(int cell)
{
    return POINT{cell % HRACIPOLEX, cell / HRACIPOLEX};
}

// Takes the seat's game as the other device left it: the marks of both
// sides placed again in their order, the score and the turn with them, as
// a new game of two players.
void PostavHru(const std::vector<int>& tahy)
{
    HumanOrAI = 0;
    PlayGame = 0;
    MaxScore = 0;
    ZapisOn = 0;
    CHPHraciPole.ClearHraciPole();
    Score.Reset();
    for (int cell : tahy) {
        const int player = PlayGame == 0 ? 1 : 2;
        // A full board is cleared before the next mark, as each step does.
        if (CHPHraciPole.JeHPZaplnene() && CHPHraciPole.ZkontrolujJestliJeVyherce() <= 0)
            CHPHraciPole.ClearHraciPole();
        const POINT bunka = Bunka(cell);
        if (!CHPHraciPole.PutItem(bunka.x, bunka.y, player)) {
            Log.Write("Hra po siti: tahy k obnoveni hry nejsou platne", 2);
            OpustHruPoSiti();
            CHPHraciPole.ClearHraciPole();
            Score.Reset();
            PlayGame = 0;
            return;
        }
        Score.IncPocetTahu();
        Score.IncScore(static_cast<uint32_t>(CHPHraciPole.GetScore(player, bunka.x, bunka.y)));
        PlayGame = PlayGame == 0 ? 1 : 0;
    }
}

}  // namespace

void ZacniHruPoSiti(const CommandLine& line)
{
    if (line.host && hra.Host(line.broker)) {
        const std::string kod = online::CodeForPeople(hra.Code());
        const std::string odkaz = online::Link(line.broker, hra.Code());
        std::printf("Online game: send your friend the link %s or the code %s\n", odkaz.c_str(), kod.c_str());
        std::fflush(stdout);
        CopyToClipboard(odkaz.c_str());
    } else if (!line.join.empty()) {
        hra.Join(line.join, line.broker);
    }
}

void HraPoSitiKrok()
{
    std::string broker;
    if (System::TakeOnlineRequest(&broker))
        hra.Host(broker);
    hra.Poll();
    // A note waits for the intro's end: over the intro it would be gone unread.
    std::string poznamka;
    if (GameState != 0 && hra.TakeNote(&poznamka) && lpdd)
        lpdd->ShowNote(poznamka.c_str());
    if (hra.State() != ukazano) {
        ukazano = hra.State();
        System::ShowOnlineStage(hra.Code(), static_cast<int>(ukazano));
    }
    std::vector<int> tahy;
    if (GameState == 2 && hra.TakeRebuild(&tahy))
        PostavHru(tahy);
}

bool HrajeSoupere(int player)
{
    return hra.Seated() && player != hra.LocalPlayer();
}

bool TahSoupere(int player, POINT* cell)
{
    int tah;
    const bool konec = CHPHraciPole.ZkontrolujJestliJeVyherce() > 0;
    if (!hra.TakeRemoteMove(CHPHraciPole.Pole, konec, player, &tah))
        return false;
    *cell = Bunka(tah);
    return true;
}

void OdesliTah(POINT cell)
{
    hra.LocalMove(cell.y * HRACIPOLEX + cell.x);
}

void OpustHruPoSiti()
{
    hra.Leave();
}

void DalsiHraPoSiti()
{
    hra.NextGame();
}
