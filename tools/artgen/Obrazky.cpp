#include "Obrazky.h"

#include "Kresba.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// One palette for every screen: walnut wood, maple board, cream paper, gold.
const Barva DREVO_SVETLE = Rgb(128, 78, 44);
const Barva DREVO_TMAVE = Rgb(72, 42, 24);
// Flat and with an even red level, so the dialogs' dimming turns it into a
// calm dark purple under yellow text.
const Barva DESKA = Rgb(230, 214, 173);
const Barva MRIZKA = Rgb(148, 113, 74);
const Barva PAPIR = Rgb(246, 236, 212);
const Barva INKOUST = Rgb(58, 36, 20);
const Barva ZLATA = Rgb(244, 200, 96);
const Barva KREM = Rgb(250, 238, 210);
const Barva OKENKO = Rgb(46, 30, 18);    // the panel's recessed boxes
const Barva PANEL = Rgb(98, 59, 33);     // what the buttons sit on
const Barva MODRA = Rgb(30, 72, 160);    // circles
const Barva CERVENA = Rgb(176, 32, 28);  // crosses

bool uspech = true;

void Uloz(const Kresba& k, const std::string& path, const Barva* matte = nullptr)
{
    if (!k.UlozBmp(path, matte)) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        uspech = false;
    }
}

// A circle or a cross of the given size, centred at (cx, cy).
void Kolecko(Kresba& k, float cx, float cy, float size)
{
    k.Kruh(cx, cy, size * 0.40f, MODRA, 0.22f);
    k.Mezikruzi(cx, cy, size * 0.25f, size * 0.42f, MODRA);
    k.Mezikruzi(cx, cy, size * 0.30f, size * 0.36f, Rgb(90, 130, 210), 0.6f);
}

void Krizek(Kresba& k, float cx, float cy, float size)
{
    const float d = size * 0.30f, t = size * 0.17f;
    k.Usecka(cx - d, cy - d, cx + d, cy + d, t, CERVENA);
    k.Usecka(cx - d, cy + d, cx + d, cy - d, t, CERVENA);
}

void DrevenePozadi(Kresba& k, unsigned seed)
{
    k.Drevo(0, 0, k.Sirka(), k.Vyska(), DREVO_SVETLE, DREVO_TMAVE, seed);
    k.Vinetace(0.45f);
}

// A sheet of paper with a soft shadow and a thin gold rule inside its edge.
void Karta(Kresba& k, float x0, float y0, float x1, float y1, unsigned seed)
{
    for (int i = 6; i >= 1; --i)
        k.ZaoblenyObdelnik(x0 + i, y0 + i * 1.5f, x1 + i, y1 + i * 1.5f, 10, Rgb(0, 0, 0), 0.08f);
    k.ZaoblenyObdelnik(x0, y0, x1, y1, 10, PAPIR);
    k.Papir(x0 + 3, y0 + 3, x1 - 3, y1 - 3, PAPIR, seed);
    k.Obdelnik(x0 + 10, y0 + 10, x1 - 10, y0 + 11, Rgb(200, 160, 90));
    k.Obdelnik(x0 + 10, y1 - 11, x1 - 10, y1 - 10, Rgb(200, 160, 90));
}

void Okenko(Kresba& k, float x0, float y0, float x1, float y1)
{
    k.ZaoblenyObdelnik(x0 - 2, y0 - 2, x1 + 2, y1 + 2, 5, Rgb(196, 150, 86));
    k.ZaoblenyObdelnik(x0, y0, x1, y1, 4, OKENKO);
}

// Five marks in a row, the way a game is won.
void RadaPeti(Kresba& k, float cy, bool kolecka, float size)
{
    const float step = size * 1.25f;
    const float start = k.Sirka() / 2.0f - 2 * step;
    for (int i = 0; i < 5; ++i) {
        k.Kruh(start + i * step, cy, size * 0.62f, ZLATA, 0.18f);
        if (kolecka)
            Kolecko(k, start + i * step, cy, size);
        else
            Krizek(k, start + i * step, cy, size);
    }
}

void Pokracovat(Kresba& k, float cy)
{
    k.TextNaStred("Pokračujte kliknutím nebo mezerníkem", Pismo::Obycejne, 17, cy, KREM);
}

void HerniDeska(const std::string& dir)
{
    Kresba k(800, 600);
    DrevenePozadi(k, 11);
    // The board: 26 x 26 boxes of 21 pixels at (14 + 22x, 13 + 22y), lines between.
    k.Obdelnik(4, 3, 596, 595, Rgb(40, 24, 12));
    k.Obdelnik(7, 6, 593, 592, Rgb(170, 122, 70));
    k.Obdelnik(13, 12, 586, 585, DESKA);
    for (int i = 0; i <= 26; ++i) {
        k.Obdelnik(13 + 22 * i, 12, 14 + 22 * i, 585, MRIZKA);
        k.Obdelnik(13, 12 + 22 * i, 586, 13 + 22 * i, MRIZKA);
    }
    // The side panel.
    k.NadpisSeStinem("Ortelaky", Pismo::Nadpis, 34, 42, ZLATA, 700);
    k.TextNaStred("pět v řadě", Pismo::Obycejne, 15, 78, KREM, 700);
    k.Text("Skóre", Pismo::Tucne, 15, 642, 126, KREM);
    Okenko(k, 642, 150, 778, 180);
    k.Text("Počet tahů", Pismo::Tucne, 15, 642, 184, KREM);
    Okenko(k, 672, 206, 778, 234);
    k.Text("Na tahu", Pismo::Tucne, 15, 642, 240, KREM);
    Okenko(k, 650, 266, 740, 292);
    k.TextNaStred("Kolečka začínají.", Pismo::Obycejne, 13, 490, KREM, 700);
    k.TextNaStred("Pět v řadě vyhrává.", Pismo::Obycejne, 13, 510, KREM, 700);
    k.TextNaStred("Esc – konec hry", Pismo::Obycejne, 13, 545, Rgb(220, 196, 150), 700);
    // The indicator is restored keyed by this picture's top-left colour, which
    // nothing else of the picture uses.
    k.Obdelnik(0, 0, 1, 1, Rgb(0, 0, 0));
    Uloz(k, dir + "/deskaempty.bmp");
}

void Cislice(const std::string& dir)
{
    Kresba k(350, 20);
    k.Pruhledne();
    const char* digits = "1234567890";
    for (int i = 0; i < 10; ++i) {
        const std::string d(1, digits[i]);
        const int width = k.SirkaTextu(d, Pismo::Tucne, 18);
        k.Text(d, Pismo::Tucne, 18, 19 * i + (19 - width) / 2.0f, -1, ZLATA);
    }
    Kolecko(k, 215, 10, 15);
    k.Text("KOLEČKA", Pismo::Tucne, 10, 225, 3, KREM);
    Krizek(k, 295, 10, 15);
    k.Text("KŘÍŽKY", Pismo::Tucne, 10, 304, 3, KREM);
    Uloz(k, dir + "/data.bmp", &OKENKO);
}

void Tlacitko(const std::string& path, const std::string& text, bool podMysi)
{
    Kresba k(160, 40);
    k.Pruhledne();
    k.ZaoblenyObdelnik(1, 2, 160, 40, 9, Rgb(0, 0, 0), 0.35f);
    k.ZaoblenyObdelnik(0, 0, 158, 37, 9, podMysi ? Rgb(255, 230, 160) : Rgb(60, 34, 16));
    k.ZaoblenyObdelnik(2, 2, 156, 35, 7, podMysi ? Rgb(250, 204, 120) : Rgb(214, 168, 100));
    k.ZaoblenyObdelnik(2, 2, 156, 18, 7, Rgb(255, 255, 255), podMysi ? 0.30f : 0.18f);
    const int width = k.SirkaTextu(text, Pismo::Tucne, 14);
    k.Text(text, Pismo::Tucne, 14, (158 - width) / 2.0f, 9, podMysi ? Rgb(150, 24, 12) : Rgb(52, 30, 12));
    Uloz(k, path, &PANEL);
}

void Znacky(const std::string& dir)
{
    Kresba kolecko(21, 21);
    kolecko.Pruhledne();
    Kolecko(kolecko, 10.5f, 10.5f, 20);
    Uloz(kolecko, dir + "/kolecko.bmp", &DESKA);
    Kresba krizek(21, 21);
    krizek.Pruhledne();
    Krizek(krizek, 10.5f, 10.5f, 20);
    Uloz(krizek, dir + "/krizek.bmp", &DESKA);
}

void TitulniObrazek(const std::string& dir)
{
    Kresba k(800, 600);
    DrevenePozadi(k, 21);
    k.NadpisSeStinem("Ortelaky", Pismo::Nadpis, 96, 210, ZLATA);
    k.TextNaStred("piškvorky na desce 26 × 26", Pismo::Tucne, 26, 300, KREM);
    for (int i = 0; i < 5; ++i) {
        Kolecko(k, 250 + 75 * i, 400, 46);
        if (i < 4)
            Krizek(k, 287 + 75 * i, 440, 40);
    }
    Uloz(k, dir + "/Ortelaky.bmp");
}

void SnimekUvodu(const std::string& path, const std::string& nadpis, const std::vector<std::string>& radky,
                 unsigned seed, void (*ozdoba)(Kresba&))
{
    Kresba k(800, 600);
    DrevenePozadi(k, seed);
    Karta(k, 60, 50, 740, 550, seed);
    k.TextNaStred(nadpis, Pismo::Nadpis, 40, 110, INKOUST);
    k.Obdelnik(300, 140, 500, 142, Rgb(200, 160, 90));
    float y = 180;
    for (const std::string& radek : radky) {
        k.TextNaStred(radek, Pismo::Obycejne, 21, y, INKOUST);
        y += 34;
    }
    if (ozdoba)
        ozdoba(k);
    Uloz(k, path);
}

void UkazkaHry(Kresba& k)
{
    // A corner of the board with a winning diagonal of circles.
    const float x0 = 280, y0 = 390;
    k.Obdelnik(x0 - 2, y0 - 2, x0 + 9 * 26 + 3, y0 + 5 * 26 + 3, Rgb(120, 84, 50));
    k.Obdelnik(x0, y0, x0 + 9 * 26 + 1, y0 + 5 * 26 + 1, DESKA);
    for (int i = 0; i <= 9; ++i)
        k.Obdelnik(x0 + 26 * i, y0, x0 + 26 * i + 1, y0 + 5 * 26 + 1, MRIZKA);
    for (int i = 0; i <= 5; ++i)
        k.Obdelnik(x0, y0 + 26 * i, x0 + 9 * 26 + 1, y0 + 26 * i + 1, MRIZKA);
    for (int i = 0; i < 5; ++i)
        Kolecko(k, x0 + 26 * (2 + i) + 13.5f, y0 + 26 * i + 13.5f, 24);
    const int krizky[][2] = {{1, 1}, {3, 0}, {5, 1}, {2, 3}, {7, 2}};
    for (const auto& c : krizky)
        Krizek(k, x0 + 26 * c[0] + 13.5f, y0 + 26 * c[1] + 13.5f, 24);
}

void MysATlacitka(Kresba& k)
{
    // A mouse with its left button lit.
    k.ZaoblenyObdelnik(362, 418, 438, 528, 34, INKOUST);
    k.ZaoblenyObdelnik(366, 422, 434, 524, 31, Rgb(226, 210, 180));
    k.ZaoblenyObdelnik(368, 424, 399, 468, 14, ZLATA);
    k.Obdelnik(399, 424, 401, 470, INKOUST);
    k.Obdelnik(366, 468, 434, 470, INKOUST);
}

void PetZnacek(Kresba& k)
{
    RadaPeti(k, 450, true, 56);
}

void Vysledek(const std::string& path, const std::string& nadpis, const std::string& podnadpis, bool kolecka,
              Barva barvaNadpisu, unsigned seed)
{
    Kresba k(800, 600);
    DrevenePozadi(k, seed);
    k.NadpisSeStinem(nadpis, Pismo::Nadpis, 78, 170, barvaNadpisu);
    k.TextNaStred(podnadpis, Pismo::Tucne, 26, 265, KREM);
    RadaPeti(k, 385, kolecka, 70);
    Pokracovat(k, 530);
    Uloz(k, path);
}

void TabulkaNejlepsich(const std::string& dir)
{
    Kresba k(800, 600);
    DrevenePozadi(k, 41);
    k.NadpisSeStinem("Nejlepší hráči", Pismo::Nadpis, 48, 72, ZLATA);
    k.ZaoblenyObdelnik(66, 134, 794, 454, 12, Rgb(196, 150, 86));
    k.ZaoblenyObdelnik(69, 137, 791, 451, 10, Rgb(34, 22, 14));
    for (int i = 0; i < 10; i += 2)
        k.Obdelnik(74, 148 + 28 * i, 786, 176 + 28 * i, Rgb(255, 255, 255), 0.04f);
    k.Text("Pořadí a jméno", Pismo::Tucne, 14, 100, 112, KREM);
    k.Text("Skóre", Pismo::Tucne, 14, 650, 112, KREM);
    Pokracovat(k, 520);
    Uloz(k, dir + "/nejlepsi.bmp");
}

void ZapisJmena(const std::string& dir)
{
    Kresba k(800, 600);
    DrevenePozadi(k, 51);
    k.NadpisSeStinem("Gratulujeme!", Pismo::Nadpis, 60, 100, ZLATA);
    k.TextNaStred("Vaše skóre patří mezi deset nejlepších.", Pismo::Tucne, 22, 175, KREM);
    k.TextNaStred("Napište své jméno a potvrďte klávesou Enter:", Pismo::Obycejne, 20, 235, KREM);
    k.ZaoblenyObdelnik(182, 287, 698, 349, 10, Rgb(196, 150, 86));
    k.ZaoblenyObdelnik(185, 290, 695, 346, 8, Rgb(34, 22, 14));
    k.TextNaStred("Písmena A až Z a mezera; klávesa 3 napíše š, Backspace maže.", Pismo::Obycejne, 16, 400,
                  Rgb(230, 210, 170));
    RadaPeti(k, 490, true, 44);
    Uloz(k, dir + "/zapisjmeno.bmp");
}

void Cerna(const std::string& dir)
{
    Kresba k(8, 8);
    k.Vypln(Rgb(0, 0, 0));
    Uloz(k, dir + "/cerny.bmp");
}

}  // namespace

bool NakresliObrazky(const std::string& dir)
{
    HerniDeska(dir);
    Cislice(dir);
    Znacky(dir);
    Cerna(dir);
    Tlacitko(dir + "/hh/hh1.bmp", "Hráč proti hráči", false);
    Tlacitko(dir + "/hh/hh3.bmp", "Hráč proti hráči", true);
    Tlacitko(dir + "/hp/hracpc2.bmp", "Hráč proti PC", false);
    Tlacitko(dir + "/hp/hracpc3.bmp", "Hráč proti PC", true);
    Tlacitko(dir + "/n/nejlepsi2.bmp", "Nejlepší hráči", false);
    Tlacitko(dir + "/n/nejlepsi3.bmp", "Nejlepší hráči", true);
    Tlacitko(dir + "/k/konec2.bmp", "Konec", false);
    Tlacitko(dir + "/k/konec3.bmp", "Konec", true);
    TitulniObrazek(dir);
    SnimekUvodu(dir + "/intro/intro1.bmp", "Vítejte",
                {"Ortelaky jsou piškvorky na velké desce 26 × 26 políček.",
                 "Hrajte proti počítači, nebo s kamarádem u jedné myši.",
                 "Nejlepší výsledky proti počítači si hra pamatuje."},
                61, PetZnacek);
    SnimekUvodu(dir + "/intro/intro2.bmp", "Pravidla",
                {"Hráči se střídají, kolečka vždy začínají.",
                 "Vyhrává ten, kdo první složí pět svých znaků",
                 "v nepřerušené řadě: vodorovně, svisle nebo šikmo."},
                62, UkazkaHry);
    SnimekUvodu(dir + "/intro/intro3.bmp", "Ovládání",
                {"Levým tlačítkem myši položíte znak na volné políčko.",
                 "Tlačítka vpravo: nová hra, nejlepší hráči, konec.",
                 "Esc ukončí hru, Enter potvrdí, mezerník pokračuje."},
                63, MysATlacitka);
    SnimekUvodu(dir + "/intro/intro4.bmp", "O této verzi",
                {"Věrný přepis původní hry pro dnešní počítače.",
                 "Pravidla, tahy počítače i obrazovky zůstaly, jak byly.",
                 "Obrázky a hudbu vytvořil vlastní generátor hry."},
                64, PetZnacek);
    Vysledek(dir + "/vyhra.bmp", "Vítězství!", "Porazili jste počítač.", true, ZLATA, 71);
    Vysledek(dir + "/prohra.bmp", "Prohra", "Tentokrát vyhrál počítač.", false, Rgb(236, 150, 120), 72);
    Vysledek(dir + "/vyhrahrac1.bmp", "Vyhrál hráč 1", "Kolečka slaví vítězství.", true, ZLATA, 73);
    Vysledek(dir + "/vyhrahrac2.bmp", "Vyhrál hráč 2", "Křížky slaví vítězství.", false, ZLATA, 74);
    TabulkaNejlepsich(dir);
    ZapisJmena(dir);
    return uspech;
}

namespace {

// Where the icon's parts fall, in whole pixels, so that every edge and grid
// line at every size is sharp. From 32 pixels up a 3 x 3 corner of the board;
// below that a 2 x 2 corner, since three cells would leave the marks a few
// pixels each.
struct RozvrhIkony {
    int bunek;      // cells across
    int okraj;      // transparent margin around the tile
    int ramecek;    // from the icon's edge to the board
    int lem;        // the dark rim just outside the board
    int cara;       // grid line width
    int bunka;      // cell width
    float zaobleni; // the tile's corner radius
};

RozvrhIkony Rozvrh(int size)
{
    const float s = static_cast<float>(size);
    RozvrhIkony r{};
    r.bunek = size >= 32 ? 3 : 2;
    // Small icons fill their square; the big ones keep the desktop's usual margin.
    r.okraj = size >= 48 ? static_cast<int>(std::lround(s / 24)) : 0;
    r.lem = std::max(1, static_cast<int>(std::lround(s / 48)));
    // Two cells across an even size need an even line between them.
    r.cara = r.bunek == 2 ? 2 - size % 2 : std::max(1, static_cast<int>(std::lround(s / 64)));
    const int idealni = static_cast<int>(std::lround(s * 0.13f));
    for (int d : {0, -1, 1, -2, 2}) {
        const int zbyva = size - 2 * (idealni + d) - (r.bunek - 1) * r.cara;
        if (zbyva % r.bunek == 0) {
            r.ramecek = idealni + d;
            r.bunka = zbyva / r.bunek;
            break;
        }
    }
    r.zaobleni = size >= 48 ? s * 0.16f : std::max(2.0f, std::round(s * 0.13f));
    return r;
}

// The small icons' marks, one pixel wide and not antialiased: the big
// marks' shading would only blur a few pixels. A pixel is set when its
// centre lies on the ring or the diagonal.
void PixelovyZnak(Kresba& k, float x0, float y0, int bunka, bool kolecko)
{
    const float stred = bunka / 2.0f, polomer = stred - 0.55f, dosah = stred - (bunka >= 7 ? 1 : 0);
    for (int y = 0; y < bunka; ++y)
        for (int x = 0; x < bunka; ++x) {
            const float dx = std::fabs(x + 0.5f - stred), dy = std::fabs(y + 0.5f - stred);
            const bool zapnuty = kolecko ? std::fabs(std::hypot(dx, dy) - polomer) < 0.5f
                                         : std::fabs(dx - dy) < 0.5f && std::max(dx, dy) < dosah;
            if (zapnuty)
                k.Obdelnik(x0 + x, y0 + y, x0 + x + 1, y0 + y + 1, kolecko ? MODRA : CERVENA);
        }
}

std::string Hex(Barva c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround(c.r * 255)),
                  static_cast<int>(std::lround(c.g * 255)), static_cast<int>(std::lround(c.b * 255)));
    return text;
}

}  // namespace

bool NakresliIkonu(const std::string& path, int size)
{
    // A walnut tile holding a corner of the maple board with circles and
    // crosses on it, drawn afresh at each size to stay sharp.
    const RozvrhIkony r = Rozvrh(size);
    const float s = static_cast<float>(size), m = static_cast<float>(r.okraj);
    const float b0 = static_cast<float>(r.ramecek), b1 = s - b0;
    Kresba k(size, size);
    if (r.bunek == 3)
        k.Drevo(0, 0, s, s, DREVO_SVETLE, DREVO_TMAVE, 81);
    else  // one or two pixels of wood: the grain would only be noise
        k.Vypln(Rgb(104, 62, 35));
    k.Orizni(m, m, s - m, s - m, r.zaobleni);
    k.ZaoblenyObdelnik(b0 - r.lem, b0 - r.lem, b1 + r.lem, b1 + r.lem, r.lem, Rgb(40, 24, 12));
    k.Obdelnik(b0, b0, b1, b1, DESKA);
    const int krok = r.bunka + r.cara;
    for (int i = 1; i < r.bunek; ++i) {
        const float at = b0 + i * krok - r.cara;
        k.Obdelnik(at, b0, at + r.cara, b1, MRIZKA);
        k.Obdelnik(b0, at, b1, at + r.cara, MRIZKA);
    }
    auto kraj = [&](int i) { return b0 + static_cast<float>(i * krok); };
    auto stred = [&](int i) { return kraj(i) + r.bunka / 2.0f; };
    if (r.bunek == 3) {
        const float velikost = r.bunka * 1.05f;
        if (size >= 48) {
            Kolecko(k, stred(0), stred(0), velikost);
            Kolecko(k, stred(2), stred(1), velikost);
            Krizek(k, stred(1), stred(1), velikost);
            Krizek(k, stred(1), stred(2), velikost);
        } else {
            PixelovyZnak(k, kraj(0), kraj(0), r.bunka, true);
            PixelovyZnak(k, kraj(2), kraj(1), r.bunka, true);
            PixelovyZnak(k, kraj(1), kraj(1), r.bunka, false);
            PixelovyZnak(k, kraj(1), kraj(2), r.bunka, false);
        }
    } else {
        PixelovyZnak(k, kraj(0), kraj(0), r.bunka, true);
        PixelovyZnak(k, kraj(1), kraj(1), r.bunka, false);
    }
    if (!k.UlozPng(path)) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool NakresliSvgIkonu(const std::string& path)
{
    // The big icon as shapes: the 256 pixel layout, the wood's grain as soft bands.
    const int size = 256;
    const RozvrhIkony r = Rozvrh(size);
    const float s = size, m = static_cast<float>(r.okraj), b0 = static_cast<float>(r.ramecek), b1 = s - b0;
    const float velikost = r.bunka * 1.05f, krok = static_cast<float>(r.bunka + r.cara);
    auto stred = [&](int i) { return b0 + i * krok + r.bunka / 2.0f; };
    std::string svg;
    auto pridej = [&](const char* format, auto... args) {
        char line[512];
        std::snprintf(line, sizeof line, format, args...);
        svg += line;
    };
    pridej("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">\n", size, size,
           size, size);
    svg += "  <defs>\n    <linearGradient id=\"wood\" x1=\"0\" y1=\"0\" x2=\"0.15\" y2=\"1\">\n";
    for (int i = 0; i <= 12; ++i) {
        const float t = 0.5f + 0.5f * std::sin(i * 1.9f);
        const Barva c{DREVO_SVETLE.r + (DREVO_TMAVE.r - DREVO_SVETLE.r) * t,
                      DREVO_SVETLE.g + (DREVO_TMAVE.g - DREVO_SVETLE.g) * t,
                      DREVO_SVETLE.b + (DREVO_TMAVE.b - DREVO_SVETLE.b) * t};
        pridej("      <stop offset=\"%.3f\" stop-color=\"%s\"/>\n", i / 12.0f, Hex(c).c_str());
    }
    svg += "    </linearGradient>\n  </defs>\n";
    pridej("  <rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" rx=\"%g\" fill=\"url(#wood)\"/>\n", m, m, s - 2 * m,
           s - 2 * m, r.zaobleni);
    pridej("  <rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" rx=\"%d\" fill=\"%s\"/>\n", b0 - r.lem, b0 - r.lem,
           b1 - b0 + 2 * r.lem, b1 - b0 + 2 * r.lem, r.lem, Hex(Rgb(40, 24, 12)).c_str());
    pridej("  <rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%g\" fill=\"%s\"/>\n", b0, b0, b1 - b0, b1 - b0,
           Hex(DESKA).c_str());
    for (int i = 1; i < r.bunek; ++i) {
        const float at = b0 + i * krok - r.cara;
        pridej("  <rect x=\"%g\" y=\"%g\" width=\"%d\" height=\"%g\" fill=\"%s\"/>\n", at, b0, r.cara, b1 - b0,
               Hex(MRIZKA).c_str());
        pridej("  <rect x=\"%g\" y=\"%g\" width=\"%g\" height=\"%d\" fill=\"%s\"/>\n", b0, at, b1 - b0, r.cara,
               Hex(MRIZKA).c_str());
    }
    // The same proportions as Kolecko and Krizek draw.
    auto kolecko = [&](float cx, float cy) {
        pridej("  <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"%s\" fill-opacity=\"0.22\"/>\n", cx, cy, velikost * 0.40f,
               Hex(MODRA).c_str());
        pridej("  <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"none\" stroke=\"%s\" stroke-width=\"%g\"/>\n", cx, cy,
               velikost * 0.335f, Hex(MODRA).c_str(), velikost * 0.17f);
        pridej("  <circle cx=\"%g\" cy=\"%g\" r=\"%g\" fill=\"none\" stroke=\"%s\" stroke-opacity=\"0.6\" "
               "stroke-width=\"%g\"/>\n",
               cx, cy, velikost * 0.33f, Hex(Rgb(90, 130, 210)).c_str(), velikost * 0.06f);
    };
    auto krizek = [&](float cx, float cy) {
        const float d = velikost * 0.30f;
        pridej("  <path d=\"M%g %gL%g %gM%g %gL%g %g\" stroke=\"%s\" stroke-width=\"%g\" stroke-linecap=\"round\"/>\n",
               cx - d, cy - d, cx + d, cy + d, cx - d, cy + d, cx + d, cy - d, Hex(CERVENA).c_str(), velikost * 0.17f);
    };
    kolecko(stred(0), stred(0));
    kolecko(stred(2), stred(1));
    krizek(stred(1), stred(1));
    krizek(stred(1), stred(2));
    svg += "</svg>\n";
    FILE* f = std::fopen(path.c_str(), "w");
    const bool ok = f && std::fputs(svg.c_str(), f) >= 0;
    if (!f || std::fclose(f) != 0 || !ok) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
