// The display on a POSIX desktop: a window of the game's own.
#include "platform/System.h"

#include <unistd.h>

const bool System::kOwnWindow = true;

// The kernel's GPU devices; a machine without them could only rasterise GL in software.
bool System::HasGpu()
{
    return access("/dev/dri", F_OK) == 0;
}
