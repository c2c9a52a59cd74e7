#include "OnlineGame.h"

#include "board/HraciPole.h"
#include "log/Log.h"
#include "platform/System.h"

#include <algorithm>

using online::Presence;
using online::Side;

namespace {

constexpr int kMostWarnings = 20;

std::string RandomSymbols(size_t symbols)
{
    uint8_t bytes[online::kCodeBytes];
    if (!System::RandomBytes(bytes, sizeof bytes))
        return {};
    return online::Symbols(bytes, sizeof bytes, symbols);
}

int Index(Side side)
{
    return side == Side::Host ? 0 : 1;
}

}  // namespace

bool OnlineGame::Host(const std::string& url)
{
    Leave();
    code = RandomSymbols(online::kCodeSymbols);
    broker = url;
    joining = false;
    side = Side::Host;
    return !code.empty() && Connect(true);
}

bool OnlineGame::Join(const std::string& gameCode, const std::string& url)
{
    Leave();
    code = gameCode;
    broker = url;
    joining = true;
    return Connect(false);
}

// A joining client looks at the seats before it takes one: its will goes
// with the connection that holds the seat.
bool OnlineGame::Connect(bool withWill)
{
    instance = RandomSymbols(online::kInstanceSymbols);
    const std::string id = RandomSymbols(12);
    if (instance.empty() || id.empty())
        return false;
    clientId = "ortelanka-" + id;
    System::BrokerOptions options;
    options.url = broker;
    options.clientId = clientId;
    options.userName = code;
    if (withWill) {
        options.willTopic = online::SideTopic(code, side, "presence");
        options.willPayload = online::FormatPresence(Presence::Gone, instance);
    }
    connected = false;
    seen[0] = seen[1] = Seen();
    phase = withWill && joining ? Phase::Seated : Phase::Connecting;
    if (!System::BrokerConnect(options)) {
        phase = Phase::Off;
        return false;
    }
    return true;
}

void OnlineGame::Leave()
{
    if (phase == Phase::Off)
        return;
    if (phase == Phase::Seated && connected)
        Publish("presence", online::FormatPresence(Presence::Left, instance));
    System::BrokerDisconnect();
    phase = Phase::Off;
    connected = everConnected = lostNoted = false;
}

void OnlineGame::Stop(const char* text)
{
    Note(text);
    System::BrokerDisconnect();
    phase = Phase::Off;
    connected = everConnected = lostNoted = false;
}

OnlineGame::Stage OnlineGame::State() const
{
    if (phase == Phase::Off)
        return Stage::Off;
    if (phase == Phase::Connecting)
        return Stage::Connecting;
    const Seen& other = seen[Index(online::Other(side))];
    if (!other.presenceKnown || other.presence == Presence::Left)
        return Stage::Waiting;
    return other.presence == Presence::Online ? Stage::Playing : Stage::OtherGone;
}

int OnlineGame::LocalPlayer() const
{
    return Seated() ? online::PlayerOf(side, mine.game) : 0;
}

void OnlineGame::Poll()
{
    System::BrokerNews news;
    while (phase != Phase::Off && System::BrokerTakeNews(&news)) {
        switch (news.kind) {
        case System::BrokerNews::Kind::Connected:
            connected = everConnected = true;
            System::BrokerSubscribe(online::GameTopics(code) + "#");
            if (phase == Phase::Connecting && !joining) {
                TakeSeat(Side::Host);
            } else if (phase == Phase::Connecting) {
                // Every retained message of the game comes before the probe does.
                System::BrokerPublish(online::GameTopics(code) + "probe/" + clientId, "?", false);
            } else {
                Seat();
                if (lostNoted)
                    Note("Spojen\xED obnoveno");
            }
            lostNoted = false;
            break;
        case System::BrokerNews::Kind::Lost:
            connected = false;
            if (!everConnected)
                Stop("Server hry po s\xEDti nen\xED dostupn\xFD");
            else if (phase == Phase::Seated && !lostNoted)
                Note("Spojen\xED ztraceno, obnovuje se\x85");
            lostNoted = lostNoted || phase == Phase::Seated;
            break;
        case System::BrokerNews::Kind::Message:
            Take(news.topic, news.payload);
            break;
        }
    }
}

void OnlineGame::Take(const std::string& topic, const std::string& payload)
{
    online::About about;
    if (!online::ParseTopic(topic, code, &about)) {
        Warn("zprava v neznamem kanalu");
        return;
    }
    if (about.kind == online::About::Kind::Probe) {
        if (about.probe != clientId || phase != Phase::Connecting || !joining)
            return;
        // A seat left gone is free: a player coming back takes it.
        if (seen[Index(Side::Guest)].presence != Presence::Online)
            TakeSeat(Side::Guest);
        else if (seen[Index(Side::Host)].presence != Presence::Online)
            TakeSeat(Side::Host);
        else
            Stop("Hra u\x9E m\xE1 dva hr\xE1\xE8\x65");
        return;
    }
    Seen& from = seen[Index(about.side)];
    if (about.kind == online::About::Kind::Moves) {
        online::Moves moves;
        if (!online::ParseMoves(payload, &moves)) {
            Warn("neplatny seznam tahu");
            return;
        }
        from.moves = moves;
        from.movesKnown = true;
        return;
    }
    Presence presence;
    std::string who;  // which connection: not needed to follow the other side
    if (!online::ParsePresence(payload, &presence, &who)) {
        Warn("neplatna zprava o pritomnosti");
        return;
    }
    const Presence before = from.presence;
    const bool knownBefore = from.presenceKnown;
    from.presence = presence;
    from.presenceKnown = true;
    if (phase != Phase::Seated || about.side == side)
        return;
    if (!knownBefore || presence != before)
        NoteOther(presence);
    if (presence == Presence::Left)
        Leave();
}

void OnlineGame::TakeSeat(Side seat)
{
    side = seat;
    // The current game is the later of the two sides' games.
    const Seen& own = seen[Index(side)];
    const Seen& other = seen[Index(online::Other(side))];
    const int game = std::max({1, own.movesKnown ? own.moves.game : 1, other.movesKnown ? other.moves.game : 1});
    mine = own.movesKnown && own.moves.game == game ? own.moves : online::Moves{game, {}};
    const std::vector<int> theirs =
        other.movesKnown && other.moves.game == game ? other.moves.cells : std::vector<int>();
    const std::vector<int>& circles = online::PlayerOf(side, game) == 1 ? mine.cells : theirs;
    const std::vector<int>& crosses = online::PlayerOf(side, game) == 1 ? theirs : mine.cells;
    if (circles.size() != crosses.size() && circles.size() != crosses.size() + 1) {
        Warn("seznamy tahu k obnoveni hry nesedi");
        Stop("Hru nelze obnovit");
        return;
    }
    taken = theirs;
    rejected = online::Moves();
    rebuildDue = true;
    if (joining) {
        // Seated again, now with the will of this seat.
        const Seen keep[2] = {seen[0], seen[1]};
        if (!Connect(true)) {
            Stop("Server hry po s\xEDti nen\xED dostupn\xFD");
            return;
        }
        seen[0] = keep[0];
        seen[1] = keep[1];
        return;
    }
    phase = Phase::Seated;
    Seat();
}

// Holding the seat: this device is here, with its list.
void OnlineGame::Seat()
{
    Publish("presence", online::FormatPresence(Presence::Online, instance));
    Publish("moves", online::FormatMoves(mine));
    const Seen& other = seen[Index(online::Other(side))];
    if (other.presenceKnown && other.presence == Presence::Online)
        NoteOther(Presence::Online);
    else if (!joining)
        Note(("K\xF3\x64 hry: " + online::CodeForPeople(code)).c_str());
    else
        Note("\xC8\x65k\xE1 se na soupe\xF8\x65");
}

void OnlineGame::NoteOther(Presence presence)
{
    Note(presence == Presence::Online ? (LocalPlayer() == 1 ? "Soupe\xF8 je tu, hrajete za kole\xE8ka"
                                                            : "Soupe\xF8 je tu, hrajete za k\xF8\xED\x9Eky")
         : presence == Presence::Gone ? "Soupe\xF8 ztratil spojen\xED"
                                      : "Soupe\xF8 ode\x9A" "el");
}

bool OnlineGame::TakeNote(std::string* text)
{
    if (note.empty())
        return false;
    text->swap(note);
    note.clear();
    return true;
}

bool OnlineGame::TakeRebuild(std::vector<int>* cells)
{
    if (!rebuildDue || !Seated())
        return false;
    rebuildDue = false;
    const std::vector<int>& circles = LocalPlayer() == 1 ? mine.cells : taken;
    const std::vector<int>& crosses = LocalPlayer() == 1 ? taken : mine.cells;
    cells->clear();
    for (size_t i = 0; i < circles.size(); ++i) {
        cells->push_back(circles[i]);
        if (i < crosses.size())
            cells->push_back(crosses[i]);
    }
    return true;
}

void OnlineGame::LocalMove(int cell)
{
    if (!Seated())
        return;
    mine.cells.push_back(cell);
    Publish("moves", online::FormatMoves(mine));
}

bool OnlineGame::TakeRemoteMove(const Deska& board, bool gameOver, int playerToMove, int* cell)
{
    const Seen& other = seen[Index(online::Other(side))];
    if (!Seated() || rebuildDue || !other.movesKnown || other.moves.game != mine.game || other.moves == rejected)
        return false;
    const std::vector<int>& theirs = other.moves.cells;
    if (theirs.size() == taken.size() && std::equal(taken.begin(), taken.end(), theirs.begin()))
        return false;  // nothing new
    const char* wrong = nullptr;
    if (theirs.size() != taken.size() + 1 || !std::equal(taken.begin(), taken.end(), theirs.begin()))
        wrong = "seznam tahu souperi neni o jeden tah delsi";
    else if (playerToMove != online::PlayerOf(online::Other(side), mine.game))
        wrong = "tah soupere mimo jeho tah";
    else if (gameOver)
        wrong = "tah soupere po konci hry";
    else if (board[theirs.back() / HRACIPOLEX][theirs.back() % HRACIPOLEX] != 0)
        wrong = "tah soupere na obsazene pole";
    if (wrong) {
        Warn(wrong);
        rejected = other.moves;
        return false;
    }
    taken.push_back(theirs.back());
    *cell = theirs.back();
    return true;
}

void OnlineGame::NextGame()
{
    if (!Seated())
        return;
    mine = online::Moves{mine.game + 1, {}};
    taken.clear();
    rejected = online::Moves();
    Publish("moves", online::FormatMoves(mine));
}

void OnlineGame::Publish(const char* kind, const std::string& payload)
{
    System::BrokerPublish(online::SideTopic(code, side, kind), payload, true);
}

void OnlineGame::Note(const char* text)
{
    note = text;
}

void OnlineGame::Warn(const char* what)
{
    if (warnings > kMostWarnings)
        return;
    const std::string line = warnings == kMostWarnings ? std::string("Hra po siti: dalsi varovani se nezapisuji")
                                                       : std::string("Hra po siti: ") + what;
    ++warnings;
    Log.Write(line.c_str(), 2);
}
