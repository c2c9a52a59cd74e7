// The messages of online play (online/PROTOCOL.md): the game's code and its
// link, the topics, and the payloads, each read by a strict parser that
// takes nothing it does not know. What is signed is checked by OnlineGame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace online {

constexpr size_t kMostPayloadBytes = 4096;
constexpr size_t kCodeSymbols = 16;
constexpr size_t kCodeBytes = 10;  // 80 random bits
constexpr size_t kInstanceSymbols = 8;
constexpr size_t kSaltSymbols = 16;
constexpr size_t kKeyBytes = 65;        // a P-256 point, uncompressed
constexpr size_t kSignatureBytes = 64;  // r and s
constexpr int kCells = 26 * 26;

enum class Side { Host, Guest };
Side Other(Side side);
// "host" or "guest", as the topics name the sides.
const char* SideName(Side side);
// The player who holds a side in a game: 1 circles (who begin) or 2 crosses;
// the host holds the circles in odd games.
int PlayerOf(Side side, int game);

// Crockford's base 32 of the bytes, five bits a symbol.
std::string Symbols(const uint8_t* bytes, size_t count, size_t symbols);
// "7KQ2-M9XD-4TPB-H0WZ"
std::string CodeForPeople(const std::string& code);
// A bare code, or a link with the code after '#': the code (16 symbols) and
// the broker the link names, empty for a bare code: the page's
// https://HOST/#CODE and ortelanka://HOST/#CODE name mqtts://HOST;
// ortelanka://HOST:PORT/#CODE names that port, ortelanka://HOST:PORT/mqtt#CODE
// MQTT without TLS. False when there is no code.
bool ReadInvitation(const std::string& text, std::string* code, std::string* broker);
// The link to a game through this broker (mqtts:// or mqtt://), as read back.
std::string Link(const std::string& broker, const std::string& code);

// "ortelanka/v2/g/<code>/"
std::string GameTopics(const std::string& code);
std::string SideTopic(const std::string& code, Side side, const char* kind);

// base64url without padding, strictly: a text has one reading and one writing.
std::string Base64(const std::string& bytes);
bool ReadBase64(const std::string& text, size_t bytes, std::string* read);

// A signed payload is its body, a space, and the signature of SignedText.
std::string SignedText(const std::string& topic, const std::string& body);
bool SplitSigned(const std::string& payload, std::string* body, std::string* signature);
std::string JoinSigned(const std::string& body, const std::string& signature);

// A public key as the seats' messages write it.
bool ReadKey(const std::string& text, std::string* key);
// The host's seat: "<key> <salt>"; the game's code is drawn from it.
bool ParseHostSeat(const std::string& payload, std::string* key, std::string* salt);
std::string FormatHostSeat(const std::string& key, const std::string& salt);
// What is hashed into the game's code.
std::string CodeSource(const std::string& hostSeat);

struct Moves {
    int game = 1;
    std::vector<int> cells;
    bool operator==(const Moves& other) const { return game == other.game && cells == other.cells; }
};
bool ParseMoves(const std::string& payload, Moves* moves);
std::string FormatMoves(const Moves& moves);

enum class Presence { Online, Gone, Left };
// "online <instance> <stamp>", "left <instance> <stamp>", or the will
// "gone <instance>", which has no stamp (0).
bool ParsePresence(const std::string& payload, Presence* presence, std::string* instance, int64_t* stamp);
std::string FormatPresence(Presence presence, const std::string& instance, int64_t stamp);

// What a topic of the game is about.
struct About {
    // Seat: the host's seat, or a guest's request for its own; Guest: the
    // host's word on who holds the guest's seat (only the host has one).
    enum class Kind { Moves, Presence, Seat, Guest, Probe } kind;
    Side side;          // all but Probe
    std::string probe;  // Probe: the client id
};
bool ParseTopic(const std::string& topic, const std::string& code, About* about);

// The list of open games: one retained entry a game, at
// "ortelanka/v2/open/<code>", written by the game's host and signed by it.
constexpr size_t kMostEntryBytes = 320;
constexpr size_t kLongestName = 19;
std::string OpenTopics();  // "ortelanka/v2/open/"
std::string OpenTopic(const std::string& code);
// The code of an entry's topic; false for any other topic.
bool ParseOpenTopic(const std::string& topic, std::string* code);
struct OpenEntry {
    std::string hostSeat;  // "<key> <salt>", from which the code is drawn
    bool playing = false;  // both seats held: the game may be watched
    int64_t opened = 0;    // the host's clock, milliseconds
    int64_t stamp = 0;     // when written; refreshed while the game is listed
    std::string device;    // "linux", "windows" or "page"
    std::string name;      // the table's letters (Windows-1250), or empty
};
// "<key> <salt> waiting|playing <opened> <stamp> <device>[ <name>]", the
// name with '_' for a space and 's' for the table's letter š.
bool ParseOpenEntry(const std::string& body, OpenEntry* entry);
std::string FormatOpenEntry(const OpenEntry& entry);
// A name typed for the list, as an entry may carry it: the table's letters
// only, spaces at the ends dropped, at most kLongestName; else empty.
std::string NameForList(const std::string& typed);

}  // namespace online
