// Colour conversion, blits, and every drawing routine checked pixel by pixel
// on SDL's dummy drivers.
#include "BezPisem.h"
#include "Obrazky.h"

#include "board/HraciPole.h"
#include "graphics/DDFuncs.h"
#include "graphics/DDScreen.h"
#include "platform/Clock.h"
#include "platform/Text.h"
#include "records/Nejlepsi.h"
#include "records/Score.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

using namespace obrazky;

const PixelFormat k565{sizeof(PixelFormat), 16, 0xF800, 0x07E0, 0x001F};
const PixelFormat k555{sizeof(PixelFormat), 16, 0x7C00, 0x03E0, 0x001F};

uint16_t Bod(Surface* s, int x, int y)
{
    return s->Row(y)[x];
}

// Every pixel of the rectangle has the colour, and the ring just outside it does not.
void OcekavejObdelnik(Surface* s, RECT r, uint16_t barva, const char* co)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            ASSERT_EQ(Bod(s, x, y), barva) << co << " at " << x << "," << y;
    for (int x = r.left - 1; x <= r.right; ++x) {
        EXPECT_NE(Bod(s, x, r.top - 1), barva) << co << " above at " << x;
        EXPECT_NE(Bod(s, x, r.bottom), barva) << co << " below at " << x;
    }
    for (int y = r.top; y < r.bottom; ++y) {
        EXPECT_NE(Bod(s, r.left - 1, y), barva) << co << " left at " << y;
        EXPECT_NE(Bod(s, r.right, y), barva) << co << " right at " << y;
    }
}

TEST(Barvy, ConvertColorRefAndBackWithTheExactArithmetic)
{
    EXPECT_EQ(ConvertColorRef(RGB(255, 255, 255), &k565), 0xFFFFu);
    EXPECT_EQ(ConvertColorRef(RGB(0, 0, 0), &k565), 0u);
    EXPECT_EQ(ConvertColorRef(RGB(255, 0, 255), &k565), 0xF81Fu);
    EXPECT_EQ(ConvertColorRef(RGB(255, 0, 0), &k565), 0xF800u);
    EXPECT_EQ(ConvertColorRef(RGB(128, 128, 128), &k565), 0x7BEFu);
    EXPECT_EQ(ConvertColorRef(RGB(255, 255, 255), &k555), 0x7FFFu);
    EXPECT_EQ(ConvertColorRef(RGB(128, 128, 128), &k555), 0x3DEFu);
    EXPECT_EQ(ConvertColorRef(0xFF000000u | RGB(255, 0, 0), &k565), 0xF800u) << "the top byte is ignored";
    EXPECT_EQ(ConvertDDColor(0xF81F, &k565), RGB(255, 0, 255));
    EXPECT_EQ(ConvertDDColor(0xFFFF, &k565), RGB(255, 255, 255));
    EXPECT_EQ(ConvertDDColor(0x7800, &k565), RGB(123, 0, 0));
}

TEST(Povrchy, StretchKeyFillAndClipping)
{
    Surface zdroj(2, 2);
    zdroj.Row(0)[0] = 0x1111;
    zdroj.Row(0)[1] = 0x2222;
    zdroj.Row(1)[0] = 0x3333;
    zdroj.Row(1)[1] = 0x4444;
    Surface cil(10, 10);
    const RECT velky{0, 0, 4, 4};
    ASSERT_TRUE(cil.Blt(&velky, &zdroj, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(Bod(&cil, 1, 1), 0x1111);
    EXPECT_EQ(Bod(&cil, 2, 1), 0x2222);
    EXPECT_EQ(Bod(&cil, 3, 3), 0x4444);
    EXPECT_EQ(Bod(&cil, 4, 4), 0);

    ColorKey klic{0x4444, 0x4444};
    zdroj.SetColorKey(DDCKEY_SRCBLT, &klic);
    const RECT vedle{5, 5, 7, 7};
    cil.Blt(&vedle, &zdroj, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
    EXPECT_EQ(Bod(&cil, 5, 5), 0x1111);
    EXPECT_EQ(Bod(&cil, 6, 6), 0) << "the key leaves the destination";
    cil.Blt(&vedle, &zdroj, nullptr, DDBLT_WAIT, nullptr);
    EXPECT_EQ(Bod(&cil, 6, 6), 0x4444) << "no key without DDBLT_KEYSRC";

    BltFx fx{sizeof(BltFx), 0xABCD};
    const RECT pas{0, 8, 10, 9};
    cil.Blt(&pas, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    EXPECT_EQ(Bod(&cil, 9, 8), 0xABCD);
    EXPECT_EQ(Bod(&cil, 9, 9), 0);

    const RECT presah{8, 8, 12, 12};
    EXPECT_FALSE(cil.Blt(&presah, &zdroj, nullptr, DDBLT_WAIT, nullptr)) << "refused without a clipper";
    Clipper clipper;
    clipper.SetClipList(RECT{0, 0, 10, 10});
    cil.SetClipper(&clipper);
    EXPECT_TRUE(cil.Blt(&presah, &zdroj, nullptr, DDBLT_WAIT, nullptr)) << "cut with one";
    EXPECT_EQ(Bod(&cil, 8, 8), 0x1111);
    EXPECT_EQ(Bod(&cil, 9, 9), 0x1111) << "the source is stretched over the whole rectangle first";
}

class SDisplejem : public VDocasnemAdresari {
protected:
    void SetUp() override
    {
        VDocasnemAdresari::SetUp();
        NakresliVse();
        DD_Init();
        ASSERT_NE(lpdd, nullptr);
        ASSERT_NE(lpddsback, nullptr);
        CHPHraciPole.InitHraciPole(lpdd);
        CHPHraciPole.ClearHraciPole();
        ptMouse = POINT{0, 0};
        fps = 60;
    }
    void TearDown() override
    {
        CHPHraciPole.Destroy();
        DD_Done();
        VDocasnemAdresari::TearDown();
    }
    FakeClock clock;
};

TEST_F(SDisplejem, BlitsIntoTheBackBufferAreClippedAndAKeyedBlackCornerLosesEveryBlackPixel)
{
    const RECT presah{790, 590, 810, 610};
    EXPECT_TRUE(lpddsback->Blt(&presah, lpddsVyhra, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(Bod(lpddsback, 799, 599), Pixel565(0x005040));
    EXPECT_EQ(Bod(lpddsback, 789, 599), 0) << "the back buffer starts black";

    std::unique_ptr<Surface> obrazek(LPDDS_CreateOffscreen(lpdd, 4, 1));
    const uint16_t pixels[4] = {0, 0xF800, 0, 0x07E0};
    for (int x = 0; x < 4; ++x)
        obrazek->Row(0)[x] = pixels[x];
    BltFx fx{sizeof(BltFx), 0x1234};
    lpddsback->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx);
    const RECT cil{10, 10, 14, 11};
    SetTransparent(obrazek.get(), 0, 0);
    lpddsback->Blt(&cil, obrazek.get(), nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
    EXPECT_EQ(Bod(lpddsback, 10, 10), 0x1234);
    EXPECT_EQ(Bod(lpddsback, 11, 10), 0xF800);
    EXPECT_EQ(Bod(lpddsback, 12, 10), 0x1234);
    EXPECT_EQ(Bod(lpddsback, 13, 10), 0x07E0);

    // Magenta, white and black survive the read-back and the conversion.
    DeviceContext* dc = nullptr;
    for (uint16_t p : {0xF81F, 0xFFFF, 0x0000}) {
        obrazek->Row(0)[0] = p;
        ASSERT_TRUE(obrazek->GetDC(&dc));
        const COLORREF c = dc->GetPixel(0, 0);
        obrazek->ReleaseDC(dc);
        EXPECT_EQ(ConvertColorRef(c, &k565), p);
    }
}

TEST_F(SDisplejem, DrawOneNumberPlacesEachGlyphAndRefusesOthers)
{
    DrawOneNumber(0, 100, 50);
    EXPECT_EQ(Bod(lpddsback, 102, 52), Pixel565(Cislice(10))) << "0 is the tenth glyph";
    EXPECT_EQ(Bod(lpddsback, 100, 50), 0) << "keyed border";
    OcekavejObdelnik(lpddsback, RECT{102, 52, 117, 68}, Pixel565(Cislice(10)), "glyph 0");
    DrawOneNumber(7, 300, 50);
    OcekavejObdelnik(lpddsback, RECT{302, 52, 317, 68}, Pixel565(Cislice(7)), "glyph 7");

    Surface pred(800, 600);
    pred.Blt(nullptr, lpddsback, nullptr, DDBLT_WAIT, nullptr);
    DrawOneNumber(10, 500, 50);
    DrawOneNumber(-1, 500, 50);
    for (int y = 0; y < 600; ++y)
        ASSERT_EQ(std::memcmp(pred.Row(y), lpddsback->Row(y), 1600), 0);
}

TEST_F(SDisplejem, DrawPozadiHighlightsOnlyStrictlyInsideAButton)
{
    auto tlacitko = [](int top) { return Bod(lpddsback, 700, top + 20); };
    for (POINT p : {POINT{620, 300}, POINT{780, 300}, POINT{700, 335}}) {
        ptMouse = p;
        DrawPozadi();
        EXPECT_EQ(tlacitko(295), Pixel565(kTlacitka[0].barva)) << p.x << "," << p.y;
        EXPECT_EQ(tlacitko(335), Pixel565(kTlacitka[2].barva)) << p.x << "," << p.y;
        EXPECT_EQ(tlacitko(415), Pixel565(kTlacitka[6].barva)) << p.x << "," << p.y;
    }
    ptMouse = POINT{621, 334};
    DrawPozadi();
    EXPECT_EQ(tlacitko(295), Pixel565(kTlacitka[1].barva));
    ptMouse = POINT{779, 416};
    DrawPozadi();
    EXPECT_EQ(tlacitko(415), Pixel565(kTlacitka[7].barva));
    EXPECT_EQ(tlacitko(375), Pixel565(kTlacitka[4].barva));
    EXPECT_EQ(Bod(lpddsback, 620, 415), Pixel565(DESKA)) << "the button's keyed corner";
    EXPECT_EQ(Bod(lpddsback, 10, 10), Pixel565(DESKA));
}

TEST_F(SDisplejem, MarksAreDrawnInTheirBoxes)
{
    CHPHraciPole.PutItem(0, 0, 1);
    CHPHraciPole.PutItem(25, 25, 2);
    DrawPozadi();
    CHPHraciPole.DrawAllHraciPole(&lpddsback);
    OcekavejObdelnik(lpddsback, RECT{16, 15, 33, 32}, Pixel565(KOLECKO), "circle at (0, 0)");
    EXPECT_EQ(Bod(lpddsback, 14, 13), Pixel565(DESKA)) << "keyed corner of the box";
    OcekavejObdelnik(lpddsback, RECT{566, 565, 583, 582}, Pixel565(KRIZEK), "cross at (25, 25)");

    CHPHraciPole.ClearHraciPole();
    DrawPozadi();
    CHPHraciPole.DrawAllHraciPole(&lpddsback);
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 600; x += 7)
            ASSERT_EQ(Bod(lpddsback, x, y), Pixel565(DESKA));
}

TEST_F(SDisplejem, ThePlacingAnimationGrowsShrinksAndLeavesTheCellClean)
{
    DrawPozadi();
    lpddsprime->Blt(nullptr, lpddsDeskaEmpty, nullptr, DDBLT_WAIT, nullptr);
    CHPHraciPole.PutItem(0, 0, 1);
    std::vector<RECT> kroky;
    clock.onSleep = [&](uint32_t) {
        RECT r{1000, 1000, -1, -1};
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (Bod(lpddsprime, x, y) != Pixel565(DESKA)) {
                    r.left = std::min<int32_t>(r.left, x);
                    r.top = std::min<int32_t>(r.top, y);
                    r.right = std::max<int32_t>(r.right, x + 1);
                    r.bottom = std::max<int32_t>(r.bottom, y + 1);
                }
        kroky.push_back(r);
    };
    const uint32_t start = clock.now;
    CHPHraciPole.PutItemAndWait(0, 0, lpddsprime, lpddsDeskaEmpty, 1);
    clock.onSleep = nullptr;
    // A step that waited makes the next one skip its wait: its clock is the
    // time read before the sleep. So the even steps are the ones on show.
    // The first step's one pixel samples the picture's key, so it shows
    // nothing; the third (inset 8) shows the picture's inner 4 x 4 samples.
    ASSERT_EQ(kroky.size(), 15u);
    auto meze = [](RECT r) { return std::array<int, 4>{r.left, r.top, r.right, r.bottom}; };
    EXPECT_EQ(kroky[0].right, -1);
    EXPECT_EQ(meze(kroky[1]), (std::array{23, 22, 27, 26}));
    EXPECT_EQ(meze(kroky[5]), (std::array{16, 15, 33, 32})) << "the eleventh step is the whole picture";
    EXPECT_GE(clock.now - start, 15u * 49);
    EXPECT_EQ(CtiSoubor("data/tahy.dat"), std::vector<uint8_t>({0, 0, 0, 0})) << "the move is recorded";
    for (int y = 13; y < 34; ++y)
        for (int x = 14; x < 35; ++x)
            ASSERT_EQ(Bod(lpddsprime, x, y), Pixel565(DESKA)) << "the cell is restored";
}

TEST_F(SDisplejem, TheWinningLineBlinksItsFiveBoxesOnly)
{
    lpddsprime->Blt(nullptr, lpddsDeskaEmpty, nullptr, DDBLT_WAIT, nullptr);
    for (int y = 4; y <= 9; ++y)
        CHPHraciPole.PutItem(10, y, 2);  // six crosses: only the first five blink
    CHPHraciPole.PutItem(11, 5, 1);
    CHPHraciPole.DrawAllHraciPole(&lpddsprime);
    auto stred = [](int x, int y) { return Bod(lpddsprime, 14 + 22 * x + 10, 13 + 22 * y + 10); };
    std::vector<std::vector<uint16_t>> snimky;
    clock.onSleep = [&](uint32_t ms) {
        EXPECT_EQ(ms, 150u);
        std::vector<uint16_t> s;
        for (int y = 3; y <= 10; ++y)
            s.push_back(stred(10, y));
        s.push_back(stred(11, 5));
        snimky.push_back(s);
    };
    CHPHraciPole.UkazViteze(lpddsprime, lpddsDeskaEmpty);
    clock.onSleep = nullptr;
    ASSERT_EQ(snimky.size(), 16u);
    const uint16_t deska = Pixel565(DESKA), krizek = Pixel565(KRIZEK), kolecko = Pixel565(KOLECKO);
    for (size_t i = 0; i < snimky.size(); ++i) {
        const uint16_t line = i % 2 == 0 ? deska : krizek;
        const std::vector<uint16_t> expected = {deska, line, line, line, line, line, krizek, deska, kolecko};
        EXPECT_EQ(snimky[i], expected) << "sleep " << i;
    }
}

TEST_F(SDisplejem, ScoreDigitsSitAtTheirSlotsAndAMinusLeavesAGap)
{
    Score.Reset();
    DrawPozadi();
    Score.DrawScore(lpddsback);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Bod(lpddsback, 650 + 18 * i + 9, 165), Pixel565(Cislice(i == 0 ? 1 : 10))) << "100000, slot " << i;
    EXPECT_EQ(Bod(lpddsback, 680 + 9, 220), Pixel565(Cislice(10))) << "no moves yet";
    EXPECT_EQ(Bod(lpddsback, 680 + 18 + 9, 220), Pixel565(DESKA));

    Score.IncScore(100005);  // -5
    for (int i = 0; i < 13; ++i)
        Score.IncPocetTahu();
    DrawPozadi();
    Score.DrawScore(lpddsback);
    EXPECT_EQ(Bod(lpddsback, 650 + 9, 165), Pixel565(DESKA)) << "the sign's slot stays empty";
    EXPECT_EQ(Bod(lpddsback, 668 + 9, 165), Pixel565(Cislice(5)));
    EXPECT_EQ(Bod(lpddsback, 680 + 9, 220), Pixel565(Cislice(1)));
    EXPECT_EQ(Bod(lpddsback, 698 + 9, 220), Pixel565(Cislice(3)));
    Score.Reset();
}

TEST_F(SDisplejem, TheTableDrawsTenRowsAtTheirPlaces)
{
    CNejlepsi tabulka;
    const RECT screen{0, 0, 800, 600};
    lpddsback->Blt(&screen, lpddsNejlepsiTabulka, &screen, DDBLT_WAIT, nullptr);
    tabulka.Zobraz(lpddsback);
    const uint16_t pozadi = Pixel565(0x182838);
    for (int i = 0; i < 10; ++i) {
        const int y = 150 + 28 * i;
        EXPECT_TRUE(RadekMaText(lpddsback, 100, 148, y, y + 28, pozadi)) << "place " << i;
        EXPECT_TRUE(RadekMaText(lpddsback, 150, 640, y, y + 28, pozadi)) << "name " << i;
        EXPECT_TRUE(RadekMaText(lpddsback, 650, 800, y, y + 28, pozadi)) << "score " << i;
    }
    EXPECT_FALSE(RadekMaText(lpddsback, 0, 800, 0, 145, pozadi));
    EXPECT_FALSE(RadekMaText(lpddsback, 0, 95, 0, 600, pozadi));
    EXPECT_FALSE(RadekMaText(lpddsback, 0, 800, 150 + 28 * 9 + 40, 600, pozadi));

    // A table that could not be saved says so below its rows.
    std::filesystem::remove("best.dat");
    std::filesystem::create_directory("best.dat");
    tabulka.Pridej(99999, "NOVY");
    lpddsback->Blt(&screen, lpddsNejlepsiTabulka, &screen, DDBLT_WAIT, nullptr);
    tabulka.Zobraz(lpddsback);
    EXPECT_TRUE(RadekMaText(lpddsback, 100, 300, 150 + 28 * 10 + 14, 150 + 28 * 11 + 14, pozadi));
    EXPECT_FALSE(RadekMaText(lpddsback, 0, 800, 150 + 28 * 11 + 20, 600, pozadi));
}

// Where a surface differs from the picture it was drawn over: the changed
// pixels, and their first and last column.
struct Zmeny {
    std::vector<std::vector<bool>> pixely;
    int prvni = 800;
    int posledni = -1;
};

Zmeny RozdilOd(const Surface& s, const Surface& pred)
{
    Zmeny z;
    z.pixely.assign(static_cast<size_t>(s.Height()), std::vector<bool>(static_cast<size_t>(s.Width())));
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.Row(y)[x] != pred.Row(y)[x]) {
                z.pixely[y][x] = true;
                z.prvni = std::min(z.prvni, x);
                z.posledni = std::max(z.posledni, x);
            }
    return z;
}

// Compared with the same words written left-aligned, so that the check does
// not lean on the right-aligning code it checks.
TEST_F(SDisplejem, TheFrameCounterReadsSixtyRightAlignedAtTheTopRight)
{
    DrawPozadi();
    Surface pozadi(800, 600), vlevo(800, 600);
    pozadi.Blt(nullptr, lpddsback, nullptr, DDBLT_WAIT, nullptr);
    vlevo.Blt(nullptr, lpddsback, nullptr, DDBLT_WAIT, nullptr);
    DrawFPS();
    const Zmeny pocitadlo = RozdilOd(*lpddsback, pozadi);
    EXPECT_GE(pocitadlo.posledni, 795) << "ends at the right edge";

    DeviceContext* dc = nullptr;
    ASSERT_TRUE(vlevo.GetDC(&dc));
    dc->SetTextColor(RGB(255, 255, 255));
    dc->TextOut(100, 0, "FPS: 60", -1);
    vlevo.ReleaseDC(dc);
    const Zmeny slova = RozdilOd(vlevo, pozadi);
    ASSERT_EQ(pocitadlo.posledni - pocitadlo.prvni, slova.posledni - slova.prvni) << "the same words";
    const int posun = pocitadlo.prvni - slova.prvni;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            if (pocitadlo.pixely[y][x]) {
                ASSERT_TRUE(x - posun >= 0 && slova.pixely[y][x - posun]) << x << "," << y;
            }
}

// In a fresh process, since the fonts found are kept for the run.
TEST(Pismo, WithNoFontInstalledTextsDrawNothingAndSaySo)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            BezPisem();
            Surface s(100, 40);
            DeviceContext* dc = nullptr;
            s.GetDC(&dc);
            const bool drawn = dc->TextOut(0, 0, "ANO", 3);
            s.ReleaseDC(dc);
            std::exit(!TextFontAvailable() && !drawn ? 3 : 0);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST_F(SDisplejem, AMissingPictureGivesNothingToDrawAndOneWarning)
{
    std::filesystem::remove("Ortelanka.log");
    Surface* chybi = LPDDS_LoadFromFile(lpdd, "./data/neni.bmp");
    EXPECT_EQ(chybi, nullptr);
    ZapisSoubor("data/rozbity.bmp", {'B', 'M', 1, 2, 3});
    EXPECT_EQ(LPDDS_LoadFromFile(lpdd, "./data/rozbity.bmp"), nullptr);
    const std::string log = CtiText("Ortelanka.log");
    EXPECT_NE(log.find("'Obrazek nelze nacist: ./data/neni.bmp' :: warning."), std::string::npos);
    EXPECT_NE(log.find("rozbity.bmp"), std::string::npos);

    // Headers that promise more than the file holds, or more than any
    // picture of the game, are refused before anything is made of them.
    ZapisBmp("data/dobry.bmp", 3, 2, [](int, int) { return 0x102030u; });
    const std::vector<uint8_t> dobry = CtiSoubor("data/dobry.bmp");
    auto s32 = [](std::vector<uint8_t> v, size_t at, uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v[at + i] = static_cast<uint8_t>(x >> (8 * i));
        return v;
    };
    std::vector<uint8_t> obri = s32(s32(dobry, 18, 46342), 22, 65536);
    obri.resize(58);
    std::vector<uint8_t> rle = s32(s32(s32(dobry, 18, 8000), 22, 8000), 30, 1);
    rle[28] = 8;
    const std::pair<const char*, std::vector<uint8_t>> spatne[] = {
        {"46342 x 65536 in 58 bytes", obri},
        {"8192 x 8193", s32(s32(dobry, 18, 8192), 22, 8193)},
        {"run-length compressed", rle},
        {"one row more than the file holds", s32(dobry, 22, 3)},
        {"data beyond the end", s32(dobry, 10, 60)},
        {"7 bits a pixel", s32(dobry, 28, 7)},
    };
    for (const auto& [why, bytes] : spatne) {
        std::filesystem::remove("Ortelanka.log");
        ZapisSoubor("data/spatny.bmp", bytes);
        EXPECT_EQ(LPDDS_LoadFromFile(lpdd, "./data/spatny.bmp"), nullptr) << why;
        EXPECT_EQ(CtiText("Ortelanka.log").substr(20), "- 'Obrazek nelze nacist: ./data/spatny.bmp' :: warning.\n")
            << why;
    }
    mkfifo("data/fifo.bmp", 0644);
    EXPECT_EQ(LPDDS_LoadFromFile(lpdd, "./data/fifo.bmp"), nullptr) << "a FIFO is not waited on";
    std::unique_ptr<Surface> nacteny(LPDDS_LoadFromFile(lpdd, "./data/dobry.bmp"));
    ASSERT_NE(nacteny, nullptr) << "the header checks let a sound picture through";
    EXPECT_EQ(Bod(nacteny.get(), 2, 1), Pixel565(0x102030));

    LPDDS_Release(&lpddsData);
    DrawOneNumber(5, 10, 10);
    DrawTransparent(0, 0, 10, 10, 0, 0, 10, 10, nullptr);
    EXPECT_EQ(Bod(lpddsback, 15, 15), 0);
}

// The game reads 24-bit pictures itself; every channel value must come out
// as SDL's own reading and conversion makes it, rows stored either way up.
TEST_F(SDisplejem, PicturesReadAsSdlReadsThem)
{
    constexpr int kVyska = 100;  // more rows than are read at once
    ZapisBmp("data/barvy.bmp", 256, kVyska, [](int x, int y) {
        return static_cast<uint32_t>(x << 16 | ((x * 7 + y * 37) & 255) << 8 | ((x * 13 + y * 101) & 255));
    });
    const std::vector<uint8_t> barvy = CtiSoubor("data/barvy.bmp");
    std::vector<uint8_t> obraceny = barvy;  // the same picture stored top row first
    const size_t radek = 256 * 3;
    for (size_t y = 0; y < kVyska; ++y)
        std::copy_n(barvy.begin() + 54 + (kVyska - 1 - y) * radek, radek, obraceny.begin() + 54 + y * radek);
    for (int i = 0; i < 4; ++i)
        obraceny[22 + i] = static_cast<uint8_t>(static_cast<uint32_t>(-kVyska) >> (8 * i));
    ZapisSoubor("data/obraceny.bmp", obraceny);

    SDL_Surface* bmp = SDL_LoadBMP("data/barvy.bmp");
    ASSERT_NE(bmp, nullptr);
    SDL_Surface* sdl = SDL_ConvertSurfaceFormat(bmp, SDL_PIXELFORMAT_RGB565, 0);
    SDL_FreeSurface(bmp);
    ASSERT_NE(sdl, nullptr);
    const auto sdlBod = [sdl](int x, int y) { return static_cast<const uint16_t*>(sdl->pixels)[y * sdl->pitch / 2 + x]; };
    for (const char* path : {"./data/barvy.bmp", "./data/obraceny.bmp"}) {
        std::unique_ptr<Surface> nacteny(LPDDS_LoadFromFile(lpdd, path));
        ASSERT_NE(nacteny, nullptr) << path;
        for (int y = 0; y < kVyska; ++y)
            for (int x = 0; x < 256; ++x)
                ASSERT_EQ(Bod(nacteny.get(), x, y), sdlBod(x, y)) << path << " at " << x << "," << y;
    }
    SDL_FreeSurface(sdl);
}

}  // namespace
