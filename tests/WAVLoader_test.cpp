// The WAV loader reads what the file holds and nothing beyond it.
#include "Pomocnik.h"

#include "sound/WAVLoader.h"

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace {

using WAV = VDocasnemAdresari;

const std::vector<uint8_t> kFormat = WavFormat(2, 22050, 16);  // PCM, 2 channels, 22050 Hz, 16 bits

TEST_F(WAV, AFileWithAListChunkLoadsItsFormatAndSamples)
{
    const std::vector<uint8_t> samples = {1, 2, 3, 4, 5, 6, 7, 8};
    // The LIST chunk is odd: its pad byte is skipped.
    ZapisSoubor("a.wav", Wav({{"fmt ", kFormat}, {"LIST", {'I', 'N', 'F', 'O', 'x'}}, {"data", samples}}));
    CWAVLoader loader;
    ASSERT_EQ(loader.Load("a.wav"), 1);
    ASSERT_NE(loader.GetFormat(), nullptr);
    EXPECT_EQ(loader.GetFormat()->wFormatTag, 1);
    EXPECT_EQ(loader.GetFormat()->nChannels, 2);
    EXPECT_EQ(loader.GetFormat()->nSamplesPerSec, 22050u);
    EXPECT_EQ(loader.GetFormat()->nBlockAlign, 4);
    EXPECT_EQ(loader.GetFormat()->wBitsPerSample, 16);
    EXPECT_EQ(loader.GetFormat()->cbSize, 0) << "a 16-byte format has no extra data";
    ASSERT_EQ(loader.GetLength(), samples.size());
    EXPECT_EQ(std::memcmp(loader.GetData(), samples.data(), samples.size()), 0);

    ZapisSoubor("b.wav", Wav({{"fmt ", kFormat}, {"data", {9, 9}}}));
    ASSERT_EQ(loader.Load("b.wav"), 1) << "a second load replaces the first";
    EXPECT_EQ(loader.GetLength(), 2u);
    EXPECT_EQ(loader.GetData()[0], 9);
}

// Each refusal also drops what an earlier load held.
TEST_F(WAV, BrokenFilesAndWhatIsNoFileFailCleanlyWithNothingHeld)
{
    const std::vector<uint8_t> good = Wav({{"fmt ", kFormat}, {"data", {1, 2, 3, 4}}});
    ZapisSoubor("good.wav", good);
    ZapisSoubor("truncated.wav", std::vector<uint8_t>(good.begin(), good.end() - 3));
    std::vector<uint8_t> vic = Wav({{"fmt ", kFormat}});
    vic.insert(vic.end(), {'d', 'a', 't', 'a', 0xF0, 0xFF, 0xFF, 0x7F, 1, 2});
    ZapisSoubor("claims-more-than-it-holds.wav", vic);
    ZapisSoubor("no-data-chunk.wav", Wav({{"fmt ", kFormat}, {"LIST", {1, 2}}}));
    ZapisSoubor("header-only.wav", std::vector<uint8_t>(good.begin(), good.begin() + 12));
    ZapisSoubor("empty.wav", {});
    // A valid start, then a data chunk as big as the file: 65 MB that are
    // never read (the file is sparse).
    std::vector<uint8_t> velky = Wav({{"fmt ", kFormat}});
    velky.insert(velky.end(), {'d', 'a', 't', 'a', 0, 0, 0, 0x04});
    ZapisSoubor("huge.wav", velky);
    std::filesystem::resize_file("huge.wav", CWAVLoader::kLargestFile + 1);
    std::filesystem::create_directory("dir.wav");
    mkfifo("fifo.wav", 0644);
    for (const char* name : {"truncated.wav", "claims-more-than-it-holds.wav", "no-data-chunk.wav", "header-only.wav",
                             "empty.wav", "missing.wav", "huge.wav", "dir.wav", "fifo.wav"}) {
        CWAVLoader loader;
        ASSERT_EQ(loader.Load("good.wav"), 1);
        EXPECT_EQ(loader.Load(name), 0) << name;
        EXPECT_EQ(loader.GetFormat(), nullptr) << name;
        EXPECT_EQ(loader.GetData(), nullptr) << name;
        EXPECT_EQ(loader.GetLength(), 0u) << name;
    }
}

}  // namespace
