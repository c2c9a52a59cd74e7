// The score counter and the best-players table with its file.
#include "Pomocnik.h"

#include "records/Nejlepsi.h"
#include "records/Score.h"

#include <filesystem>

namespace {

TEST(Score, FallsWrapsAsSignedAndResets)
{
    CScore score;
    EXPECT_EQ(score.GetScore(), 100000);
    score.IncPocetTahu();
    score.IncScore(200001);
    EXPECT_EQ(score.GetScore(), -100001);
    score.IncScore(0xFFFFFFFFu);
    EXPECT_EQ(score.GetScore(), -100000) << "taking 2^32 - 1 adds one";
    score.Reset();
    EXPECT_EQ(score.GetScore(), 100000);
    EXPECT_EQ(score.GetPocetTahu(), 0);
}

using Nejlepsi = VDocasnemAdresari;

TEST_F(Nejlepsi, AFirstStartWritesTheTenDefaultRows)
{
    CNejlepsi tabulka;
    EXPECT_EQ(CtiSoubor("best.dat"), BestDat(Vychozi()));
    for (const auto& entry : std::filesystem::directory_iterator("."))
        EXPECT_TRUE(entry.path().filename() == "best.dat" || entry.path().extension() == ".lock")
            << entry.path() << ": no temporary file is left";
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
    EXPECT_EQ(CtiSoubor("best.dat"), BestDat(rows));

    tabulka.Pridej(99999, "JANA \x9A");
    rows.insert(rows.begin(), {99999, "JANA \x9A"});
    rows.pop_back();
    EXPECT_EQ(CtiSoubor("best.dat"), BestDat(rows));

    tabulka.Pridej(5, "NIKDO");
    EXPECT_EQ(CtiSoubor("best.dat"), BestDat(rows)) << "a score too low still rewrites the same table";

    tabulka.Pridej(99998, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_STREQ(tabulka.Radek(1).name, "ABCDEFGHIJKLMNOPQRS") << "19 characters at most";
    tabulka.Pridej(99997, "");
    EXPECT_STREQ(tabulka.Radek(2).name, "");
}

TEST_F(Nejlepsi, ATableIsReadBackAsWrittenAndDamagedRowsAreRepaired)
{
    std::vector<uint8_t> bytes = BestDat(Vychozi());
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
    std::vector<uint8_t> bytes = BestDat({{123456, "PRVNI"}, {111111, "DRUHY"}});
    bytes.insert(bytes.end(), {1, 2, 3});  // a partial third row
    ZapisSoubor("best.dat", bytes);
    CNejlepsi tabulka;
    EXPECT_EQ(tabulka.Radek(0).score, 123456);
    EXPECT_STREQ(tabulka.Radek(1).name, "DRUHY");
    EXPECT_EQ(tabulka.Radek(2).score, 99500);
    EXPECT_STREQ(tabulka.Radek(9).name, "Beze Jmena");
    EXPECT_EQ(CtiSoubor("best.dat"), bytes) << "reading never changes the file";
}

}  // namespace
