// The computer's move: each rule decides in a position built for it, the
// priorities between rules, the edges, the evaluation and its random draws;
// and whole games replayed against the rule list read straight.
#include "PocitacReference.h"
#include "Pomocnik.h"

#include "board/HraciPole.h"

#include <algorithm>
#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace {

using Bunka = std::pair<int, int>;

int Prazdnych(const CHraciPole& deska)
{
    int n = 0;
    for (int y = 0; y < HRACIPOLEY; ++y)
        for (int x = 0; x < HRACIPOLEX; ++x)
            n += deska.Pole[y][x] == 0;
    return n;
}

// Each rule decides in a position built for it, with the generator from its
// start. Rules 14 to 17 only decide where a two cannot be extended by rule 10:
// a circle before it and the margin beyond it.
TEST(Pocitac, EachRuleTakesItsCellAndTheRulesKeepTheirOrder)
{
    struct Pozice {
        const char* co;
        std::vector<Bunka> krizky, kolecka;
        Bunka tah;
    };
    const Pozice pozice[] = {
        {"1 before blocking a four; the end met first in row-major order", {{10, 10}, {11, 10}, {12, 10}, {13, 10}},
         {{5, 5}, {6, 5}, {7, 5}, {8, 5}}, {9, 10}},
        {"2 before blocking anything", {{10, 10}, {11, 10}, {13, 10}, {14, 10}}, {{3, 3}, {4, 3}, {6, 3}, {7, 3}}, {12, 10}},
        {"3 before an open four", {{10, 12}, {11, 12}, {12, 12}}, {{5, 5}, {6, 5}, {7, 5}, {8, 5}}, {4, 5}},
        {"4 blocks a split four", {}, {{3, 3}, {4, 3}, {6, 3}, {7, 3}}, {5, 3}},
        {"5: 0 2 2 0 2", {{10, 10}, {11, 10}, {13, 10}}, {}, {12, 10}},
        {"5: a lone cross and three, which rule 1 does not see", {{10, 10}, {12, 10}, {13, 10}, {14, 10}}, {}, {11, 10}},
        {"6 before blocking an open three", {{10, 12}, {11, 12}, {12, 12}}, {{3, 3}, {4, 3}, {5, 3}}, {9, 12}},
        {"6: the gap stays, the three grows at its open end", {{10, 10}, {12, 10}, {13, 10}, {14, 10}}, {{9, 10}}, {15, 10}},
        {"6: the margin is empty, the left edge is not", {{23, 10}, {24, 10}, {25, 10}}, {}, {22, 10}},
        {"7 blocks an open three", {}, {{4, 3}, {5, 3}, {6, 3}}, {3, 3}},
        {"7: a column ending on the bottom edge, found first", {},
         {{12, 23}, {12, 24}, {12, 25}, {3, 25}, {4, 25}, {5, 25}}, {12, 22}},
        {"8: 0 1 1 0 1", {}, {{4, 3}, {5, 3}, {7, 3}}, {6, 3}},
        {"8: 0 1 0 1 1", {}, {{4, 3}, {6, 3}, {7, 3}}, {5, 3}},
        {"9: two own twos", {{11, 10}, {12, 10}, {10, 11}, {10, 12}}, {}, {10, 10}},
        {"10 extends a two", {{10, 10}, {11, 10}}, {}, {9, 10}},
        {"11 blocks a double two", {}, {{11, 10}, {12, 10}, {10, 11}, {10, 12}}, {10, 10}},
        {"12 blocks a two with a split two", {}, {{11, 10}, {12, 10}, {10, 11}, {10, 13}}, {10, 10}},
        {"13: a loose double two", {{11, 10}, {12, 10}, {13, 10}, {9, 11}}, {{9, 10}, {15, 10}}, {10, 10}},
        {"14: a two and one", {{23, 10}, {24, 10}, {21, 11}}, {{21, 10}, {19, 13}}, {22, 10}},
        {"15: a loose two and one", {{24, 10}, {25, 10}, {22, 11}}, {{22, 10}}, {23, 10}},
        {"16: an open two", {{23, 10}, {24, 10}}, {{21, 10}}, {22, 10}},
        {"17: a two", {{24, 10}, {25, 10}}, {{22, 10}}, {23, 10}},
        {"18 on an empty board: the bottom row, as the unseeded generator draws", {}, {}, {24, 25}},
        {"18 next to a lone circle", {}, {{12, 12}}, {11, 13}},
    };
    for (const Pozice& p : pozice) {
        ResetRandomInt();
        auto deska = std::make_unique<CHraciPole>();
        for (auto [x, y] : p.krizky)
            deska->Pole.Nastav(x, y, 2);
        for (auto [x, y] : p.kolecka)
            deska->Pole.Nastav(x, y, 1);
        const int pred = Prazdnych(*deska);
        EXPECT_TRUE(deska->PutItemWithAI(2)) << p.co;
        EXPECT_EQ(Bunka(deska->PosledniTahPC_X, deska->PosledniTahPC_Y), p.tah) << "rule " << p.co;
        EXPECT_EQ(deska->Pole[p.tah.second][p.tah.first], 2) << p.co;
        EXPECT_EQ(Prazdnych(*deska), pred - 1) << "exactly one empty cell is taken: " << p.co;
    }

    // Rule 18's pass B: 3 at each end of the pair, 2 where a cell touches both circles.
    ResetRandomInt();
    auto deska = std::make_unique<CHraciPole>();
    deska->Pole.Nastav(10, 10, 1);
    deska->Pole.Nastav(11, 10, 1);
    ASSERT_TRUE(deska->PutItemWithAI(2));
    const Bunka tah(deska->PosledniTahPC_X, deska->PosledniTahPC_Y);
    EXPECT_TRUE(tah == Bunka(9, 10) || tah == Bunka(12, 10)) << tah.first << "," << tah.second;

    // A full board gets no move.
    deska = std::make_unique<CHraciPole>();
    PlnaBezPetice(deska->Pole);
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
    PlnaBezPetice(deska.Pole);
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
