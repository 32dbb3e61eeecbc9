// Fives on the board: the squares of a five or more in a row, for the callers that end a
// game or draw it (the page, the ladder). The search never needs them: it reads fives off
// the threat classes before they are made.
#pragma once

#include "base/types.h"

namespace quillmot {

class Engine;

// A stone completes at most four lines, and each is read at most four squares either way.
constexpr int MAX_FIVE_SQUARES = 1 + DIRECTIONS * 8;

// A run of five or more of one colour, from one end to the other along its direction.
struct FiveLine {
    Point from;
    Point to;
};

// The runs of five or more through the stone on square, each read up to four squares either
// side of it, by direction; lines must hold DIRECTIONS. Returns how many, 0 when the stone
// makes no five (or the square holds none).
int fiveLinesThrough(const Engine& engine, Point square, FiveLine* lines);

// The squares of those runs: the other squares of each, then the stone itself once.
// squares must hold MAX_FIVE_SQUARES; returns how many were written.
int fiveThrough(const Engine& engine, Point square, Point* squares);

// Whether a five or more of either colour stands anywhere on the board.
bool hasFiveAnywhere(const Engine& engine);

}  // namespace quillmot
