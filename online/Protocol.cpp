#include "Protocol.h"

#include <cstring>

namespace online {

namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr char kRoot[] = "ortelanka/v1/g/";

// A decimal number without leading zeros, at most `most`.
bool ReadNumber(const std::string& text, size_t* at, int most, int* value)
{
    const size_t start = *at;
    long n = 0;
    while (*at < text.size() && text[*at] >= '0' && text[*at] <= '9' && *at - start < 7)
        n = n * 10 + (text[(*at)++] - '0');
    if (*at == start || (text[start] == '0' && *at - start > 1) || n > most)
        return false;
    *value = static_cast<int>(n);
    return true;
}

bool AreSymbols(const std::string& text)
{
    return !text.empty() && text.find_first_not_of(kAlphabet) == std::string::npos;
}

}  // namespace

Side Other(Side side)
{
    return side == Side::Host ? Side::Guest : Side::Host;
}

const char* SideName(Side side)
{
    return side == Side::Host ? "host" : "guest";
}

int PlayerOf(Side side, int game)
{
    const bool hostHasCircles = game % 2 == 1;
    return (side == Side::Host) == hostHasCircles ? 1 : 2;
}

std::string Symbols(const uint8_t* bytes, size_t count, size_t symbols)
{
    std::string text;
    for (size_t i = 0; i < symbols && i * 5 < count * 8; ++i) {
        int value = 0;
        for (int b = 0; b < 5; ++b) {
            const size_t bit = i * 5 + static_cast<size_t>(b);
            value = value << 1 | (bit < count * 8 ? (bytes[bit / 8] >> (7 - bit % 8)) & 1 : 0);
        }
        text.push_back(kAlphabet[value]);
    }
    return text;
}

std::string CodeForPeople(const std::string& code)
{
    std::string text;
    for (size_t i = 0; i < code.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            text.push_back('-');
        text.push_back(code[i]);
    }
    return text;
}

bool ReadInvitation(const std::string& text, std::string* code, std::string* host)
{
    if (text.size() > 512)
        return false;
    std::string symbols = text;
    host->clear();
    const size_t hash = text.find('#');
    if (hash != std::string::npos) {
        const size_t scheme = text.find("://");
        if (scheme == std::string::npos || scheme > hash)
            return false;
        const size_t start = scheme + 3;
        const size_t end = text.find_first_of(":/#", start);
        *host = text.substr(start, end - start);
        if (host->empty() || host->find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") !=
                                 std::string::npos)
            return false;
        symbols = text.substr(hash + 1);
    }
    code->clear();
    for (char c : symbols) {
        if (c == '-')
            continue;
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        c = c == 'O' ? '0' : c == 'I' || c == 'L' ? '1' : c;
        if (!std::strchr(kAlphabet, c) || c == '\0')
            return false;
        code->push_back(c);
    }
    return code->size() == kCodeSymbols;
}

std::string GameTopics(const std::string& code)
{
    return kRoot + code + "/";
}

std::string SideTopic(const std::string& code, Side side, const char* kind)
{
    return GameTopics(code) + SideName(side) + "/" + kind;
}

bool ParseMoves(const std::string& payload, Moves* moves)
{
    if (payload.size() > kMostPayloadBytes)
        return false;
    Moves read;
    size_t at = 0;
    if (!ReadNumber(payload, &at, 999999, &read.game) || read.game < 1 || at >= payload.size() || payload[at++] != ':')
        return false;
    while (at < payload.size()) {
        if (!read.cells.empty() && payload[at++] != ',')
            return false;
        int cell;
        if (!ReadNumber(payload, &at, kCells - 1, &cell))
            return false;
        read.cells.push_back(cell);
    }
    *moves = read;
    return true;
}

std::string FormatMoves(const Moves& moves)
{
    std::string text = std::to_string(moves.game) + ":";
    for (size_t i = 0; i < moves.cells.size(); ++i)
        text += (i ? "," : "") + std::to_string(moves.cells[i]);
    return text;
}

bool ParsePresence(const std::string& payload, Presence* presence, std::string* instance)
{
    const size_t space = payload.find(' ');
    if (payload.size() > 32 || space == std::string::npos)
        return false;
    const std::string state = payload.substr(0, space), who = payload.substr(space + 1);
    if (who.size() != kInstanceSymbols || !AreSymbols(who))
        return false;
    if (state == "online")
        *presence = Presence::Online;
    else if (state == "gone")
        *presence = Presence::Gone;
    else if (state == "left")
        *presence = Presence::Left;
    else
        return false;
    *instance = who;
    return true;
}

std::string FormatPresence(Presence presence, const std::string& instance)
{
    const char* state = presence == Presence::Online ? "online" : presence == Presence::Gone ? "gone" : "left";
    return std::string(state) + " " + instance;
}

bool ParseTopic(const std::string& topic, const std::string& code, About* about)
{
    const std::string root = GameTopics(code);
    if (topic.size() > 128 || topic.compare(0, root.size(), root) != 0)
        return false;
    const std::string rest = topic.substr(root.size());
    const size_t slash = rest.find('/');
    if (slash == std::string::npos)
        return false;
    const std::string first = rest.substr(0, slash), second = rest.substr(slash + 1);
    if (first == "probe") {
        about->kind = About::Kind::Probe;
        about->probe = second;
        return !second.empty() && second.find('/') == std::string::npos;
    }
    if (first != "host" && first != "guest")
        return false;
    about->side = first == "host" ? Side::Host : Side::Guest;
    if (second == "moves")
        about->kind = About::Kind::Moves;
    else if (second == "presence")
        about->kind = About::Kind::Presence;
    else
        return false;
    return true;
}

}  // namespace online
