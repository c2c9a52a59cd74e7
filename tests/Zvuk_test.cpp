// The music buffer on SDL's dummy and disk audio drivers.
#include "Pomocnik.h"

#include "sound/DSFuncs.h"

#include <filesystem>
#include <memory>
#include <thread>

namespace {

using Zvuk = VDocasnemAdresari;

uint8_t Pila(uint32_t i)
{
    return static_cast<uint8_t>(i * 7 + 1);
}

// Music of the given format whose samples are a saw of their index.
std::vector<uint8_t> Hudba(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t bytes, uint16_t tag = 1)
{
    std::vector<uint8_t> samples(bytes);
    for (uint32_t i = 0; i < bytes; ++i)
        samples[i] = Pila(i);
    return Wav({{"fmt ", WavFormat(channels, rate, bits, tag)}, {"data", samples}});
}

TEST_F(Zvuk, AWavFileBecomesALoopingBufferAndABadOneGivesNoneAndOneWarning)
{
    std::unique_ptr<SoundDevice> device(SoundDevice::Create());
    ASSERT_NE(device, nullptr) << "the dummy driver is a device";
    ZapisSoubor("music.wav", Hudba(1, 11025, 16, 22051));
    SoundBuffer* buffer = LPDSB_LoadFromFile(device.get(), "music.wav", 0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->Bytes(), 22050u) << "whole frames only";
    EXPECT_TRUE(buffer->Play(true));
    EXPECT_TRUE(buffer->Playing());
    LPDSB_Release(&buffer);
    EXPECT_EQ(buffer, nullptr);
    LPDSB_Release(&buffer);

    EXPECT_EQ(LPDSB_LoadFromFile(device.get(), "missing.wav", 0), nullptr);
    EXPECT_FALSE(std::filesystem::exists("Ortelanka.log")) << "music that is not there is no damage";
    EXPECT_EQ(LPDSB_LoadFromFile(nullptr, "music.wav", 0), nullptr) << "no device, no music";

    // Music that cannot be played is refused with one warning each.
    const std::pair<const char*, std::vector<uint8_t>> pripady[] = {
        {"1 Hz", Hudba(2, 1, 16, 4096)},
        {"7999 Hz", Hudba(1, 7999, 8, 100)},
        {"192001 Hz", Hudba(1, 192001, 8, 100)},
        {"three channels", Hudba(3, 22050, 16, 600)},
        {"24 bits", Hudba(2, 22050, 24, 600)},
        {"floating point", Hudba(2, 22050, 32, 800, 3)},
        {"less than one frame", Hudba(2, 22050, 16, 3)},
        {"no samples", Hudba(1, 22050, 16, 0)},
        {"samples without a format", Wav({{"data", {1, 2}}})},
    };
    for (const auto& [why, bytes] : pripady) {
        std::filesystem::remove("Ortelanka.log");
        ZapisSoubor("music.wav", bytes);
        EXPECT_EQ(LPDSB_LoadFromFile(device.get(), "music.wav", 0), nullptr) << why;
        EXPECT_EQ(CtiText("Ortelanka.log").substr(20), "- 'Hudbu nelze prehrat: music.wav' :: warning.\n") << why;
    }
    std::filesystem::remove("music.wav");
    std::filesystem::create_directory("music.wav");
    std::filesystem::remove("Ortelanka.log");
    EXPECT_EQ(LPDSB_LoadFromFile(device.get(), "music.wav", 0), nullptr);
    EXPECT_NE(CtiText("Ortelanka.log").find("Hudbu nelze prehrat"), std::string::npos) << "a directory";
}

// SDL's disk driver writes what the device plays to a file: the samples,
// looped exactly, in the file's own format and rate.
TEST_F(Zvuk, TheLoopPlaysTheSamplesAgainWithoutASeam)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "stream.raw", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    const uint32_t bytes = 4 * 1001;  // not a multiple of the device's period
    ZapisSoubor("music.wav", Hudba(2, 22050, 16, bytes));
    {
        std::unique_ptr<SoundDevice> device(SoundDevice::Create());
        ASSERT_NE(device, nullptr);
        SoundBuffer* buffer = LPDSB_LoadFromFile(device.get(), "music.wav", 0);
        ASSERT_NE(buffer, nullptr);
        buffer->Play(true);
        while (!std::filesystem::exists("stream.raw") || std::filesystem::file_size("stream.raw") < 8 * bytes)
            std::this_thread::yield();
        LPDSB_Release(&buffer);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    const std::vector<uint8_t> stream = CtiSoubor("stream.raw");
    size_t start = 0;
    while (start < stream.size() && stream[start] == 0)  // silence before the music starts
        ++start;
    ASSERT_GE(stream.size() - start, 5u * bytes);
    for (size_t i = start; i < start + 5 * bytes; ++i)
        ASSERT_EQ(stream[i], Pila(static_cast<uint32_t>((i - start) % bytes))) << "byte " << i - start;
}

}  // namespace
