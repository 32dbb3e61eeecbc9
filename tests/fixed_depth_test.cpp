// The fixed-depth search behind yourTurn: fail-hard windows, the decisive band, exact
// values kept for children, and the moves yourTurn plays.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "patterns/cell_scores.h"
#include "patterns/threat_classes.h"
#include "search/ordering.h"
#include "test_util.h"

namespace quillmot {
namespace {

using positions::positionFromRows;

// A node of the search, not the root, with no deadline and no line to follow.
void readyAtPly(Engine& e, int ply) {
    e.ply = ply;
    e.nodes = 1;
    e.timeUp = 0;
    e.followPv = 0;
    e.deadline = std::numeric_limits<int64_t>::max();
}

Point squareOf(const ScoredMove& m) {
    return Point{static_cast<uint8_t>(m.x), static_cast<uint8_t>(m.y)};
}

TEST(FixedDepthSearch, ReversedWindowReturnsAtOnce) {
    auto e = positionFromRows(positions::MIDDLE_GAME);
    readyAtPly(*e, 1);
    const ScoredMove r = e->fixedDepthSearch(3, false, 10, 8);
    EXPECT_EQ(squareOf(r), (Point{0, 0}));
    EXPECT_EQ(r.score, 9);
    EXPECT_EQ(e->nodes, 1);
}

// The node limit, the bound of the weaker levels, stops the search at the clock check that
// first sees it passed, with no move and the position restored.
TEST(FixedDepthSearch, StopsAtTheNodeLimit) {
    auto e = positionFromRows(positions::MIDDLE_GAME);
    readyAtPly(*e, 1);
    e->nodeLimit = 5000;
    const PositionHash before = e->hash();
    const ScoredMove r = e->fixedDepthSearch(6, false, -SEARCH_INFINITY, SEARCH_INFINITY);
    EXPECT_EQ(e->timeUp, 1);
    EXPECT_EQ(squareOf(r), (Point{0, 0}));
    EXPECT_LT(e->nodes, 3 * 4096);
    EXPECT_EQ(e->hash(), before);
    EXPECT_EQ(e->ply, 1);
}

TEST(FixedDepthSearch, FailsHardAtBothEndsOfTheWindow) {
    auto e = positionFromRows(positions::MIDDLE_GAME);
    readyAtPly(*e, 1);
    const ScoredMove exact = e->fixedDepthSearch(1, false, -SEARCH_INFINITY, SEARCH_INFINITY);
    ASSERT_NE(exact.x, 0);

    // A move above hi ends the node with hi + 1 and that move.
    auto high = positionFromRows(positions::MIDDLE_GAME);
    readyAtPly(*high, 1);
    const ScoredMove failHigh = high->fixedDepthSearch(1, false, -SEARCH_INFINITY, exact.score - 1);
    EXPECT_EQ(failHigh.score, exact.score);
    EXPECT_NE(failHigh.x, 0);

    // No move reaching lo: lo - 1 and no move.
    auto low = positionFromRows(positions::MIDDLE_GAME);
    readyAtPly(*low, 1);
    const ScoredMove failLow = low->fixedDepthSearch(1, false, exact.score + 5, SEARCH_INFINITY);
    EXPECT_EQ(failLow.score, exact.score + 4);
    EXPECT_EQ(squareOf(failLow), (Point{0, 0}));
}

// The narrowed windows of later moves still give the root the best value: each child
// searched alone with the full window agrees with the root's choice.
TEST(FixedDepthSearch, TheRootValueIsTheBestFullWindowChildValue) {
    auto root = positionFromRows(positions::MIDDLE_GAME);
    readyAtPly(*root, 0);
    const ScoredMove chosen = root->fixedDepthSearch(2, true, -SEARCH_INFINITY, SEARCH_INFINITY);

    auto e = positionFromRows(positions::MIDDLE_GAME);
    ScoredMove list[MOVE_LIST_CAPACITY];
    int count;
    e->generateMoves(list, &count);
    sortMoves(list, count);
    int best = -SEARCH_INFINITY - 1;
    Point bestMove{};
    for (int i = 0; i < count; ++i) {
        auto child = positionFromRows(positions::MIDDLE_GAME);
        child->makeMove(list[i].x, list[i].y);
        readyAtPly(*child, 1);
        const int v = -child->fixedDepthSearch(1, false, -SEARCH_INFINITY, SEARCH_INFINITY).score;
        if (v > best) {
            best = v;
            bestMove = squareOf(list[i]);
        }
    }
    EXPECT_EQ(chosen.score, best);
    EXPECT_EQ(squareOf(chosen), bestMove);
}

TEST(FixedDepthSearch, DecisiveScoresLoseAPointPerPly) {
    // Every child is a win for the opponent in 5 plies (29995), which the parent sees as
    // a loss one ply further away: -29994.
    auto e = positionFromRows(positions::TWO_DOUBLE_THREES);
    readyAtPly(*e, 1);
    EXPECT_EQ(e->forcedWinCheck(), 0);
    const ScoredMove r = e->fixedDepthSearch(1, false, -SEARCH_INFINITY, SEARCH_INFINITY);
    EXPECT_EQ(r.score, -29994);

    // A window of that single value: the child's window is widened by one inside the band,
    // the value comes back exact and is kept for the child.
    auto narrow = positionFromRows(positions::TWO_DOUBLE_THREES);
    readyAtPly(*narrow, 1);
    const ScoredMove n = narrow->fixedDepthSearch(1, false, -29994, -29994);
    EXPECT_EQ(n.score, -29994);
    ASSERT_NE(n.x, 0);
    narrow->makeMove(n.x, n.y);
    const SearchEntry& kept = narrow->searchTable[narrow->hashIndex];
    EXPECT_EQ(kept.check1, narrow->hashCheck1);
    EXPECT_EQ(kept.score, -29994);
    EXPECT_EQ(kept.depth, 0);
}

TEST(FixedDepthSearch, ExactValuesSkipTheChildOnlyForTheSameDepth) {
    auto probe = positionFromRows(positions::MIDDLE_GAME);
    ScoredMove list[MOVE_LIST_CAPACITY];
    int count;
    probe->generateMoves(list, &count);
    sortMoves(list, count);
    const ScoredMove last = list[count - 1];  // a move the search would not choose

    // Its child stored at depth 0, the depth a depth-1 node looks for: taken as it is.
    auto e = positionFromRows(positions::MIDDLE_GAME);
    e->makeMove(last.x, last.y);
    e->storeExactValue(777, 0, e->moveCount, Point{});
    e->undo();
    readyAtPly(*e, 1);
    const ScoredMove r = e->fixedDepthSearch(1, false, -SEARCH_INFINITY, SEARCH_INFINITY);
    EXPECT_EQ(r.score, 777);
    EXPECT_EQ(r.x, last.x);
    EXPECT_EQ(r.y, last.y);

    // The first move's child stored for another depth: searched with the whole window,
    // and overwritten with the exact value found.
    const ScoredMove first = list[0];
    auto other = positionFromRows(positions::MIDDLE_GAME);
    other->makeMove(first.x, first.y);
    other->storeExactValue(777, 3, other->moveCount, Point{});
    other->undo();
    readyAtPly(*other, 1);
    const ScoredMove s = other->fixedDepthSearch(1, false, -SEARCH_INFINITY, SEARCH_INFINITY);
    EXPECT_LT(s.score, 777);
    other->makeMove(first.x, first.y);
    const SearchEntry& entry = other->searchTable[other->hashIndex];
    EXPECT_EQ(entry.depth, 0);
    EXPECT_NE(entry.score, 777);
}

TEST(FixedDepthSearch, ASingleMoveRootReturnsItsOrderingScore) {
    auto e = positionFromRows(positions::SINGLE_BLOCK);
    readyAtPly(*e, 0);
    const ScoredMove r = e->fixedDepthSearch(4, true, -SEARCH_INFINITY, SEARCH_INFINITY);
    EXPECT_EQ(squareOf(r), (Point{8 + BORDER, 7 + BORDER}));
    EXPECT_EQ(r.score, cellScore(e->cells[8 + BORDER][7 + BORDER]));
    EXPECT_EQ(e->pvTable[0][0].x, 8 + BORDER);
}

// yourTurn plays what a fixed-depth search finds, from any depth, in protocol coordinates.
TEST(YourTurn, PlaysTheWinningOrTheOnlySavingMove) {
    struct Case {
        std::vector<std::string> rows;
        bool forcedWin;  // else: the single move (x, y) is expected
        int x, y;
    };
    const Case cases[] = {
        {positions::TWO_FIVE_SQUARES, false, 2, 3}, {positions::SINGLE_BLOCK, false, 8, 7},
        {positions::FOUR_THREE, false, 8, 7},       {positions::FOURS_IN_5, true, 0, 0},
        {positions::FOURS_IN_7, true, 0, 0},
    };
    for (const Case& c : cases) {
        for (int depth = 0; depth <= 4; ++depth) {
            auto e = positionFromRows(c.rows);
            const int stones = e->moveCount, mover = e->sideToMove;
            int x = -9, y = -9;
            e->yourTurn(x, y, depth, 0);
            ASSERT_EQ(e->moveCount, stones + 1) << depth;
            ASSERT_EQ(e->cells[x + BORDER][y + BORDER].state, mover) << depth;
            if (!c.forcedWin) {
                EXPECT_EQ(x, c.x) << depth;
                EXPECT_EQ(y, c.y) << depth;
            } else {
                // The opponent, to move, is lost to continuous fours or a double three, as
                // a deeper search on a fresh engine sees.
                auto check = positionFromRows(c.rows);
                check->move(x, y);
                readyAtPly(*check, 1);
                EXPECT_LE(
                    check->fixedDepthSearch(5, false, -SEARCH_INFINITY, SEARCH_INFINITY).score,
                    -FIXED_DECISIVE_SCORE)
                    << depth << ": " << x << "," << y;
            }
        }
    }
}

TEST(YourTurn, StartsFromACleanSearchState) {
    // As left behind by a search that ran out of time, deep in a line.
    auto e = positionFromRows(positions::SINGLE_BLOCK);
    e->timeUp = 1;
    e->deadline = 0;
    e->ply = 9;
    e->followPv = 1;
    std::memset(e->pvTable, 0x55, sizeof e->pvTable);
    int x, y;
    e->yourTurn(x, y, 3, 0);
    EXPECT_EQ(x, 8);
    EXPECT_EQ(y, 7);
}

TEST(YourTurn, AFullBoardPlaysNothing) {
    auto e = positions::startedEngine(5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            if (x != 4 || y != 4) e->move(x, y);
    int x, y;
    e->yourTurn(x, y, 2, 0);  // the last square
    EXPECT_EQ(x, 4);
    EXPECT_EQ(y, 4);
    e->yourTurn(x, y, 2, 0);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
    EXPECT_EQ(e->moveCount, 25);
    EXPECT_TRUE(e->isConsistent());
}

// What the search stores as a child's exact value is exact: the value a full-window search
// of that child gives, although most children are searched with narrowed windows that
// only bound their values.
TEST(FixedDepthSearch, StoredExactValuesAreTheFullWindowValues) {
    for (const char* moves :
         {"7,7 5,9 9,8 8,8 7,6 9,7", "7,7 8,7 6,9 8,9 6,8 7,6 9,8 8,8 8,6 9,5 6,10 6,11 8,10 7,3",
          "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7"}) {
        for (const int depth : {2, 3}) {
            auto root = positions::positionFromMoves(15, 15, moves);
            readyAtPly(*root, 0);
            root->fixedDepthSearch(depth, true, -SEARCH_INFINITY, SEARCH_INFINITY);
            ScoredMove list[MOVE_LIST_CAPACITY];
            int count;
            root->generateMoves(list, &count);
            int stored = 0;
            for (int i = 0; i < count; ++i) {
                root->makeMove(list[i].x, list[i].y);
                const SearchEntry entry = root->searchTable[root->hashIndex];
                const bool kept = entry.check1 == root->hashCheck1 &&
                                  entry.check2 == root->hashCheck2 && entry.depth == depth - 1;
                root->undo();
                if (!kept) continue;
                ++stored;
                auto child = positions::positionFromMoves(15, 15, moves);
                child->makeMove(list[i].x, list[i].y);
                readyAtPly(*child, 1);
                int v =
                    -child->fixedDepthSearch(depth - 1, false, -SEARCH_INFINITY, SEARCH_INFINITY)
                         .score;
                if (v >= FIXED_DECISIVE_SCORE) v -= 1;
                if (v <= -FIXED_DECISIVE_SCORE) v += 1;
                EXPECT_EQ(entry.score, v) << "depth " << depth << " move " << i;
            }
            EXPECT_GT(stored, 0) << moves;
        }
    }
}

}  // namespace
}  // namespace quillmot
