// Any bytes as a settings file: parsed without a crash, and what was read
// reads back the same once written.
#include "platform/Settings.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Settings settings;
    if (ParseSettings(data, size, &settings) != SettingsStatus::Read)
        return 0;
    const std::string text = FormatSettings(settings);
    Settings again;
    again.fullScreen = !settings.fullScreen;
    again.music = !settings.music;
    if (ParseSettings(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &again) != SettingsStatus::Read ||
        again.fullScreen != settings.fullScreen || again.music != settings.music)
        std::abort();
    return 0;
}
