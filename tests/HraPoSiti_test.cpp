// Online play's messages and the online game's rules, against a broker of
// the test's own: it keeps what is published and brings the news the test
// gives (this file stands in for the platform's broker).
#include "Pomocnik.h"

#include "board/HraciPole.h"
#include "online/OnlineGame.h"
#include "platform/System.h"

#include <deque>

namespace {

struct Zverejneno {
    std::string topic, payload;
    bool retained;
};

struct FalesnyBroker {
    System::BrokerOptions spojeni;
    int spojeno = 0;
    std::vector<std::string> odebirano;
    std::vector<Zverejneno> zverejneno;
    std::deque<System::BrokerNews> zpravy;
} broker;

}  // namespace

bool System::BrokerConnect(const BrokerOptions& options)
{
    broker.spojeni = options;
    ++broker.spojeno;
    broker.zpravy.clear();
    return options.url.rfind("mqtt", 0) == 0;
}

void System::BrokerSubscribe(const std::string& filter)
{
    broker.odebirano.push_back(filter);
}

bool System::BrokerPublish(const std::string& topic, const std::string& payload, bool retained)
{
    broker.zverejneno.push_back(Zverejneno{topic, payload, retained});
    return true;
}

bool System::BrokerTakeNews(BrokerNews* news)
{
    if (broker.zpravy.empty())
        return false;
    *news = broker.zpravy.front();
    broker.zpravy.pop_front();
    return true;
}

void System::BrokerDisconnect() {}

namespace {

using namespace online;

TEST(Protokol, PayloadsAreReadStrictlyAndWrittenBackTheSame)
{
    const std::pair<const char*, bool> tahy[] = {
        {"1:", true},        {"3:0,675,12", true}, {"999999:5", true}, {"0:", false},     {"01:", false},
        {"1", false},        {"1:676", false},     {"1:-1", false},    {"1: 1", false},   {"1:1,", false},
        {"1:1,,2", false},   {"1:007", false},     {"1000000:", false}, {":1", false},    {"1:1 ", false},
        {"1:1;2", false},    {"", false},
    };
    for (const auto& [text, platne] : tahy) {
        Moves m;
        EXPECT_EQ(ParseMoves(text, &m), platne) << text;
        if (platne) {
            EXPECT_EQ(FormatMoves(m), text);
        }
    }
    std::string dlouhy = "1:0";
    while (dlouhy.size() <= kMostPayloadBytes)
        dlouhy += ",1";
    Moves m;
    EXPECT_FALSE(ParseMoves(dlouhy, &m)) << "over the size limit";

    const std::pair<const char*, bool> pritomnost[] = {
        {"online ABCD0123", true}, {"gone ABCD0123", true}, {"left ABCD0123", true}, {"online abcd0123", false},
        {"online ABCD012", false}, {"away ABCD0123", false}, {"online  ABCD0123", false}, {"left", false},
        {"online ABCD012I", false},
    };
    for (const auto& [text, platne] : pritomnost) {
        Presence p;
        std::string kdo;
        EXPECT_EQ(ParsePresence(text, &p, &kdo), platne) << text;
        if (platne) {
            EXPECT_EQ(FormatPresence(p, kdo), text);
        }
    }
}

TEST(Protokol, CodesLinksAndTopics)
{
    const uint8_t bajty[kCodeBytes] = {0xFF, 0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    const std::string kod = Symbols(bajty, sizeof bajty, kCodeSymbols);
    EXPECT_EQ(kod, "ZW014D2PF2DBSQQG");
    EXPECT_EQ(CodeForPeople(kod), "ZW01-4D2P-F2DB-SQQG");
    struct Pripad {
        const char* text;
        bool platne;
        const char* host;
    };
    const Pripad pozvanky[] = {
        {"ZW01-4D2P-F2DB-SQQG", true, ""},
        {"zw014d2pf2dbsqqg", true, ""},
        {"ZWO1-4D2P-F2DB-SQQG", true, ""},  // O is 0
        {"https://hra.example/#ZW01-4D2P-F2DB-SQQG", true, "hra.example"},
        {"http://127.0.0.1:8000/index.html#ZW014D2PF2DBSQQG", true, "127.0.0.1"},
        {"ZW01-4D2P-F2DB-SQQ", false, ""},
        {"ZW01-4D2P-F2DB-SQQGG", false, ""},
        {"ZW01-4D2P-F2DB-SQQU", false, ""},
        {"https://#ZW01-4D2P-F2DB-SQQG", false, ""},
        {"https://hra example/#ZW01-4D2P-F2DB-SQQG", false, ""},
        {"#ZW01-4D2P-F2DB-SQQG", false, ""},
    };
    for (const Pripad& p : pozvanky) {
        std::string code, host;
        EXPECT_EQ(ReadInvitation(p.text, &code, &host), p.platne) << p.text;
        if (p.platne) {
            EXPECT_EQ(code, kod) << p.text;
            EXPECT_EQ(host, p.host) << p.text;
        }
    }
    About o;
    ASSERT_TRUE(ParseTopic("ortelanka/v1/g/" + kod + "/guest/moves", kod, &o));
    EXPECT_TRUE(o.kind == About::Kind::Moves && o.side == Side::Guest);
    ASSERT_TRUE(ParseTopic("ortelanka/v1/g/" + kod + "/probe/ortelanka-X", kod, &o));
    EXPECT_EQ(o.probe, "ortelanka-X");
    for (const std::string& t : std::vector<std::string>{"ortelanka/v1/g/" + kod + "/guest/chat",
                                                          "ortelanka/v1/g/OTHER/host/moves",
                                                          "ortelanka/v1/g/" + kod + "/host",
                                                          "ortelanka/v1/g/" + kod + "/them/moves"})
        EXPECT_FALSE(ParseTopic(t, kod, &o)) << t;
    EXPECT_EQ(PlayerOf(Side::Host, 1), 1);
    EXPECT_EQ(PlayerOf(Side::Guest, 1), 2);
    EXPECT_EQ(PlayerOf(Side::Host, 2), 2) << "who begins changes from game to game";
}

class HraPoSiti : public VDocasnemAdresari {
protected:
    void SetUp() override
    {
        VDocasnemAdresari::SetUp();
        broker = FalesnyBroker();
        CHPHraciPole.ClearHraciPole();
    }
    void Prijde(System::BrokerNews::Kind kind, const std::string& topic = "", const std::string& payload = "")
    {
        broker.zpravy.push_back(System::BrokerNews{kind, topic, payload});
    }
    void Zprava(const std::string& side, const char* kind, const std::string& payload)
    {
        Prijde(System::BrokerNews::Kind::Message, GameTopics(hra.Code()) + side + "/" + kind, payload);
    }
    std::string Posledni(const std::string& suffix)
    {
        for (auto z = broker.zverejneno.rbegin(); z != broker.zverejneno.rend(); ++z)
            if (z->topic.size() >= suffix.size() && z->topic.compare(z->topic.size() - suffix.size(), suffix.size(), suffix) == 0)
                return z->payload;
        return "";
    }
    bool Vezmi(int player, int* cell)
    {
        hra.Poll();
        return hra.TakeRemoteMove(CHPHraciPole.Pole, CHPHraciPole.ZkontrolujJestliJeVyherce() > 0, player, cell);
    }
    OnlineGame hra;
};

// The host's seat, and every kind of move the other side may send: only the
// one mark more on its turn onto an empty cell is taken.
TEST_F(HraPoSiti, TheHostTakesOnlyTheOtherSidesNextLegalMark)
{
    ASSERT_TRUE(hra.Host("mqtt://127.0.0.1:1"));
    EXPECT_EQ(hra.Code().size(), kCodeSymbols);
    EXPECT_EQ(broker.spojeni.userName, hra.Code()) << "the code is the user name: a broker keeps games apart by it";
    EXPECT_EQ(broker.spojeni.willTopic, SideTopic(hra.Code(), Side::Host, "presence"));
    EXPECT_EQ(broker.spojeni.willPayload.rfind("gone ", 0), 0u);
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Connecting);
    Prijde(System::BrokerNews::Kind::Connected);
    hra.Poll();
    EXPECT_EQ(broker.odebirano, std::vector<std::string>{GameTopics(hra.Code()) + "#"});
    EXPECT_EQ(Posledni("host/presence").rfind("online ", 0), 0u);
    EXPECT_EQ(Posledni("host/moves"), "1:");
    std::vector<int> tahy{99};
    ASSERT_TRUE(hra.TakeRebuild(&tahy));
    EXPECT_TRUE(tahy.empty()) << "a new game";
    EXPECT_EQ(hra.LocalPlayer(), 1) << "the host begins the first game with circles";
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Waiting);
    Zprava("guest", "presence", "online BBBB0002");
    hra.Poll();
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Playing);
    std::string note;
    EXPECT_TRUE(hra.TakeNote(&note));

    CHPHraciPole.PutItem(12, 12, 1);
    hra.LocalMove(12 * 26 + 12);
    EXPECT_EQ(Posledni("host/moves"), "1:324") << "published at once";

    int cell = -1;
    struct Pripad {
        const char* seznam;
        int naTahu;
        bool vezme;
    };
    const Pripad pripady[] = {
        {"1:50", 1, false},       // not the crosses' turn
        {"1:50", 2, false},       // the same list again: once rejected, it stays so
        {"1:324", 2, false},      // onto the host's circle
        {"1:51,52", 2, false},    // two marks at once
        {"2:53", 2, false},       // another game: waits for it
        {"1:54", 2, true},
        {"1:54", 2, false},       // nothing new
        {"1:55,56", 2, false},    // rewrites what was taken
        {"1:54,57", 1, false},    // the circles are to move
    };
    for (const Pripad& p : pripady) {
        Zprava("guest", "moves", p.seznam);
        EXPECT_EQ(Vezmi(p.naTahu, &cell), p.vezme) << p.seznam << " with " << p.naTahu << " to move";
    }
    EXPECT_EQ(cell, 54);
    const std::string log = CtiText("Ortelanka.log");
    EXPECT_NE(log.find("'Hra po siti: tah soupere mimo jeho tah' :: warning."), std::string::npos);
    EXPECT_NE(log.find("'Hra po siti: tah soupere na obsazene pole' :: warning."), std::string::npos);

    // Garbage of every kind is ignored with a warning; the game is as it was.
    Zprava("guest", "moves", "garbage");
    Prijde(System::BrokerNews::Kind::Message, "ortelanka/v1/g/" + hra.Code() + "/nowhere", "x");
    Zprava("guest", "presence", std::string(10000, 'x'));
    EXPECT_FALSE(Vezmi(2, &cell)) << "the last list that made sense has nothing new";
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Playing);
    Zprava("guest", "moves", "1:54,61");
    hra.Poll();
    EXPECT_FALSE(hra.TakeRemoteMove(CHPHraciPole.Pole, true, 2, &cell)) << "the game is over";

    // The next game: the host now holds the crosses.
    hra.NextGame();
    EXPECT_EQ(Posledni("host/moves"), "2:");
    EXPECT_EQ(hra.LocalPlayer(), 2);
    CHPHraciPole.ClearHraciPole();
    Zprava("guest", "moves", "2:53");
    EXPECT_TRUE(Vezmi(1, &cell) && cell == 53) << "the guest begins the second game";

    // The other side leaves: this one leaves too, and says so.
    Zprava("guest", "presence", "left BBBB0002");
    hra.Poll();
    EXPECT_FALSE(hra.Seated());
    EXPECT_EQ(Posledni("host/presence").rfind("left ", 0), 0u);
}

// A joining client looks at the seats first, then takes the free one with its
// will, and sets the board up from both sides' lists.
TEST_F(HraPoSiti, AJoiningClientTakesAFreeSeatAndTheGameAsItWas)
{
    const std::string kod = "ZW014D2PF2DBSQQG";
    struct Pripad {
        const char* hostPritomen;
        const char* hostTahy;
        const char* hostPritomen2;
        const char* guestTahy;
        const char* sedadlo;  // null: the game is full, or cannot be set up
        std::vector<int> deska;
    };
    const Pripad pripady[] = {
        {"online AAAA0001", "1:0,1", "gone BBBB0002", "1:30", "guest", {0, 30, 1}},
        {"online AAAA0001", "3:5", "online BBBB0002", "2:1", nullptr, {}},
        {"gone AAAA0001", "2:7", "online BBBB0002", "2:8,9", "host", {8, 7, 9}},
        {"online AAAA0001", "1:0", "left BBBB0002", "1:", "guest", {0}},
        {"online AAAA0001", "1:0,1,2", "gone BBBB0002", "1:", nullptr, {}},  // no game can be set up from these
    };
    for (const Pripad& p : pripady) {
        SCOPED_TRACE(p.hostTahy);
        broker = FalesnyBroker();
        ASSERT_TRUE(hra.Join(kod, "mqtt://127.0.0.1:1"));
        EXPECT_TRUE(broker.spojeni.willTopic.empty()) << "no will before a seat is taken";
        Prijde(System::BrokerNews::Kind::Connected);
        hra.Poll();
        const Zverejneno sonda = broker.zverejneno.back();
        EXPECT_EQ(sonda.topic, GameTopics(kod) + "probe/" + broker.spojeni.clientId);
        EXPECT_FALSE(sonda.retained);
        Zprava("host", "presence", p.hostPritomen);
        Zprava("host", "moves", p.hostTahy);
        Zprava("guest", "presence", p.hostPritomen2);
        Zprava("guest", "moves", p.guestTahy);
        Prijde(System::BrokerNews::Kind::Message, sonda.topic, "?");
        hra.Poll();
        std::vector<int> tahy;
        if (!p.sedadlo) {
            EXPECT_EQ(hra.State(), OnlineGame::Stage::Off) << "nothing changes on this device";
            continue;
        }
        EXPECT_EQ(broker.spojeno, 2) << "connected again, with the will of the seat";
        EXPECT_EQ(broker.spojeni.willTopic, GameTopics(kod) + p.sedadlo + "/presence");
        Prijde(System::BrokerNews::Kind::Connected);
        hra.Poll();
        EXPECT_EQ(Posledni(std::string(p.sedadlo) + "/presence").rfind("online ", 0), 0u);
        ASSERT_TRUE(hra.TakeRebuild(&tahy)) << "once";
        EXPECT_FALSE(hra.TakeRebuild(&tahy));
        EXPECT_EQ(tahy, p.deska);
        hra.Leave();
    }
}

}  // namespace
