// The messages of online play (online/PROTOCOL.md): the game's code and its
// link, the topics, and the two payloads, each read by a strict parser that
// takes nothing it does not know.
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
// the link's host, empty for a bare code. False when there is no code.
bool ReadInvitation(const std::string& text, std::string* code, std::string* host);

// "ortelanka/v1/g/<code>/"
std::string GameTopics(const std::string& code);
std::string SideTopic(const std::string& code, Side side, const char* kind);

struct Moves {
    int game = 1;
    std::vector<int> cells;
    bool operator==(const Moves& other) const { return game == other.game && cells == other.cells; }
};
bool ParseMoves(const std::string& payload, Moves* moves);
std::string FormatMoves(const Moves& moves);

enum class Presence { Online, Gone, Left };
bool ParsePresence(const std::string& payload, Presence* presence, std::string* instance);
std::string FormatPresence(Presence presence, const std::string& instance);

// What a topic of the game is about.
struct About {
    enum class Kind { Moves, Presence, Probe } kind;
    Side side;          // Moves and Presence
    std::string probe;  // Probe: the client id
};
bool ParseTopic(const std::string& topic, const std::string& code, About* about);

}  // namespace online
