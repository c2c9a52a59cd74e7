// The game shell: entry point, window procedure, main loop, state machine and
// every screen, with the globals they share.
#pragma once

#include "CommandLine.h"
#include "graphics/DDScreen.h"
#include "platform/Sound.h"
#include "platform/Types.h"
#include "platform/Window.h"
#include "online/OpenGames.h"
#include "records/Nejlepsi.h"

#include <cstdint>
#include <functional>

constexpr int SLEEPTIME = 20;  // milliseconds a curtain frame lasts at least
constexpr int VELIKOSPOLICKANADESCE = 22;

extern int GameState;
extern int PlayGame;   // 0 circles to move, 1 crosses
extern int HumanOrAI;  // 1 against the computer, 0 two humans
extern int End;        // quit dialog: 0 none, 1 yes, 2 no
extern int NewGame;    // new-game dialog: 0 none, 1 yes, 2 no
extern int ZobrazNejlepsi;
extern int ZapisNejlepsi;
extern int ZapisOn;
extern int MaxScore;
extern char szBestName[20];
extern int DelkaJmena;
extern uint32_t PosledniKlavesa;
extern int Pismeno;
extern bool keys[256];
extern POINT ptClick;
extern uint32_t fwMouseKeys;
extern CNejlepsi* NejlepsiHraci;
extern SoundDevice* lpds;
extern SoundBuffer* lpdsbMusic;

// Keyboard play on the game screen: arrow presses not yet taken, and the cell
// cursor they move, shown from the first arrow press until the pointer moves;
// Tab moves a focus from the board through the four buttons (1 to 4, top to
// bottom; 0 is the board) and back.
extern POINT PosunKurzoru;
extern POINT Kurzor;
extern bool KurzorZobrazen;
extern int FokusTlacitka;

int WinMain(const CommandLine& line = CommandLine());
intptr_t TheWindowProc(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam);
bool Game_Init();
void Game_Done();
void Game_Loop();

// A screen that answers keys answers only to presses that began after it
// appeared: the keys held until now, and arrow presses not yet taken, are forgotten.
void ZapomenStisky();
// The arrows move the cursor (the first press only shows it), Tab the focus;
// Space or Enter is a left click on the cursor's cell or the focused button.
void KlavesovyTah();
void KresliKurzor();

// The menu and the turn indicator. The four buttons' top edges, top to
// bottom; each is 40 pixels high, from x 620 to 780.
constexpr int kHorniOkrajeTlacitek[4] = {295, 335, 375, 415};
void Menu();
void NaTahu(int who);
// The board cell under a click point.
POINT PolickoKliknuti(POINT click);

// The two-player game with one side on another device (online play).
// Starts what the command line asks for, once the game is set up.
void ZacniHruPoSiti(const CommandLine& line);
// The online screen's actions: a new game through the broker the command
// line, the settings or the build name; a game by its link or code. False,
// with what to tell the player (Windows-1250), when it cannot be started.
bool ZalozHruPoSiti(std::string* why);
bool PripojSeKHrePoSiti(const std::string& invitation, std::string* why);
bool JePozvankou(const std::string& text);
// "Hrát s kýmkoli": a quick match, listed under the name typed (or none).
bool HrajSKymkoli(const std::string& name, std::string* why);
// The list of open games, read to join or watch one of them.
bool OtevriSeznamHer(std::string* why);
// The list is read no more (nothing else of online play ends).
void ZavriSeznamHer();
std::vector<online::OpenGames::Game> SeznamHer(size_t most);
bool PripojSeKHreZeSeznamu(const std::string& code, std::string* why);
// The game this device hosts now, its code and link.
bool HostovanaHra(std::string* code, std::string* link);
// The broker's news only, while the intro holds its pictures.
void PrijmiZpravyHryPoSiti();
// At the start of every step: the broker's news, its notes, a game to set up.
void HraPoSitiKrok();
// The longest a step may wait for input before online play wants the next.
uint32_t CekaniHryPoSiti();
// The mark of this player comes from the other device.
bool HrajeSoupere(int player);
// The other device's next mark, when it is to be placed now.
bool TahSoupere(int player, POINT* cell);
// The local player's mark goes to the other device.
void OdesliTah(POINT cell);
// This device leaves the online game (a new game here, the table from the
// menu, the end); the game that remains is the two players' at one mouse.
void OpustHruPoSiti();
// A finished online game is behind this device: the next one begins.
void DalsiHraPoSiti();

// The intro.
void Animace();
void NextIntro(Surface* from, Surface* to);

// The curtain: black bands closing from the top and bottom edges, or opening
// again, 31 frames of at least SLEEPTIME each over the scene drawn by the
// callback (none: the bands go over whatever the back buffer holds).
void ZavriOponu(const std::function<void()>& scene);
void OtevriOponu(const std::function<void()>& scene);
// The game screen as the transitions redraw it.
void KresliHerniObrazovku();
// Copies a whole 800 x 600 picture into the back buffer.
void KresliObrazek(Surface* picture);
int Vysledek(int who);

// The confirmation dialogs and their questions.
extern const char kOtazkaKonec[];
extern const char kOtazkaNovaHra[];
// The dialogs' words are drawn in the default font, sized to fit their places.
void PripravPismoDialogu();
void QuitGame(const char* text, int shift);
void CheckEnd();
void CheckNew();

// The best-players table and the name entry.
void Nejlepsi();
void NejlepsiPryc();
void NejlepsiZapis();
void GetName();
void VsechnyPismenaProjed();
// Milliseconds until the pending key of the name entry is due; INFINITE when
// no key is waiting to be taken.
uint32_t KlavesaZaMs();
void NejlepsiZapisPryc();
void DrawTextNejlepsi(const char* text, int x, int y, uint32_t colour, Surface* surface, Font* font);
