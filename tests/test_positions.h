// Positions shared by the tests and the benchmarks.
#pragma once

#include <string>
#include <vector>

namespace quillmot::testing {

// Wins by continuous fours made of plain fours (no four-three, no open four on the
// board), which forcedWinCheck does not try and threatSearch finds. Each line:
// - 5 plies: (9,8) makes a four on the anti-diagonal and a closed three in row 8; after
//   the block at (8,9), (10,8) makes fours in row 8 and column 10 at once.
// - 7 plies: (8,8) first makes a four on the diagonal and supplies row 8's second stone.
// - 9 plies: (5,5) first makes a four in row 5 and supplies the diagonal's third stone.
inline const std::vector<std::string> FOURS_IN_5 = {
    "...............", "...............", "...............", "...............",
    "..........O..O.", "..........X.X..", "..........XX...", "..........X....",
    "......OXX......", "...............", "...............", "...............",
    "OOO............", "...............", "..............O",
};
inline const std::vector<std::string> FOURS_IN_7 = {
    "...............", "...............", "...............", "...............",
    "....O.....O..O.", ".....X....X.X..", "......X...XX...", ".......X..X....",
    "......OX.......", "...............", "...............", "...............",
    "OOO............", "...............", ".........O....O",
};
inline const std::vector<std::string> FOURS_IN_9 = {
    "...............", "...............", "...............", "...............",
    "....O.....O..O.", ".OXXX.....X.X..", "......X...XX...", ".......X..X....",
    "......OX.......", "...............", "...............", "...............",
    "OOO............", "...............", "....O....O....O",
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
    "...............", "...............", "...............", "...............",
    "...............", "...............", "...............", "....OXXX.......",
    "........X......", "........X......", "...............", "...............",
    "OOO............", "...............", "..............O",
};

// The opponent holds two squares that each make two open threes, and the side to move
// has no four anywhere, so every move loses to a double three in five plies.
inline const std::vector<std::string> TWO_DOUBLE_THREES = {
    "X....X....X....", "...............", "...............", "...............",
    "...............", "X.......O......", "........O......", "......OO.......",
    "...............", "..............X", "X..O...........", "...O...........",
    ".OO............", "...............", ".........X....X",
};

// X to move has an open three in row 6; O has nothing to answer with.
inline const std::vector<std::string> OPEN_THREE = {
    "...............", "...............", "...............", "...............",
    "...............", "...............", "....XXX........", "...............",
    "...............", "...........O...", "...............", ".....O.........",
    "...............", "..........O....", "...............",
};

// X to move faces O's open four in row 7 and has no five of its own.
inline const std::vector<std::string> FACING_OPEN_FOUR = {
    "...............", "...............", "...............", "..X...X...X....",
    "...............", "...............", "...............", "....OOOO.......",
    "...............", "...............", "..X............", "...............",
    "...............", "...............", "...............",
};

// O has a four with a single five square, (8,7); blocking it leads nowhere.
inline const std::vector<std::string> SINGLE_BLOCK = {
    "X.............X", "...............", "...............", "...............",
    "...............", "...............", "...............", "...XOOOO.......",
    "...............", "...............", "...............", "...............",
    "...............", "...............", "X..............",
};

// X to move has two five squares, (2,3) and (7,3).
inline const std::vector<std::string> TWO_FIVE_SQUARES = {
    "...............", "...............", "...............", "...XXXX........",
    "...............", "...............", "...............", "...............",
    "....O..........", "....O....O.....", "...........O...", "...............",
    "...............", "...............", "...............",
};

// A quiet middle game on 15 by 15, X to move: nobody can make a four.
inline const std::vector<std::string> MIDDLE_GAME = {
    "...............", "...............", "...............", "...............",
    "........O......", "....XOXXXO.....", ".....XOOX......", "....O.OX.......",
    "...............", "...............", "...............", "...............",
    "...............", "...............", "...............",
};

}  // namespace quillmot::testing
