// The fixed positions that the benchmark searches and the tests check, and the ways to set
// an engine up on them: protocol-coordinate move lists in play order, or diagrams of rows.
#pragma once

#include <cstdio>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "engine/fives.h"
#include "engine/set_up.h"

namespace quillmot::positions {

// A started engine (the object is 30 MB, so never on the stack).
inline std::unique_ptr<Engine> startedEngine(int width, int height = 0) {
    auto engine = std::make_unique<Engine>();
    engine->start(width, height);
    return engine;
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
    if (xs != os && xs != os + 1)
        throw std::invalid_argument("X must have as many stones as O or one more");
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

// The list positionFromMoves reads: "7,7 8,8 6,9", protocol coordinates, "pass" for a turn
// given away.
inline std::string movesText(const Point* moves, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ' ';
        if (moves[i] == PASS) {
            text += "pass";
            continue;
        }
        const ProtocolSquare p = toProtocol(moves[i]);
        text += std::to_string(p.x) + "," + std::to_string(p.y);
    }
    return text;
}

// An engine holding the moves of a list such as "7,7 8,8 6,9" in play order, where "pass"
// gives the turn away without a stone; nullptr when a move is malformed, off the board, on
// a stone or after a five, or a pass finds no room in the history.
inline std::unique_ptr<Engine> positionFromMoves(int width, int height, const std::string& moves) {
    auto engine = startedEngine(width, height);
    std::istringstream list(moves);
    std::string move;
    while (list >> move) {
        if (hasFiveAnywhere(*engine)) return nullptr;
        if (move == "pass") {
            if (!canPass(*engine)) return nullptr;
            engine->passTurn();
            continue;
        }
        int x, y;
        char rest;
        if (std::sscanf(move.c_str(), "%d,%d%c", &x, &y, &rest) != 2 || x < 0 || x >= width ||
            y < 0 || y >= height || !engine->isEmptySquare(toEngine(x, y)))
            return nullptr;
        engine->move(x, y);
    }
    return engine;
}

// Wins by continuous fours made of plain fours (no four-three, no open four on the
// board), which forcedWinCheck does not try and threatSearch finds. Each line:
// - 5 plies: (9,8) makes a four on the anti-diagonal and a closed three in row 8; after
//   the block at (8,9), (10,8) makes fours in row 8 and column 10 at once.
// - 7 plies: (8,8) first makes a four on the diagonal and supplies row 8's second stone.
// - 9 plies: (5,5) first makes a four in row 5 and supplies the diagonal's third stone.
inline const std::vector<std::string> FOURS_IN_5 = {
    "...............", "...............", "...............", "...............", "..........O..O.",
    "..........X.X..", "..........XX...", "..........X....", "......OXX......", "...............",
    "...............", "...............", "OOO............", "...............", "..............O",
};
inline const std::vector<std::string> FOURS_IN_7 = {
    "...............", "...............", "...............", "...............", "....O.....O..O.",
    ".....X....X.X..", "......X...XX...", ".......X..X....", "......OX.......", "...............",
    "...............", "...............", "OOO............", "...............", ".........O....O",
};
inline const std::vector<std::string> FOURS_IN_9 = {
    "...............", "...............", "...............", "...............", "....O.....O..O.",
    ".OXXX.....X.X..", "......X...XX...", ".......X..X....", "......OX.......", "...............",
    "...............", "...............", "OOO............", "...............", "....O....O....O",
};

// The same shapes on a 20 by 20 board, moved three squares right and four down.
inline std::vector<std::string> onTwenty(const std::vector<std::string>& rows) {
    std::vector<std::string> big(4, std::string(20, '.'));
    for (const std::string& row : rows) big.push_back("..." + row + "..");
    big.resize(20, std::string(20, '.'));
    return big;
}

// X to move has a four-three at (8,7): a four in row 7 and an open three in column 8. O's
// closed three in the corner is a counter-four.
inline const std::vector<std::string> FOUR_THREE = {
    "...............", "...............", "...............", "...............", "...............",
    "...............", "...............", "....OXXX.......", "........X......", "........X......",
    "...............", "...............", "OOO............", "...............", "..............O",
};

// The opponent holds two squares that each make two open threes, and the side to move
// has no four anywhere, so every move loses to a double three in five plies.
inline const std::vector<std::string> TWO_DOUBLE_THREES = {
    "X....X....X....", "...............", "...............", "...............", "...............",
    "X.......O......", "........O......", "......OO.......", "...............", "..............X",
    "X..O...........", "...O...........", ".OO............", "...............", ".........X....X",
};

// X to move has an open three in row 6; O has nothing to answer with.
inline const std::vector<std::string> OPEN_THREE = {
    "...............", "...............", "...............", "...............", "...............",
    "...............", "....XXX........", "...............", "...............", "...........O...",
    "...............", ".....O.........", "...............", "..........O....", "...............",
};

// X to move faces O's open four in row 7 and has no five of its own.
inline const std::vector<std::string> FACING_OPEN_FOUR = {
    "...............", "...............", "...............", "..X...X...X....", "...............",
    "...............", "...............", "....OOOO.......", "...............", "...............",
    "..X............", "...............", "...............", "...............", "...............",
};

// O has a four with a single five square, (8,7); blocking it leads nowhere.
inline const std::vector<std::string> SINGLE_BLOCK = {
    "X.............X", "...............", "...............", "...............", "...............",
    "...............", "...............", "...XOOOO.......", "...............", "...............",
    "...............", "...............", "...............", "...............", "X..............",
};

// X to move has two five squares, (2,3) and (7,3).
inline const std::vector<std::string> TWO_FIVE_SQUARES = {
    "...............", "...............", "...............", "...XXXX........", "...............",
    "...............", "...............", "...............", "....O..........", "....O....O.....",
    "...........O...", "...............", "...............", "...............", "...............",
};

// A quiet middle game on 15 by 15, X to move: nobody can make a four.
inline const std::vector<std::string> MIDDLE_GAME = {
    "...............", "...............", "...............", "...............", "........O......",
    "....XOXXXO.....", ".....XOOX......", "....O.OX.......", "...............", "...............",
    "...............", "...............", "...............", "...............", "...............",
};

struct BenchPosition {
    const char* name;
    int width, height;
    const char* moves;  // protocol coordinates, in play order; or empty with rows
    const std::vector<std::string>* rows = nullptr;
};

// Openings and middle games from self-play, and the tactical test positions.
// clang-format off
inline const BenchPosition SUITE[] = {
    {"open15a", 15, 15, "7,7 5,9 9,8 8,8 7,6 9,7"},
    {"open15b", 15, 15, "7,7 8,7 6,9 8,9 6,8 7,6"},
    {"open15c", 15, 15, "7,7 6,8 5,5 6,9 6,7 8,7"},
    {"open15d", 15, 15, "7,7 5,9 6,8 9,6 8,8 5,8"},
    {"open15e", 15, 15, "7,7 6,9 7,5 6,5 6,6 8,7"},
    {"open15f", 15, 15, "7,7 5,6 8,7 9,7 7,8 7,6"},
    {"mid15a", 15, 15, "7,7 5,9 9,8 8,8 7,6 9,7 7,5 7,4 6,5 8,7 8,5 5,5 9,4 10,3"},
    {"mid15b", 15, 15, "7,7 5,9 9,8 8,8 7,6 9,7 7,5 7,4 6,5 8,7 8,5 5,5 9,4 10,3 8,6 11,3 5,8 6,7 9,3 9,6"},
    {"mid15c", 15, 15, "7,7 8,7 6,9 8,9 6,8 7,6 9,8 8,8 8,6 9,5 6,10 6,11 8,10 7,3"},
    {"mid15d", 15, 15, "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7"},
    {"mid15e", 15, 15, "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7 9,8 9,7 4,5 3,4 5,4 7,5 "
                       "8,4 3,6 6,4 7,4"},
    {"late15", 15, 15, "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7 9,8 9,7 4,5 3,4 5,4 7,5 "
                       "8,4 3,6 6,4 7,4 7,3 4,6 3,5 4,8 3,9 2,5"},
    {"mid15f", 15, 15, "7,7 5,9 6,8 9,6 8,8 5,8 5,7 6,7 7,9 4,6"},
    {"mid15g", 15, 15, "7,7 6,9 7,5 6,5 6,6 8,7 8,8 5,5 9,7 7,8 9,6 9,8 7,6 8,6"},
    {"mid15h", 15, 15, "7,7 6,9 7,5 6,5 6,6 8,7 8,8 5,5 9,7 7,8 9,6 9,8 7,6 8,6 10,6 5,10 4,11 7,9"},
    {"mid15i", 15, 15, "7,7 5,6 8,7 9,7 7,8 7,6 8,6 9,5 8,8 8,9 9,8 10,8 6,6 9,9"},
    {"quiet15", 15, 15, "", &MIDDLE_GAME},
    {"open20a", 20, 20, "10,10 9,12 8,10 11,10 9,9 10,11"},
    {"mid20a", 20, 20, "10,10 9,12 8,10 11,10 9,9 10,11 12,9 7,11 11,9 10,9 8,8 7,7 9,11 12,8 9,8 12,10"},
    {"open20b", 20, 20, "10,10 11,11 11,9 12,11 10,9 12,10"},
    {"mid20b", 20, 20, "10,10 11,11 11,9 12,11 10,9 12,10 10,12 10,11 9,11 12,8 12,9 9,9 8,12 7,13"},
    {"open20c", 20, 20, "10,10 11,10 12,9 11,9 11,8 10,7"},
    {"mid20c", 20, 20, "10,10 11,10 12,9 11,9 11,8 10,7 11,11 12,12 10,12 12,10 10,8 9,8 10,11 10,9 12,11 "
                       "13,11"},
    {"late20c", 20, 20, "10,10 11,10 12,9 11,9 11,8 10,7 11,11 12,12 10,12 12,10 10,8 9,8 10,11 10,9 12,11 "
                        "13,11 10,13 10,14 11,13 9,11 12,13 8,7 7,6 14,12 15,13 9,13"},
    {"open20d", 20, 20, "10,10 8,11 12,12 12,10 11,11 13,13"},
    {"mid20d", 20, 20, "10,10 8,11 12,12 12,10 11,11 13,13 11,9 10,9 11,10 11,8 9,10 9,11 11,12 11,13 8,10 "
                       "7,10"},
    {"open20e", 20, 20, "10,10 10,12 8,11 12,9 9,12 9,10"},
    {"mid20e", 20, 20, "10,10 10,12 8,11 12,9 9,12 9,10 7,10 6,9 9,11 8,12 10,11 11,11 8,13 11,10 6,11 7,11"},
    {"rect20x12", 20, 12, "10,6 11,7 9,7 12,6 10,8 10,7"},
    {"big32a", 32, 32, "16,16 17,17 15,17 15,18 17,16 14,18 18,16 15,16 17,15 13,18"},
    {"big32b", 32, 32, "16,16 18,15 15,18 16,15 15,15 17,17 14,16 15,16 14,17 17,14"},
    {"fours5", 15, 15, "", &FOURS_IN_5},
    {"fours7", 15, 15, "", &FOURS_IN_7},
    {"fours9", 15, 15, "", &FOURS_IN_9},
    {"fourThree", 15, 15, "", &FOUR_THREE},
    {"doubleThrees", 15, 15, "", &TWO_DOUBLE_THREES},
};
// clang-format on

// A clean engine holding a suite position (nullptr when its move list is malformed).
inline std::unique_ptr<Engine> setUp(const BenchPosition& position) {
    if (position.rows != nullptr) return positionFromRows(*position.rows);
    return positionFromMoves(position.width, position.height, position.moves);
}

}  // namespace quillmot::positions
