// Picture files (Windows bitmaps) read into memory in the 5-6-5 format.
#pragma once

#include "Pixels.h"

#include <cstddef>
#include <cstdint>

class Bitmap {
public:
    // Null when the file is missing or is not a bitmap.
    static Bitmap* Load(const char* path);
    int Width() const { return width; }
    int Height() const { return height; }
    const uint16_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }

private:
    int width = 0;
    int height = 0;
    Pixels pixels;
};
