// Online play: the original's two-player game with one side on another
// device, through an MQTT broker (online/PROTOCOL.md). This knows the
// protocol and nothing of the screen or the network: the platform's broker
// carries the messages, the game's screen places the marks.
#pragma once

#include "DeviceKey.h"
#include "OpenGames.h"
#include "Protocol.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

class Deska;

class OnlineGame {
public:
    // Where online play stands, for the notes and the page around the game.
    enum class Stage {
        Off,        // not online
        Connecting, // no seat yet: reaching the broker, or finding a free seat
        Waiting,    // a seat held, the other side not there
        Playing,    // both there
        OtherGone,  // the other side lost its connection; it may come back
        Watching,   // both seats are others': the game is shown as it is played
        Listing,    // reading the list of open games
    };

    // Starts a new game through the broker, this device the host. False when
    // no code can be drawn or no connection tried (a broker's URL this
    // system cannot use).
    bool Host(const std::string& broker);
    // Takes a free seat in the game of the code; a player who comes back
    // takes the seat their device's key holds; when both seats are others',
    // watches the game (publishing nothing).
    bool Join(const std::string& code, const std::string& broker);
    // "Hrát s kýmkoli": joins the listed game that has waited longest, or,
    // with none, hosts a game listed as waiting (under the name, the table's
    // letters, when one was typed) until someone joins. Two who do it at once
    // end up in one game: a waiting host gives way to a game listed earlier.
    bool QuickMatch(const std::string& broker, const std::string& name);
    // Reads the list of open games (Listed), to join or watch one by Join.
    bool OpenList(const std::string& broker);
    // Tells the other side this device has left, and goes offline.
    void Leave();

    Stage State() const;
    // A seat is held: the two-player game is online.
    bool Seated() const { return phase == Phase::Seated; }
    // Both sides' marks come from the broker, and nothing goes back.
    bool Watching() const { return phase == Phase::Watching; }
    const std::string& Code() const { return code; }
    // The mark this device places in the current game: 1 circles, 2 crosses;
    // 0 when it holds no seat.
    int LocalPlayer() const;

    // The games listed now, at most `most` (OpenGames::Listed); none but
    // while the list is read.
    std::vector<online::OpenGames::Game> Listed(size_t most);

    // Takes the broker's news. Call it every step.
    void Poll();
    // How long until a step is due even without news (the list's entry
    // written again, a quick match's patience, a correction that waits, the
    // list's clocks), in milliseconds; -1 for never.
    int64_t MillisecondsToNextStep() const;
    // The latest note for the screen (Windows-1250), once.
    bool TakeNote(std::string* note);
    // After taking a seat: every move of the current game so far, in the
    // order played (circles first), to set the board up with; once.
    bool TakeRebuild(std::vector<int>* cells);
    // The local player placed a mark in this cell (row * 26 + column).
    void LocalMove(int cell);
    // The other side's next mark, when it is to be placed now: it is that
    // side's turn (playerToMove), the game is not over, the cell is on the
    // board and empty, and it is the one mark more than those taken so far.
    // Anything else is ignored, with one warning in the log. A watcher takes
    // the marks of the side whose turn it is.
    bool TakeRemoteMove(const Deska& board, bool gameOver, int playerToMove, int* cell);
    // A finished game is behind this device; the next one begins.
    void NextGame();

private:
    // Connecting: until the host's first connection, or until a joining
    // client's (or a quick match's) probe has come back and it knows which
    // seat is free (or which game to join); Listing: reading the list only;
    // Requesting: a joining client has asked the host for the guest's seat.
    enum class Phase { Off, Connecting, Listing, Requesting, Seated, Watching };
    // What a side's holder has said, each checked against its key.
    struct Seen {
        bool presenceKnown = false;
        online::Presence presence = online::Presence::Gone;
        std::string instance;  // of its latest online
        int64_t stamp = 0;     // of its latest online or left
        bool movesKnown = false;
        online::Moves moves;
    };

    bool Start(const std::string& url);
    bool HostNew();
    void ChooseOpponent();
    void TakeEntry(const std::string& entryCode, const std::string& topic, const std::string& payload);
    void Yield();
    void PublishEntry();
    void ListingDone();
    bool Connect(bool withWill);
    void Take(const std::string& topic, const std::string& payload);
    void TakeOwn(const std::string& topic, const std::string& payload);
    void TakeHostSeat(const std::string& payload);
    void TakeGuestRequest(const std::string& topic, const std::string& payload);
    void TakeGuestHolder(const std::string& topic, const std::string& payload);
    void TakePresence(online::Side from, const std::string& topic, const std::string& payload);
    void TakeMoves(online::Side from, const std::string& topic, const std::string& payload);
    void KeyKnown(online::Side holder, const std::string& publicKey);
    bool Signed(online::Side by, const std::string& topic, const std::string& payload, std::string* body);
    void ChooseSeat();
    bool OthersTurn() const;
    void Watch();
    int CurrentGame() const;
    bool TakeWatchedMove(const Deska& board, bool gameOver, int playerToMove, int* cell);
    void TakeSeat(online::Side side);
    void Seat();
    void Correct();
    void NoteOther(online::Presence presence);
    void Publish(const std::string& topic, const std::string& payload, int expirySeconds = 0);
    void PublishSigned(const std::string& topic, const std::string& body, int expirySeconds = 0);
    void PublishPresence(online::Presence presence);
    void Note(const char* text);
    void Warn(const char* what);
    void Stop(const char* note);

    Phase phase = Phase::Off;
    std::string broker;
    std::string code;
    std::string instance;
    std::string clientId;
    online::Side side = online::Side::Host;
    bool joining = false;
    bool connected = false;
    bool everConnected = false;
    bool lostNoted = false;
    DeviceKey key;
    std::string keys[2];     // by side: the public key that holds it, empty until known
    std::string hostSeat;    // the host's seat, from which the code was drawn
    std::string guestHolder; // the host's signed word on who holds the guest's seat
    Seen seen[2];            // by side: host, guest
    // What came on a side's topics before its key was known, to be checked
    // then, in the order it came: the latest few of each topic.
    std::map<std::string, std::deque<std::string>> unchecked;
    // This seat's retained messages as published last, what is on its way
    // back from the broker, and where someone else has written since.
    std::map<std::string, std::string> published;
    std::map<std::string, std::deque<std::string>> returning;
    std::set<std::string> overwritten;
    double corrections = 8;  // how many may be made now
    std::chrono::steady_clock::time_point corrected;
    int64_t stamp = 0;       // of this seat's latest presence
    online::Moves mine;
    std::vector<int> taken;  // the other side's marks placed in the current game
    std::vector<int> watched[2];  // a watcher's: each side's marks placed
    online::Moves rejected;
    bool rebuildDue = false;
    std::string note;
    int warnings = 0;

    // The list of open games, while this connection reads it.
    bool listing = false;
    online::OpenGames list;
    // A quick match: what it is listed as, the games it has tried, and
    // what it is to do next once the news at hand is taken.
    bool quick = false;
    std::string listName;
    std::set<std::string> tried;
    enum class Next { Stay, Seek, Join } next = Next::Stay;
    std::string target;
    std::chrono::steady_clock::time_point asked;  // for the guest's seat
    // This host's entry in the list.
    bool listed = false;
    online::OpenEntry entry;
    std::chrono::steady_clock::time_point refreshed;
};
