// The move-ordering potential of lines and squares: CellScoreTable scores one line (one
// direction, one player) at an empty square, indexed like LineTypeTable, and cellScore adds
// up a square's lines for both players.
#pragma once

#include <cstdint>

#include "base/cell.h"
#include "patterns/line_types.h"

namespace quillmot {

extern int16_t CellScoreTable[LINE_TABLE_SIZE];
// The potentials of one direction for both players added up, indexed like
// LineTypePairTable: one read per direction where cellScore would make two.
extern uint8_t CellScorePairTable[LINE_TABLE_SIZE];

// Generates the three tables from their rules (and the line types they read) once per
// process; later calls return at once. Safe to call from several threads.
void initCellScores();

// Move-ordering score of an empty square, 0 to 121: both players' line potentials in all
// four directions, plus one for an adjacent stone. Attack and defence count alike.
inline int cellScore(const Cell& cell) {
    int score = cell.near1 != 0 ? 1 : 0;
    for (int k = 0; k < 4; ++k) score += CellScorePairTable[maskPair(cell, k)];
    return score;
}

}  // namespace quillmot
