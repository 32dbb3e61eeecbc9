// Helpers shared by the tests: engines on the heap, positions from diagrams, lines from
// their nine-character pictures.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"

namespace quillmot::testing {

// A started engine (the object is 30 MB, so never on the stack).
inline std::unique_ptr<Engine> startedEngine(int width, int height = 0) {
    auto engine = std::make_unique<Engine>();
    engine->start(width, height);
    return engine;
}

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

// A position from rows of '.', 'X' (player 0) and 'O' (player 1); the first row is y = 0.
// The board is as wide as the rows and as high as their number (square when equal). The
// stones are played alternately, X first, each colour in row order, so X must have as
// many stones as O or one more.
inline std::unique_ptr<Engine> positionFromRows(const std::vector<std::string>& rows) {
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows.at(0).size());
    std::vector<std::pair<int, int>> stones[2];
    for (int y = 0; y < height; ++y) {
        if (static_cast<int>(rows[y].size()) != width) throw std::invalid_argument("ragged rows");
        for (int x = 0; x < width; ++x) {
            if (rows[y][x] == 'X') stones[0].emplace_back(x, y);
            if (rows[y][x] == 'O') stones[1].emplace_back(x, y);
        }
    }
    const size_t xs = stones[0].size(), os = stones[1].size();
    if (xs != os && xs != os + 1) throw std::invalid_argument("X must have as many stones as O or one more");
    auto engine = startedEngine(width, height);
    for (size_t i = 0; i < xs + os; ++i) {
        const auto [x, y] = stones[i % 2][i / 2];
        engine->move(x, y);
    }
    return engine;
}

// Plays protocol-coordinate moves for alternating sides.
inline void playMoves(Engine& engine, const std::vector<std::pair<int, int>>& moves) {
    for (const auto& [x, y] : moves) engine.move(x, y);
}

// Everything makeMove and undo maintain, copied for comparison.
struct BoardSnapshot {
    std::vector<uint8_t> cells;
    int32_t classCounts[2][CLASS_COUNT];
    SearchWindow window;
    PositionHash hash;
    int sideToMove, otherSide, moveCount, ply;

    explicit BoardSnapshot(const Engine& e)
        : cells(reinterpret_cast<const uint8_t*>(e.cells),
                reinterpret_cast<const uint8_t*>(e.cells) + sizeof e.cells),
          window(e.window),
          hash(e.hash()),
          sideToMove(e.sideToMove),
          otherSide(e.otherSide),
          moveCount(e.moveCount),
          ply(e.ply) {
        std::memcpy(classCounts, e.classCounts, sizeof classCounts);
    }
    bool operator==(const BoardSnapshot& o) const {
        return cells == o.cells && std::memcmp(classCounts, o.classCounts, sizeof classCounts) == 0 &&
               window.min == o.window.min && window.max == o.window.max && hash == o.hash &&
               sideToMove == o.sideToMove && otherSide == o.otherSide && moveCount == o.moveCount &&
               ply == o.ply;
    }
};

}  // namespace quillmot::testing
