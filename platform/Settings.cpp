#include "Settings.h"

#include "Files.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace {

const char kSettingsFile[] = "ortelanka.conf";
// Far larger than any file this module writes: anything bigger is not ours.
constexpr size_t kMostBytes = 4096;

std::string SettingsPath()
{
    return SettingsFolder() + kSettingsFile;
}

// Every missing folder of `folder` ("a/b/c/"), like mkdir -p.
bool MakeFolders(const std::string& folder)
{
    for (size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
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
        else
            return SettingsStatus::Damaged;
    }
    *settings = read;
    return SettingsStatus::Read;
}

std::string FormatSettings(const Settings& settings)
{
    return std::string("fullscreen=") + (settings.fullScreen ? "1" : "0") + "\nmusic=" + (settings.music ? "1" : "0") +
           "\n";
}

SettingsStatus LoadSettings(Settings* settings)
{
    FILE* file = std::fopen(SettingsPath().c_str(), "rb");
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

bool SaveSettings(const Settings& settings)
{
    const std::string folder = SettingsFolder();
    if (!folder.empty() && !MakeFolders(folder))
        return false;
    // A new file renamed over the old one: a failed save leaves the old choice.
    const std::string path = SettingsPath();
    const std::string temporary = path + ".new";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    const std::string text = FormatSettings(settings);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
