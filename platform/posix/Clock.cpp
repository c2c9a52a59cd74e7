// The C library's clocks on a POSIX system (the page's Emscripten has them too).
#include "platform/System.h"

#include <ctime>

SystemTime System::LocalTime()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

int64_t System::ProcessorNanoseconds()
{
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<int64_t>(used.tv_sec) * 1000000000LL + used.tv_nsec;
}
