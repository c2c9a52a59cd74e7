// The settings file: what it says, what is written back, and what is not ours.
#include "Pomocnik.h"

#include "platform/Settings.h"

namespace {

using Nastaveni = VDocasnemAdresari;

SettingsStatus Precti(const std::string& text, Settings* settings)
{
    return ParseSettings(reinterpret_cast<const uint8_t*>(text.data()), text.size(), settings);
}

TEST_F(Nastaveni, ChoicesAreSavedAndReadBackAndAnythingOddKeepsTheDefaults)
{
    Settings s;
    EXPECT_EQ(LoadSettings(&s), SettingsStatus::Missing);
    EXPECT_TRUE(s.fullScreen && s.music) << "full screen with music when nothing was chosen";

    ASSERT_TRUE(SaveSettingChange(Settings{}, [](Settings* n) { n->fullScreen = false; }));
    EXPECT_EQ(CtiText("ortelanka.conf"), "fullscreen=0\nmusic=1\n");
    EXPECT_EQ(LoadSettings(&s), SettingsStatus::Read);
    EXPECT_FALSE(s.fullScreen);
    EXPECT_TRUE(s.music);

    ASSERT_TRUE(SaveSettingChange(Settings{}, [](Settings* n) { n->windowWidth = 1024, n->windowHeight = 768; }));
    EXPECT_EQ(CtiText("ortelanka.conf"), "fullscreen=0\nmusic=1\nwindow=1024x768\n") << "the file's choices stay";
    EXPECT_EQ(LoadSettings(&s), SettingsStatus::Read);
    EXPECT_EQ(s.windowWidth, 1024);
    EXPECT_EQ(s.windowHeight, 768);

    Settings jen;
    EXPECT_EQ(Precti("music=0", &jen), SettingsStatus::Read) << "one line, no line feed";
    EXPECT_TRUE(jen.fullScreen);
    EXPECT_FALSE(jen.music);
    // The player's broker stays through the game's own changes.
    ZapisSoubor("ortelanka.conf", std::vector<uint8_t>{});
    ASSERT_TRUE(SaveSettingChange(Settings{}, [](Settings* n) { n->broker = "mqtts://hra.example:8884"; }));
    ASSERT_TRUE(SaveSettingChange(Settings{}, [](Settings* n) { n->music = false; }));
    EXPECT_EQ(LoadSettings(&s), SettingsStatus::Read);
    EXPECT_EQ(s.broker, "mqtts://hra.example:8884");
    EXPECT_EQ(Precti("broker=mqtt://127.0.0.1", &jen), SettingsStatus::Read);

    for (const std::string& odd : std::vector<std::string>{"fullscreen=yes\n", "music=1\r\n", "volume=3\n", std::string("music=0\0", 8),
                                  "fullscreen=0\nmusic=0\n#", "window=0x600\n", "window=800x\n",
                                  "window=800x600x2\n", "window=99999x600\n", "window=-800x600\n", "broker=https://hra.example\n",
                                  "broker=mqtts://\n", "broker=mqtts://hra example\n", "broker=mqtt://h:\n",
                                  "broker=mqtt://h:1/x\n"}) {
        Settings d{false, false, 0, 0, {}};
        EXPECT_EQ(Precti(odd, &d), SettingsStatus::Damaged) << odd;
        EXPECT_FALSE(d.fullScreen || d.music) << "left as it was: " << odd;
    }
    ZapisSoubor("ortelanka.conf", std::vector<uint8_t>(5000, '\n'));
    EXPECT_EQ(LoadSettings(&s), SettingsStatus::Damaged) << "far too long to be ours";
    ASSERT_TRUE(SaveSettingChange(Settings{true, false, 0, 0, {}}, [](Settings* n) { n->fullScreen = false; }));
    EXPECT_EQ(CtiText("ortelanka.conf"), "fullscreen=0\nmusic=0\n") << "over a damaged file, this copy's choices";
}

}  // namespace
