// What the Windows files share: the conversions between the game's UTF-8
// paths and the UTF-16 that Windows' own calls take, the C library's error
// numbers for Windows' error codes, and the event a quit request sets.
// Only platform/windows/ includes this (and so <windows.h>).
#pragma once

#include <string>
#include <windows.h>

namespace win32 {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// errno's value for a GetLastError() code.
int ErrnoOf(DWORD error);

// The folder of the executable, ending in '\'.
std::wstring ExecutableFolder();

bool IsFolder(const std::wstring& path);

// Set, for good, when a quit request comes: every pause ends at once.
HANDLE QuitEvent();

}  // namespace win32
