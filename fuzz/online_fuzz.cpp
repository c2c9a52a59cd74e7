// What the network brings to online play, as anything at all: a seated game
// takes messages on its own topics and on any other, signed by the guest's
// holder or not, and the other side's mark is only ever taken on its turn
// onto an empty cell. The parsers give back what they read.
#include "Prostredi.h"

#include "board/HraciPole.h"
#include "online/OnlineGame.h"
#include "platform/System.h"

#include <deque>
#include <string>

namespace {

std::deque<System::BrokerNews> news;

}  // namespace

// The broker, as the fuzzer's input makes it.
bool System::BrokerConnect(const BrokerOptions&)
{
    news.clear();
    return true;
}
void System::BrokerSubscribe(const std::string&) {}
void System::BrokerUnsubscribe(const std::string&) {}
bool System::BrokerPublish(const std::string&, const std::string&, bool, int)
{
    return true;
}
bool System::BrokerTakeNews(BrokerNews* item)
{
    if (news.empty())
        return false;
    *item = news.front();
    news.pop_front();
    return true;
}
void System::BrokerDisconnect() {}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PripravSlozkuData();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    online::Moves moves;
    if (online::ParseMoves(bytes, &moves))
        fuzz::Over(online::FormatMoves(moves) == bytes && moves.game >= 1);
    online::Presence presence;
    std::string who, read, body;
    int64_t stamp;
    if (online::ParsePresence(bytes, &presence, &who, &stamp))
        fuzz::Over(online::FormatPresence(presence, who, stamp) == bytes);
    if (online::ReadBase64(bytes, online::kKeyBytes, &read))
        fuzz::Over(online::Base64(read) == bytes);
    if (online::SplitSigned(bytes, &body, &read))
        fuzz::Over(online::JoinSigned(body, read) == bytes);
    if (online::ParseHostSeat(bytes, &read, &who))
        fuzz::Over(online::FormatHostSeat(read, who) == bytes);
    online::OpenEntry entry;
    if (online::ParseOpenEntry(bytes, &entry)) {
        fuzz::Over(online::FormatOpenEntry(entry) == bytes && entry.stamp >= entry.opened);
        fuzz::Over(entry.name.empty() || online::NameForList(entry.name) == entry.name);
    }
    const std::string name = online::NameForList(bytes);
    fuzz::Over(name.size() <= online::kLongestName && online::NameForList(name) == name);
    std::string code, broker;
    if (online::ReadInvitation(bytes, &code, &broker)) {
        fuzz::Over(code.size() == online::kCodeSymbols);
        std::string again, same;
        fuzz::Over(broker.empty() || (online::ReadInvitation(online::Link(broker, code), &again, &same) &&
                                      again == code && same == broker));
    }

    // Records separated by '\n': a topic's choice, then the payload, which
    // the guest's holder signs when the choice says so. The guest asks for
    // its seat first.
    static CHraciPole deska;
    static std::string guest, guestKey;
    if (guest.empty())
        fuzz::Over(System::NewSigningKey(&guest) && System::PublicKeyOf(guest, &guestKey));
    const auto signedBy = [](const std::string& topic, const std::string& body) {
        std::string signature;
        fuzz::Over(System::Sign(guest, online::SignedText(topic, body), &signature));
        return online::JoinSigned(body, signature);
    };
    // An entry of the list as it comes, and bound to a real seat and signed
    // by it: only the latter is listed, and only while its stamp is fresh.
    {
        online::OpenGames list;
        const std::string salt(online::kSaltSymbols, 'A');
        const std::string seat = online::FormatHostSeat(guestKey, salt);
        const std::string topic = online::OpenTopic(online::CodeOf(seat));
        fuzz::Over(!list.Take(topic + "/x", bytes));
        list.Take(online::OpenTopic(std::string(online::kCodeSymbols, '0')), bytes);
        if (online::ParseOpenEntry(bytes, &entry)) {
            entry.hostSeat = seat;
            fuzz::Over(list.Take(topic, signedBy(topic, online::FormatOpenEntry(entry))));
            const auto listed = list.Listed(entry.stamp, 10);
            fuzz::Over(listed.size() == 1 && listed[0].name == entry.name && listed[0].playing == entry.playing);
            fuzz::Over(list.Listed(entry.stamp + online::kEntryLifeMs, 10).empty());
        }
    }
    OnlineGame game;
    fuzz::Over(game.Host("mqtt://127.0.0.1"));
    news.push_back(System::BrokerNews{System::BrokerNews::Kind::Connected, {}, {}});
    game.Poll();
    std::vector<int> rebuild;
    fuzz::Over(game.TakeRebuild(&rebuild) && rebuild.empty());
    deska.ClearHraciPole();
    const std::string root = online::GameTopics(game.Code());
    news.push_back(System::BrokerNews{System::BrokerNews::Kind::Message, root + "guest/seat",
                                      signedBy(root + "guest/seat", online::Base64(guestKey))});
    game.Poll();
    const std::string topics[] = {root + "guest/moves", root + "guest/presence", root + "host/moves",
                                  root + "host/presence", root + "guest/seat", root + "host/seat",
                                  root + "host/guest", root + "probe/x", online::OpenTopic(game.Code())};
    int toMove = 1;
    size_t at = 0;
    while (at < bytes.size()) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string record = bytes.substr(at, end - at);
        at = end + 1;
        if (record.empty())
            continue;
        const unsigned char choice = static_cast<unsigned char>(record[0]);
        const int pick = choice & 0x3F;
        const std::string topic = topics[pick % 9] + (choice & 0x80 ? "/x" : "");
        news.push_back(System::BrokerNews{pick == 0x3F ? System::BrokerNews::Kind::Lost : System::BrokerNews::Kind::Message,
                                          topic, choice & 0x40 ? signedBy(topic, record.substr(1)) : record.substr(1)});
        game.Poll();
        // The host holds the circles in the first game; each side plays in turn.
        int cell = -1;
        if (game.LocalPlayer() == toMove) {
            for (int c = (choice * 7) % online::kCells; c < online::kCells; ++c)
                if (deska.Pole[c / 26][c % 26] == 0) {
                    fuzz::Over(deska.PutItem(c % 26, c / 26, toMove));
                    game.LocalMove(c);
                    toMove = 3 - toMove;
                    break;
                }
        } else if (game.TakeRemoteMove(deska.Pole, deska.ZkontrolujJestliJeVyherce() > 0, toMove, &cell)) {
            fuzz::Over(cell >= 0 && cell < online::kCells && deska.Pole[cell / 26][cell % 26] == 0);
            fuzz::Over(deska.PutItem(cell % 26, cell / 26, toMove));
            toMove = 3 - toMove;
        }
    }
    game.Leave();
    std::remove("Ortelanka.log");
    return 0;
}
