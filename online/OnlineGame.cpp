#include "OnlineGame.h"

#include "board/HraciPole.h"
#include "log/Log.h"
#include "platform/System.h"

#include <algorithm>
#include <tuple>

using online::Presence;
using online::Side;

namespace {

constexpr int kMostWarnings = 20;
constexpr std::chrono::duration<double> kCorrectionPause = std::chrono::seconds(1);
constexpr double kMostCorrections = 8;
constexpr size_t kMostReturning = 16;
constexpr size_t kMostUnchecked = 8;
// A reader of the list has a user name that is no game's code (no 'O'),
// so that a broker's rules give it no game's topics.
constexpr char kListReader[] = "open";
constexpr auto kEntryRefresh = std::chrono::seconds(10);
constexpr auto kLongestAsking = std::chrono::seconds(10);

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

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

bool OnlineGame::Host(const std::string& url)
{
    return Start(url) && HostNew();
}

bool OnlineGame::Join(const std::string& gameCode, const std::string& url)
{
    if (!Start(url))
        return false;
    code = gameCode;
    joining = true;
    return Connect(false);
}

bool OnlineGame::QuickMatch(const std::string& url, const std::string& name)
{
    if (!Start(url))
        return false;
    quick = true;
    listName = online::NameForList(name);
    return HostNew();
}

bool OnlineGame::OpenList(const std::string& url)
{
    if (!Start(url))
        return false;
    listing = true;
    return Connect(false);
}

// A new host's seat, the code drawn from it, and the connection as its
// host. A quick match reads the list on it too, and chooses what to do once
// every listed game is in (ChooseOpponent).
bool OnlineGame::HostNew()
{
    const std::string salt = RandomSymbols(online::kSaltSymbols);
    if (salt.empty())
        return false;
    hostSeat = online::FormatHostSeat(key.publicKey, salt);
    code = online::CodeOf(hostSeat);
    keys[Index(Side::Host)] = key.publicKey;
    joining = false;
    side = Side::Host;
    listing = quick;
    return !code.empty() && Connect(true);
}

// Whatever the last game left goes; this device's key is at hand.
bool OnlineGame::Start(const std::string& url)
{
    Leave();
    const int warned = warnings;
    *this = OnlineGame();
    warnings = warned;
    broker = url;
    return LoadDeviceKey(&key);
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
    options.userName = code.empty() ? kListReader : code;
    if (withWill) {
        options.willTopic = online::SideTopic(code, side, "presence");
        options.willPayload = online::FormatPresence(Presence::Gone, instance, 0);
    }
    connected = false;
    returning.clear();
    phase = withWill && joining ? Phase::Seated : code.empty() ? Phase::Listing : Phase::Connecting;
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
    if (phase == Phase::Seated && connected) {
        if (listed)
            Publish(online::OpenTopic(code), "");  // an empty retained message takes the entry away
        PublishPresence(Presence::Left);
    }
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
    if (phase == Phase::Watching)
        return Stage::Watching;
    if (phase == Phase::Listing)
        return Stage::Listing;
    if (phase != Phase::Seated)
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
    // Once a quick match is to move on, the rest of this connection's news is its own no more.
    while (phase != Phase::Off && next == Next::Stay && System::BrokerTakeNews(&news)) {
        switch (news.kind) {
        case System::BrokerNews::Kind::Connected:
            connected = everConnected = true;
            if (!code.empty())
                System::BrokerSubscribe(online::GameTopics(code) + "#");
            if (listing)
                System::BrokerSubscribe(online::OpenTopics() + "+");
            else if (listed)
                System::BrokerSubscribe(online::OpenTopic(code));  // to write over what others write there
            if (phase == Phase::Listing)
                break;
            if (phase == Phase::Connecting && !joining && !quick) {
                TakeSeat(Side::Host);
            } else if (phase == Phase::Connecting) {
                // Every retained message of the game comes before the probe does.
                System::BrokerPublish(online::GameTopics(code) + "probe/" + clientId, "?", false);
            } else if (phase == Phase::Seated) {
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
    Correct();
    const auto now = std::chrono::steady_clock::now();
    if (listed && phase == Phase::Seated && connected && keys[Index(Side::Guest)].empty() &&
        NowMs() - entry.opened > online::kLongestWaitMs) {
        // Nobody came: the game leaves the list, and waits on for a friend with the link.
        Publish(online::OpenTopic(code), "");
        listed = false;
        if (listing)
            System::BrokerUnsubscribe(online::OpenTopics() + "+");
        listing = quick = false;
        Note("Nikdo nep\xF8i\x9A" "el, hra u\x9E nen\xED v seznamu");
    }
    if (listed && phase == Phase::Seated && connected && now - refreshed >= kEntryRefresh)
        PublishEntry();
    if (quick && phase == Phase::Requesting && now - asked >= kLongestAsking)
        next = Next::Seek;  // its host has gone
    if (next == Next::Stay)
        return;
    // A quick match moves on: to a listed game, or back to the list.
    const Next what = next;
    const std::string url = broker, name = listName, game = target;
    const std::set<std::string> triedSoFar = tried;
    const bool started = what == Next::Join ? Join(game, url) : Start(url);
    quick = true;
    listName = name;
    tried = triedSoFar;
    asked = now;
    if (!started || (what == Next::Seek && !HostNew()))
        Stop("Hru po s\xEDti nelze zalo\x9Eit");
}

int64_t OnlineGame::MillisecondsToNextStep() const
{
    const auto now = std::chrono::steady_clock::now();
    int64_t due = -1;
    const auto until = [&](std::chrono::steady_clock::time_point at) {
        const int64_t ms = std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(at - now).count());
        due = due < 0 ? ms : std::min(due, ms);
    };
    if (listed && phase == Phase::Seated && connected)
        until(refreshed + kEntryRefresh);
    if (quick && phase == Phase::Requesting)
        until(asked + kLongestAsking);
    if (!overwritten.empty() && phase == Phase::Seated && connected)
        until(corrected + std::chrono::duration_cast<std::chrono::steady_clock::duration>(kCorrectionPause));
    if (listing)
        until(now + std::chrono::seconds(1));  // how long each game has waited, as shown
    return due;
}

void OnlineGame::Take(const std::string& topic, const std::string& payload)
{
    std::string entryCode;
    if (online::ParseOpenTopic(topic, &entryCode)) {
        TakeEntry(entryCode, topic, payload);
        return;
    }
    online::About about;
    if (!online::ParseTopic(topic, code, &about)) {
        Warn("zprava v neznamem kanalu");
        return;
    }
    if (about.kind == online::About::Kind::Probe) {
        if (about.probe == clientId && phase == Phase::Connecting)
            joining ? ChooseSeat() : ChooseOpponent();
        return;
    }
    if (phase == Phase::Seated && about.side == side) {
        TakeOwn(topic, payload);
        return;
    }
    if (about.kind == online::About::Kind::Seat) {
        if (about.side == Side::Host)
            TakeHostSeat(payload);
        else
            TakeGuestRequest(topic, payload);
        return;
    }
    // The rest is signed by the seat's holder, once it is known.
    if (keys[Index(about.side)].empty()) {
        std::deque<std::string>& waiting = unchecked[topic];
        if (waiting.size() >= kMostUnchecked)
            waiting.pop_front();
        waiting.push_back(payload);
        return;
    }
    if (about.kind == online::About::Kind::Guest)
        TakeGuestHolder(topic, payload);
    else if (about.kind == online::About::Kind::Presence)
        TakePresence(about.side, topic, payload);
    else
        TakeMoves(about.side, topic, payload);
}

// An entry of the list. This host's own is written over when someone
// else writes there; a quick match's host gives way to an earlier game.
void OnlineGame::TakeEntry(const std::string& entryCode, const std::string& topic, const std::string& payload)
{
    if (listed && entryCode == code) {
        if (phase == Phase::Seated)
            TakeOwn(topic, payload);
        return;
    }
    if (!listing)
        return;
    if (!list.Take(topic, payload)) {
        Warn("neplatny zaznam v seznamu her");
        return;
    }
    if (quick && listed && phase == Phase::Seated && keys[Index(Side::Guest)].empty())
        Yield();
}

// Once every listed game is in: the one that has waited longest is joined,
// or, with none, this device hosts a game listed as waiting.
void OnlineGame::ChooseOpponent()
{
    tried.insert(code);
    const std::vector<online::OpenGames::Game> games = list.Listed(NowMs(), 1, tried);
    if (!games.empty() && !games[0].playing) {
        target = games[0].code;
        tried.insert(target);
        next = Next::Join;
        return;
    }
    listed = true;
    entry = online::OpenEntry{hostSeat, false, NowMs(), 0, System::kDeviceKind, listName};
    TakeSeat(Side::Host);
    Note("\xC8\x65k\xE1 se na kohokoli");
}

// Two who pressed at once may both host: the later of the two games (by
// when it was opened, then by its code, as both see them) gives way and
// joins the earlier.
void OnlineGame::Yield()
{
    const std::vector<online::OpenGames::Game> games = list.Listed(NowMs(), 1, tried);
    if (games.empty() || games[0].playing || std::tie(games[0].opened, games[0].code) > std::tie(entry.opened, code))
        return;
    target = games[0].code;
    tried.insert(target);
    next = Next::Join;
}

// The guest is here: a quick match's host stops reading the list, and its
// entry says the game is being played, for watchers.
void OnlineGame::ListingDone()
{
    if (listing && connected) {
        System::BrokerUnsubscribe(online::OpenTopics() + "+");
        System::BrokerSubscribe(online::OpenTopic(code));
    }
    listing = false;
    list = online::OpenGames();
    PublishEntry();
}

void OnlineGame::PublishEntry()
{
    entry.playing = !keys[Index(Side::Guest)].empty();
    entry.stamp = std::max(NowMs(), entry.stamp + 1);
    refreshed = std::chrono::steady_clock::now();
    PublishSigned(online::OpenTopic(code), online::FormatOpenEntry(entry), online::kEntryLifeMs / 1000);
}

std::vector<online::OpenGames::Game> OnlineGame::Listed(size_t most)
{
    return listing ? list.Listed(NowMs(), most, {code}) : std::vector<online::OpenGames::Game>();
}

// This seat's own topics: only this device writes them. What is not its
// own message coming back is someone else's, and is written over again.
void OnlineGame::TakeOwn(const std::string& topic, const std::string& payload)
{
    std::deque<std::string>& coming = returning[topic];
    if (!coming.empty() && coming.front() == payload) {
        coming.pop_front();
        return;
    }
    if (coming.empty() && published.count(topic) && published[topic] != payload)
        overwritten.insert(topic);
}

// The host's seat is the one whose payload the code was drawn from: nobody
// else can write one that hashes to the same 80 bits.
void OnlineGame::TakeHostSeat(const std::string& payload)
{
    std::string publicKey, salt;
    if (!online::ParseHostSeat(payload, &publicKey, &salt) || online::CodeOf(payload) != code) {
        Warn("cizi zprava o miste hostitele");
        return;
    }
    if (!keys[Index(Side::Host)].empty())
        return;
    hostSeat = payload;
    KeyKnown(Side::Host, publicKey);
}

// A joining device asks for the guest's seat with its own key; the host
// gives it to the first that asks while it is free.
void OnlineGame::TakeGuestRequest(const std::string& topic, const std::string& payload)
{
    // Only a host with the seat to give checks the signature: that costs.
    if (phase != Phase::Seated || side != Side::Host || !keys[Index(Side::Guest)].empty())
        return;
    std::string body, signature, publicKey;
    if (!online::SplitSigned(payload, &body, &signature) || !online::ReadKey(body, &publicKey) ||
        publicKey == key.publicKey || !System::Verify(publicKey, online::SignedText(topic, body), signature)) {
        Warn("neplatna zadost o misto hosta");
        return;
    }
    const std::string holderTopic = online::SideTopic(code, Side::Host, "guest");
    PublishSigned(holderTopic, online::Base64(publicKey));
    guestHolder = published[holderTopic];
    KeyKnown(Side::Guest, publicKey);
    if (listed)
        ListingDone();
}

void OnlineGame::TakeGuestHolder(const std::string& topic, const std::string& payload)
{
    std::string body, publicKey;
    if (!Signed(Side::Host, topic, payload, &body) || !online::ReadKey(body, &publicKey)) {
        Warn("neplatne slovo hostitele o hostovi");
        return;
    }
    if (keys[Index(Side::Guest)].empty()) {
        guestHolder = payload;
        KeyKnown(Side::Guest, publicKey);
    }
    if (phase != Phase::Requesting)
        return;
    if (keys[Index(Side::Guest)] == key.publicKey)
        TakeSeat(Side::Guest);
    else if (quick)
        next = Next::Seek;  // taken a moment earlier
    else
        Watch();
}

void OnlineGame::TakePresence(Side from, const std::string& topic, const std::string& payload)
{
    Seen& seat = seen[Index(from)];
    Presence presence;
    std::string who, body;
    int64_t when = 0;
    // The will is written when the connection is made and cannot be signed
    // as the last word: it counts only for the connection now online.
    if (online::ParsePresence(payload, &presence, &who, &when) && presence == Presence::Gone) {
        if (!seat.presenceKnown || seat.presence != Presence::Online || who != seat.instance)
            return;
    } else if (!Signed(from, topic, payload, &body) || !online::ParsePresence(body, &presence, &who, &when) ||
               presence == Presence::Gone) {
        Warn("neplatna zprava o pritomnosti");
        return;
    } else if (when <= seat.stamp) {
        return;  // an older word of the seat's, sent again
    } else {
        seat.stamp = when;
        seat.instance = who;
    }
    const Presence before = seat.presence;
    const bool knownBefore = seat.presenceKnown;
    seat.presence = presence;
    seat.presenceKnown = true;
    if (phase != Phase::Seated)
        return;
    if (!knownBefore || presence != before)
        NoteOther(presence);
    if (presence == Presence::Left)
        Leave();
}

void OnlineGame::TakeMoves(Side from, const std::string& topic, const std::string& payload)
{
    std::string body;
    online::Moves moves;
    if (!Signed(from, topic, payload, &body) || !online::ParseMoves(body, &moves)) {
        Warn("neplatny seznam tahu");
        return;
    }
    Seen& seat = seen[Index(from)];
    // A list the seat has gone past, sent again, tells nothing new.
    if (seat.movesKnown && (moves.game < seat.moves.game ||
                            (moves.game == seat.moves.game && moves.cells.size() < seat.moves.cells.size())))
        return;
    seat.moves = moves;
    seat.movesKnown = true;
    // A mark made out of turn stays refused: this side's next move does not
    // make it right.
    const std::vector<int>& cells = moves.cells;
    if (phase == Phase::Seated && from != side && moves.game == mine.game && cells.size() == taken.size() + 1 &&
        std::equal(taken.begin(), taken.end(), cells.begin()) && !OthersTurn()) {
        Warn("tah soupere mimo jeho tah");
        rejected = moves;
    }
}

// By the marks placed: circles move when both sides have placed as many.
bool OnlineGame::OthersTurn() const
{
    const bool otherHasCircles = online::PlayerOf(online::Other(side), mine.game) == 1;
    return otherHasCircles ? taken.size() == mine.cells.size() : taken.size() < mine.cells.size();
}

// What waited for the holder's key is checked now.
void OnlineGame::KeyKnown(Side holder, const std::string& publicKey)
{
    keys[Index(holder)] = publicKey;
    const std::string prefix = online::SideTopic(code, holder, "");
    std::vector<std::pair<std::string, std::string>> waiting;
    for (auto at = unchecked.begin(); at != unchecked.end();) {
        if (at->first.compare(0, prefix.size(), prefix) == 0) {
            for (const std::string& payload : at->second)
                waiting.emplace_back(at->first, payload);
            at = unchecked.erase(at);
        } else {
            ++at;
        }
    }
    for (const auto& [topic, payload] : waiting)
        Take(topic, payload);
}

bool OnlineGame::Signed(Side by, const std::string& topic, const std::string& payload, std::string* body)
{
    std::string signature;
    return online::SplitSigned(payload, body, &signature) &&
           System::Verify(keys[Index(by)], online::SignedText(topic, *body), signature);
}

// Once every retained message is in: the seat this device's key holds, or
// the guest's when nobody holds it yet.
void OnlineGame::ChooseSeat()
{
    for (const Side seat : {Side::Host, Side::Guest}) {
        if (keys[Index(seat)] != key.publicKey)
            continue;
        // Online: this seat is in use on another copy of the game.
        if (seen[Index(seat)].presenceKnown && seen[Index(seat)].presence == Presence::Online)
            Stop("Hra u\x9E m\xE1 dva hr\xE1\xE8\x65");
        else
            TakeSeat(seat);
        return;
    }
    // A quick match wants a game whose host is there and waits.
    const Seen& host = seen[Index(Side::Host)];
    if (quick && (!keys[Index(Side::Guest)].empty() || !host.presenceKnown || host.presence != Presence::Online)) {
        next = Next::Seek;
        return;
    }
    if (!keys[Index(Side::Guest)].empty()) {
        Watch();
        return;
    }
    phase = Phase::Requesting;
    asked = std::chrono::steady_clock::now();
    PublishSigned(online::SideTopic(code, Side::Guest, "seat"), online::Base64(key.publicKey));
    Note("\xC8\x65k\xE1 se na soupe\xF8\x65");
}

// Both seats are held: the game is shown as its players play it. A watcher
// publishes nothing, so it costs the players nothing.
void OnlineGame::Watch()
{
    phase = Phase::Watching;
    const int game = CurrentGame();
    for (const Side s : {Side::Host, Side::Guest}) {
        const Seen& seat = seen[Index(s)];
        watched[Index(s)] = seat.movesKnown && seat.moves.game == game ? seat.moves.cells : std::vector<int>();
    }
    mine = online::Moves{game, {}};
    const std::vector<int>& circles = watched[Index(online::PlayerOf(Side::Host, game) == 1 ? Side::Host : Side::Guest)];
    const std::vector<int>& crosses = watched[Index(online::PlayerOf(Side::Host, game) == 1 ? Side::Guest : Side::Host)];
    if (circles.size() != crosses.size() && circles.size() != crosses.size() + 1) {
        watched[0].clear();
        watched[1].clear();
    }
    rebuildDue = true;
    Note("Sledujete hru dvou hr\xE1\xE8\xF9");
}

// The later of the two sides' games.
int OnlineGame::CurrentGame() const
{
    const Seen& host = seen[Index(Side::Host)];
    const Seen& guest = seen[Index(Side::Guest)];
    return std::max({1, host.movesKnown ? host.moves.game : 1, guest.movesKnown ? guest.moves.game : 1});
}

void OnlineGame::TakeSeat(Side seat)
{
    side = seat;
    const Seen& own = seen[Index(side)];
    const Seen& other = seen[Index(online::Other(side))];
    const int game = CurrentGame();
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
    stamp = own.stamp;
    if (joining) {
        // Seated again, now with the will of this seat.
        if (!Connect(true))
            Stop("Server hry po s\xEDti nen\xED dostupn\xFD");
        return;
    }
    phase = Phase::Seated;
    Seat();
}

// Holding the seat: this device is here, with its list; the host's seat
// says who holds the two.
void OnlineGame::Seat()
{
    if (side == Side::Host) {
        Publish(online::SideTopic(code, Side::Host, "seat"), hostSeat);
        if (!guestHolder.empty())
            Publish(online::SideTopic(code, Side::Host, "guest"), guestHolder);
        if (listed)
            PublishEntry();
    }
    PublishPresence(Presence::Online);
    PublishSigned(online::SideTopic(code, side, "moves"), online::FormatMoves(mine));
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
    if (!rebuildDue || !(Seated() || Watching()))
        return false;
    rebuildDue = false;
    const bool hostHasCircles = online::PlayerOf(Side::Host, mine.game) == 1;
    const std::vector<int>& host = Watching() ? watched[Index(Side::Host)] : side == Side::Host ? mine.cells : taken;
    const std::vector<int>& guest = Watching() ? watched[Index(Side::Guest)] : side == Side::Guest ? mine.cells : taken;
    const std::vector<int>& circles = hostHasCircles ? host : guest;
    const std::vector<int>& crosses = hostHasCircles ? guest : host;
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
    PublishSigned(online::SideTopic(code, side, "moves"), online::FormatMoves(mine));
}

bool OnlineGame::TakeRemoteMove(const Deska& board, bool gameOver, int playerToMove, int* cell)
{
    if (Watching())
        return TakeWatchedMove(board, gameOver, playerToMove, cell);
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

// The players' own checks made each list: a watcher takes the next mark of
// the side to move when it is on an empty cell, and waits otherwise.
bool OnlineGame::TakeWatchedMove(const Deska& board, bool gameOver, int playerToMove, int* cell)
{
    const Side moving = online::PlayerOf(Side::Host, mine.game) == playerToMove ? Side::Host : Side::Guest;
    const Seen& seat = seen[Index(moving)];
    std::vector<int>& placed = watched[Index(moving)];
    // Circles move when both have placed as many marks.
    const bool circlesToMove = watched[0].size() == watched[1].size();
    // A watcher behind the players catches up mark by mark.
    if (rebuildDue || gameOver || (playerToMove == 1) != circlesToMove || !seat.movesKnown ||
        seat.moves.game != mine.game || seat.moves.cells.size() <= placed.size() ||
        !std::equal(placed.begin(), placed.end(), seat.moves.cells.begin()))
        return false;
    const int next = seat.moves.cells[placed.size()];
    if (board[next / HRACIPOLEX][next % HRACIPOLEX] != 0)
        return false;
    placed.push_back(next);
    *cell = next;
    return true;
}

void OnlineGame::NextGame()
{
    if (Watching()) {
        mine = online::Moves{mine.game + 1, {}};
        watched[0].clear();
        watched[1].clear();
        return;
    }
    if (!Seated())
        return;
    mine = online::Moves{mine.game + 1, {}};
    taken.clear();
    rejected = online::Moves();
    PublishSigned(online::SideTopic(code, side, "moves"), online::FormatMoves(mine));
}

// What someone else wrote on this seat's topics is written over again at
// once, a few times in a row and then once a second at most (when the next
// news comes): a flood of forgeries costs its sender more than this, and two
// copies that both think they hold a seat cannot outpace each other.
void OnlineGame::Correct()
{
    if (overwritten.empty() || phase != Phase::Seated || !connected)
        return;
    const auto now = std::chrono::steady_clock::now();
    const double refill = std::chrono::duration<double>(now - corrected) / kCorrectionPause;
    corrections = std::min(kMostCorrections, corrections + refill);
    corrected = now;
    while (!overwritten.empty() && corrections >= 1) {
        const std::string topic = *overwritten.begin();
        overwritten.erase(overwritten.begin());
        corrections -= 1;
        if (topic == online::SideTopic(code, side, "presence"))
            PublishPresence(Presence::Online);  // newer than whatever was sent again
        else if (topic == online::OpenTopic(code))
            PublishEntry();
        else
            Publish(topic, published[topic]);
    }
}

void OnlineGame::Publish(const std::string& topic, const std::string& payload, int expirySeconds)
{
    published[topic] = payload;
    std::deque<std::string>& coming = returning[topic];
    if (coming.size() >= kMostReturning)
        coming.clear();  // lost on the way: what comes next tells
    if (System::BrokerPublish(topic, payload, true, expirySeconds))
        coming.push_back(payload);
}

void OnlineGame::PublishSigned(const std::string& topic, const std::string& body, int expirySeconds)
{
    std::string signature;
    if (!System::Sign(key.privateKey, online::SignedText(topic, body), &signature)) {
        Warn("zpravu nelze podepsat");
        return;
    }
    Publish(topic, online::JoinSigned(body, signature), expirySeconds);
}

// Each word of presence is later than the seat's last, on this device or
// the one that held the seat before.
void OnlineGame::PublishPresence(Presence presence)
{
    stamp = std::max(NowMs(), stamp + 1);
    PublishSigned(online::SideTopic(code, side, "presence"), online::FormatPresence(presence, instance, stamp));
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
