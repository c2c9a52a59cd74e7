#include "OpenGames.h"

#include "platform/System.h"

#include <algorithm>
#include <tuple>

namespace online {

std::string CodeOf(const std::string& hostSeat)
{
    const std::string digest = System::Sha256(CodeSource(hostSeat));
    if (digest.size() < kCodeBytes)
        return {};
    return Symbols(reinterpret_cast<const uint8_t*>(digest.data()), kCodeBytes, kCodeSymbols);
}

bool OpenGames::Take(const std::string& topic, const std::string& payload)
{
    std::string code, body, signature, key, salt;
    if (!ParseOpenTopic(topic, &code))
        return false;
    if (payload.empty()) {
        kept.erase(code);
        return true;
    }
    OpenEntry entry;
    if (payload.size() > kMostEntryBytes || !SplitSigned(payload, &body, &signature) ||
        !ParseOpenEntry(body, &entry) || !ParseHostSeat(entry.hostSeat, &key, &salt) || CodeOf(entry.hostSeat) != code)
        return false;
    const auto at = kept.find(code);
    if (at == kept.end() && kept.size() >= kMostEntries)
        return true;  // full: the games listed first stay
    Kept taken{entry, key, body, signature, false};
    // What is checked already gives way only to a later word of the same
    // host's, checked at once: a forgery does not hide the game.
    if (at != kept.end() && at->second.verified) {
        if (entry.stamp <= at->second.entry.stamp)
            return true;  // an older word, sent again
        if (!System::Verify(key, SignedText(topic, body), signature))
            return false;
        taken.verified = true;
    }
    kept[code] = taken;
    return true;
}

std::vector<OpenGames::Game> OpenGames::Listed(int64_t now, size_t most, const std::set<std::string>& except)
{
    std::vector<std::map<std::string, Kept>::iterator> fresh;
    for (auto at = kept.begin(); at != kept.end(); ++at) {
        const OpenEntry& entry = at->second.entry;
        if (!except.count(at->first) && entry.stamp > now - kEntryLifeMs && entry.stamp < now + kEntryLifeMs &&
            (entry.playing || entry.opened > now - kLongestWaitMs))
            fresh.push_back(at);
    }
    const auto order = [](const auto& at) { return std::tie(at->second.entry.playing, at->second.entry.opened, at->first); };
    std::sort(fresh.begin(), fresh.end(), [&](const auto& a, const auto& b) { return order(a) < order(b); });
    std::vector<Game> games;
    for (const auto& at : fresh) {
        if (games.size() >= most)
            break;
        Kept& entry = at->second;
        if (!entry.verified && !System::Verify(entry.key, SignedText(OpenTopic(at->first), entry.body), entry.signature)) {
            kept.erase(at);
            continue;
        }
        entry.verified = true;
        games.push_back(Game{at->first, entry.entry.playing, entry.entry.opened, std::max<int64_t>(0, now - entry.entry.opened),
                             entry.entry.device, entry.entry.name});
    }
    return games;
}

}  // namespace online
