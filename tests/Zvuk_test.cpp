// The music buffer on SDL's dummy audio driver.
#include "Pomocnik.h"

#include "sound/DSFuncs.h"

#include <memory>

namespace {

using Zvuk = VDocasnemAdresari;

std::vector<uint8_t> Wav(uint32_t frames)
{
    std::vector<uint8_t> v = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                              1,   0,   1,   0,   0x11, 0x2B, 0, 0, 0x22, 0x56, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a'};
    const uint32_t bytes = frames * 2;
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(bytes >> (8 * i)));
    for (uint32_t i = 0; i < frames; ++i) {
        const int16_t s = static_cast<int16_t>((i % 50) * 400 - 10000);
        v.push_back(static_cast<uint8_t>(s & 0xFF));
        v.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
    }
    return v;
}

TEST_F(Zvuk, AWavFileBecomesALoopingBufferAndABadOneGivesNone)
{
    std::unique_ptr<SoundDevice> device(SoundDevice::Create());
    ASSERT_NE(device, nullptr) << "the dummy driver is a device";
    ZapisSoubor("music.wav", Wav(11025));
    SoundBuffer* buffer = LPDSB_LoadFromFile(device.get(), "music.wav", 0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->Bytes(), 22050u);
    EXPECT_TRUE(buffer->Play(true));
    EXPECT_TRUE(buffer->Playing());
    LPDSB_Release(&buffer);
    EXPECT_EQ(buffer, nullptr);
    LPDSB_Release(&buffer);

    ZapisSoubor("bad.wav", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a', 2, 0, 0, 0, 1, 2});
    EXPECT_EQ(LPDSB_LoadFromFile(device.get(), "bad.wav", 0), nullptr) << "samples without a format";
    EXPECT_EQ(LPDSB_LoadFromFile(device.get(), "missing.wav", 0), nullptr);
    EXPECT_EQ(LPDSB_LoadFromFile(nullptr, "music.wav", 0), nullptr) << "no device, no music";
}

}  // namespace
