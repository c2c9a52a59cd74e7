// What the network brings to online play, as anything at all: a seated game
// takes messages on its own topics and on any other, and the other side's
// mark is only ever taken on its turn onto an empty cell. The parsers give
// back what they read.
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
bool System::BrokerPublish(const std::string&, const std::string&, bool)
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
    std::string who;
    if (online::ParsePresence(bytes, &presence, &who))
        fuzz::Over(online::FormatPresence(presence, who) == bytes);
    std::string code, host;
    if (online::ReadInvitation(bytes, &code, &host))
        fuzz::Over(code.size() == online::kCodeSymbols);

    // Records separated by '\n': a topic's choice, then the payload.
    static CHraciPole deska;
    OnlineGame game;
    fuzz::Over(game.Host("mqtt://127.0.0.1"));
    news.push_back(System::BrokerNews{System::BrokerNews::Kind::Connected, {}, {}});
    game.Poll();
    std::vector<int> rebuild;
    fuzz::Over(game.TakeRebuild(&rebuild) && rebuild.empty());
    deska.ClearHraciPole();
    const std::string root = online::GameTopics(game.Code());
    const std::string topics[] = {root + "guest/moves", root + "guest/presence", root + "host/moves",
                                  root + "host/presence", root + "probe/x", root};
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
        news.push_back(System::BrokerNews{choice % 7 == 6 ? System::BrokerNews::Kind::Lost
                                                           : System::BrokerNews::Kind::Message,
                                          topics[choice % 6] + (choice & 0x80 ? "/x" : ""), record.substr(1)});
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
