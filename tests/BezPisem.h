// Fontconfig (the Linux desktop's font finder) without fonts.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>

// From here on this process's fontconfig knows no fonts: an empty
// configuration in the current folder.
inline void BezPisem()
{
    std::ofstream("fonts.conf") << "<?xml version=\"1.0\"?><fontconfig></fontconfig>\n";
    setenv("FONTCONFIG_FILE", (std::filesystem::current_path() / "fonts.conf").c_str(), 1);
}
