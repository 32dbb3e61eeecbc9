// quillmot-bench ladder: games between neighbouring levels of play, and between the
// weakest level and a simple player, to show that each level is clearly stronger than the
// one below it.
#pragma once

#include <array>

#include "search/levels.h"

namespace quillmot::ladder {

struct Options {
    // The levels that play, by number (index 0 unused: the simple player): the table's,
    // or tried in their place (--try).
    std::array<Level, LEVEL_COUNT + 1> levels{};
    int openings = 40;  // each played twice, with the colours swapped
    int simpleOpenings = 20;
    int fullStrengthMs = 1000;  // the budget of a full-strength move
    int pair = -1;  // one pairing: 0 the simple player against level 1, n level n against n + 1
    bool verbose = false;  // a line per game
};

// Plays the games and prints the table. Returns the exit status: 0, or 1 when a player
// answered a square that was not empty (a fault; the scores themselves are only reported).
int run(const Options& options);

// The subcommand, its options from argv[first] on; returns the exit status.
int command(int argc, char** argv, int first);

}  // namespace quillmot::ladder
