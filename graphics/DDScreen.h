// The display: set-up and release, the pictures of every screen, and the
// drawing primitives the screens share.
#pragma once

#include "platform/Display.h"
#include "platform/Window.h"

constexpr int SCREENWIDTH = 800;
constexpr int SCREENHEIGHT = 600;
constexpr int SCREENBPP = 16;

// The left part of the game screen, which holds every mark box of the board;
// the side panel with the buttons, the score and the turn label lies right of it.
constexpr RECT HRACIPLOCHA{0, 0, 600, SCREENHEIGHT};

extern Display* lpdd;
extern Surface* lpddsprime;
extern Surface* lpddsback;
extern Clipper* lpddclip;

extern Surface* lpddsData;
extern Surface* lpddsUvodniOkno;
extern Surface* lpddsDeskaEmpty;
extern Surface* lpddsCerna;
extern Surface* lpddsHracHrac1;
extern Surface* lpddsHracHrac2;
extern Surface* lpddsHracPC1;
extern Surface* lpddsHracPC2;
extern Surface* lpddsKonec1;
extern Surface* lpddsKonec2;
extern Surface* lpddsNejlepsi1;
extern Surface* lpddsNejlepsi2;
extern Surface* lpddsZapisJmeno;
extern Surface* lpddsNejlepsiTabulka;
extern Surface* lpddsProhra;
extern Surface* lpddsVyhra;
extern Surface* lpddsVyhraHrac1;
extern Surface* lpddsVyhraHrac2;

extern const char* const PathData;
extern const char* const PathUvodniOkno;
extern const char* const PathDeskaEmpty;
extern const char* const PathCerna;
extern const char* const PathHracHrac1;
extern const char* const PathHracHrac2;
extern const char* const PathHracPC1;
extern const char* const PathHracPC2;
extern const char* const PathKonec1;
extern const char* const PathKonec2;
extern const char* const PathNejlepsi1;
extern const char* const PathNejlepsi2;
extern const char* const PathZapisJmeno;
extern const char* const PathNejlepsiTabulka;
extern const char* const PathProhra;
extern const char* const PathVyhra;
extern const char* const PathVyhraHrac1;
extern const char* const PathVyhraHrac2;
extern const char* const PathIntro1;
extern const char* const PathIntro2;
extern const char* const PathIntro3;
extern const char* const PathIntro4;
extern const char* const PathKolecko;
extern const char* const PathKrizek;

// Shell globals the drawing reads; the window procedure and the main loop
// keep them up to date.
extern HWND hWndMain;
extern POINT ptMouse;
extern int fps;

// Why the display could not be set up (DisplayProblem), before the box
// "CHYBA", which says no more than the original's did: always on standard
// error, and in the log when the caller has one.
void SayWhyNoDisplay(bool inTheLog);
void DD_Init();
void DD_Done();
void DrawPozadi();
// Whether the board's part of the surface still shows the empty board as the
// background of a frame put it there.
bool ShowsEmptyBoard(const Surface& surface);
void DrawTransparent(int srcLeft, int srcTop, int srcRight, int srcBottom, int dstLeft, int dstTop, int dstRight,
                     int dstBottom, Surface* source);
// Makes the colour of the surface's pixel (x, y) its transparent colour.
void SetTransparent(Surface* surface, int x, int y);
void DrawOneNumber(int digit, int x, int y);
void DrawFPS();
