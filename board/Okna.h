// The computer's window table: every five-cell window of the board, the
// patterns of the rules each one matches and the evaluation's totals, kept in
// step with the board one changed cell at a time (a mark touches at most 40
// windows), so that a move reads the table instead of rescanning the board.
#pragma once

#include <cstdint>

constexpr int HRACIPOLEX = 26;
constexpr int HRACIPOLEY = 26;

// The steps of the eight directions, 1 right, then clockwise; entry 0 is no
// direction. The board copies them into Smer_X and Smer_Y.
constexpr int KrokX[9] = {0, 1, 1, 0, -1, -1, -1, 0, 1};
constexpr int KrokY[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};

// The patterns of the rules, one symbol per window position 0..4: 0 empty,
// 1 circle, 2 cross, o empty or cross, * not examined. A position beyond the
// 27 x 27 store matches only *.
enum Vzor : int {
    CTYRI_KRIZKY,              // 0 2 2 2 2   rule 1: an empty cell followed directly by four crosses
    DVA_DVA_NULA_DVA_DVA,      // 2 2 0 2 2   rule 2
    CTYRI_KOLECKA,             // 0 1 1 1 1   rule 3
    JEDNA_JEDNA_NULA,          // 1 1 0 1 1   rule 4
    ROZDELENA_TROJKA_A,        // 0 2 2 0 2   rule 5
    ROZDELENA_TROJKA_B,        // 0 2 0 2 2   rule 5
    OTEVRENA_TROJKA,           // 0 2 2 2 0   rule 6
    OTEVRENA_TROJKA_SOUPERE,   // 0 1 1 1 0   rule 7
    ROZDELENA_SOUPERE_A,       // 0 1 1 0 1   rule 8
    ROZDELENA_SOUPERE_B,       // 0 1 0 1 1   rule 8
    OTEVRENA_DVOJKA,           // 0 2 2 0 0   rules 9, 14, 16
    PRODLOUZENI_DVOJKY,        // 0 0 2 2 *   rule 10
    DVOJKA_SOUPERE,            // 0 1 1 0 0   rules 11, 12
    ROZDELENA_DVOJKA_SOUPERE,  // 0 1 0 1 *   rule 12
    VOLNA_DVOJKA,              // 0 2 2 o o   rule 13
    VOLNA_JEDNICKA,            // 0 2 o o o   rule 13
    JEDNICKA,                  // 0 2 0 * *   rules 14, 15
    DVOJKA,                    // 0 2 2 0 *   rules 15, 17
    POCET_VZORU
};

// Window i is start cell i / 8 (y * 26 + x) in direction i % 8 + 1, so the
// windows are numbered in the order in which the rules visit them.
constexpr int POCET_STARTU = HRACIPOLEX * HRACIPOLEY;
constexpr int POCET_OKEN = POCET_STARTU * 8;
constexpr int SLOV_OKEN = (POCET_OKEN + 63) / 64;

// One bit per window, window i in bit i % 64 of word i / 64: a word holds the
// eight windows of eight start cells.
using MnozinaOken = uint64_t[SLOV_OKEN];

struct RESULTS {
    // The cell codes of positions 0..4, two bits each, position 0 lowest, 3
    // for a position beyond the 27 x 27 store.
    uint16_t kod[POCET_OKEN];
    // Per pattern, the windows that match it.
    MnozinaOken okna[POCET_VZORU];
    // Rule 18's total of each start cell: [0] pass A (the computer's lines),
    // [1] pass B (the opponent's); meaningful for empty cells.
    int soucet[2][POCET_STARTU];
};

// The table of an empty board.
void ClearResults(RESULTS* results);
// Cell (x, y) of the playing area now holds `code` (0, 1 or 2).
void ZmenaBunky(RESULTS* results, int x, int y, int code);
