// The principal variation search and iterative deepening on real positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <tuple>

#include "search/ordering.h"
#include "test_util.h"

namespace quillmot {
namespace {

using positions::positionFromRows;
using testing::BoardSnapshot;

// An iterative-deepening search to the given depth, with a budget no test reaches.
Point searchToDepth(Engine& e, int depth) {
    e.maxDepth = depth;
    e.timeBudget = 1000000;
    e.ply = 0;
    const BoardSnapshot before(e);
    int x, y;
    e.iterativeDeepening(x, y);
    EXPECT_TRUE(BoardSnapshot(e) == before);
    return Point{static_cast<uint8_t>(x + BORDER), static_cast<uint8_t>(y + BORDER)};
}

// A search state for calling pvSearch directly: no deadline, fresh budgets, ply 0.
void readyToSearch(Engine& e) {
    e.ply = 0;
    e.nodes = 1;  // no clock read at the first node
    e.timeUp = 0;
    e.followPv = 0;
    e.deadline = std::numeric_limits<int64_t>::max();
    e.threatBudget = THREAT_BUDGET;
    e.threatNodes = 1;
}

TEST(PvSearch, TheRootPlaysItsFiveAtOnce) {
    // Two five squares, (2,3) and (7,3): the first in row order is played.
    auto e = positionFromRows(positions::TWO_FIVE_SQUARES);
    EXPECT_EQ(searchToDepth(*e, 8), (Point{2 + BORDER, 3 + BORDER}));
    EXPECT_EQ(e->nodes, 0);
}

TEST(PvSearch, TheSingleBlockIsPlayedWithoutASearch) {
    auto e = positionFromRows(positions::SINGLE_BLOCK);
    EXPECT_EQ(searchToDepth(*e, 6), (Point{8 + BORDER, 7 + BORDER}));
    EXPECT_EQ(e->nodes, 1);  // the threat search's trial of the block, once
}

TEST(PvSearch, PlaysIntoForcedWins) {
    // A four-three, and wins by continuous fours (where double threes win too): the root
    // stores a winning score with the move it plays.
    for (const auto* rows : {&positions::FOUR_THREE, &positions::FOURS_IN_5, &positions::FOURS_IN_7,
                             &positions::FOURS_IN_9}) {
        auto e = positionFromRows(*rows);
        const Point move = searchToDepth(*e, 6);
        ASSERT_TRUE(e->isPlayable(move.x, move.y));
        ASSERT_EQ(e->cells[move.x][move.y].state, EMPTY);
        const SearchEntry& root = e->searchTable[e->hashIndex];
        EXPECT_GE(root.score, WIN_SCORE - 20);
        EXPECT_EQ(root.move, move);
    }
}

TEST(PvSearch, ForcedResultsEndInnerNodes) {
    auto openThree = positionFromRows(positions::OPEN_THREE);
    readyToSearch(*openThree);
    openThree->ply = 1;
    EXPECT_EQ(openThree->pvSearch(3, false, -SEARCH_INFINITY, SEARCH_INFINITY), WIN_SCORE - 3);
    openThree->ply = 5;  // deeper, forcedWinCheck answers alike
    EXPECT_EQ(openThree->pvSearch(3, false, -SEARCH_INFINITY, SEARCH_INFINITY), WIN_SCORE - 3);

    auto openFour = positionFromRows(positions::FACING_OPEN_FOUR);
    readyToSearch(*openFour);
    openFour->ply = 2;
    EXPECT_EQ(openFour->pvSearch(3, false, -SEARCH_INFINITY, SEARCH_INFINITY), -WIN_SCORE + 2);
}

// A quiet position: two stones each, nobody can make a four, so no threat trial plays a
// stone and a depth-1 root makes exactly one stone per move.
std::unique_ptr<Engine> quietPosition() {
    auto e = positions::startedEngine(15);
    positions::playMoves(*e, {{7, 7}, {8, 8}, {9, 7}, {6, 9}});
    return e;
}

TEST(PvSearch, ANodeWhereNoMoveBeatsAlphaStoresAnUpperBound) {
    auto e = quietPosition();
    readyToSearch(*e);
    e->ply = 1;
    const int value = e->pvSearch(1, false, -SEARCH_INFINITY, SEARCH_INFINITY);
    const SearchEntry& entry = e->searchTable[e->hashIndex];
    EXPECT_EQ(entry.bound, BOUND_EXACT);
    EXPECT_EQ(entry.score, value);
    const Point best = entry.move;

    // The best move scores exactly alpha: it is still the best move, stored as an upper
    // bound with alpha, and no line is recorded.
    e->clearSearchBounds();
    readyToSearch(*e);
    e->ply = 1;
    e->pvLength[2] = 2;
    EXPECT_EQ(e->pvSearch(1, false, value, value + 1), value);
    EXPECT_EQ(entry.bound, BOUND_UPPER);
    EXPECT_EQ(entry.score, value);
    EXPECT_EQ(entry.move, best);
    EXPECT_EQ(e->pvLength[1], 1);

    // Every move below alpha - 1: no best move at all.
    e->clearSearchBounds();
    readyToSearch(*e);
    e->ply = 1;
    EXPECT_EQ(e->pvSearch(1, false, value + 10, value + 11), value + 9);
    EXPECT_EQ(entry.bound, BOUND_UPPER);
    EXPECT_EQ(entry.move, (Point{0, 0}));
}

// The deadline is noticed at the first node entry from a multiple of 4096 on. Starting a
// depth-1 root at 4096 - j, the check falls at the child of the j-th move, whose result is
// then thrown away: the root keeps the last move before it that raised alpha.
TEST(PvSearch, AnInterruptedRootKeepsTheLastMoveThatRaisedAlpha) {
    auto e = quietPosition();
    ScoredMove list[MOVE_LIST_CAPACITY];
    int count;
    e->generateMoves(list, &count);
    sortMoves(list, count);
    ASSERT_GT(count, 5);
    // Each root move's value is its child's leaf value, negated.
    std::vector<int> values;
    for (int i = 0; i < count; ++i) {
        e->makeMove(list[i].x, list[i].y);
        values.push_back(-e->leafValue());
        e->undo();
    }
    for (int j = 1; j <= count; ++j) {
        e->clearSearchBounds();
        std::memset(e->pvTable, 0, sizeof e->pvTable);
        readyToSearch(*e);
        e->threatBudget = 0;  // the threat search reads no clock
        e->deadline = 0;      // long past
        e->nodes = 4096 - j;
        e->nextClockCheck = 4096;
        e->pvSearch(1, true, -SEARCH_INFINITY, SEARCH_INFINITY);
        ASSERT_TRUE(e->timeUp);
        int expected = -1;
        for (int i = 0; i < j - 1; ++i)
            if (expected < 0 || values[i] > values[expected]) expected = i;
        const Point got = e->pvTable[0][0];
        if (expected < 0) {
            EXPECT_EQ(got.x, 0) << j;
        } else {
            EXPECT_EQ(got.x, list[expected].x) << j;
            EXPECT_EQ(got.y, list[expected].y) << j;
        }
        // Nothing of the interrupted root reaches the table.
        EXPECT_EQ(e->searchTable[e->hashIndex].bound, BOUND_NONE) << j;
    }
}

// The root's threat trials carry the count from 4095 past 4096 before its first child; that
// child, the first entry past the multiple, reads the clock (the threat search reads none
// from 8192 to 16383 of its own nodes).
TEST(PvSearch, ReadsTheClockAfterThreatTrialsStepOverTheCheckPoint) {
    auto e = positionFromRows(positions::FOURS_IN_5);
    readyToSearch(*e);
    e->threatNodes = 8192;
    e->deadline = 0;  // long past
    e->nodes = 4095;
    e->nextClockCheck = 4096;
    e->pvSearch(1, true, -SEARCH_INFINITY, SEARCH_INFINITY);
    EXPECT_GT(e->threatNodes, 8192);
    EXPECT_TRUE(e->timeUp);
}

TEST(IterativeDeepening, DepthsBelowFiveYieldNoMove) {
    auto e = quietPosition();
    e->maxDepth = 4;
    e->timeBudget = 1000;
    int x, y;
    e->iterativeDeepening(x, y);
    EXPECT_EQ(x, -BORDER);
    EXPECT_EQ(y, -BORDER);
    // The caller's fallback is a legal square.
    const Point move = e->legalOrFallback(toEngine(x, y));
    ASSERT_TRUE(isSquare(move));
    const int ex = move.x, ey = move.y;
    EXPECT_TRUE(e->isPlayable(ex, ey));
    EXPECT_EQ(e->cells[ex][ey].state, EMPTY);
}

TEST(IterativeDeepening, SetsTheBudgetsAndClearsTheBounds) {
    // A single forced block answers every iteration at once, so all twenty are quick.
    auto forced = positionFromRows(positions::SINGLE_BLOCK);
    forced->maxDepth = 1;  // taken as 20
    forced->timeBudget = 0;
    int x, y;
    forced->iterativeDeepening(x, y);
    EXPECT_EQ(forced->maxDepth, MAX_SEARCH_DEPTH);
    EXPECT_EQ(forced->completedDepth, MAX_SEARCH_DEPTH);
    EXPECT_EQ(forced->timeBudget, 8000);
    EXPECT_EQ(forced->deadline - forced->searchStart, 7400);
    EXPECT_EQ(x, 8);
    EXPECT_EQ(y, 7);

    auto e = quietPosition();
    e->maxDepth = 6;
    e->timeBudget = 100000;
    e->iterativeDeepening(x, y);
    for (int i = 0; i < SEARCH_TABLE_SIZE; ++i) ASSERT_EQ(e->searchTable[i].bound, BOUND_NONE);
    EXPECT_TRUE(e->isPlayable(x + BORDER, y + BORDER));

    for (const auto& [budget, margin, threatBudget] : {std::tuple{4500, 150, THREAT_BUDGET},
                                                       {4501, 600, THREAT_BUDGET},
                                                       {15000, 600, THREAT_BUDGET},
                                                       {15001, 1000, THREAT_BUDGET_LONG}}) {
        e->maxDepth = 5;
        e->timeBudget = budget;
        e->iterativeDeepening(x, y);
        EXPECT_EQ(e->deadline - e->searchStart, budget - margin) << budget;
        EXPECT_LE(e->threatBudget, threatBudget);
        EXPECT_GT(e->threatBudget, threatBudget - 100000) << budget;
    }
}

// The same position searched twice from a clean engine visits the same nodes.
TEST(IterativeDeepening, IsDeterministic) {
    auto a = positionFromRows(positions::MIDDLE_GAME);
    auto b = positionFromRows(positions::MIDDLE_GAME);
    const Point moveA = searchToDepth(*a, 7);
    const Point moveB = searchToDepth(*b, 7);
    EXPECT_EQ(moveA, moveB);
    EXPECT_EQ(a->nodes, b->nodes);
    EXPECT_EQ(a->threatNodes, b->threatNodes);
    EXPECT_GT(a->nodes, 1000);
}

// Plain full-window alpha-beta over the same forced results, leaves and moves as the
// principal variation search, without its table and null windows.
int alphaBeta(Engine& e, int depth, bool root, int alpha, int beta) {
    const int threat = e.ply < THREAT_SEARCH_PLIES ? e.threatSearch() : e.forcedWinCheck();
    if (!root && threat > 0) return WIN_SCORE - threat;
    if (!root && threat < 0) return -WIN_SCORE - threat;
    int x, y;
    if (threat == 1 && e.findFiveSquare(x, y)) return winIn(1);
    if (depth <= 0) return e.leafValue();
    ScoredMove list[MOVE_LIST_CAPACITY];
    int count;
    e.generateMoves(list, &count);
    if (root && count == 1) return e.leafValue();
    if (count == 0) count = e.candidateFallback(list);
    int best = alpha - 1;
    for (int i = 0; i < count && best < beta; ++i) {
        e.makeMove(list[i].x, list[i].y);
        const int v = -alphaBeta(e, depth - 1, false, -beta, -(alpha > best ? alpha : best));
        e.undo();
        if (v > best) best = v;
    }
    return best;
}

// The null windows and their re-searches give the root the value that plain alpha-beta
// gives.
TEST(PvSearch, TheRootValueIsThePlainAlphaBetaValue) {
    const std::pair<const char*, const std::vector<std::string>*> positionsToSearch[] = {
        {"middle game", &positions::MIDDLE_GAME},
        {"open three", &positions::OPEN_THREE},
        {"four-three", &positions::FOUR_THREE},
        {"double threes", &positions::TWO_DOUBLE_THREES},
    };
    for (const auto& [name, rows] : positionsToSearch) {
        for (const int depth : {2, 3, 4}) {
            auto pvs = positionFromRows(*rows);
            readyToSearch(*pvs);
            const int value = pvs->pvSearch(depth, true, -SEARCH_INFINITY, SEARCH_INFINITY);
            auto plain = positionFromRows(*rows);
            readyToSearch(*plain);
            EXPECT_EQ(value, alphaBeta(*plain, depth, true, -SEARCH_INFINITY, SEARCH_INFINITY))
                << name << " at depth " << depth;
        }
    }
}

}  // namespace
}  // namespace quillmot
