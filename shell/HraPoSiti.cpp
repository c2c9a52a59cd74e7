// The two-player game with one side on another device: the original's game
// between two humans, the other device's marks coming through the broker and
// placed, recorded and animated as a click's are.
#include "main.h"

#include "board/HraciPole.h"
#include "log/Log.h"
#include "OnlineScreen.h"
#include "online/OnlineGame.h"
#include "platform/Display.h"
#include "platform/Settings.h"
#include "platform/System.h"
#include "platform/Waiting.h"
#include "records/Score.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

OnlineGame hra;
OnlineGame::Stage ukazano = OnlineGame::Stage::Off;
std::string brokerZPrikazu;  // --broker, or the link's
std::string brokerHry;       // the hosted game's
bool obrazovkaNaZacatku = false;
bool pripojitZeSchranky = false;
std::chrono::steady_clock::time_point seznamUkazan;
bool hostitNaZacatku = false;
constexpr size_t kNejdelsiPozvanka = 512;
constexpr char kChybiBroker[] = "Chyb\xED server: broker=mqtts://SERVER v ortelanka.conf";
constexpr size_t kNejviceVSeznamu = 20;  // the page's list; the online screen shows fewer

// The broker named on the command line, in the settings or in the build.
bool VyberBroker(std::string* broker)
{
    Settings nastaveni;
    LoadSettings(&nastaveni);
    *broker = brokerZPrikazu;
    return ChooseBroker(nastaveni.broker, broker);
}

bool ZalozHru(const std::string& broker)
{
    if (!hra.Host(broker))
        return false;
    brokerHry = broker;
    CopyToClipboard(online::Link(broker, hra.Code()).c_str());
    return true;
}

// The page's UTF-8 of a name: its š (and Š) as the table's letter.
std::string JmenoZeStranky(const std::string& utf8)
{
    std::string jmeno;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\xC5' && i + 1 < utf8.size() && (utf8[i + 1] == '\xA1' || utf8[i + 1] == '\xA0')) {
            jmeno.push_back('\x9A');
            ++i;
        } else {
            jmeno.push_back(utf8[i]);
        }
    }
    return jmeno;
}

// What the page's controls asked for (System::TakeOnlineRequest).
void VyridPozadavekStranky(const std::string& pozadavek)
{
    const size_t mezera = pozadavek.find(' ');
    const std::string co = pozadavek.substr(0, mezera);
    const std::string zbytek = mezera == std::string::npos ? "" : pozadavek.substr(mezera + 1);
    const size_t dalsi = zbytek.find(' ');
    const std::string broker = zbytek.substr(0, dalsi);
    const std::string pak = dalsi == std::string::npos ? "" : zbytek.substr(dalsi + 1);
    std::string kod, zOdkazu;
    if (co == "host")
        hra.Host(broker);
    else if (co == "quick")
        hra.QuickMatch(broker, JmenoZeStranky(pak));
    else if (co == "list")
        hra.OpenList(broker);
    else if (co == "unlist")
        ZavriSeznamHer();
    else if (co == "join" && online::ReadInvitation(pak, &kod, &zOdkazu))
        hra.Join(kod, broker);
    else
        Log.Write("Hra po siti: neznamy pozadavek stranky", 2);
}

// The list as the page shows it, once a second while it is read.
void UkazSeznamStrance()
{
    const auto ted = std::chrono::steady_clock::now();
    if (hra.State() != OnlineGame::Stage::Listing || ted - seznamUkazan < std::chrono::seconds(1))
        return;
    seznamUkazan = ted;
    std::string radky;
    for (const online::OpenGames::Game& g : SeznamHer(kNejviceVSeznamu))
        radky += g.code + (g.playing ? " playing " : " waiting ") + std::to_string(g.waitedMs) + " " + g.device +
                 (g.name.empty() ? "" : " " + g.name) + "\n";
    System::ShowOpenGames(radky);
}

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
    brokerZPrikazu = line.broker;
    obrazovkaNaZacatku = line.onlineScreen;
    pripojitZeSchranky = line.paste;
    if (line.host && line.onlineScreen) {
        hostitNaZacatku = true;  // on the screen, which says what may be missing
    } else if (line.host) {
        if (ZalozHru(line.broker)) {
            std::printf("Online game: send your friend the link %s or the code %s\n",
                        online::Link(line.broker, hra.Code()).c_str(), online::CodeForPeople(hra.Code()).c_str());
            std::fflush(stdout);
        }
    } else if (!line.join.empty()) {
        hra.Join(line.join, line.broker);
    }
}

bool ZalozHruPoSiti(std::string* proc)
{
    std::string broker;
    if (!VyberBroker(&broker)) {
        *proc = kChybiBroker;
        return false;
    }
    if (!ZalozHru(broker)) {
        *proc = "Hru po s\xEDti nelze zalo\x9Eit";
        return false;
    }
    return true;
}

bool JePozvankou(const std::string& text)
{
    std::string kod, broker;
    return online::ReadInvitation(text, &kod, &broker);
}

bool PripojSeKHrePoSiti(const std::string& pozvanka, std::string* proc)
{
    std::string kod, broker;
    if (!online::ReadInvitation(pozvanka, &kod, &broker)) {
        *proc = "To nen\xED odkaz ani k\xF3" "d hry";
        return false;
    }
    if (!brokerZPrikazu.empty() || broker.empty()) {
        if (!VyberBroker(&broker)) {
            *proc = "K\xF3" "d nesta\xE8\xED: chyb\xED server, vlo\x9Ete odkaz";
            return false;
        }
    }
    if (!hra.Join(kod, broker)) {
        *proc = "K t\xE9to h\xF8\x65 se nelze p\xF8ipojit";
        return false;
    }
    brokerHry.clear();
    return true;
}

bool HrajSKymkoli(const std::string& jmeno, std::string* proc)
{
    std::string broker;
    if (!VyberBroker(&broker)) {
        *proc = kChybiBroker;
        return false;
    }
    if (!hra.QuickMatch(broker, jmeno)) {
        *proc = "Hru po s\xEDti nelze zalo\x9Eit";
        return false;
    }
    brokerHry = broker;
    return true;
}

bool OtevriSeznamHer(std::string* proc)
{
    std::string broker;
    if (!VyberBroker(&broker)) {
        *proc = kChybiBroker;
        return false;
    }
    if (!hra.OpenList(broker)) {
        *proc = "Seznam her nelze na\xE8\xEDst";
        return false;
    }
    brokerHry.clear();
    return true;
}

void ZavriSeznamHer()
{
    if (hra.State() == OnlineGame::Stage::Listing)
        hra.Leave();
}

std::vector<online::OpenGames::Game> SeznamHer(size_t nejvice)
{
    return hra.Listed(nejvice);
}

bool PripojSeKHreZeSeznamu(const std::string& kod, std::string* proc)
{
    std::string broker;
    if (!VyberBroker(&broker) || !hra.Join(kod, broker)) {
        *proc = "K t\xE9to h\xF8\x65 se nelze p\xF8ipojit";
        return false;
    }
    brokerHry.clear();
    return true;
}

bool HostovanaHra(std::string* kod, std::string* odkaz)
{
    if (brokerHry.empty() || hra.State() == OnlineGame::Stage::Off)
        return false;
    *kod = online::CodeForPeople(hra.Code());
    *odkaz = online::Link(brokerHry, hra.Code());
    return true;
}

void HraPoSitiKrok()
{
    std::string pozadavek;
    if (System::TakeOnlineRequest(&pozadavek))
        VyridPozadavekStranky(pozadavek);
    // What the desktop's launcher asked for, once the board is there.
    if (GameState == 2 && pripojitZeSchranky) {
        pripojitZeSchranky = false;
        std::string proc;
        if (!PripojSeKHrePoSiti(ClipboardText(kNejdelsiPozvanka), &proc))
            OpenOnlineScreenToJoin("Ve schr\xE1nce nen\xED odkaz na hru");
    }
    if (GameState == 2 && obrazovkaNaZacatku) {
        obrazovkaNaZacatku = false;
        if (hostitNaZacatku)
            OpenOnlineScreenToHost();
        else
            OpenOnlineScreen();
    }
    hra.Poll();
    UkazSeznamStrance();
    OnlineScreenStep();
    // A note waits for the intro's end: over the intro it would be gone unread.
    std::string poznamka;
    if (GameState != 0 && hra.TakeNote(&poznamka) && lpdd)
        lpdd->ShowNote(poznamka.c_str());
    if (hra.State() != ukazano) {
        ukazano = hra.State();
        System::ShowOnlineStage(hra.Code(), static_cast<int>(ukazano));
        // The friend is here: the code has done its work.
        if (ukazano == OnlineGame::Stage::Playing)
            CloseOnlineScreen();
    }
    // A watcher's board is the players': its move file stays as it was.
    CHPHraciPole.ZapisujTahy = !hra.Watching();
    std::vector<int> tahy;
    if (GameState == 2 && hra.TakeRebuild(&tahy))
        PostavHru(tahy);
}

uint32_t CekaniHryPoSiti()
{
    const int64_t ms = hra.MillisecondsToNextStep();
    return ms < 0 ? INFINITE : static_cast<uint32_t>(std::min<int64_t>(ms + 1, INFINITE - 1));
}

void PrijmiZpravyHryPoSiti()
{
    hra.Poll();
}

bool HrajeSoupere(int player)
{
    return hra.Watching() || (hra.Seated() && player != hra.LocalPlayer());
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
