// Text and pixel read-back on a surface. Fonts are found by face, height and
// weight through fontconfig and drawn with SDL_ttf; the game's strings are
// Windows-1250 and are converted only for drawing.
#pragma once

#include "Types.h"

#include "Pixels.h"

#include <string>
#include <vector>

struct _TTF_Font;

constexpr int FW_BOLD = 700;
constexpr uint32_t DT_RIGHT = 0x2;
constexpr uint32_t DT_SINGLELINE = 0x20;

// What the contexts' default font must fit: each text within its width.
struct TextFit {
    const char* text;
    int width;
};
// The default font becomes the largest size of a small bold sans face at
// which every text fits and a line is at most lineHeight pixels high.
void FitDefaultFont(const std::vector<TextFit>& texts, int lineHeight);

class Font {
public:
    // Height is the character cell height in pixels, as GDI takes it. Null
    // when no font can be opened. The font file stays open for the run.
    static Font* Create(int height, int weight, const char* face);
    // The contexts' default font, the largest size of a small bold sans face
    // that fits what FitDefaultFont asked; null when none does.
    static Font* Default();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

private:
    friend class DeviceContext;
    Font(_TTF_Font* f, bool smooth) : font(f), antialiased(smooth) {}

    _TTF_Font* font;
    bool antialiased;
};

void DeleteObject(Font* font);

// False when no font at all can be found: texts then draw nothing.
bool TextFontAvailable();

class DeviceContext {
public:
    explicit DeviceContext(const PixelBuffer& pixels) : target(pixels) {}

    // Each channel expanded to the full 0..255 range.
    COLORREF GetPixel(int x, int y) const;
    void SetTextColor(COLORREF colour) { textColour = colour; }
    // Null selects the context's default font, a small bold sans face.
    void SelectObject(Font* selected) { font = selected; }
    // The surface hands the context out again, its pixels where they are now.
    void Reset(const PixelBuffer& pixels)
    {
        target = pixels;
        textColour = 0;
        font = nullptr;
        drew = false;
    }
    // Draws with a transparent background; (x, y) is the text's top-left corner.
    bool TextOut(int x, int y, const char* text, int length);
    // Single line, right-aligned in the rectangle (DT_RIGHT | DT_SINGLELINE).
    bool DrawText(const char* text, int length, const RECT& rect, uint32_t format);
    // The width and height the text takes in the selected font; false without one.
    bool GetTextExtent(const char* text, int length, int* width, int* height) const;
    // Whether any text was drawn since the surface handed the context out.
    bool Drew() const { return drew; }

private:
    bool Draw(int x, int y, const std::string& utf8, bool rightAligned, int right);

    PixelBuffer target;
    COLORREF textColour = 0;
    Font* font = nullptr;
    bool drew = false;
};

// A negative length means up to the terminating NUL.
std::string Windows1250ToUtf8(const char* text, int length);
