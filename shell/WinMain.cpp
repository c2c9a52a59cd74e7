#include "main.h"

#include "platform/Files.h"

int main()
{
    // Says on standard error why, when no folder for the game's files can be had.
    if (!SetUpGameFolders())
        return 1;
    return WinMain();
}
