// The move files: data/tahy.dat keeps every move, a.a counts what was there,
// data/hra.dat pictures the final board.
#include "Pomocnik.h"

#include "board/HraciPole.h"

#include <filesystem>

namespace {

using Tahy = VDocasnemAdresari;

TEST_F(Tahy, FirstRecordingCreatesTheFileWithoutACount)
{
    std::filesystem::create_directory("data");
    CHraciPole deska;
    EXPECT_TRUE(deska.UlozTah(3, 4));
    EXPECT_EQ(CtiSoubor("data/tahy.dat"), Zaznamy({107}));
    EXPECT_FALSE(std::filesystem::exists("a.a"));

    EXPECT_TRUE(deska.UlozTah(25, 25));
    EXPECT_EQ(CtiSoubor("data/tahy.dat"), Zaznamy({107, 675}));
    EXPECT_EQ(CtiText("a.a"), "1");
}

TEST_F(Tahy, EveryMoveIsKeptPastTheOldLimitAndAPartialRecordIsCut)
{
    std::filesystem::create_directory("data");
    std::vector<uint8_t> plny;
    for (uint32_t i = 0; i < 677; ++i)
        PridejLE(plny, i % 676);
    ZapisSoubor("data/tahy.dat", plny);
    CHraciPole deska;
    EXPECT_TRUE(deska.UlozTah(1, 0));
    std::vector<uint8_t> po = CtiSoubor("data/tahy.dat");
    ASSERT_EQ(po.size(), 678u * 4);
    EXPECT_EQ(std::vector<uint8_t>(po.begin(), po.begin() + 677 * 4), plny) << "no record is overwritten";
    EXPECT_EQ(std::vector<uint8_t>(po.end() - 4, po.end()), Zaznamy({1}));
    EXPECT_EQ(CtiText("a.a"), "677");

    std::vector<uint8_t> castecny = Zaznamy({5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    castecny.insert(castecny.end(), {0xAB, 0xCD});
    ZapisSoubor("data/tahy.dat", castecny);
    EXPECT_TRUE(deska.UlozTah(2, 1));
    EXPECT_EQ(CtiSoubor("data/tahy.dat"), Zaznamy({5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 28}));
    EXPECT_EQ(CtiText("a.a"), "10");
}

TEST_F(Tahy, TheBoardPictureIsWrittenWhenTheBoardGoes)
{
    std::filesystem::create_directory("data");
    {
        CHraciPole deska;
        deska.PutItem(0, 0, 1);
        deska.PutItem(25, 25, 2);
    }
    const std::vector<uint8_t> hra = CtiSoubor("data/hra.dat");
    ASSERT_EQ(hra.size(), 810u);
    EXPECT_EQ(hra[0], 'O');
    EXPECT_EQ(hra[775], 'X');
    for (int y = 0; y < 27; ++y) {
        EXPECT_EQ(hra[30 * y + 26], ' ') << "the margin column";
        EXPECT_EQ(hra[30 * y + 27], 0x0D);
        EXPECT_EQ(hra[30 * y + 28], 0x0A);
        EXPECT_EQ(hra[30 * y + 29], 0x0D);
    }
    for (int x = 0; x < 27; ++x)
        EXPECT_EQ(hra[30 * 26 + x], ' ') << "the margin row";
    int znacky = 0;
    for (uint8_t c : hra)
        znacky += c == 'O' || c == 'X';
    EXPECT_EQ(znacky, 2);
}

}  // namespace
