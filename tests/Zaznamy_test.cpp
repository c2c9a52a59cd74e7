// The score counter, the best-players table and its file, the log.
#include "Pomocnik.h"

#include "log/Log.h"
#include "platform/Clock.h"
#include "records/Nejlepsi.h"
#include "records/Score.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace {

TEST(Score, FallsWithHumanMovesWrapsAsSignedAndResets)
{
    CScore score;
    EXPECT_EQ(score.GetScore(), 100000);
    score.IncPocetTahu();
    score.IncScore(1);
    score.IncPocetTahu();
    EXPECT_EQ(score.GetScore(), 99999);
    EXPECT_EQ(score.GetPocetTahu(), 2);
    score.IncScore(200000);
    EXPECT_EQ(score.GetScore(), -100001);
    score.IncScore(0xFFFFFFFFu);
    EXPECT_EQ(score.GetScore(), -100000) << "taking 2^32 - 1 adds one";
    score.Reset();
    EXPECT_EQ(score.GetScore(), 100000);
    EXPECT_EQ(score.GetPocetTahu(), 0);
    EXPECT_EQ(score.GetKolecko(), 0);
    EXPECT_EQ(score.GetKrizek(), 0);
}

using Nejlepsi = VDocasnemAdresari;

std::vector<uint8_t> Radek(int32_t score, const char* name)
{
    std::vector<uint8_t> row(24, 0);
    for (int i = 0; i < 4; ++i)
        row[i] = static_cast<uint8_t>(static_cast<uint32_t>(score) >> (8 * i));
    std::memcpy(row.data() + 4, name, std::strlen(name));
    return row;
}

std::vector<uint8_t> Tabulka(const std::vector<std::pair<int32_t, const char*>>& rows)
{
    std::vector<uint8_t> bytes;
    for (const auto& [score, name] : rows) {
        const std::vector<uint8_t> row = Radek(score, name);
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    return bytes;
}

std::vector<std::pair<int32_t, const char*>> Vychozi()
{
    std::vector<std::pair<int32_t, const char*>> rows;
    for (int i = 0; i < 10; ++i)
        rows.emplace_back(99900 - 200 * i, "Beze Jmena");
    return rows;
}

TEST_F(Nejlepsi, AFirstStartWritesTheTenDefaultRows)
{
    CNejlepsi tabulka;
    EXPECT_EQ(CtiSoubor("best.dat"), Tabulka(Vychozi()));
    EXPECT_FALSE(std::filesystem::exists("best.dat.tmp"));
    EXPECT_TRUE(tabulka.MuzePridat(98101));
    EXPECT_FALSE(tabulka.MuzePridat(98100)) << "equal scores do not qualify";
}

TEST_F(Nejlepsi, InsertionKeepsOlderEqualScoresAheadAndDropsTheLastRow)
{
    CNejlepsi tabulka;
    tabulka.Pridej(99900, "PETR");
    auto rows = Vychozi();
    rows.insert(rows.begin() + 1, {99900, "PETR"});
    rows.pop_back();
    EXPECT_EQ(CtiSoubor("best.dat"), Tabulka(rows));

    tabulka.Pridej(99999, "JANA \x9A");
    rows.insert(rows.begin(), {99999, "JANA \x9A"});
    rows.pop_back();
    EXPECT_EQ(CtiSoubor("best.dat"), Tabulka(rows));

    tabulka.Pridej(5, "NIKDO");
    EXPECT_EQ(CtiSoubor("best.dat"), Tabulka(rows)) << "a score too low still rewrites the same table";

    tabulka.Pridej(99998, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_STREQ(tabulka.Radek(1).name, "ABCDEFGHIJKLMNOPQRS") << "19 characters at most";
    tabulka.Pridej(99997, "");
    EXPECT_STREQ(tabulka.Radek(2).name, "");
}

TEST_F(Nejlepsi, ATableIsReadBackAsWrittenAndDamagedRowsAreRepaired)
{
    std::vector<uint8_t> bytes = Tabulka(Vychozi());
    bytes[4 + 24 * 3] = 'Z';
    for (int i = 0; i < 20; ++i)
        bytes[4 + 24 * 5 + i] = 'Q';  // no terminator in the field
    bytes[4 + 24 * 6 + 12] = 'G';     // garbage after the terminator
    ZapisSoubor("best.dat", bytes);
    CNejlepsi tabulka;
    EXPECT_STREQ(tabulka.Radek(3).name, "Zeze Jmena");
    EXPECT_STREQ(tabulka.Radek(5).name, "QQQQQQQQQQQQQQQQQQQ");
    tabulka.Pridej(1, "x");
    const std::vector<uint8_t> saved = CtiSoubor("best.dat");
    EXPECT_EQ(saved[4 + 24 * 5 + 19], 0);
    EXPECT_EQ(saved[4 + 24 * 6 + 12], 0) << "nothing is kept after a name's end";
}

TEST_F(Nejlepsi, AShortFileKeepsItsRowsAndTheRestAreDefaults)
{
    std::vector<uint8_t> bytes = Tabulka({{123456, "PRVNI"}, {111111, "DRUHY"}});
    bytes.insert(bytes.end(), {1, 2, 3});  // a partial third row
    ZapisSoubor("best.dat", bytes);
    CNejlepsi tabulka;
    EXPECT_EQ(tabulka.Radek(0).score, 123456);
    EXPECT_STREQ(tabulka.Radek(1).name, "DRUHY");
    EXPECT_EQ(tabulka.Radek(2).score, 99500);
    EXPECT_STREQ(tabulka.Radek(9).name, "Beze Jmena");
    EXPECT_EQ(CtiSoubor("best.dat"), bytes) << "reading never changes the file";
}

TEST_F(Nejlepsi, AFailedSaveLeavesTheOldTableOnDisk)
{
    CNejlepsi tabulka;
    const std::vector<uint8_t> pred = CtiSoubor("best.dat");
    std::filesystem::create_directory("best.dat.tmp");  // the temporary file cannot be made
    tabulka.Pridej(99999, "ZTRACENY");
    EXPECT_EQ(CtiSoubor("best.dat"), pred);
    EXPECT_STREQ(tabulka.Radek(0).name, "ZTRACENY") << "the run goes on with the new row in memory";
    EXPECT_NE(CtiText("Ortelanka.log").find("warning"), std::string::npos);
}

using LogSoubor = VDocasnemAdresari;

TEST_F(LogSoubor, HeaderAndLinesInTheExactFormat)
{
    FakeClock clock;
    clock.localTime = SystemTime{2026, 12, 5, 20, 34, 10};
    TLog log;
    ASSERT_EQ(log.Init(), 1);
    EXPECT_EQ(CtiText("Ortelanka.log"), " Ortelanka Log File\n======================================\n\n");
    EXPECT_EQ(log.Write("Hlavni okno", 1), 1);
    clock.localTime = SystemTime{2027, 1, 1, 0, 5, 9};
    log.Write("Chyba", 0);
    log.Write("Pozor", 2);
    log.Write("Nevim", 3);
    log.Write("Taky nevim", -1);
    EXPECT_EQ(CtiText("Ortelanka.log"),
              " Ortelanka Log File\n======================================\n\n"
              "05-12-2026 20:34:10 - 'Hlavni okno' :: ok.\n"
              "01-01-2027 00:05:09 - 'Chyba' :: error.\n"
              "01-01-2027 00:05:09 - 'Pozor' :: warning.\n"
              "01-01-2027 00:05:09 - 'Nevim' :: unknown.\n"
              "01-01-2027 00:05:09 - 'Taky nevim' :: unknown.\n");
}

TEST_F(LogSoubor, ALongMessageIsCutAndADeletedLogStartsAgainWithoutHeader)
{
    FakeClock clock;
    TLog log;
    log.Init();
    std::filesystem::remove("Ortelanka.log");
    log.Write(std::string(400, 'a').c_str(), 1);
    const std::string text = CtiText("Ortelanka.log");
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.rfind("05-12-2026 20:34:10 - 'aaa", 0), 0u);

    std::filesystem::remove("Ortelanka.log");
    std::filesystem::create_directory("Ortelanka.log");
    EXPECT_EQ(log.Write("nejde", 1), 0);
    EXPECT_EQ(log.Init(), 0);
}

}  // namespace
