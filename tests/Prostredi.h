// The program's own folder (Prostredi.cpp).
#pragma once

#include <filesystem>

// The folder the program was started from, before it entered its own.
std::filesystem::path SlozkaSpusteni();
