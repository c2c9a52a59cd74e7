// The computer's move read straight from its rule list: the windows read
// from the cells themselves, every rule a plain scan, rules 1, 3 and 6 as walks
// and the evaluation walking every empty cell. Slow and obvious, so that the
// game's own bookkept version can be compared with it move by move.
#pragma once

#include "board/HraciPole.h"

#include <utility>

// The cell the computer takes on this board, drawing from RandomInt exactly as
// the game does; {-1, -1} (and no draw) when the board is full.
std::pair<int, int> ReferencniTah(const Deska& pole);
