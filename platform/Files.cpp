#include "Files.h"

FILE* OpenGameFile(const char* name, const char* mode)
{
    return std::fopen(name, mode);
}
