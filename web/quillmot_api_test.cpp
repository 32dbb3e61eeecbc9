// The web page's C API: the five it reports, and every call it must refuse without
// touching the game.
#include "web/quillmot_api.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "search/levels.h"

namespace {

using Square = std::pair<int, int>;

Square unpack(int packed) { return {packed % 256, packed / 256}; }

// Plays "x,y x,y ..." alternately from a new game; false at the first refused stone.
bool play(int width, int height, const std::string& moves) {
    if (quillmot_new_game(width, height) != 0) return false;
    std::istringstream in(moves);
    int x, y;
    char comma;
    while (in >> x >> comma >> y)
        if (quillmot_place(x, y) != 0) return false;
    return true;
}

std::set<Square> fiveSquares() {
    std::set<Square> squares;
    for (int i = 0; i < quillmot_five_count(); ++i) squares.insert(unpack(quillmot_five_square(i)));
    return squares;
}

std::set<Square> squaresOf(const std::string& list) {
    std::set<Square> squares;
    std::istringstream in(list);
    int x, y;
    char comma;
    while (in >> x >> comma >> y) squares.insert({x, y});
    return squares;
}

TEST(WebApi, ReportsTheFiveTheLastStoneMade) {
    struct Case {
        const char* name;
        int width, height;
        const char* moves;  // the last stone is the one judged
        const char* five;   // its squares, empty for none
    };
    // clang-format off
    const Case cases[] = {
        {"row", 15, 15, "3,7 0,0 4,7 0,2 5,7 0,4 6,7 0,6 7,7", "3,7 4,7 5,7 6,7 7,7"},
        {"column, second player", 15, 15, "0,0 9,1 0,2 9,2 0,4 9,3 0,6 9,4 0,8 9,5", "9,1 9,2 9,3 9,4 9,5"},
        {"diagonal into the corner", 15, 15, "10,10 0,0 11,11 0,2 12,12 0,4 13,13 0,6 14,14",
         "10,10 11,11 12,12 13,13 14,14"},
        {"anti-diagonal from the edge", 6, 6, "0,5 5,5 1,4 5,3 3,2 5,1 4,1 3,5 2,3",
         "0,5 1,4 2,3 3,2 4,1"},
        {"overline: six by filling a gap", 15, 15, "1,1 0,0 2,1 0,2 3,1 0,4 5,1 0,6 6,1 0,8 4,1",
         "1,1 2,1 3,1 4,1 5,1 6,1"},
        {"two lines at once", 15, 15, "5,7 0,0 6,7 0,2 8,7 0,4 9,7 0,6 7,5 0,8 7,6 0,10 7,8 0,12 7,9 0,14 7,7",
         "5,7 6,7 7,7 8,7 9,7 7,5 7,6 7,8 7,9"},
        {"four is no five", 15, 15, "3,7 0,0 4,7 0,2 5,7 0,4 6,7", ""},
        {"five of mixed colours is none", 15, 15, "3,7 4,7 5,7 0,0 6,7 0,2 7,7", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(play(c.width, c.height, c.moves));
        EXPECT_EQ(fiveSquares(), squaresOf(c.five));
        EXPECT_EQ(quillmot_five_count(), static_cast<int>(squaresOf(c.five).size()));
    }
}

TEST(WebApi, RefusesWithoutTouchingTheGame) {
    EXPECT_EQ(quillmot_new_game(4, 15), QUILLMOT_BAD_ARGUMENT);
    EXPECT_EQ(quillmot_new_game(15, 33), QUILLMOT_BAD_ARGUMENT);
    ASSERT_TRUE(play(15, 15, "7,7"));
    EXPECT_EQ(quillmot_place(15, 0), QUILLMOT_OFF_BOARD);
    EXPECT_EQ(quillmot_place(-1, 3), QUILLMOT_OFF_BOARD);
    EXPECT_EQ(quillmot_place(7, 7), QUILLMOT_OCCUPIED);
    EXPECT_EQ(quillmot_think(0), QUILLMOT_BAD_ARGUMENT);
    EXPECT_EQ(quillmot_search_depth(4), QUILLMOT_BAD_ARGUMENT);
    EXPECT_EQ(quillmot_move_count(), 1);

    // After a five nothing more is played until it is taken back.
    ASSERT_TRUE(play(15, 15, "3,7 0,0 4,7 0,2 5,7 0,4 6,7 0,6 7,7"));
    EXPECT_EQ(quillmot_place(9, 9), QUILLMOT_GAME_OVER);
    EXPECT_EQ(quillmot_think(100), QUILLMOT_GAME_OVER);
    EXPECT_EQ(quillmot_take_back(), 0);
    EXPECT_EQ(quillmot_five_count(), 0);
    EXPECT_EQ(quillmot_place(9, 9), 0);

    // A full board without a five: a draw, nothing to search, everything to take back.
    ASSERT_TRUE(play(5, 5,
                     "0,0 1,0 3,0 2,0 2,1 4,0 3,1 0,1 0,2 1,1 2,2 4,1 3,2 1,2 4,2 2,3 0,3 3,3 1,3 "
                     "2,4 4,3 3,4 0,4 4,4 1,4"));
    EXPECT_EQ(quillmot_think(100), QUILLMOT_BOARD_FULL);
    while (quillmot_take_back() == 0) {
    }
    EXPECT_EQ(quillmot_move_count(), 0);
}

TEST(WebApi, ThinkNamesAnEmptySquareWithoutPlayingIt) {
    // The program's first move is the centre, also on a rectangle.
    ASSERT_TRUE(play(20, 12, ""));
    EXPECT_EQ(unpack(quillmot_think(1000)), Square(10, 6));
    // A 1 ms budget cuts the first iteration short: the best candidate stands in.
    ASSERT_TRUE(play(15, 15, "7,7 8,8 7,8 6,9"));
    const auto [x, y] = unpack(quillmot_think(1));
    EXPECT_EQ(quillmot_completed_depth(), 0);
    EXPECT_TRUE(x >= 0 && x < 15 && y >= 0 && y < 15 && quillmot_stone(x, y) == -1);
    EXPECT_EQ(quillmot_move_count(), 4);
}

// The report of the last search, and the levels' moves and checks.
TEST(WebApi, ReportsTheLastSearchAndPlaysTheLevels) {
    ASSERT_TRUE(play(15, 15, "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9"));
    const int move = quillmot_search_depth(6);
    EXPECT_EQ(quillmot_report_depth(), 6);
    EXPECT_EQ(quillmot_report_line_at(0), move);
    EXPECT_EQ(quillmot_report_line_at(quillmot_report_line_length()), QUILLMOT_BAD_ARGUMENT);
    EXPECT_EQ(quillmot_report_nodes(), quillmot_nodes());
    EXPECT_EQ(quillmot_report_forced() + quillmot_report_other_move(), 0);
    using quillmot::FULL_STRENGTH;
    for (const auto& [level, ms] : {std::pair{0, 100}, std::pair{quillmot::LEVEL_COUNT + 1, 100},
                                    std::pair{FULL_STRENGTH, 0}, std::pair{FULL_STRENGTH, 3600001}})
        EXPECT_EQ(quillmot_level_move(level, ms, 1), QUILLMOT_BAD_ARGUMENT) << level << " " << ms;
    const int chosen = quillmot_level_move(1, 0, 77);
    EXPECT_EQ(quillmot_report_other_move(), quillmot_report_line_at(0) != chosen ? 1 : 0);
    EXPECT_EQ(quillmot_move_count(), 8);

    // Black's four-three at 8,5 wins in five plies (four, block, open four, block, five), in
    // the full search and at the weakest level.
    ASSERT_TRUE(play(15, 15, "5,5 4,5 6,5 12,12 7,5 12,0 8,6 0,14 8,7 14,0"));
    EXPECT_EQ(unpack(quillmot_search_depth(5)), Square(8, 5));
    EXPECT_EQ(quillmot_report_forced(), 5);
    EXPECT_GE(quillmot_level_move(1, 0, 1), 0);
    EXPECT_EQ(quillmot_report_forced(), 5);

    // The centre of an empty board comes without a search, and without a report.
    ASSERT_TRUE(play(15, 15, ""));
    EXPECT_EQ(unpack(quillmot_level_move(2, 0, 1)), Square(7, 7));
    EXPECT_EQ(quillmot_report_depth() + quillmot_report_line_length() + quillmot_nodes(), 0);
}

// A set-up: stones of one colour in a row through passes, the side to move chosen, a five
// that an earlier stone made, and everything taken back to the empty board.
TEST(WebApi, SetUpWithPassesAndAFiveAnywhere) {
    ASSERT_TRUE(play(15, 15, ""));
    EXPECT_EQ(quillmot_place_colour(7, 7, 2), QUILLMOT_BAD_ARGUMENT);
    for (int x = 0; x < 5; ++x) ASSERT_EQ(quillmot_place_colour(x, 0, 1), 0);
    EXPECT_EQ(quillmot_move_count(), 10);
    EXPECT_EQ(quillmot_move_at(0), QUILLMOT_PASSED);
    EXPECT_EQ(unpack(quillmot_move_at(9)), Square(4, 0));
    EXPECT_EQ(quillmot_side_to_move(), 0);
    // The black stone is last and makes nothing, but the white five stands: nothing more
    // is played or searched, while set-up stones still go on.
    ASSERT_EQ(quillmot_place_colour(9, 9, 0), 0);
    EXPECT_EQ(quillmot_five_count(), 0);
    EXPECT_EQ(quillmot_has_five(), 1);
    EXPECT_EQ(quillmot_place(10, 10), QUILLMOT_GAME_OVER);
    EXPECT_EQ(quillmot_think(100), QUILLMOT_GAME_OVER);
    EXPECT_EQ(quillmot_hint(100), QUILLMOT_GAME_OVER);
    ASSERT_EQ(quillmot_take_back(), 0);  // the black stone
    ASSERT_EQ(quillmot_take_back(), 0);  // the last white stone
    EXPECT_EQ(quillmot_has_five(), 0);
    EXPECT_EQ(quillmot_side_to_move(), 1);
    ASSERT_EQ(quillmot_pass(), 0);
    EXPECT_EQ(quillmot_side_to_move(), 0);
    while (quillmot_take_back() == 0) {
    }
    EXPECT_EQ(quillmot_side_to_move(), 0);
    EXPECT_EQ(quillmot_stone(0, 0), -1);

    // Passes are bounded, so no search can run the history over.
    int passes = 0;
    while (quillmot_pass() == 0) ++passes;
    EXPECT_EQ(passes, 1024);
    EXPECT_EQ(quillmot_place_colour(7, 7, 1 - quillmot_side_to_move()), QUILLMOT_HISTORY_FULL);
    EXPECT_EQ(unpack(quillmot_think(100)), Square(7, 7));  // no stone yet: the centre
}

// A hint searches the same position with the same side to move on its own engine: it
// finds the set-up's five in one, reports that search, and leaves the game as it was.
TEST(WebApi, HintSearchesTheGameOnItsOwnEngine) {
    ASSERT_TRUE(play(15, 15, "7,7 8,8 7,8 8,9"));
    ASSERT_GT(quillmot_think(200), 0);
    for (int x = 3; x < 7; ++x) ASSERT_EQ(quillmot_place_colour(x, 12, 1), 0);
    ASSERT_EQ(quillmot_pass(), 0);  // white to move after its own stones
    const Square hint = unpack(quillmot_hint(200));
    EXPECT_TRUE(hint == Square(2, 12) || hint == Square(7, 12));
    EXPECT_EQ(quillmot_report_forced(), 1);
    EXPECT_EQ(quillmot_move_count(), 13);
    EXPECT_EQ(quillmot_side_to_move(), 1);
}

// The page's one-call reads: the description names what the page shows, and the snapshot
// holds the same game as the single calls, a pass and a double five's two lines included.
TEST(WebApi, DescribesItselfAndSnapshotsTheGame) {
    const std::string about = quillmot_describe();
    for (const char* part :
         {"\"levels\":[\"First steps\",", "\"Full strength\"]", "\"maxBoard\":32",
          "\"-4\":\"on a taken square\"", "\"passed\":-12", "\"evenBand\":120"})
        EXPECT_NE(about.find(part), std::string::npos) << part;
    ASSERT_TRUE(play(15, 15, "5,7 0,0 6,7 0,2 8,7 0,4 9,7 0,6 7,5 0,8 7,6 0,10 7,8 0,12 7,9"));
    ASSERT_EQ(quillmot_place_colour(14, 14, 0), 0);  // white to move: a pass first
    ASSERT_EQ(quillmot_take_back(), 0);
    ASSERT_EQ(quillmot_place(7, 7), 0);  // black, after white's pass: both lines at once
    const int* s = quillmot_snapshot();
    const int entries = s[4], fives = s[5];
    EXPECT_EQ(std::vector<int>(s, s + 7), (std::vector<int>{15, 15, 1, 1, 17, 9, 2}));
    EXPECT_EQ(s[7 + 15], QUILLMOT_PASSED);
    for (int i = 0; i < entries; ++i) {
        const int packed = quillmot_move_at(i);
        const int colour = packed < 0 ? 0 : quillmot_stone(packed % 256, packed / 256);
        EXPECT_EQ(s[7 + i], packed + 65536 * colour) << i;
    }
    std::set<Square> ends;
    for (int i = 0; i < 4; ++i) ends.insert(unpack(s[7 + entries + fives + i]));
    EXPECT_EQ(ends, squaresOf("5,7 9,7 7,5 7,9"));
}

// The review through the C API: a block per position, the last with the five decided, the
// known blunder marked; a try judged; the calls that must be refused.
TEST(WebApi, ReviewsTheGameAndJudgesATry) {
    ASSERT_TRUE(play(15, 15, "7,7 8,8 7,8 8,7 7,9 0,0 7,10 0,1 7,11"));
    ASSERT_EQ(quillmot_review(0, 100000), 10);
    EXPECT_EQ(quillmot_review_mark(5), 3);  // white's 0,0 leaves black's three alone
    EXPECT_EQ(quillmot_review_mark(9), QUILLMOT_BAD_ARGUMENT);
    const int* last = quillmot_review_view(9);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last[4], -1);  // the side to move has lost
    EXPECT_EQ(quillmot_review_view(10), nullptr);
    const int* before = quillmot_review_view(5);
    const int better = before[QUILLMOT_BLOCK_LINE];
    EXPECT_EQ(before[1], better);
    EXPECT_EQ(quillmot_judge(5, better % 256, better / 256, 100000), 0);
    EXPECT_EQ(quillmot_judge(5, 0, 0, 100000), 3);
    EXPECT_EQ(quillmot_judge(5, 7, 7, 100000), QUILLMOT_OCCUPIED);
    EXPECT_EQ(quillmot_judge(9, 1, 1, 100000), QUILLMOT_GAME_OVER);
    EXPECT_EQ(quillmot_review(10, 100000), QUILLMOT_BAD_ARGUMENT);
    EXPECT_EQ(quillmot_analyse(9, 100), QUILLMOT_GAME_OVER);
    ASSERT_EQ(quillmot_take_back(), 0);
    EXPECT_EQ(quillmot_analyse(8, 300), 2);  // black's open four: its two fives alone
    EXPECT_EQ(quillmot_analysis(2), nullptr);
    ASSERT_EQ(quillmot_pass(), 0);
    EXPECT_EQ(quillmot_review(0, 100000), QUILLMOT_BAD_ARGUMENT);  // a pass after the set-up
}

// A puzzle judged as the puzzle tool judges it (its file's solution, "12,6 11,6 11,7 13,5
// 8,10", at the allowance): the first move forces the five, another lets it go, the solution
// plays out, the defence is the longest.
TEST(WebApi, JudgesAPuzzleAsItsToolDoes) {
    ASSERT_TRUE(play(15, 15,
                     "6,6 6,8 9,7 5,5 8,6 6,4 9,6 7,6 9,5 9,4 10,8 7,5 9,9 9,8 11,9 12,10 "
                     "10,6 7,3"));
    EXPECT_EQ(quillmot_puzzle_forces(12, 6), 1);
    EXPECT_EQ(quillmot_puzzle_forces(0, 0), 0);
    EXPECT_EQ(quillmot_puzzle_forces(6, 6), QUILLMOT_OCCUPIED);
    ASSERT_EQ(quillmot_puzzle_solution(), 5);
    EXPECT_EQ(unpack(quillmot_puzzle_solution_at(2)), Square(11, 7));
    EXPECT_EQ(unpack(quillmot_puzzle_solution_at(4)), Square(8, 10));  // the five
    ASSERT_EQ(quillmot_place(12, 6), 0);
    EXPECT_EQ(unpack(quillmot_puzzle_defence()), Square(11, 6));
}

}  // namespace
