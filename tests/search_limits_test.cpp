// The limits a caller gives one search: root moves left out, and a node allowance.
#include "engine/search_limits.h"

#include <gtest/gtest.h>

#include "engine/fives.h"
#include "engine/set_up.h"
#include "test_util.h"

namespace quillmot {
namespace {

using positions::positionFromMoves;
constexpr const char* MIDDLE = "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7";

Point searched(Engine& e, const SearchLimits& limits, int depth = 6) {
    e.setSearchBudget(NO_DEADLINE_MS, depth);
    return e.deepen(limits);
}

// Moves left out are never played or stored at the root, and when none is left there is
// no move; with a five to make, only the other five square remains.
TEST(SearchLimits, RootMovesLeftOut) {
    auto e = positionFromMoves(15, 15, MIDDLE);
    SearchLimits limits;
    for (int found = 0; found < 3; ++found) {
        e->forgetPositions();
        const PositionHash root = e->hash();
        const Point move = searched(*e, limits);
        ASSERT_TRUE(e->isEmptySquare(move)) << found;
        EXPECT_FALSE(limits.excludes(move.x, move.y)) << found;
        EXPECT_EQ(e->report.line[0], move);
        const SearchEntry& entry = e->searchTable[root.index];
        if (found > 0) {
            EXPECT_FALSE(entry.check1 == root.check1 && entry.check2 == root.check2);
        }
        limits.exclude(move);
    }

    // An open four: two five squares, then none.
    auto four = positionFromMoves(15, 15, "5,5 5,9 6,5 6,9 7,5 7,9 8,5 8,9");
    SearchLimits fives;
    for (const Point expected : {toEngine(4, 5), toEngine(9, 5), NO_MOVE}) {
        EXPECT_EQ(searched(*four, fives), expected);
        fives.exclude(expected);
    }
    // A five to stop: the block alone, then nothing.
    auto block = positionFromMoves(15, 15, "5,5 5,9 6,6 6,9 4,9 7,9 12,12 8,9");
    SearchLimits blocks;
    const Point only = searched(*block, blocks);
    EXPECT_EQ(only, toEngine(9, 9));
    blocks.exclude(only);
    EXPECT_EQ(searched(*block, blocks), NO_MOVE);
    EXPECT_EQ(block->report.lineLength, 0);
}

// A node allowance ends iterative deepening at the clock check that first sees it reached,
// with the same nodes every time, and the move of the last iteration that completed.
TEST(SearchLimits, NodeAllowanceInIterativeDeepening) {
    SearchLimits limits;
    limits.nodes = 200000;
    auto a = positionFromMoves(15, 15, MIDDLE), b = positionFromMoves(15, 15, MIDDLE);
    const Point first = searched(*a, limits, MAX_SEARCH_DEPTH);
    const Point second = searched(*b, limits, MAX_SEARCH_DEPTH);
    EXPECT_EQ(first, second);
    EXPECT_EQ(a->nodes, b->nodes);
    EXPECT_GE(a->nodes, limits.nodes);
    EXPECT_LT(a->nodes, limits.nodes + 2 * (CLOCK_CHECK_MASK + 1));
    EXPECT_GE(a->completedDepth, FIRST_DEPTH);
    EXPECT_LT(a->completedDepth, MAX_SEARCH_DEPTH);
    EXPECT_TRUE(a->isEmptySquare(first));
    // The next search without an allowance is not bound by it.
    searched(*a, SearchLimits{}, 7);
    EXPECT_EQ(a->completedDepth, 7);
}

// A stone that completes a row and a column at once: both lines, the stone once.
TEST(Fives, BothLinesOfAStoneThatMakesTwo) {
    auto e = positionFromMoves(
        15, 15, "3,7 0,0 4,7 0,2 5,7 0,4 6,7 0,6 7,3 0,8 7,4 0,10 7,5 0,12 7,6 0,14 7,7");
    Point squares[MAX_FIVE_SQUARES];
    const int count = fiveThrough(*e, toEngine(7, 7), squares);
    ASSERT_EQ(count, 9);
    EXPECT_EQ(squares[count - 1], toEngine(7, 7));
    EXPECT_TRUE(hasFiveAnywhere(*e));
    EXPECT_EQ(fiveThrough(*e, toEngine(3, 7), squares), 5);  // the row's end: the row alone
    EXPECT_EQ(fiveThrough(*e, toEngine(0, 0), squares), 0);
    e->undo();
    EXPECT_FALSE(hasFiveAnywhere(*e));
}

// Stones of one colour in a row get a pass between them; the turn goes where it is asked;
// no pass beyond the history's allowance.
TEST(SetUp, PassesWhereTheColoursDoNotAlternate) {
    auto e = positions::startedEngine(15);
    ASSERT_TRUE(placeColour(*e, toEngine(7, 7), 0));
    ASSERT_TRUE(placeColour(*e, toEngine(8, 8), 0));
    ASSERT_TRUE(placeColour(*e, toEngine(9, 9), 1));
    ASSERT_TRUE(giveTurnTo(*e, 1));
    const Point expected[] = {toEngine(7, 7), PASS, toEngine(8, 8), toEngine(9, 9), PASS};
    ASSERT_EQ(e->moveCount, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(e->moveHistory[i], expected[i]) << i;
    EXPECT_EQ(e->sideToMove, 1);
    EXPECT_TRUE(e->isConsistent());

    e->passCount = MAX_MOVES;  // as if the set-up had given the turn away that often
    const int entries = e->moveCount;
    EXPECT_FALSE(placeColour(*e, toEngine(1, 1), 0));
    EXPECT_EQ(e->moveCount, entries);
    EXPECT_TRUE(placeColour(*e, toEngine(1, 1), 1));  // its own turn needs no pass
}

}  // namespace
}  // namespace quillmot
