// One square of the board array.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "base/types.h"

namespace quillmot {

// lineMask[k][p]: one bit per neighbour along direction k, set when that square holds a
// stone of player p or lies outside the board (outside squares are set for both players).
// Bits 8, 4, 2, 1 are the squares 1 to 4 steps away on the negative side, bits 16, 32,
// 64, 128 those 1 to 4 steps away on the positive side, so bit i reads the line square
// i - 4 (i < 4) or i - 3 (i >= 4) from left to right.
// lineType and threatClass are kept up to date only while the square is empty.
struct Cell {
    int32_t state;           // STONE_0, STONE_1, EMPTY or OUTSIDE
    uint8_t lineMask[4][2];  // [direction][player]
    uint8_t lineType[4][2];  // [direction][player], 0 to 9
    uint8_t threatClass[2];  // [player], 0 to 10
    uint8_t near1;           // stones on the 8 adjacent squares
    uint8_t near2;           // stones on the 8 squares two steps away along the lines
};
static_assert(sizeof(Cell) == 24);

// Both players' masks of direction k as one value, player 0's in the low byte: the index of
// the line tables. Read and written as one 16-bit value, so that what a stone writes is
// handed straight on to the next read.
inline unsigned maskPair(const Cell& cell, int k) {
    if constexpr (std::endian::native == std::endian::little) {
        uint16_t pair;
        std::memcpy(&pair, cell.lineMask[k], sizeof pair);
        return pair;
    }
    return cell.lineMask[k][0] | cell.lineMask[k][1] << 8;
}
inline void setMaskPair(Cell& cell, int k, unsigned pair) {
    if constexpr (std::endian::native == std::endian::little) {
        const auto value = static_cast<uint16_t>(pair);
        std::memcpy(cell.lineMask[k], &value, sizeof value);
    } else {
        cell.lineMask[k][0] = static_cast<uint8_t>(pair);
        cell.lineMask[k][1] = static_cast<uint8_t>(pair >> 8);
    }
}

// The board array of BOARD_ARRAY by BOARD_ARRAY squares, stored row by row so that a scan
// along a row (as move generation makes) reads consecutive squares, and indexed
// board[x][y] all the same. squareIndex gives a square's place in the rows.
constexpr int squareIndex(int x, int y) { return y * BOARD_ARRAY + x; }

struct BoardArray {
    Cell squares[BOARD_ARRAY * BOARD_ARRAY];

    struct Column {
        Cell* top;
        Cell& operator[](int y) const { return top[y * BOARD_ARRAY]; }
    };
    struct ConstColumn {
        const Cell* top;
        const Cell& operator[](int y) const { return top[y * BOARD_ARRAY]; }
    };
    Column operator[](int x) { return {squares + x}; }
    ConstColumn operator[](int x) const { return {squares + x}; }
};

}  // namespace quillmot
