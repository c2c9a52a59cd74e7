#include "Text.h"

#include "System.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <map>
#include <memory>

namespace {

const uint16_t kWindows1250[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

// A 5-6-5 pixel with each channel expanded to the full 0..255 range.
void Rozloz(uint16_t p, uint32_t* r, uint32_t* g, uint32_t* b)
{
    *r = ((p >> 11) & 0x1F) * 255 / 31;
    *g = ((p >> 5) & 0x3F) * 255 / 63;
    *b = (p & 0x1F) * 255 / 31;
}

bool InitTtf()
{
    static const bool ready = TTF_Init() == 0;
    return ready;
}

// A font file opened at a size, kept open for the rest of the run: the screens
// create their fonts every frame, and the file is read once.
TTF_Font* OpenFont(const std::string& file, int size)
{
    static std::map<std::pair<std::string, int>, std::unique_ptr<TTF_Font, void (*)(TTF_Font*)>> open;
    const auto key = std::make_pair(file, size);
    auto found = open.find(key);
    if (found == open.end()) {
        TTF_Font* font = TTF_OpenFont(file.c_str(), size);
        if (!font)
            return nullptr;
        found = open.emplace(key, std::unique_ptr<TTF_Font, void (*)(TTF_Font*)>(font, TTF_CloseFont)).first;
    }
    return found->second.get();
}

// The point size whose line height is closest to the cell height asked for.
TTF_Font* OpenWithCellHeight(const std::string& file, int cellHeight)
{
    TTF_Font* probe = OpenFont(file, cellHeight);
    if (!probe)
        return nullptr;
    const int probeHeight = TTF_FontHeight(probe);
    return OpenFont(file, std::max(1, static_cast<int>(std::lround(cellHeight * double(cellHeight) / probeHeight))));
}

constexpr int kLargestDefaultSize = 16;

// What the default font must fit, as the game said; the font itself is
// chosen when it is first drawn with, so that finding fonts does not delay
// the first picture.
struct DefaultFontChoice {
    std::vector<std::pair<std::string, int>> texts;
    int lineHeight = kLargestDefaultSize * 2;
    bool made = false;
    std::unique_ptr<Font> font;  // null when no size fits or no font is there
};

DefaultFontChoice& DefaultFontChosen()
{
    static DefaultFontChoice choice;
    return choice;
}


}  // namespace

Font* Font::Create(int height, int weight, const char* face)
{
    if (!InitTtf())
        return nullptr;
    const std::string file = System::FontFile(face, weight);
    if (file.empty())
        return nullptr;
    TTF_Font* f = OpenWithCellHeight(file, height);
    return f ? new Font(f, true) : nullptr;
}

// The largest size at which everything fits. Drawn without smoothing, so
// that a word redrawn in another colour replaces the first exactly.
Font* Font::Default()
{
    DefaultFontChoice& choice = DefaultFontChosen();
    if (choice.made)
        return choice.font.get();
    choice.made = true;
    const std::string file = InitTtf() ? System::FontFile("Sans", FW_BOLD) : "";
    for (int size = kLargestDefaultSize; !file.empty() && size > 4; --size) {
        TTF_Font* f = OpenFont(file, size);
        if (!f)
            break;
        bool fits = TTF_FontAscent(f) - TTF_FontDescent(f) <= choice.lineHeight;
        for (const auto& [text, width] : choice.texts) {
            int w = 0, h = 0;
            TTF_SizeUTF8(f, text.c_str(), &w, &h);
            fits = fits && w <= width;
        }
        if (fits) {
            choice.font.reset(new Font(f, false));
            break;
        }
    }
    return choice.font.get();
}

void FitDefaultFont(const std::vector<TextFit>& texts, int lineHeight)
{
    DefaultFontChoice& choice = DefaultFontChosen();
    choice.texts.clear();
    for (const TextFit& fit : texts)
        choice.texts.emplace_back(Windows1250ToUtf8(fit.text, -1), fit.width);
    choice.lineHeight = lineHeight;
    choice.made = false;
    choice.font.reset();
}

void DeleteObject(Font* font)
{
    delete font;
}

bool TextFontAvailable()
{
    return Font::Default() != nullptr;
}

std::string Windows1250ToUtf8(const char* text, int length)
{
    std::string utf8;
    for (int i = 0; (length < 0 || i < length) && text[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const uint32_t code = c < 0x80 ? c : kWindows1250[c - 0x80];
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | code >> 12);
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

COLORREF DeviceContext::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= target.width || y >= target.height)
        return 0xFFFFFFFF;  // CLR_INVALID
    uint32_t r, g, b;
    Rozloz(target.Row(y)[x], &r, &g, &b);
    return RGB(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
}

bool DeviceContext::TextOut(int x, int y, const char* text, int length)
{
    return Draw(x, y, Windows1250ToUtf8(text, length), false, 0);
}

bool DeviceContext::DrawText(const char* text, int length, const RECT& rect, uint32_t format)
{
    return Draw(rect.left, rect.top, Windows1250ToUtf8(text, length), (format & DT_RIGHT) != 0, rect.right);
}

bool DeviceContext::GetTextExtent(const char* text, int length, int* width, int* height) const
{
    Font* chosen = font ? font : Font::Default();
    return chosen && TTF_SizeUTF8(chosen->font, Windows1250ToUtf8(text, length).c_str(), width, height) == 0;
}

bool DeviceContext::Draw(int x, int y, const std::string& utf8, bool rightAligned, int right)
{
    Font* chosen = font ? font : Font::Default();
    if (!chosen || utf8.empty())
        return chosen != nullptr;
    const SDL_Color colour{static_cast<uint8_t>(textColour & 0xFF), static_cast<uint8_t>((textColour >> 8) & 0xFF),
                           static_cast<uint8_t>((textColour >> 16) & 0xFF), 255};
    SDL_Surface* rendered = chosen->antialiased ? TTF_RenderUTF8_Blended(chosen->font, utf8.c_str(), colour)
                                                : TTF_RenderUTF8_Solid(chosen->font, utf8.c_str(), colour);
    if (!rendered)
        return false;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!argb)
        return false;
    if (rightAligned)
        x = right - argb->w;
    drew = true;
    // Blend the glyphs over the 5-6-5 pixels; the background stays as it was.
    for (int row = 0; row < argb->h; ++row) {
        const int ty = y + row;
        if (ty < 0 || ty >= target.height)
            continue;
        const uint32_t* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + row * argb->pitch);
        uint16_t* out = target.Row(ty);
        for (int col = 0; col < argb->w; ++col) {
            const int tx = x + col;
            const uint32_t a = in[col] >> 24;
            if (tx < 0 || tx >= target.width || a == 0)
                continue;
            uint32_t br, bg, bb;
            Rozloz(out[tx], &br, &bg, &bb);
            const uint32_t r = (((in[col] >> 16) & 0xFF) * a + br * (255 - a)) / 255;
            const uint32_t g = (((in[col] >> 8) & 0xFF) * a + bg * (255 - a)) / 255;
            const uint32_t b = ((in[col] & 0xFF) * a + bb * (255 - a)) / 255;
            out[tx] = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
        }
    }
    SDL_FreeSurface(argb);
    return true;
}
