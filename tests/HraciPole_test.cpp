// The board's rules: placing, the win check, the full board, the move score.
#include "Pomocnik.h"

#include "board/HraciPole.h"

#include <array>
#include <memory>

namespace {

TEST(HraciPole, PutItemRefusesTheMarginNegativeCellsWrongPlayersAndOccupiedCellsAndClearKeepsTheLastMoves)
{
    auto deska = std::make_unique<CHraciPole>();
    for (auto [x, y, hrac] : {std::array{26, 0, 1}, {0, 26, 1}, {-1, 5, 1}, {5, -1, 1}, {3, 4, 0}, {3, 4, 3}})
        EXPECT_FALSE(deska->PutItem(x, y, hrac)) << x << "," << y << " for " << hrac;
    EXPECT_EQ(deska->Pole[4][3], 0);
    EXPECT_EQ(deska->PosledniTah_X, 100);

    EXPECT_TRUE(deska->PutItem(3, 4, 1));
    EXPECT_EQ(deska->Pole[4][3], 1);
    EXPECT_EQ(deska->PosledniTah_X, 3);
    EXPECT_EQ(deska->PosledniTah_Y, 4);

    EXPECT_TRUE(deska->PutItem(25, 25, 2));
    EXPECT_FALSE(deska->PutItem(3, 4, 2));
    EXPECT_EQ(deska->Pole[4][3], 1);
    EXPECT_EQ(deska->PosledniTah_X, 25);
    EXPECT_EQ(deska->PosledniTah_Y, 25);

    deska->ClearHraciPole();
    EXPECT_EQ(deska->Pole[4][3], 0);
    EXPECT_EQ(deska->PosledniTah_X, 25) << "clearing keeps the last moves";
    EXPECT_EQ(deska->PosledniTahPC_X, 100);
}

TEST(HraciPole, WinnerIsFoundInEveryDirectionAndCirclesAreCheckedFirst)
{
    auto deska = std::make_unique<CHraciPole>();
    for (int x = 0; x < 4; ++x)
        deska->PutItem(x, 0, 1);
    EXPECT_EQ(deska->ZkontrolujJestliJeVyherce(), -1) << "four is not enough";
    deska->PutItem(4, 0, 1);
    EXPECT_EQ(deska->ZkontrolujJestliJeVyherce(), 1);

    deska->ClearHraciPole();
    for (int i = 21; i <= 25; ++i)
        deska->PutItem(i, i, 2);
    EXPECT_EQ(deska->ZkontrolujJestliJeVyherce(), 2) << "diagonal ending in the bottom-right corner";

    for (int y = 3; y <= 8; ++y)
        deska->PutItem(7, y, 1);
    EXPECT_EQ(deska->ZkontrolujJestliJeVyherce(), 1) << "six in a column, and circles before crosses";

    deska->ClearHraciPole();
    for (int i = 0; i < 5; ++i)
        deska->PutItem(20 - i, 5 + i, 2);
    EXPECT_EQ(deska->ZkontrolujJestliJeVyherce(), 2) << "anti-diagonal";
}

TEST(HraciPole, FullBoardWithoutFiveGivesZeroAndTheFullCheckSeesOneEmptyCell)
{
    auto deska = std::make_unique<CHraciPole>();
    PlnaBezPetice(deska->Pole);
    ASSERT_TRUE(deska->JeHPZaplnene());
    EXPECT_EQ(deska->ZkontrolujJestliJeVyherce(), 0);

    deska->Pole.Nastav(25, 25, 0);
    EXPECT_FALSE(deska->JeHPZaplnene());
    EXPECT_EQ(deska->ZkontrolujJestliJeVyherce(), -1);

    deska->ClearHraciPole();
    for (int x = 0; x < HRACIPOLEX; ++x)
        deska->Pole.Nastav(x, 0, x % 2 + 1);
    for (int y = 10; y < 15; ++y)
        deska->Pole.Nastav(12, y, 2);
    EXPECT_EQ(deska->ZkontrolujJestliJeVyherce(), 2) << "a filled top row does not hide a five below";
}

TEST(HraciPole, GetScoreCountsOwnRunsFromThePlacedMark)
{
    auto deska = std::make_unique<CHraciPole>();
    EXPECT_EQ(deska->GetScore(1, 5, 5), 1);
    deska->PutItem(6, 5, 1);
    deska->PutItem(7, 5, 1);
    EXPECT_EQ(deska->GetScore(1, 5, 5), 16);
    deska->PutItem(4, 5, 1);
    EXPECT_EQ(deska->GetScore(1, 5, 5), 21) << "two beyond on one side, one on the other";
    deska->PutItem(5, 6, 2);
    EXPECT_EQ(deska->GetScore(1, 5, 5), 21) << "the other player's marks do not count";
    EXPECT_EQ(deska->GetScore(2, 5, 5), 6);

    deska->ClearHraciPole();
    for (int x : {1, 2, 4, 5})
        deska->PutItem(x, 0, 1);
    EXPECT_EQ(deska->GetScore(1, 3, 0), 31) << "filling the gap of a split four";
}

}  // namespace
