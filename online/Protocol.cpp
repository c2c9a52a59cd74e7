#include "Protocol.h"

#include <algorithm>
#include <cstring>

namespace online {

namespace {

constexpr char kAlphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr char kRoot[] = "ortelanka/v2/g/";
constexpr char kOpenRoot[] = "ortelanka/v2/open/";
constexpr char kHostLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-";
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr int64_t kLatestStamp = 9007199254740991;  // 2^53 - 1: a page's numbers hold it

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

// The same, for a presence's stamp.
bool ReadStamp(const std::string& text, int64_t* value)
{
    if (text.empty() || text.size() > 16 || text.find_first_not_of("0123456789") != std::string::npos ||
        (text[0] == '0' && text.size() > 1))
        return false;
    *value = std::stoll(text);
    return *value <= kLatestStamp;
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

bool ReadInvitation(const std::string& text, std::string* code, std::string* broker)
{
    if (text.size() > 512)
        return false;
    std::string symbols = text;
    broker->clear();
    const size_t hash = text.find('#');
    if (hash != std::string::npos) {
        const size_t scheme = text.find("://");
        if (scheme == std::string::npos || scheme > hash)
            return false;
        const size_t start = scheme + 3;
        const size_t end = text.find_first_of(":/#", start);
        const std::string host = text.substr(start, end - start);
        if (host.empty() || host.find_first_not_of(kHostLetters) != std::string::npos)
            return false;
        *broker = "mqtts://" + host;
        // Only the game's own links name the broker's port and transport;
        // the page's link names the page.
        if (text.compare(0, start, "ortelanka://") == 0) {
            int port = 0;
            size_t at = end;
            if (text[at] == ':') {
                ++at;
                if (!ReadNumber(text, &at, 65535, &port) || port == 0)
                    return false;
            }
            const std::string path = text.substr(at, hash - at);
            if (path != "" && path != "/" && path != "/mqtt")
                return false;
            *broker = (path == "/mqtt" ? "mqtt://" : "mqtts://") + host + (port ? ":" + std::to_string(port) : "");
        }
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

std::string Link(const std::string& broker, const std::string& code)
{
    const bool tls = broker.rfind("mqtts://", 0) == 0;
    const size_t start = broker.find("://") + 3;
    const size_t end = broker.find_first_of(":/", start);
    const std::string host = broker.substr(start, end - start);
    const std::string port = end < broker.size() && broker[end] == ':' ? broker.substr(end, broker.find('/', end) - end)
                                                                       : "";
    // The page of the broker's host carries the game: the usual link opens it there.
    if (tls && (port.empty() || port == ":8883"))
        return "https://" + host + "/#" + CodeForPeople(code);
    return "ortelanka://" + host + port + (tls ? "/#" : "/mqtt#") + CodeForPeople(code);
}

std::string GameTopics(const std::string& code)
{
    return kRoot + code + "/";
}

std::string SideTopic(const std::string& code, Side side, const char* kind)
{
    return GameTopics(code) + SideName(side) + "/" + kind;
}

std::string Base64(const std::string& bytes)
{
    std::string text;
    int bits = 0, have = 0;
    for (const char c : bytes) {
        bits = (bits << 8 | static_cast<unsigned char>(c)) & 0xFFFF;
        for (have += 8; have >= 6; have -= 6)
            text.push_back(kBase64[(bits >> (have - 6)) & 63]);
    }
    if (have > 0)
        text.push_back(kBase64[(bits << (6 - have)) & 63]);
    return text;
}

bool ReadBase64(const std::string& text, size_t bytes, std::string* read)
{
    if (text.size() != (bytes * 8 + 5) / 6)
        return false;
    std::string out;
    int bits = 0, have = 0;
    for (const char c : text) {
        const char* at = c ? std::strchr(kBase64, c) : nullptr;
        if (!at)
            return false;
        bits = (bits << 6 | static_cast<int>(at - kBase64)) & 0xFFFF;
        if ((have += 6) >= 8) {
            have -= 8;
            out.push_back(static_cast<char>((bits >> have) & 0xFF));
        }
    }
    // The bits left over are zero, so that a text has one reading only.
    if ((bits & ((1 << have) - 1)) != 0)
        return false;
    *read = out;
    return true;
}

std::string SignedText(const std::string& topic, const std::string& body)
{
    return "ortelanka/v2 " + topic + "\n" + body;
}

bool SplitSigned(const std::string& payload, std::string* body, std::string* signature)
{
    const size_t space = payload.rfind(' ');
    if (payload.size() > kMostPayloadBytes || space == std::string::npos ||
        !ReadBase64(payload.substr(space + 1), kSignatureBytes, signature))
        return false;
    *body = payload.substr(0, space);
    return true;
}

std::string JoinSigned(const std::string& body, const std::string& signature)
{
    return body + " " + Base64(signature);
}

bool ReadKey(const std::string& text, std::string* key)
{
    return ReadBase64(text, kKeyBytes, key) && (*key)[0] == 4;
}

bool ParseHostSeat(const std::string& payload, std::string* key, std::string* salt)
{
    const size_t space = payload.find(' ');
    if (payload.size() > 128 || space == std::string::npos || !ReadKey(payload.substr(0, space), key))
        return false;
    *salt = payload.substr(space + 1);
    return salt->size() == kSaltSymbols && AreSymbols(*salt);
}

std::string FormatHostSeat(const std::string& key, const std::string& salt)
{
    return Base64(key) + " " + salt;
}

std::string CodeSource(const std::string& hostSeat)
{
    return "ortelanka/v2 host " + hostSeat;
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

bool ParsePresence(const std::string& payload, Presence* presence, std::string* instance, int64_t* stamp)
{
    const size_t space = payload.find(' ');
    if (payload.size() > 48 || space == std::string::npos)
        return false;
    const std::string state = payload.substr(0, space);
    const std::string who = payload.substr(space + 1, kInstanceSymbols);
    const std::string rest = payload.substr(std::min(payload.size(), space + 1 + kInstanceSymbols));
    if (who.size() != kInstanceSymbols || !AreSymbols(who))
        return false;
    int64_t read = 0;
    if (state == "gone" && rest.empty())
        *presence = Presence::Gone;
    else if ((state == "online" || state == "left") && !rest.empty() && rest[0] == ' ' && ReadStamp(rest.substr(1), &read))
        *presence = state == "online" ? Presence::Online : Presence::Left;
    else
        return false;
    *instance = who;
    *stamp = read;
    return true;
}

std::string FormatPresence(Presence presence, const std::string& instance, int64_t stamp)
{
    if (presence == Presence::Gone)
        return "gone " + instance;
    return std::string(presence == Presence::Online ? "online " : "left ") + instance + " " + std::to_string(stamp);
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
    else if (second == "seat")
        about->kind = About::Kind::Seat;
    else if (second == "guest" && about->side == Side::Host)
        about->kind = About::Kind::Guest;
    else
        return false;
    return true;
}

std::string OpenTopics()
{
    return kOpenRoot;
}

std::string OpenTopic(const std::string& code)
{
    return kOpenRoot + code;
}

bool ParseOpenTopic(const std::string& topic, std::string* code)
{
    const std::string root = kOpenRoot;
    if (topic.size() != root.size() + kCodeSymbols || topic.compare(0, root.size(), root) != 0)
        return false;
    *code = topic.substr(root.size());
    return AreSymbols(*code);
}

bool ParseOpenEntry(const std::string& body, OpenEntry* entry)
{
    if (body.size() > kMostEntryBytes)
        return false;
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t space; (space = body.find(' ', start)) != std::string::npos; start = space + 1)
        fields.push_back(body.substr(start, space - start));
    fields.push_back(body.substr(start));
    if (fields.size() != 6 && fields.size() != 7)
        return false;
    OpenEntry read;
    read.hostSeat = fields[0] + " " + fields[1];
    std::string key, salt;
    if (!ParseHostSeat(read.hostSeat, &key, &salt) || (fields[2] != "waiting" && fields[2] != "playing") ||
        !ReadStamp(fields[3], &read.opened) || !ReadStamp(fields[4], &read.stamp) || read.stamp < read.opened ||
        (fields[5] != "linux" && fields[5] != "windows" && fields[5] != "page"))
        return false;
    read.playing = fields[2] == "playing";
    read.device = fields[5];
    if (fields.size() == 7) {
        const std::string& name = fields[6];
        if (name.empty() || name.size() > kLongestName || name.front() == '_' || name.back() == '_' ||
            name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_s") != std::string::npos)
            return false;
        for (const char c : name)
            read.name.push_back(c == '_' ? ' ' : c == 's' ? '\x9A' : c);
    }
    *entry = read;
    return true;
}

std::string FormatOpenEntry(const OpenEntry& entry)
{
    std::string text = entry.hostSeat + (entry.playing ? " playing " : " waiting ") + std::to_string(entry.opened) +
                       " " + std::to_string(entry.stamp) + " " + entry.device;
    if (!entry.name.empty()) {
        text += ' ';
        for (const char c : entry.name)
            text.push_back(c == ' ' ? '_' : c == '\x9A' ? 's' : c);
    }
    return text;
}

std::string NameForList(const std::string& typed)
{
    const size_t first = typed.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const std::string name = typed.substr(first, typed.find_last_not_of(' ') - first + 1);
    if (name.size() > kLongestName || name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ \x9A") != std::string::npos)
        return {};
    return name;
}

}  // namespace online
