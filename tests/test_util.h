// Helpers shared by the tests: lines from their nine-character pictures, board snapshots,
// and the fixed positions of the benchmark.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench/positions.h"
#include "engine/engine.h"

namespace quillmot::testing {

// Masks of a line drawn as nine characters for the squares -4 .. +4 of one direction:
// X own, B blocked (opponent stone or outside), - empty, + the square itself.
struct LineMasks {
    unsigned own;
    unsigned opp;
};
inline LineMasks masksOfLine(const std::string& line) {
    if (line.size() != 9 || line[4] != '+') throw std::invalid_argument("bad line " + line);
    LineMasks masks{0, 0};
    for (int i = 0; i < 9; ++i) {
        if (i == 4) continue;
        const int bit = i < 4 ? i : i - 1;
        if (line[i] == 'X') masks.own |= 1u << bit;
        if (line[i] == 'B') masks.opp |= 1u << bit;
    }
    return masks;
}

// Everything makeMove and undo maintain, copied for comparison.
struct BoardSnapshot {
    std::vector<uint8_t> cells;
    int32_t classCounts[2][CLASS_COUNT];
    SearchWindow window;
    PositionHash hash;
    int sideToMove, otherSide, moveCount, ply;

    explicit BoardSnapshot(const Engine& e)
        : cells(reinterpret_cast<const uint8_t*>(&e.cells),
                reinterpret_cast<const uint8_t*>(&e.cells) + sizeof e.cells),
          window(e.window),
          hash(e.hash()),
          sideToMove(e.sideToMove),
          otherSide(e.otherSide),
          moveCount(e.moveCount),
          ply(e.ply) {
        std::memcpy(classCounts, e.classCounts, sizeof classCounts);
    }
    bool operator==(const BoardSnapshot& o) const {
        return cells == o.cells &&
               std::memcmp(classCounts, o.classCounts, sizeof classCounts) == 0 &&
               window.min == o.window.min && window.max == o.window.max && hash == o.hash &&
               sideToMove == o.sideToMove && otherSide == o.otherSide && moveCount == o.moveCount &&
               ply == o.ply;
    }
};

}  // namespace quillmot::testing
