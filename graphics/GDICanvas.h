// A picture file held in memory for the length of one load.
#pragma once

#include "platform/Surface.h"

class CGDICanvas {
public:
    CGDICanvas() = default;
    ~CGDICanvas();
    CGDICanvas(const CGDICanvas&) = delete;
    CGDICanvas& operator=(const CGDICanvas&) = delete;

    // A file that is missing or not a bitmap leaves the canvas empty (0 x 0).
    void Load(const char* path);
    void Destroy();
    operator const Bitmap*() const { return hBitmap; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }

private:
    Bitmap* hBitmap = nullptr;
    int width = 0;
    int height = 0;
};
