// Every picture of the game, drawn into data/.
#pragma once

#include <string>

// Writes every picture below dataDir; false when one cannot be written.
bool NakresliObrazky(const std::string& dataDir);

// The desktop's icon, size x size pixels, as a PNG; false when it cannot be written.
bool NakresliIkonu(const std::string& path, int size);
// The same icon as an SVG drawing, for any size.
bool NakresliSvgIkonu(const std::string& path);
