// The generated artwork and music: every file is there, loads through the
// game's own loaders, has the sizes the drawing relies on, and keeps its key
// colour where it belongs.
#include "board/HraciPole.h"
#include "graphics/DDFuncs.h"
#include "graphics/DDScreen.h"
#include "platform/Text.h"
#include "sound/WAVLoader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

const std::string kData = GAME_DATA_DIR;

class Artwork : public ::testing::Test {
protected:
    static void SetUpTestSuite() { display = Display::Create("test", WindowPlacement()); }
    static void TearDownTestSuite() { delete display; }

    // The picture through the game's loader; its size checked when one is given.
    std::unique_ptr<Surface> Nacti(const std::string& name, int w = 0, int h = 0)
    {
        std::unique_ptr<Surface> s(LPDDS_LoadFromFile(display, (kData + "/" + name).c_str()));
        EXPECT_NE(s, nullptr) << name;
        if (s && w > 0) {
            EXPECT_EQ(s->Width(), w) << name;
            EXPECT_EQ(s->Height(), h) << name;
        }
        return s;
    }
    static uint16_t Klic(Surface* s)
    {
        DeviceContext* dc = nullptr;
        EXPECT_TRUE(s->GetDC(&dc));
        const COLORREF c = dc->GetPixel(0, 0);
        s->ReleaseDC(dc);
        SurfaceDesc desc;
        s->GetSurfaceDesc(&desc);
        return static_cast<uint16_t>(ConvertColorRef(c, &desc.ddpfPixelFormat));
    }
    static int Pocet(Surface* s, RECT r, uint16_t barva)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += s->Row(y)[x] == barva;
        return n;
    }

    static Display* display;
};

Display* Artwork::display = nullptr;

TEST_F(Artwork, FullScreenPicturesAre800By600)
{
    ASSERT_NE(display, nullptr);
    for (const char* name : {"deskaempty.bmp", "Ortelaky.bmp", "intro/intro1.bmp", "intro/intro2.bmp",
                             "intro/intro3.bmp", "intro/intro4.bmp", "vyhra.bmp", "prohra.bmp", "vyhrahrac1.bmp",
                             "vyhrahrac2.bmp", "nejlepsi.bmp", "zapisjmeno.bmp"})
        Nacti(name, 800, 600);
    auto cerny = Nacti("cerny.bmp");
    ASSERT_NE(cerny, nullptr);
    EXPECT_EQ(cerny->Row(0)[0], 0);
}

TEST_F(Artwork, KeyedPicturesKeepTheirKeyOutsideTheirArtwork)
{
    auto data = Nacti("data.bmp");
    ASSERT_NE(data, nullptr);
    EXPECT_GE(data->Width(), 350);
    EXPECT_GE(data->Height(), 20);
    const uint16_t klic = Klic(data.get());
    EXPECT_EQ(klic, data->Row(0)[0]) << "the key survives the read-back";
    for (int i = 0; i < 10; ++i)
        EXPECT_GT(19 * 20 - Pocet(data.get(), RECT{19 * i, 0, 19 * i + 19, 20}, klic), 40) << "glyph " << i;
    EXPECT_GT(80 * 20 - Pocet(data.get(), RECT{205, 0, 285, 20}, klic), 200);
    EXPECT_GT(65 * 20 - Pocet(data.get(), RECT{285, 0, 350, 20}, klic), 200);

    for (const char* name : {"hh/hh1.bmp", "hh/hh3.bmp", "hp/hracpc2.bmp", "hp/hracpc3.bmp", "n/nejlepsi2.bmp",
                             "n/nejlepsi3.bmp", "k/konec2.bmp", "k/konec3.bmp"}) {
        auto s = Nacti(name, 160, 40);
        ASSERT_NE(s, nullptr) << name;
        const uint16_t k = Klic(s.get());
        EXPECT_EQ(k, s->Row(0)[0]) << name;
        EXPECT_EQ(Pocet(s.get(), RECT{8, 6, 150, 32}, k), 0) << name << ": the face of the button is solid";
    }

    for (const char* name : {"kolecko.bmp", "krizek.bmp"}) {
        auto s = Nacti(name, 21, 21);
        ASSERT_NE(s, nullptr) << name;
        const uint16_t k = Klic(s.get());
        EXPECT_EQ(k, s->Row(0)[0]);
        const bool kolecko = std::string(name) == "kolecko.bmp";
        for (int i = 6; i <= 14; ++i) {
            // The circle's ring and body, the cross's two strokes.
            const int y = kolecko ? 10 : i;
            EXPECT_NE(s->Row(y)[i], k) << name << " at " << i << "," << y;
            EXPECT_NE(s->Row(kolecko ? i : 20 - i)[kolecko ? 10 : i], k) << name;
        }
        EXPECT_GT(Pocet(s.get(), RECT{0, 0, 21, 21}, k), 60) << name << ": the corners are see-through";
    }

    auto deska = Nacti("deskaempty.bmp");
    ASSERT_NE(deska, nullptr);
    EXPECT_EQ(Pocet(deska.get(), RECT{655, 270, 735, 290}, Klic(deska.get())), 0)
        << "the turn indicator is restored keyed by the top-left colour";
}

TEST_F(Artwork, TheBoardGridLinesUpWithTheMarkBoxes)
{
    auto deska = Nacti("deskaempty.bmp");
    ASSERT_NE(deska, nullptr);
    const uint16_t cara = deska->Row(12)[13];
    const uint16_t pole = deska->Row(20)[20];
    EXPECT_NE(cara, pole);
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(deska->Row(13 + 22 * i + 10)[13 + 22 * i], cara) << "line left of column " << i;
        EXPECT_EQ(deska->Row(12 + 22 * i)[14 + 22 * i + 10], cara) << "line above row " << i;
        EXPECT_EQ(Pocet(deska.get(), RECT{14 + 22 * i, 13 + 22 * i, 35 + 22 * i, 34 + 22 * i}, pole), 21 * 21)
            << "box " << i << " is plain";
    }
}

TEST_F(Artwork, TheMusicIsAPleasantLoopOfTwentyToSixtySeconds)
{
    const std::string path = kData + "/sound/music.wav";
    EXPECT_LE(std::filesystem::file_size(path), 6u * 1024 * 1024);
    CWAVLoader loader;
    ASSERT_EQ(loader.Load(path.c_str()), 1);
    const WAVEFORMATEX* f = loader.GetFormat();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(f->wBitsPerSample, 16);
    const double seconds = static_cast<double>(loader.GetLength()) / f->nAvgBytesPerSec;
    EXPECT_GE(seconds, 20.0);
    EXPECT_LE(seconds, 60.0);

    const int16_t* s = reinterpret_cast<const int16_t*>(loader.GetData());
    const size_t count = loader.GetLength() / 2;
    int peak = 0, biggestStep = 0;
    for (size_t i = 0; i < count; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
        if (i >= f->nChannels)
            biggestStep = std::max(biggestStep, std::abs(s[i] - s[i - f->nChannels]));
    }
    EXPECT_LT(peak, 32000) << "below full scale";
    EXPECT_GT(peak, 8000) << "not silent";
    for (int c = 0; c < f->nChannels; ++c)
        EXPECT_LE(std::abs(s[count - f->nChannels + c] - s[c]), biggestStep)
            << "the end joins the beginning like any two neighbouring samples";
    const std::vector<uint8_t> head = [&] {
        std::vector<uint8_t> v(200);
        FILE* file = std::fopen(path.c_str(), "rb");
        v.resize(std::fread(v.data(), 1, v.size(), file));
        std::fclose(file);
        return v;
    }();
    const std::string text(head.begin(), head.end());
    EXPECT_LT(text.find("LIST"), text.find("data")) << "a LIST chunk before the samples";
}

}  // namespace
