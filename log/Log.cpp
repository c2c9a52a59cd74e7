#include "Log.h"

#include "platform/Clock.h"
#include "platform/Files.h"

#include <cstring>

static const char* const PathLog = "Ortelanka.log";

TLog Log;

TLog::TLog() : file(nullptr), line{}, level{} {}

int TLog::Init()
{
    file = OpenGameFile(PathLog, "w");
    if (!file)
        return 0;
    std::fputs(" Ortelanka Log File\n", file);
    std::fputs("======================================\n\n", file);
    std::fclose(file);
    file = nullptr;
    return 1;
}

int TLog::Write(const char* message, int levelCode)
{
    const SystemTime t = GetLocalTime();
    const char* word = levelCode == 0 ? "error" : levelCode == 1 ? "ok" : levelCode == 2 ? "warning" : "unknown";
    std::strcpy(level, word);
    // snprintf cuts a line that would not fit rather than overflow it; the
    // line feed always ends the line.
    int length = std::snprintf(line, sizeof line, "%02d-%02d-%04d %02d:%02d:%02d - '%s' :: %s.\n", t.day,
                               t.month, t.year, t.hour, t.minute, t.second, message, level);
    if (length >= static_cast<int>(sizeof line))
        line[sizeof line - 2] = '\n';
    file = OpenGameFile(PathLog, "a");
    bool written = file != nullptr;
    if (file) {
        written = std::fputs(line, file) >= 0;
        written = std::fclose(file) == 0 && written;
        file = nullptr;
    }
    // A line the log cannot take is not lost: it goes to standard error.
    if (!written)
        std::fputs(line, stderr);
    return written ? 1 : 0;
}
