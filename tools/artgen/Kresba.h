// A small painting canvas for the artwork: straight-alpha RGBA in floats,
// antialiased shapes, wood and paper textures, text through fontconfig and
// SDL_ttf, a 24-bit BMP writer that dithers to the game's 5-6-5 pixels and
// a PNG writer for the desktop's icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Barva {
    float r, g, b;
};

constexpr Barva Rgb(int r, int g, int b)
{
    return Barva{r / 255.0f, g / 255.0f, b / 255.0f};
}

// The colour every keyed picture is transparent in (its top-left pixel).
constexpr Barva KLIC = Rgb(255, 0, 255);

enum class Pismo { Nadpis, Tucne, Obycejne };

class Kresba {
public:
    Kresba(int width, int height);

    int Sirka() const { return w; }
    int Vyska() const { return h; }

    // Every shape is blended in with a coverage of 0..1 per pixel.
    void Vypln(Barva c);
    void Obdelnik(float x0, float y0, float x1, float y1, Barva c, float alpha = 1);
    void ZaoblenyObdelnik(float x0, float y0, float x1, float y1, float radius, Barva c, float alpha = 1);
    void Kruh(float cx, float cy, float radius, Barva c, float alpha = 1);
    void Mezikruzi(float cx, float cy, float inner, float outer, Barva c, float alpha = 1);
    void Usecka(float x0, float y0, float x1, float y1, float thickness, Barva c, float alpha = 1);
    void Drevo(float x0, float y0, float x1, float y1, Barva light, Barva dark, unsigned seed);
    void Papir(float x0, float y0, float x1, float y1, Barva c, unsigned seed);
    void Vinetace(float strength);
    // Text in UTF-8 with its top-left corner at (x, y); returns its width.
    int Text(const std::string& utf8, Pismo pismo, int size, float x, float y, Barva c, float alpha = 1);
    int SirkaTextu(const std::string& utf8, Pismo pismo, int size);
    void TextNaStred(const std::string& utf8, Pismo pismo, int size, float cy, Barva c, float cx = -1);
    // Text with a soft dark shadow, centred on cx (the middle of the canvas by default).
    void NadpisSeStinem(const std::string& utf8, Pismo pismo, int size, float cy, Barva c, float cx = -1);
    // Clears to fully transparent (for keyed pictures).
    void Pruhledne();
    // Keeps only what lies in the rounded rectangle; the rest goes transparent.
    void Orizni(float x0, float y0, float x1, float y1, float radius);

    // Pixels with no coverage become the key colour; the others are blended
    // over the matte, the colour the picture will be drawn on.
    bool UlozBmp(const std::string& path, const Barva* matte = nullptr) const;
    // 8-bit RGBA with straight alpha, as the desktop's icons are.
    bool UlozPng(const std::string& path) const;

private:
    void Smichej(int x, int y, Barva c, float alpha);
    template <typename Pokryti>
    void Tvar(float x0, float y0, float x1, float y1, Barva c, float alpha, Pokryti coverage);

    int w, h;
    std::vector<float> rgba;
};

// Deterministic value noise in 0..1, for textures.
float Sum(float x, float y, unsigned seed);
