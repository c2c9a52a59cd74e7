// Tabs of the page (and the installed page beside a tab) take turns at a file
// through the browser's own locks across tabs; taking the lock also brings in
// the file as the tab that held it last left it in the browser's storage, and
// letting it go waits until this tab's changes are stored.
#include "platform/System.h"

#include <emscripten.h>

EM_ASYNC_JS(int, LockStoredFile, (const char* path), {
    return await Module.lockFile(UTF8ToString(path));
});

EM_ASYNC_JS(void, UnlockStoredFile, (const char* path), {
    await Module.unlockFile(UTF8ToString(path));
});

bool System::LockFile(const char* path)
{
    return LockStoredFile(path) != 0;
}

void System::UnlockFile(const char* path)
{
    UnlockStoredFile(path);
}
