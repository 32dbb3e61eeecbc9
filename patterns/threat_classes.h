// ThreatClass of a square for one player, from its four LineTypes, and the tables that
// every start rebuilds.
#pragma once

#include <cstdint>

#include "engine/cell.h"
#include "patterns/line_types.h"

namespace quillmot {

constexpr int CLASS_TABLE_SIZE = 10000;

// Indexed by 1000 a + 100 b + 10 c + d, the LineTypes of directions 0 to 3.
extern uint8_t ClassTable[CLASS_TABLE_SIZE];
// CellScoreTable widened to int32, the copy that cellScore reads.
extern int32_t CellScoreTable32[LINE_TABLE_SIZE];

// Depends only on how many of the four line types have each value.
int combineLineTypes(int a, int b, int c, int d);

// Fills ClassTable and CellScoreTable32 (generating the constant line tables first if this
// process has not yet done so). Writes the same values every time.
void buildTables();

inline int classIndex(const uint8_t (&lineType)[4][2], int player) {
    return 1000 * lineType[0][player] + 100 * lineType[1][player] + 10 * lineType[2][player] +
           lineType[3][player];
}

// Move-ordering score of an empty square, 0 to 121: both players' line potentials in all
// four directions, plus one for an adjacent stone. Attack and defence count alike.
inline int cellScore(const Cell& cell) {
    int score = cell.near1 != 0 ? 1 : 0;
    for (int k = 0; k < 4; ++k) {
        const unsigned m0 = cell.lineMask[k][0], m1 = cell.lineMask[k][1];
        score += CellScoreTable32[lineIndex(m0, m1)] + CellScoreTable32[lineIndex(m1, m0)];
    }
    return score;
}

}  // namespace quillmot
