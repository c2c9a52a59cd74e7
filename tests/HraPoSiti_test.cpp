// Online play's messages and the online game's rules, against a broker of
// the test's own: it keeps what is published and brings the news the test
// gives (this file stands in for the platform's broker).
#include "Pomocnik.h"

#include "board/HraciPole.h"
#include "online/OnlineGame.h"
#include "platform/System.h"

#include <algorithm>
#include <chrono>
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

// What is retained comes back, as from a broker that the game subscribed to.
void System::BrokerUnsubscribe(const std::string& filter)
{
    broker.odebirano.erase(std::remove(broker.odebirano.begin(), broker.odebirano.end(), filter),
                           broker.odebirano.end());
}

bool System::BrokerPublish(const std::string& topic, const std::string& payload, bool retained, int)
{
    broker.zverejneno.push_back(Zverejneno{topic, payload, retained});
    if (retained)
        broker.zpravy.push_back(System::BrokerNews{System::BrokerNews::Kind::Message, topic, payload});
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

struct Klic {
    std::string soukromy, verejny;
};

Klic NovyKlic()
{
    Klic k;
    EXPECT_TRUE(System::NewSigningKey(&k.soukromy) && System::PublicKeyOf(k.soukromy, &k.verejny));
    return k;
}

std::string Podepsane(const Klic& k, const std::string& topic, const std::string& body)
{
    std::string podpis;
    EXPECT_TRUE(System::Sign(k.soukromy, SignedText(topic, body), &podpis));
    return JoinSigned(body, podpis);
}

// What a signed payload says, when its signature is the key's.
std::string Telo(const std::string& verejny, const std::string& topic, const std::string& payload)
{
    std::string body, podpis;
    if (!SplitSigned(payload, &body, &podpis) || !System::Verify(verejny, SignedText(topic, body), podpis))
        return "(nepodepsano)";
    return body;
}

std::string KodHry(const std::string& sedadloHostitele)
{
    const std::string hash = System::Sha256(CodeSource(sedadloHostitele));
    return Symbols(reinterpret_cast<const uint8_t*>(hash.data()), kCodeBytes, kCodeSymbols);
}

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
        {"online ABCD0123 1765000000000", true}, {"gone ABCD0123", true}, {"left ABCD0123 0", true},
        {"online ABCD0123", false},  {"gone ABCD0123 5", false}, {"online abcd0123 1", false},
        {"online ABCD012 1", false}, {"away ABCD0123 1", false}, {"online  ABCD0123 1", false}, {"left", false},
        {"online ABCD012I 1", false}, {"left ABCD0123 01", false}, {"left ABCD0123 9007199254740992", false},
        {"left ABCD0123 1 ", false},
    };
    for (const auto& [text, platne] : pritomnost) {
        Presence p;
        std::string kdo;
        int64_t kdy;
        EXPECT_EQ(ParsePresence(text, &p, &kdo, &kdy), platne) << text;
        if (platne) {
            EXPECT_EQ(FormatPresence(p, kdo, kdy), text);
        }
    }

    // Keys and signatures have one writing each: what is read is written back the same.
    const Klic k = NovyKlic();
    std::string cteno;
    ASSERT_TRUE(ReadKey(Base64(k.verejny), &cteno));
    EXPECT_EQ(cteno, k.verejny);
    EXPECT_EQ(Base64(k.verejny).size(), 87u);
    std::string navic = Base64(k.verejny);
    const std::string abeceda = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    navic.back() = abeceda[abeceda.find(navic.back()) | 1];  // a bit past the key's end
    for (const std::string& spatne : {std::string(87, '='), std::string(86, 'A'), Base64(k.verejny) + "A",
                                      std::string(1, '\0') + Base64(k.verejny).substr(1), navic})
        EXPECT_FALSE(ReadKey(spatne, &cteno)) << spatne;
    const std::string topic = "ortelanka/v2/g/X/host/moves";
    const std::string zprava = Podepsane(k, topic, "1:5");
    EXPECT_EQ(Telo(k.verejny, topic, zprava), "1:5");
    EXPECT_EQ(Telo(k.verejny, "ortelanka/v2/g/X/guest/moves", zprava), "(nepodepsano)") << "bound to its topic";
    EXPECT_EQ(Telo(NovyKlic().verejny, topic, zprava), "(nepodepsano)");
    std::string telo, podpis;
    EXPECT_FALSE(SplitSigned("1:5", &telo, &podpis));
    EXPECT_FALSE(System::Verify(k.verejny, "x", std::string(64, '\0')));
    EXPECT_FALSE(System::Verify(std::string(65, '\4'), "x", podpis)) << "not a point on the curve";
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
        const char* broker;
    };
    const Pripad pozvanky[] = {
        {"ZW01-4D2P-F2DB-SQQG", true, ""},
        {"zw014d2pf2dbsqqg", true, ""},
        {"ZWO1-4D2P-F2DB-SQQG", true, ""},  // O is 0
        {"https://hra.example/#ZW01-4D2P-F2DB-SQQG", true, "mqtts://hra.example"},
        {"http://127.0.0.1:8000/index.html#ZW014D2PF2DBSQQG", true, "mqtts://127.0.0.1"},
        {"ortelanka://hra.example/#ZW01-4D2P-F2DB-SQQG", true, "mqtts://hra.example"},
        {"ortelanka://hra.example:8884/#ZW01-4D2P-F2DB-SQQG", true, "mqtts://hra.example:8884"},
        {"ortelanka://127.0.0.1:1883/mqtt#ZW01-4D2P-F2DB-SQQG", true, "mqtt://127.0.0.1:1883"},
        {"ortelanka://127.0.0.1:0/#ZW01-4D2P-F2DB-SQQG", false, ""},
        {"ortelanka://127.0.0.1:65536/#ZW01-4D2P-F2DB-SQQG", false, ""},
        {"ortelanka://127.0.0.1:/#ZW01-4D2P-F2DB-SQQG", false, ""},
        {"ortelanka://127.0.0.1/ws#ZW01-4D2P-F2DB-SQQG", false, ""},
        {"ZW01-4D2P-F2DB-SQQ", false, ""},
        {"ZW01-4D2P-F2DB-SQQGG", false, ""},
        {"ZW01-4D2P-F2DB-SQQU", false, ""},
        {"https://#ZW01-4D2P-F2DB-SQQG", false, ""},
        {"https://hra example/#ZW01-4D2P-F2DB-SQQG", false, ""},
        {"#ZW01-4D2P-F2DB-SQQG", false, ""},
    };
    for (const Pripad& p : pozvanky) {
        std::string code, broker;
        EXPECT_EQ(ReadInvitation(p.text, &code, &broker), p.platne) << p.text;
        if (p.platne) {
            EXPECT_EQ(code, kod) << p.text;
            EXPECT_EQ(broker, p.broker) << p.text;
        }
    }
    // The link names the broker it was made for, and reads back as it.
    const std::pair<const char*, const char*> odkazy[] = {{"mqtts://hra.example", "mqtts://hra.example"},
                                                           {"mqtts://hra.example:8883", "mqtts://hra.example"},
                                                           {"mqtts://hra.example:8884", "mqtts://hra.example:8884"},
                                                           {"mqtt://127.0.0.1:1883", "mqtt://127.0.0.1:1883"}};
    for (const auto& [broker, cteny] : odkazy) {
        std::string code, precteny;
        ASSERT_TRUE(ReadInvitation(Link(broker, kod), &code, &precteny)) << broker;
        EXPECT_EQ(precteny, cteny);
    }
    EXPECT_EQ(Link("mqtts://hra.example", kod), "https://hra.example/#ZW01-4D2P-F2DB-SQQG");
    About o;
    ASSERT_TRUE(ParseTopic("ortelanka/v2/g/" + kod + "/guest/moves", kod, &o));
    EXPECT_TRUE(o.kind == About::Kind::Moves && o.side == Side::Guest);
    ASSERT_TRUE(ParseTopic("ortelanka/v2/g/" + kod + "/probe/ortelanka-X", kod, &o));
    EXPECT_EQ(o.probe, "ortelanka-X");
    for (const std::string& t : std::vector<std::string>{"ortelanka/v2/g/" + kod + "/guest/chat",
                                                          "ortelanka/v2/g/OTHER/host/moves",
                                                          "ortelanka/v2/g/" + kod + "/host",
                                                          "ortelanka/v2/g/" + kod + "/them/moves"})
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
// one mark more on its turn onto an empty cell, signed by the guest's holder,
// is taken; nobody else moves either seat.
TEST_F(HraPoSiti, TheHostTakesOnlyTheGuestsNextLegalMark)
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
    std::string ja, sul;
    ASSERT_TRUE(ParseHostSeat(Posledni("host/seat"), &ja, &sul));
    EXPECT_EQ(KodHry(Posledni("host/seat")), hra.Code()) << "the code is drawn from the host's seat";
    EXPECT_EQ(Telo(ja, SideTopic(hra.Code(), Side::Host, "presence"), Posledni("host/presence")).rfind("online ", 0), 0u);
    EXPECT_EQ(Telo(ja, SideTopic(hra.Code(), Side::Host, "moves"), Posledni("host/moves")), "1:");
    std::vector<int> tahy{99};
    ASSERT_TRUE(hra.TakeRebuild(&tahy));
    EXPECT_TRUE(tahy.empty()) << "a new game";
    EXPECT_EQ(hra.LocalPlayer(), 1) << "the host begins the first game with circles";
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Waiting);

    // The first to ask gets the guest's seat; one who asks later does not.
    const Klic host = NovyKlic(), cizi = NovyKlic();
    const auto od = [&](const Klic& k, const char* kind, const std::string& body) {
        Zprava("guest", kind, Podepsane(k, GameTopics(hra.Code()) + "guest/" + kind, body));
    };
    od(cizi, "presence", "online CCCC0003 9");  // before the seat is anybody's
    od(host, "seat", Base64(host.verejny));
    od(cizi, "seat", Base64(cizi.verejny));
    Zprava("guest", "seat", Base64(cizi.verejny) + " " + Base64(std::string(64, '\0')));
    hra.Poll();
    EXPECT_EQ(Telo(ja, SideTopic(hra.Code(), Side::Host, "guest"), Posledni("host/guest")), Base64(host.verejny));
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Waiting) << "the stranger's presence counts for nothing";
    od(host, "presence", "online BBBB0002 5");
    hra.Poll();
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Playing);
    std::string note;
    EXPECT_TRUE(hra.TakeNote(&note));
    od(cizi, "presence", "left BBBB0002 6");
    od(host, "presence", "left BBBB0002 4");  // older than what the guest said last
    Zprava("guest", "presence", "gone CCCC0003");
    hra.Poll();
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Playing) << "forged or stale, none of them moves the seat";

    int cell = -1;
    od(host, "moves", "1:60");  // before the circles' first mark
    hra.Poll();
    CHPHraciPole.PutItem(12, 12, 1);
    hra.LocalMove(12 * 26 + 12);
    EXPECT_EQ(Telo(ja, SideTopic(hra.Code(), Side::Host, "moves"), Posledni("host/moves")), "1:324") << "at once";
    EXPECT_FALSE(Vezmi(2, &cell)) << "a mark made out of turn stays refused";

    struct Pripad {
        const Klic* klic;
        const char* seznam;
        int naTahu;
        bool vezme;
    };
    const Pripad pripady[] = {
        {&cizi, "1:60", 2, false},           // not the guest's
        {&host, "1:50", 1, false},           // not the crosses' turn
        {&host, "1:50", 2, false},           // the same list again: once rejected, it stays so
        {&host, "1:324", 2, false},          // onto the host's circle
        {&cizi, "1:54", 2, false},
        {&host, "1:54", 2, true},
        {&host, "1:54", 2, false},           // nothing new
        {&host, "1:55", 2, false},           // rewrites what was taken
        {&host, "1:54,57", 1, false},        // the circles are to move
        {&host, "1:54,57,58", 2, false},     // two marks at once
    };
    for (const Pripad& p : pripady) {
        od(*p.klic, "moves", p.seznam);
        EXPECT_EQ(Vezmi(p.naTahu, &cell), p.vezme) << p.seznam << " with " << p.naTahu << " to move";
    }
    EXPECT_EQ(cell, 54);
    const std::string log = CtiText("Ortelanka.log");
    EXPECT_NE(log.find("'Hra po siti: tah soupere mimo jeho tah' :: warning."), std::string::npos);
    EXPECT_NE(log.find("'Hra po siti: tah soupere na obsazene pole' :: warning."), std::string::npos);
    EXPECT_NE(log.find("'Hra po siti: neplatny seznam tahu' :: warning."), std::string::npos);

    // Garbage of every kind is ignored with a warning; the game is as it was.
    Zprava("guest", "moves", "garbage");
    Prijde(System::BrokerNews::Kind::Message, "ortelanka/v2/g/" + hra.Code() + "/nowhere", "x");
    Zprava("guest", "presence", std::string(10000, 'x'));
    EXPECT_FALSE(Vezmi(2, &cell)) << "the last list that made sense has nothing new";
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Playing);
    od(host, "moves", "1:54,61");
    hra.Poll();
    EXPECT_FALSE(hra.TakeRemoteMove(CHPHraciPole.Pole, true, 2, &cell)) << "the game is over";
    od(host, "moves", "2:53");
    EXPECT_FALSE(Vezmi(2, &cell)) << "another game: it waits for it";

    // What others write on the host's own topics is written over again; its
    // presence is then newer than the forgery.
    const size_t zverejneno = broker.zverejneno.size();
    Zprava("host", "moves", "1:");
    Zprava("host", "presence", "gone AAAA0001");
    Zprava("host", "guest", Posledni("host/seat"));
    const std::string tahyHostitele = Posledni("host/moves"), hostovo = Posledni("host/guest");
    hra.Poll();
    ASSERT_EQ(broker.zverejneno.size(), zverejneno + 3);
    EXPECT_EQ(Posledni("host/moves"), tahyHostitele);
    EXPECT_EQ(Posledni("host/guest"), hostovo);
    EXPECT_EQ(Telo(ja, SideTopic(hra.Code(), Side::Host, "presence"), Posledni("host/presence")).rfind("online ", 0), 0u);
    hra.Poll();
    EXPECT_EQ(broker.zverejneno.size(), zverejneno + 3) << "its own messages coming back are not written over";

    // The next game: the host now holds the crosses.
    hra.NextGame();
    EXPECT_EQ(Telo(ja, SideTopic(hra.Code(), Side::Host, "moves"), Posledni("host/moves")), "2:");
    EXPECT_EQ(hra.LocalPlayer(), 2);
    CHPHraciPole.ClearHraciPole();
    EXPECT_TRUE(Vezmi(1, &cell) && cell == 53) << "the guest begins the second game";

    // The guest leaves: the host leaves too, and says so.
    od(host, "presence", "left BBBB0002 7");
    hra.Poll();
    EXPECT_FALSE(hra.Seated());
    EXPECT_EQ(Telo(ja, SideTopic(hra.Code(), Side::Host, "presence"), Posledni("host/presence")).rfind("left ", 0), 0u);
}

// A joining client looks at the seats first: it takes the one its device's
// key holds, or asks the host for the guest's, then takes it with its will
// and sets the board up from both sides' lists. What others signed counts
// for nothing, whenever it comes.
TEST_F(HraPoSiti, AJoiningClientTakesItsSeatAndTheGameAsItWas)
{
    const Klic ja = NovyKlic(), hostitel = NovyKlic(), cizi = NovyKlic();
    ASSERT_TRUE(System::ReplaceFile("ortelanka.key", ja.soukromy.data(), ja.soukromy.size()));
    struct Pripad {
        const Klic* host;
        const Klic* guest;  // whom the host has given the guest's seat; null: nobody yet
        const char* hostTahy;
        const char* guestTahy;
        const char* guestPritomen;
        const char* sedadlo;  // null: the game is full, or cannot be set up
        std::vector<int> deska;
    };
    const Pripad pripady[] = {
        {&hostitel, nullptr, "1:0", "1:", nullptr, "guest", {0}},
        {&hostitel, &ja, "1:0,1", "1:30", "gone BBBB0002", "guest", {0, 30, 1}},
        {&hostitel, &ja, "1:0,1", "1:30", "online BBBB0002 5", nullptr, {}},  // open on another copy
        {&ja, &cizi, "2:7", "2:8,9", "online BBBB0002 5", "host", {8, 7, 9}},
        {&hostitel, &ja, "1:0,1,2", "1:", nullptr, nullptr, {}},  // no game can be set up from these
    };
    for (const Pripad& p : pripady) {
        SCOPED_TRACE(p.hostTahy);
        const std::string sedadloHostitele = FormatHostSeat(p.host->verejny, "0123456789ABCDEF");
        const std::string kod = KodHry(sedadloHostitele);
        const auto od = [&](const Klic& k, const char* side, const char* kind, const std::string& body) {
            const std::string topic = GameTopics(kod) + side + "/" + kind;
            Prijde(System::BrokerNews::Kind::Message, topic, Podepsane(k, topic, body));
        };
        broker = FalesnyBroker();
        ASSERT_TRUE(hra.Join(kod, "mqtt://127.0.0.1:1"));
        EXPECT_TRUE(broker.spojeni.willTopic.empty()) << "no will before a seat is taken";
        Prijde(System::BrokerNews::Kind::Connected);
        hra.Poll();
        const Zverejneno sonda = broker.zverejneno.back();
        EXPECT_EQ(sonda.topic, GameTopics(kod) + "probe/" + broker.spojeni.clientId);
        EXPECT_FALSE(sonda.retained);
        // The retained messages, in any order: each side's before its key is known.
        Prijde(System::BrokerNews::Kind::Message, GameTopics(kod) + "host/seat",
               FormatHostSeat(cizi.verejny, "0123456789ABCDEF"));
        od(*p.host, "host", "moves", p.hostTahy);
        od(cizi, "host", "moves", "9:1");
        if (p.guest)
            od(*p.host, "host", "guest", Base64(p.guest->verejny));
        if (p.guestPritomen && std::string(p.guestPritomen).rfind("gone", 0) == 0)
            Prijde(System::BrokerNews::Kind::Message, GameTopics(kod) + "guest/presence", p.guestPritomen);
        else if (p.guestPritomen)
            od(p.guest ? *p.guest : cizi, "guest", "presence", p.guestPritomen);
        od(p.guest ? *p.guest : cizi, "guest", "moves", p.guestTahy);
        od(cizi, "guest", "moves", "1:40,41,42");
        Prijde(System::BrokerNews::Kind::Message, GameTopics(kod) + "host/seat", sedadloHostitele);
        Prijde(System::BrokerNews::Kind::Message, sonda.topic, "?");
        hra.Poll();
        std::vector<int> tahy;
        if (!p.sedadlo) {
            EXPECT_EQ(hra.State(), OnlineGame::Stage::Off) << "nothing changes on this device";
            continue;
        }
        if (!p.guest) {
            EXPECT_EQ(Telo(ja.verejny, GameTopics(kod) + "guest/seat", Posledni("guest/seat")), Base64(ja.verejny));
            EXPECT_EQ(broker.spojeno, 1) << "no seat before the host gives it";
            od(cizi, "host", "guest", Base64(ja.verejny));
            hra.Poll();
            EXPECT_EQ(broker.spojeno, 1);
            od(hostitel, "host", "guest", Base64(ja.verejny));
            hra.Poll();
        }
        EXPECT_EQ(broker.spojeno, 2) << "connected again, with the will of the seat";
        EXPECT_EQ(broker.spojeni.willTopic, GameTopics(kod) + p.sedadlo + "/presence");
        Prijde(System::BrokerNews::Kind::Connected);
        hra.Poll();
        EXPECT_EQ(Telo(ja.verejny, GameTopics(kod) + p.sedadlo + "/presence", Posledni(std::string(p.sedadlo) + "/presence"))
                      .rfind("online ", 0),
                  0u);
        ASSERT_TRUE(hra.TakeRebuild(&tahy)) << "once";
        EXPECT_FALSE(hra.TakeRebuild(&tahy));
        EXPECT_EQ(tahy, p.deska);
        hra.Leave();
    }
}

// An entry of the list of open games, signed by the seat's key.
struct Zaznam {
    std::string kod, topic, payload;
};
Zaznam ZaznamHry(const Klic& k, const char* stav, int64_t otevreno, int64_t razitko, const char* jmeno = "")
{
    OpenEntry e;
    e.hostSeat = FormatHostSeat(k.verejny, "0123456789ABCDEF");
    e.playing = std::string(stav) == "playing";
    e.opened = otevreno;
    e.stamp = razitko;
    e.device = "page";
    e.name = jmeno;
    const std::string kod = KodHry(e.hostSeat);
    return Zaznam{kod, OpenTopic(kod), Podepsane(k, OpenTopic(kod), FormatOpenEntry(e))};
}

int64_t Ted()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The list keeps what is bound to its topic's code, lists what its host
// signed and stamped lately, the longest waiting first, and a forgery or an
// old word sent again hides nothing.
TEST(SeznamHer, OnlyFreshEntriesOfTheirOwnHostsAreListedTheLongestWaitingFirst)
{
    const Klic a = NovyKlic(), b = NovyKlic(), c = NovyKlic(), d = NovyKlic();
    const int64_t ted = 1'800'000'000'000;
    const Zaznam pozdejsi = ZaznamHry(a, "waiting", ted - 1000, ted, "JAN NOV\x9A"),
                 drivejsi = ZaznamHry(b, "waiting", ted - 9000, ted - 100),
                 hraje = ZaznamHry(c, "playing", ted - 99000, ted - 200), stara = ZaznamHry(d, "waiting", 5, ted - kEntryLifeMs);
    OpenGames seznam;
    for (const Zaznam* z : {&pozdejsi, &drivejsi, &hraje, &stara})
        EXPECT_TRUE(seznam.Take(z->topic, z->payload));
    EXPECT_FALSE(seznam.Take(drivejsi.topic, pozdejsi.payload)) << "in another host's name";
    EXPECT_FALSE(seznam.Take(drivejsi.topic + "/x", drivejsi.payload));
    EXPECT_FALSE(seznam.Take(pozdejsi.topic, pozdejsi.payload + std::string(kMostEntryBytes, 'A'))) << "oversized";
    EXPECT_FALSE(seznam.Take(pozdejsi.topic, "nic"));
    const auto seznamem = [&](int64_t kdy) {
        std::string kody;
        for (const OpenGames::Game& g : seznam.Listed(kdy, 10))
            kody += (kody.empty() ? "" : ",") + g.code.substr(0, 2);
        return kody;
    };
    const std::string poradi = drivejsi.kod.substr(0, 2) + "," + pozdejsi.kod.substr(0, 2) + "," + hraje.kod.substr(0, 2);
    EXPECT_EQ(seznamem(ted), poradi) << "waiting first, the longest waiting first; the stale one not at all";
    const auto hry = seznam.Listed(ted, 10);
    EXPECT_EQ(hry[1].name, "JAN NOV\x9A");
    EXPECT_EQ(hry[1].waitedMs, 1000);
    EXPECT_EQ(hry[1].device, "page");
    EXPECT_EQ(seznam.Listed(ted, 1).size(), 1u);

    // A forged signature is found when the entry is to be shown, and dropped;
    // a newer forgery over a checked entry leaves it listed.
    std::string body, podpis;
    ASSERT_TRUE(SplitSigned(ZaznamHry(d, "waiting", ted, ted).payload, &body, &podpis));
    EXPECT_TRUE(seznam.Take(stara.topic, JoinSigned(body, std::string(64, '\1'))));
    ASSERT_TRUE(SplitSigned(ZaznamHry(a, "playing", ted - 1000, ted + 5).payload, &body, &podpis));
    EXPECT_FALSE(seznam.Take(pozdejsi.topic, JoinSigned(body, std::string(64, '\1'))));
    EXPECT_TRUE(seznam.Take(pozdejsi.topic, ZaznamHry(a, "playing", ted - 1000, ted - 50).payload)) << "an older word";
    EXPECT_EQ(seznamem(ted), poradi);
    EXPECT_TRUE(seznam.Take(drivejsi.topic, ""));
    EXPECT_EQ(seznamem(ted + kEntryLifeMs - 50), pozdejsi.kod.substr(0, 2)) << "taken away, or gone stale";

    OpenEntry e;
    for (const char* spatne : {"X Y waiting 1 2 linux", "", "a b waiting 2 1 linux"})
        EXPECT_FALSE(ParseOpenEntry(spatne, &e)) << spatne;
    const std::string sedadlo = FormatHostSeat(a.verejny, "0123456789ABCDEF");
    for (const std::string jmeno : {"_JAN", "JAN_", "jan", "J\x9A", "ABCDEFGHIJKLMNOPQRST"})
        EXPECT_FALSE(ParseOpenEntry(sedadlo + " waiting 1 2 linux " + jmeno, &e)) << jmeno;
    EXPECT_FALSE(ParseOpenEntry(sedadlo + " waiting 1 2 android", &e));
    EXPECT_FALSE(ParseOpenEntry(sedadlo + " waiting 2 1 linux", &e)) << "written before it was opened";
    EXPECT_EQ(NameForList("  jan "), "") << "the table's letters only";
    EXPECT_EQ(NameForList("  JAN NOV\x9A "), "JAN NOV\x9A");
}

// "Hrát s kýmkoli": with nobody waiting this device hosts, listed under its
// name; a game listed earlier makes it give way and join that one; a game
// someone else took a moment earlier sends it back to the list.
TEST_F(HraPoSiti, AQuickMatchHostsOrJoinsTheGameWaitingLongest)
{
    const auto sonda = [&] {
        for (auto z = broker.zverejneno.rbegin(); z != broker.zverejneno.rend(); ++z)
            if (z->topic.find("/probe/") != std::string::npos)
                return z->topic;
        return std::string();
    };
    ASSERT_TRUE(hra.QuickMatch("mqtt://127.0.0.1:1", "  JAN "));
    const std::string mujKod = hra.Code();
    EXPECT_EQ(broker.spojeni.userName, mujKod) << "a connection that may host";
    Prijde(System::BrokerNews::Kind::Connected);
    hra.Poll();
    EXPECT_EQ(broker.odebirano, (std::vector<std::string>{GameTopics(mujKod) + "#", OpenTopics() + "+"}));
    Prijde(System::BrokerNews::Kind::Message, sonda(), "?");
    hra.Poll();
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Waiting) << "nobody waits: this device does";
    const int64_t dalsiKrok = hra.MillisecondsToNextStep();
    EXPECT_TRUE(dalsiKrok > 0 && dalsiKrok <= 10000) << "the entry is written again while the game idles";
    std::string ja, sul, body;
    ASSERT_TRUE(ParseHostSeat(Posledni("host/seat"), &ja, &sul));
    OpenEntry muj;
    ASSERT_TRUE(ParseOpenEntry(Telo(ja, OpenTopic(mujKod), Posledni(OpenTopic(mujKod))), &muj));
    EXPECT_EQ(muj.name, "JAN");
    EXPECT_FALSE(muj.playing);

    // Someone writes over this game's entry: it is written again.
    const size_t predtim = broker.zverejneno.size();
    Prijde(System::BrokerNews::Kind::Message, OpenTopic(mujKod), "");
    hra.Poll();
    ASSERT_GT(broker.zverejneno.size(), predtim);
    EXPECT_EQ(broker.zverejneno.back().topic, OpenTopic(mujKod));

    // A game opened later changes nothing; one opened earlier is joined.
    const Klic pozdni = NovyKlic(), drivi = NovyKlic();
    const Zaznam pozdejsi = ZaznamHry(pozdni, "waiting", muj.opened + 10, Ted());
    const Zaznam drivejsi = ZaznamHry(drivi, "waiting", muj.opened - 10, Ted());
    Prijde(System::BrokerNews::Kind::Message, pozdejsi.topic, pozdejsi.payload);
    hra.Poll();
    EXPECT_EQ(hra.Code(), mujKod);
    Prijde(System::BrokerNews::Kind::Message, drivejsi.topic, drivejsi.payload);
    hra.Poll();
    EXPECT_EQ(hra.Code(), drivejsi.kod);
    EXPECT_EQ(broker.spojeni.userName, drivejsi.kod);
    EXPECT_TRUE(std::any_of(broker.zverejneno.begin(), broker.zverejneno.end(), [&](const Zverejneno& z) {
        return z.topic == OpenTopic(mujKod) && z.payload.empty() && z.retained;
    })) << "its own entry taken away";

    // The earlier game's guest seat went to someone else meanwhile.
    Prijde(System::BrokerNews::Kind::Connected);
    hra.Poll();
    const std::string sedadlo = FormatHostSeat(drivi.verejny, "0123456789ABCDEF");
    Prijde(System::BrokerNews::Kind::Message, GameTopics(drivejsi.kod) + "host/seat", sedadlo);
    const std::string pritomnost = GameTopics(drivejsi.kod) + "host/presence";
    Prijde(System::BrokerNews::Kind::Message, pritomnost, Podepsane(drivi, pritomnost, "online AAAA0001 5"));
    const std::string kdo = GameTopics(drivejsi.kod) + "host/guest";
    Prijde(System::BrokerNews::Kind::Message, kdo, Podepsane(drivi, kdo, Base64(NovyKlic().verejny)));
    Prijde(System::BrokerNews::Kind::Message, sonda(), "?");
    hra.Poll();
    EXPECT_NE(hra.Code(), drivejsi.kod) << "back to the list, not watching";
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Connecting);
    EXPECT_EQ(broker.spojeni.userName, hra.Code());
}

// Both seats held by others: the game is shown as its players play it,
// mark by mark in turn, and the watcher publishes nothing at all.
TEST_F(HraPoSiti, AWatcherShowsTheGameAndSaysNothing)
{
    const Klic hostitel = NovyKlic(), host = NovyKlic();
    const std::string sedadlo = FormatHostSeat(hostitel.verejny, "0123456789ABCDEF");
    const std::string kod = KodHry(sedadlo);
    const auto od = [&](const Klic& k, const char* side, const char* kind, const std::string& body) {
        const std::string topic = GameTopics(kod) + side + "/" + kind;
        Prijde(System::BrokerNews::Kind::Message, topic, Podepsane(k, topic, body));
    };
    ASSERT_TRUE(hra.Join(kod, "mqtt://127.0.0.1:1"));
    Prijde(System::BrokerNews::Kind::Connected);
    hra.Poll();
    const std::string sonda = broker.zverejneno.back().topic;
    Prijde(System::BrokerNews::Kind::Message, GameTopics(kod) + "host/seat", sedadlo);
    od(hostitel, "host", "guest", Base64(host.verejny));
    od(hostitel, "host", "moves", "1:0,1");
    od(host, "guest", "moves", "1:30");
    Prijde(System::BrokerNews::Kind::Message, sonda, "?");
    hra.Poll();
    EXPECT_EQ(hra.State(), OnlineGame::Stage::Watching);
    EXPECT_EQ(hra.LocalPlayer(), 0);
    std::vector<int> tahy;
    ASSERT_TRUE(hra.TakeRebuild(&tahy));
    EXPECT_EQ(tahy, (std::vector<int>{0, 30, 1}));
    for (int cell : tahy)
        CHPHraciPole.PutItem(cell % 26, cell / 26, cell == 30 ? 2 : 1);

    int cell = -1;
    od(hostitel, "host", "moves", "1:0,1,2");
    EXPECT_FALSE(Vezmi(1, &cell)) << "the crosses are to move";
    od(host, "guest", "moves", "1:30,31");
    EXPECT_TRUE(Vezmi(2, &cell) && cell == 31);
    CHPHraciPole.PutItem(31 % 26, 31 / 26, 2);
    EXPECT_TRUE(Vezmi(1, &cell) && cell == 2) << "the circles' mark that waited";
    CHPHraciPole.PutItem(2, 0, 1);
    od(host, "guest", "moves", "1:30,31,32");
    od(hostitel, "host", "moves", "1:0,1,2,3,4");
    EXPECT_TRUE(Vezmi(2, &cell) && cell == 32);
    CHPHraciPole.PutItem(32 % 26, 32 / 26, 2);
    EXPECT_TRUE(Vezmi(1, &cell) && cell == 3) << "a watcher behind catches up mark by mark";
    CHPHraciPole.PutItem(3, 0, 1);
    EXPECT_FALSE(Vezmi(2, &cell));
    hra.NextGame();
    CHPHraciPole.ClearHraciPole();
    od(host, "guest", "moves", "2:7");
    EXPECT_TRUE(Vezmi(1, &cell) && cell == 7) << "the guest begins the second game";
    hra.Leave();
    EXPECT_EQ(broker.zverejneno.size(), 1u) << "nothing but the probe";
    EXPECT_TRUE(broker.spojeni.willTopic.empty());
}

}  // namespace
