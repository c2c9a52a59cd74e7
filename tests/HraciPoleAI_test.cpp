// The computer's move: each rule decides in a position built for it, the
// priorities between rules, the edges, the evaluation and its random draws;
// and whole games replayed against the rule list read straight.
#include "PocitacReference.h"
#include "board/HraciPole.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <random>
#include <utility>

namespace {

using Bunky = std::initializer_list<std::pair<int, int>>;

class Pocitac : public ::testing::Test {
protected:
    void SetUp() override { ResetRandomInt(); }

    void Krizky(Bunky cells)
    {
        for (auto [x, y] : cells)
            deska->Pole.Nastav(x, y, 2);
    }
    void Kolecka(Bunky cells)
    {
        for (auto [x, y] : cells)
            deska->Pole.Nastav(x, y, 1);
    }
    std::pair<int, int> Tah()
    {
        int pred = 0;
        for (int y = 0; y < HRACIPOLEY; ++y)
            for (int x = 0; x < HRACIPOLEX; ++x)
                pred += deska->Pole[y][x] == 0;
        EXPECT_TRUE(deska->PutItemWithAI(2));
        const int x = deska->PosledniTahPC_X, y = deska->PosledniTahPC_Y;
        int po = 0;
        for (int yy = 0; yy < HRACIPOLEY; ++yy)
            for (int xx = 0; xx < HRACIPOLEX; ++xx)
                po += deska->Pole[yy][xx] == 0;
        EXPECT_EQ(po, pred - 1) << "exactly one empty cell is taken";
        EXPECT_EQ(deska->Pole[y][x], 2);
        return {x, y};
    }

    std::unique_ptr<CHraciPole> deska = std::make_unique<CHraciPole>();
};

using Bunka = std::pair<int, int>;

TEST_F(Pocitac, Rule1CompletesItsFourBeforeBlockingTheOpponentsFour)
{
    Krizky({{10, 10}, {11, 10}, {12, 10}, {13, 10}});
    Kolecka({{5, 5}, {6, 5}, {7, 5}, {8, 5}});
    EXPECT_EQ(Tah(), Bunka(9, 10)) << "the end met first in row-major order";
}

TEST_F(Pocitac, Rule2FillsASplitFourBeforeBlockingAnything)
{
    Krizky({{10, 10}, {11, 10}, {13, 10}, {14, 10}});
    Kolecka({{3, 3}, {4, 3}, {6, 3}, {7, 3}});
    EXPECT_EQ(Tah(), Bunka(12, 10));
}

TEST_F(Pocitac, Rule3BlocksFourBeforeMakingAnOpenFour)
{
    Kolecka({{5, 5}, {6, 5}, {7, 5}, {8, 5}});
    Krizky({{10, 12}, {11, 12}, {12, 12}});
    EXPECT_EQ(Tah(), Bunka(4, 5));
}

TEST_F(Pocitac, Rule4BlocksASplitFour)
{
    Kolecka({{3, 3}, {4, 3}, {6, 3}, {7, 3}});
    EXPECT_EQ(Tah(), Bunka(5, 3));
}

TEST_F(Pocitac, Rule5MakesAFourFromASplitThreeInBothShapes)
{
    Krizky({{10, 10}, {11, 10}, {13, 10}});
    EXPECT_EQ(Tah(), Bunka(12, 10)) << "0 2 2 0 2";

    deska->ClearHraciPole();
    Krizky({{10, 10}, {12, 10}, {13, 10}, {14, 10}});
    EXPECT_EQ(Tah(), Bunka(11, 10)) << "a lone cross and three: rule 1 does not see it, 0 2 0 2 2 does";
}

TEST_F(Pocitac, Rule6MakesAnOpenFourAndNeedsRoomBehind)
{
    Krizky({{10, 12}, {11, 12}, {12, 12}});
    Kolecka({{3, 3}, {4, 3}, {5, 3}});
    EXPECT_EQ(Tah(), Bunka(9, 12)) << "making a four comes before blocking an open three";

    deska->ClearHraciPole();
    Kolecka({{9, 10}});
    Krizky({{10, 10}, {12, 10}, {13, 10}, {14, 10}});
    EXPECT_EQ(Tah(), Bunka(15, 10)) << "the gap stays; the three grows at its open end";
}

TEST_F(Pocitac, Rule6CountsTheMarginAsEmptyButNotTheLeftEdge)
{
    Krizky({{23, 10}, {24, 10}, {25, 10}});
    EXPECT_EQ(Tah(), Bunka(22, 10)) << "the run ends on the empty margin";
}

TEST_F(Pocitac, Rule7BlocksAnOpenThreeAtTheEndFoundFirst)
{
    Kolecka({{4, 3}, {5, 3}, {6, 3}});
    EXPECT_EQ(Tah(), Bunka(3, 3));

    deska->ClearHraciPole();
    Kolecka({{12, 23}, {12, 24}, {12, 25}});
    Kolecka({{3, 25}, {4, 25}, {5, 25}});
    EXPECT_EQ(Tah(), Bunka(12, 22)) << "a column ending on the bottom edge is an open three too";
}

TEST_F(Pocitac, Rule8BlocksASplitThreeInBothShapes)
{
    Kolecka({{4, 3}, {5, 3}, {7, 3}});
    EXPECT_EQ(Tah(), Bunka(6, 3));

    deska->ClearHraciPole();
    Kolecka({{4, 3}, {6, 3}, {7, 3}});
    EXPECT_EQ(Tah(), Bunka(5, 3));
}

TEST_F(Pocitac, Rule9TakesTheCellOfTwoOwnTwos)
{
    Krizky({{11, 10}, {12, 10}, {10, 11}, {10, 12}});
    EXPECT_EQ(Tah(), Bunka(10, 10));
}

TEST_F(Pocitac, Rule10ExtendsATwo)
{
    Krizky({{10, 10}, {11, 10}});
    EXPECT_EQ(Tah(), Bunka(9, 10));
}

TEST_F(Pocitac, Rule11BlocksTheOpponentsDoubleTwo)
{
    Kolecka({{11, 10}, {12, 10}, {10, 11}, {10, 12}});
    EXPECT_EQ(Tah(), Bunka(10, 10));
}

TEST_F(Pocitac, Rule12BlocksATwoWithASplitTwo)
{
    Kolecka({{11, 10}, {12, 10}, {10, 11}, {10, 13}});
    EXPECT_EQ(Tah(), Bunka(10, 10));
}

TEST_F(Pocitac, Rule13TakesALooseDoubleTwo)
{
    Kolecka({{9, 10}, {15, 10}});
    Krizky({{11, 10}, {12, 10}, {13, 10}, {9, 11}});
    EXPECT_EQ(Tah(), Bunka(10, 10));
}

// Rules 14 to 17 only decide where a two cannot be extended by rule 10: a
// circle before it and the margin beyond it.
TEST_F(Pocitac, Rule14TakesATwoAndOne)
{
    Kolecka({{21, 10}, {19, 13}});
    Krizky({{23, 10}, {24, 10}, {21, 11}});
    EXPECT_EQ(Tah(), Bunka(22, 10));
}

TEST_F(Pocitac, Rule15TakesALooseTwoAndOne)
{
    Kolecka({{22, 10}});
    Krizky({{24, 10}, {25, 10}, {22, 11}});
    EXPECT_EQ(Tah(), Bunka(23, 10));
}

TEST_F(Pocitac, Rule16TakesAnOpenTwoAndRule17ATwo)
{
    Kolecka({{21, 10}});
    Krizky({{23, 10}, {24, 10}});
    EXPECT_EQ(Tah(), Bunka(22, 10));

    deska->ClearHraciPole();
    Kolecka({{22, 10}});
    Krizky({{24, 10}, {25, 10}});
    EXPECT_EQ(Tah(), Bunka(23, 10));
}

TEST_F(Pocitac, Rule18OnAnEmptyBoardTakesTheBottomRow)
{
    const Bunka tah = Tah();
    EXPECT_EQ(tah.second, 25);
    EXPECT_EQ(tah, Bunka(24, 25)) << "the unseeded generator always draws the same";
}

TEST_F(Pocitac, Rule18PlacesNextToALoneCircle)
{
    Kolecka({{12, 12}});
    const Bunka tah = Tah();
    EXPECT_LE(std::abs(tah.first - 12), 1);
    EXPECT_LE(std::abs(tah.second - 12), 1);
    EXPECT_EQ(tah, Bunka(11, 13));
}

TEST_F(Pocitac, Rule18PrefersTheEndsOfAPairOverCellsTouchingBoth)
{
    // Pass B: 3 at each end of the pair, 2 where a cell touches both circles.
    Kolecka({{10, 10}, {11, 10}});
    const Bunka tah = Tah();
    EXPECT_TRUE(tah == Bunka(9, 10) || tah == Bunka(12, 10)) << tah.first << "," << tah.second;
}

TEST_F(Pocitac, AFullBoardGetsNoMove)
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            deska->Pole.Nastav(x, y, (x / 2 + y) % 2 + 1);
    EXPECT_FALSE(deska->PutItemWithAI(2));
    EXPECT_EQ(deska->PosledniTahPC_X, 100);
}

// The human's styles for the whole games below.
using Styl = Bunka (*)(const Deska&, Bunka lastOwn, std::mt19937&);

Bunka NahodnaBunka(const Deska& pole, Bunka, std::mt19937& nahoda)
{
    for (;;) {
        const int cell = static_cast<int>(nahoda() % (HRACIPOLEX * HRACIPOLEY));
        if (pole[cell / HRACIPOLEX][cell % HRACIPOLEX] == 0)
            return {cell % HRACIPOLEX, cell / HRACIPOLEX};
    }
}

// The first empty cell from the centre outwards.
Bunka ZeStredu(const Deska& pole, Bunka, std::mt19937&)
{
    for (int r = 0; r < 14; ++r)
        for (int y = std::max(13 - r, 0); y <= std::min(13 + r, HRACIPOLEY - 1); ++y)
            for (int x = std::max(13 - r, 0); x <= std::min(13 + r, HRACIPOLEX - 1); ++x)
                if (pole[y][x] == 0)
                    return {x, y};
    return {-1, -1};
}

// The first empty cell row by row: long rows of circles.
Bunka PoRadcich(const Deska& pole, Bunka, std::mt19937&)
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            if (pole[y][x] == 0)
                return {x, y};
    return {-1, -1};
}

// Next to its own last mark where it can: lines and clusters of circles.
Bunka VedleSebe(const Deska& pole, Bunka lastOwn, std::mt19937& nahoda)
{
    if (lastOwn.first >= 0) {
        const int d0 = static_cast<int>(nahoda() % 8);
        for (int i = 0; i < 8; ++i) {
            const int d = (d0 + i) % 8 + 1;
            const int x = lastOwn.first + Smer_X[d], y = lastOwn.second + Smer_Y[d];
            if (x >= 0 && x < HRACIPOLEX && y >= 0 && y < HRACIPOLEY && pole[y][x] == 0)
                return {x, y};
        }
    }
    return NahodnaBunka(pole, lastOwn, nahoda);
}

// The start of a game: `marks` random marks of both kinds, none completing
// five (as many as fit in a few thousand tries)...
void Rozhazej(CHraciPole& deska, int marks, std::mt19937& nahoda)
{
    for (int placed = 0, tries = 0; placed < marks && tries < 5000; ++tries) {
        const auto [x, y] = NahodnaBunka(deska.Pole, {-1, -1}, nahoda);
        deska.Pole.Nastav(x, y, placed % 2 + 1);
        if (deska.ZkontrolujJestliJeVyherce() > 0)
            deska.Pole.Nastav(x, y, 0);
        else
            ++placed;
    }
}

// ... or a full board without five, `holes` random cells emptied again.
void Deravy(CHraciPole& deska, int holes, std::mt19937& nahoda)
{
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            deska.Pole.Nastav(x, y, (x / 2 + y) % 2 + 1);
    for (int emptied = 0; emptied < holes;) {
        const int cell = static_cast<int>(nahoda() % (HRACIPOLEX * HRACIPOLEY));
        if (deska.Pole[cell / HRACIPOLEX][cell % HRACIPOLEX] != 0) {
            deska.Pole.Nastav(cell % HRACIPOLEX, cell / HRACIPOLEX, 0);
            ++emptied;
        }
    }
}

// Whole games, from an empty board and from boards filled near full, against
// players of several styles: every reply of the computer and the generator's
// state after it are those of the rule list read straight.
TEST(PocitacCeleHry, EveryReplyAndEveryDrawAreThoseOfTheRuleList)
{
    ResetRandomInt();
    auto deska = std::make_unique<CHraciPole>();
    const Styl styly[] = {NahodnaBunka, ZeStredu, PoRadcich, VedleSebe};
    // Marks scattered before the game; negative: holes in a full board.
    const int predem[] = {0, 0, 40, 120, -90, -24, -8};
    int tahu = 0, vyhry = 0, plne = 0;
    for (int hra = 0; hra < 700; ++hra) {
        std::mt19937 nahoda(static_cast<unsigned>(hra));
        const Styl styl = styly[hra % 4];
        deska->ClearHraciPole();
        const int start = predem[hra / 4 % 7];
        if (start >= 0)
            Rozhazej(*deska, start, nahoda);
        else
            Deravy(*deska, -start, nahoda);
        Bunka lastOwn{-1, -1};
        for (;;) {
            if (deska->JeHPZaplnene()) {
                ++plne;
                break;
            }
            lastOwn = styl(deska->Pole, lastOwn, nahoda);
            ASSERT_TRUE(deska->PutItem(lastOwn.first, lastOwn.second, 1));
            if (deska->ZkontrolujJestliJeVyherce() > 0) {
                ++vyhry;
                break;
            }
            const unsigned pred = RandomIntState();
            const Bunka ocekavana = ReferencniTah(deska->Pole);
            const unsigned po = RandomIntState();
            SetRandomIntState(pred);
            ASSERT_EQ(deska->PutItemWithAI(2), ocekavana.first >= 0);
            ++tahu;
            if (ocekavana.first < 0) {
                ++plne;
                break;
            }
            ASSERT_EQ(Bunka(deska->PosledniTahPC_X, deska->PosledniTahPC_Y), ocekavana)
                << "game " << hra << ", computer move " << tahu;
            ASSERT_EQ(RandomIntState(), po) << "game " << hra << ", computer move " << tahu;
            if (deska->ZkontrolujJestliJeVyherce() > 0) {
                ++vyhry;
                break;
            }
        }
    }
    EXPECT_GE(tahu, 3000);
    EXPECT_GE(vyhry, 50);
    EXPECT_GE(plne, 5);
}

TEST(RandomInt, IsTheClassicGeneratorFromItsStart)
{
    ResetRandomInt();
    EXPECT_EQ(RandomInt(32768), 41);
    EXPECT_EQ(RandomInt(32768), 18467);
    EXPECT_EQ(RandomInt(32768), 6334);
    EXPECT_EQ(RandomInt(100), 26500 % 100);
    ResetRandomInt();
}

}  // namespace
