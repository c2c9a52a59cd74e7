#include "GDICanvas.h"

CGDICanvas::~CGDICanvas()
{
    if (hBitmap)
        Destroy();
}

void CGDICanvas::Load(const char* path)
{
    if (hBitmap)
        Destroy();
    hBitmap = Bitmap::Load(path);
    if (hBitmap) {
        width = hBitmap->Width();
        height = hBitmap->Height();
    }
}

void CGDICanvas::Destroy()
{
    delete hBitmap;
    hBitmap = nullptr;
    width = 0;
    height = 0;
}
