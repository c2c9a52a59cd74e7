// Every picture of the game, drawn into data/.
#pragma once

#include <string>

// Writes every picture below dataDir; false when one cannot be written.
bool NakresliObrazky(const std::string& dataDir);
