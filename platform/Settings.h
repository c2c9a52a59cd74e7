// The player's choices that outlive a run: full screen or a window (and the
// window's size), and the music on or off. Kept in ortelanka.conf in
// SettingsFolder() as lines "fullscreen=1", "music=1" and, once the window
// has a size of its own, "window=1024x768"; a player may name the broker of
// online play there too: "broker=mqtts://HOST[:PORT]".
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct Settings {
    bool fullScreen = true;
    bool music = true;
    int windowWidth = 0;  // 0: the window's first size
    int windowHeight = 0;
    std::string broker;  // empty: none named
};

enum class SettingsStatus {
    Read,     // the file was there and made sense
    Missing,  // no file yet: the defaults
    Damaged,  // unreadable or not ours: the defaults, and worth a log line
};

// The settings held by a file's bytes; a line it does not know makes the
// whole file Damaged, and then `settings` is left as it was.
SettingsStatus ParseSettings(const uint8_t* bytes, size_t size, Settings* settings);
std::string FormatSettings(const Settings& settings);

SettingsStatus LoadSettings(Settings* settings);
// The one choice `change` makes goes into the file as it is on disk now, so
// another copy's choices there stay (another copy may have chosen the music
// since this one read the file). `settings` (this copy's choices) is the
// base when the file holds nothing usable. Creates the settings folder when
// it is missing. False when nothing could be written.
bool SaveSettingChange(const Settings& settings, const std::function<void(Settings*)>& change);
