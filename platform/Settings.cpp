#include "Settings.h"

#include "Files.h"
#include "Folders.h"

#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

const char kSettingsFile[] = "ortelanka.conf";
// Far larger than any file this module writes: anything bigger is not ours.
constexpr size_t kMostBytes = 4096;

std::string SettingsPath()
{
    return SettingsFolder() + kSettingsFile;
}

constexpr int kLargestSide = 16384;

// "window=WxH", each side a plain number from 1 to kLargestSide.
bool ParseWindowSize(const std::string& line, int* width, int* height)
{
    const std::string prefix = "window=";
    if (line.compare(0, prefix.size(), prefix) != 0)
        return false;
    int sides[2] = {0, 0};
    size_t at = prefix.size();
    for (int i = 0; i < 2; ++i) {
        const size_t start = at;
        while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - start < 6)
            sides[i] = sides[i] * 10 + (line[at++] - '0');
        if (at == start || sides[i] < 1 || sides[i] > kLargestSide)
            return false;
        if (i == 0 && (at >= line.size() || line[at++] != 'x'))
            return false;
    }
    if (at != line.size())
        return false;
    *width = sides[0];
    *height = sides[1];
    return true;
}

// "broker=mqtts://HOST[:PORT]" or mqtt://: a host name and a port of digits.
bool ParseBroker(const std::string& line, std::string* broker)
{
    const std::string prefix = "broker=";
    if (line.compare(0, prefix.size(), prefix) != 0 || line.size() > 256)
        return false;
    const std::string url = line.substr(prefix.size());
    const size_t start = url.rfind("mqtts://", 0) == 0 ? 8 : url.rfind("mqtt://", 0) == 0 ? 7 : 0;
    const size_t colon = url.find(':', start);
    const std::string host = url.substr(start, colon - start);
    const std::string port = colon == std::string::npos ? "" : url.substr(colon + 1);
    if (start == 0 || host.empty() ||
        host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") !=
            std::string::npos ||
        (colon != std::string::npos &&
         (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)))
        return false;
    *broker = url;
    return true;
}

}  // namespace

SettingsStatus ParseSettings(const uint8_t* bytes, size_t size, Settings* settings)
{
    Settings read;
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        if (line == "fullscreen=1" || line == "fullscreen=0")
            read.fullScreen = line.back() == '1';
        else if (line == "music=1" || line == "music=0")
            read.music = line.back() == '1';
        else if (!ParseWindowSize(line, &read.windowWidth, &read.windowHeight) && !ParseBroker(line, &read.broker))
            return SettingsStatus::Damaged;
    }
    *settings = read;
    return SettingsStatus::Read;
}

std::string FormatSettings(const Settings& settings)
{
    std::string text = std::string("fullscreen=") + (settings.fullScreen ? "1" : "0") + "\nmusic=" +
                       (settings.music ? "1" : "0") + "\n";
    if (settings.windowWidth > 0 && settings.windowHeight > 0)
        text += "window=" + std::to_string(settings.windowWidth) + "x" + std::to_string(settings.windowHeight) + "\n";
    if (!settings.broker.empty())
        text += "broker=" + settings.broker + "\n";
    return text;
}

SettingsStatus LoadSettings(Settings* settings)
{
    FILE* file = OpenGameFile(SettingsPath().c_str(), "rb");
    if (!file)
        return errno == ENOENT ? SettingsStatus::Missing : SettingsStatus::Damaged;
    std::vector<uint8_t> bytes(kMostBytes + 1);
    const size_t size = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || size > kMostBytes)
        return SettingsStatus::Damaged;
    return ParseSettings(bytes.data(), size, settings);
}

bool SaveSettingChange(const Settings& settings, const std::function<void(Settings*)>& change)
{
    const std::string path = SettingsPath();
    GameFileLock lock(path.c_str());
    Settings merged = settings;
    LoadSettings(&merged);
    change(&merged);
    // Replaced whole: a failed save leaves the old choice.
    const std::string text = FormatSettings(merged);
    return ReplaceGameFile(path.c_str(), text.data(), text.size());
}
