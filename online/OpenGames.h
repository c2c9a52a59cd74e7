// The list of open games as one reader keeps it (online/PROTOCOL.md): each
// entry bound to its topic's code by the code's hash before it is kept, at
// most kMostEntries of them, and its signature checked only when the entry
// is about to be shown or joined, so that a flood costs the reader little.
#pragma once

#include "Protocol.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace online {

// How long an entry counts after its stamp; its host writes it again well
// before that while the game is listed.
constexpr int64_t kEntryLifeMs = 30000;
constexpr size_t kMostEntries = 2000;
// A game that has waited this long for anyone is listed no more.
constexpr int64_t kLongestWaitMs = 10 * 60 * 1000;

// The game's code: the first 80 bits of the hash of the host's seat.
std::string CodeOf(const std::string& hostSeat);

class OpenGames {
public:
    struct Game {
        std::string code;
        bool playing = false;
        int64_t opened = 0;  // the host's clock
        int64_t waitedMs = 0;
        std::string device;
        std::string name;
    };

    // An entry, or its removal (an empty payload), as the broker brought
    // it; false when it is no entry of a game (nothing is kept then).
    bool Take(const std::string& topic, const std::string& payload);
    // What is listed at `now` (milliseconds of this device's clock), at most
    // `most` games: those waiting first, the longest waiting first; then
    // those being played. Codes in `except` are passed over.
    std::vector<Game> Listed(int64_t now, size_t most, const std::set<std::string>& except = {});

private:
    struct Kept {
        OpenEntry entry;
        std::string key;
        std::string body;
        std::string signature;
        bool verified = false;
    };
    std::map<std::string, Kept> kept;
};

}  // namespace online
