// One square of the board array.
#pragma once

#include <cstdint>

namespace quillmot {

// lineMask[k][p]: one bit per neighbour along direction k, set when that square holds a
// stone of player p or lies outside the board (outside squares are set for both players).
// Bits 8, 4, 2, 1 are the squares 1 to 4 steps away on the negative side, bits 16, 32,
// 64, 128 those 1 to 4 steps away on the positive side, so bit i reads the line square
// i - 4 (i < 4) or i - 3 (i >= 4) from left to right.
// lineType and threatClass are kept up to date only while the square is empty.
struct Cell {
    int32_t state;            // STONE_0, STONE_1, EMPTY or OUTSIDE
    uint8_t lineMask[4][2];   // [direction][player]
    uint8_t lineType[4][2];   // [direction][player], 0 to 9
    uint8_t threatClass[2];   // [player], 0 to 10
    uint8_t near1;            // stones on the 8 adjacent squares
    uint8_t near2;            // stones on the 8 squares two steps away along the lines
};
static_assert(sizeof(Cell) == 24);

}  // namespace quillmot
