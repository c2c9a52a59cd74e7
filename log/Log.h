// The short record of start-up and shut-down in Ortelanka.log. The file is
// opened and closed for every line, so it is complete on disk at any moment.
#pragma once

#include <cstdio>

class TLog {
public:
    TLog();
    int Init();
    // Levels: 0 "error", 1 "ok", 2 "warning", anything else "unknown".
    int Write(const char* message, int level);

private:
    FILE* file;
    char line[256];
    char level[8 + 1];
};

extern TLog Log;
