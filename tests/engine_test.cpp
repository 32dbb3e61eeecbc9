// The Engine's board: start, incremental move making and take-back, checked against a
// recomputation from the stones after every step of long random games.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>

#include "patterns/hash_keys.h"
#include "patterns/line_types.h"
#include "test_util.h"

namespace quillmot {
namespace {

using positions::startedEngine;
using testing::BoardSnapshot;

TEST(EngineStart, WindowIsTheCentreBlock) {
    auto e15 = startedEngine(15);
    EXPECT_EQ(e15->window.min, (Point{10, 10}));
    EXPECT_EQ(e15->window.max, (Point{12, 12}));
    auto e20 = startedEngine(20);
    EXPECT_EQ(e20->window.min, (Point{13, 13}));
    EXPECT_EQ(e20->window.max, (Point{15, 15}));
    auto rect = startedEngine(20, 9);  // 20 columns, 9 rows
    EXPECT_EQ(rect->window.min, (Point{13, 7}));
    EXPECT_EQ(rect->window.max, (Point{15, 9}));
}

TEST(EngineStart, EdgeSquaresSeeTheOutside) {
    auto e = startedEngine(15);
    const Cell& c = e->cells[0 + BORDER][7 + BORDER];
    EXPECT_EQ(c.lineMask[0][0], 0x0F);
    EXPECT_EQ(c.lineMask[0][1], 0x0F);
    EXPECT_EQ(c.lineType[0][0], 1);
    EXPECT_EQ(c.lineType[0][1], 1);
    EXPECT_EQ(c.lineMask[1][0], 0);  // the column runs on inside the board
    // A corner sees the outside in three directions, and on both sides of the anti-diagonal.
    const Cell& corner = e->cells[BORDER][BORDER];
    EXPECT_EQ(corner.lineMask[0][0], 0x0F);
    EXPECT_EQ(corner.lineMask[1][0], 0x0F);
    EXPECT_EQ(corner.lineMask[2][0], 0x0F);
    EXPECT_EQ(corner.lineMask[3][0], 0xFF);
    EXPECT_EQ(corner.lineType[3][0], 0);
}

TEST(EngineStart, RectangularBoardsMarkTheSquaresBeyondTheLastRow) {
    auto e = startedEngine(12, 7);
    EXPECT_EQ(e->cells[BORDER + 11][BORDER + 6].state, EMPTY);
    EXPECT_EQ(e->cells[BORDER + 12][BORDER + 6].state, OUTSIDE);
    EXPECT_EQ(e->cells[BORDER + 11][BORDER + 7].state, OUTSIDE);
    EXPECT_EQ(e->cells[BORDER][BORDER + 6].lineMask[1][0], 0xF0);  // bottom row: below is outside
    EXPECT_TRUE(e->isConsistent());
}

TEST(EngineStart, EmptyBoardHasNoClassesAndStartsAgainIdentically) {
    auto e = startedEngine(19);
    for (int x = BORDER; x < BORDER + 19; ++x)
        for (int y = BORDER; y < BORDER + 19; ++y) {
            ASSERT_EQ(e->cells[x][y].threatClass[0], 0);
            ASSERT_EQ(e->cells[x][y].threatClass[1], 0);
        }
    for (const auto& counts : e->classCounts)
        for (int count : counts) EXPECT_EQ(count, 0);
    EXPECT_TRUE(e->isConsistent());

    const BoardSnapshot first(*e);
    e->start(19);
    EXPECT_TRUE(BoardSnapshot(*e) == first);
    // A game on another size in between leaves no trace either.
    e->start(32);
    positions::playMoves(*e, {{0, 0}, {31, 31}, {15, 16}});
    e->start(19);
    EXPECT_EQ(BoardSnapshot(*e).cells, first.cells);
    EXPECT_TRUE(e->isConsistent());
}

TEST(EngineStart, StartForgetsPositionsButKeepsStoredMoves) {
    auto e = startedEngine(15);
    e->searchTable[77] = SearchEntry{1, 2, 300, 4, 9, Point{9, 9}, BOUND_EXACT};
    e->threatTable[78] = ThreatEntry{3, 4, 5, Point{10, 10}};
    e->start(15);
    EXPECT_EQ(e->searchTable[77].check1, 0u);
    EXPECT_EQ(e->searchTable[77].score, 0);
    EXPECT_EQ(e->searchTable[77].bound, 0);
    EXPECT_EQ(e->searchTable[77].depth, 0);
    EXPECT_EQ(e->searchTable[77].move, (Point{9, 9}));
    EXPECT_EQ(e->threatTable[78].check1, 0u);
    EXPECT_EQ(e->threatTable[78].check2, 0u);
}

TEST(EngineInterface, MoveNameAndFinish) {
    auto e = startedEngine(15);
    EXPECT_STREQ(e->name(), "Quillmot");
    e->move(7, 7);
    EXPECT_EQ(e->cells[11][11].state, STONE_0);
    EXPECT_EQ(e->sideToMove, 1);
    EXPECT_EQ(e->moveCount, 1);
    const BoardSnapshot before(*e);
    e->finish();
    EXPECT_TRUE(BoardSnapshot(*e) == before);
    EXPECT_STREQ(e->name(), "Quillmot");
}

TEST(MakeMove, MasksAlongTheRowOfAStone) {
    auto e = startedEngine(15);
    e->makeMove(10, 10);
    EXPECT_EQ(e->cells[9][10].lineMask[0][0] & 0xF0, 16);
    EXPECT_EQ(e->cells[8][10].lineMask[0][0] & 0xF0, 32);
    EXPECT_EQ(e->cells[7][10].lineMask[0][0] & 0xF0, 64);
    EXPECT_EQ(e->cells[6][10].lineMask[0][0] & 0xF0, 128);
    EXPECT_EQ(e->cells[11][10].lineMask[0][0], 8);
    EXPECT_EQ(e->cells[12][10].lineMask[0][0], 4);
    EXPECT_EQ(e->cells[13][10].lineMask[0][0], 2);
    EXPECT_EQ(e->cells[14][10].lineMask[0][0], 1);
    EXPECT_EQ(e->cells[11][10].lineMask[0][1], 0);  // the other player's masks stay clear
}

TEST(MakeMove, NeighbourCountsOfOneStone) {
    auto e = startedEngine(15);
    e->makeMove(11, 11);
    for (int dx = -3; dx <= 3; ++dx) {
        for (int dy = -3; dy <= 3; ++dy) {
            const Cell& c = e->cells[11 + dx][11 + dy];
            const int ax = std::abs(dx), ay = std::abs(dy);
            const bool adjacent = ax <= 1 && ay <= 1 && (ax | ay);
            const bool twoOnALine = (ax == 0 || ax == 2) && (ay == 0 || ay == 2) && (ax | ay);
            EXPECT_EQ(c.near1, adjacent ? 1 : 0) << dx << "," << dy;
            EXPECT_EQ(c.near2, twoOnALine ? 1 : 0) << dx << "," << dy;
        }
    }
}

TEST(MakeMove, WindowGrowsByTwoAndStaysOnTheBoard) {
    auto e = startedEngine(15);
    e->move(0, 0);
    EXPECT_EQ(e->window.min, (Point{4, 4}));
    EXPECT_EQ(e->window.max, (Point{12, 12}));
    e->move(14, 14);
    EXPECT_EQ(e->window.max, (Point{18, 18}));
    e->undo();
    EXPECT_EQ(e->window.max, (Point{12, 12}));
    e->undo();
    EXPECT_EQ(e->window.min, (Point{10, 10}));
}

TEST(MakeMove, AFourWithBothEndsOpenMakesTwoFiveSquares) {
    auto e = positions::positionFromRows({
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "....XXXX.......",
        "...............",
        "...............",
        "...............",
        "...............",
        "..........O....",
        "..........O....",
        "..........O....",
        "...............",
    });
    EXPECT_EQ(e->cells[3 + BORDER][6 + BORDER].threatClass[0], CLASS_FIVE);
    EXPECT_EQ(e->cells[8 + BORDER][6 + BORDER].threatClass[0], CLASS_FIVE);
    EXPECT_EQ(e->classCounts[0][CLASS_FIVE], 2);
    EXPECT_EQ(e->classCounts[1][CLASS_FIVE], 0);
    EXPECT_TRUE(e->isConsistent());
}

TEST(MakeMove, TransposedMoveOrdersGiveTheSameHash) {
    auto a = startedEngine(15);
    auto b = startedEngine(15);
    positions::playMoves(*a, {{3, 3}, {9, 9}, {4, 5}});
    positions::playMoves(*b, {{4, 5}, {9, 9}, {3, 3}});
    EXPECT_EQ(a->hash(), b->hash());
    EXPECT_EQ(a->stoneHash(), b->stoneHash());
    b->undo();
    EXPECT_NE(a->hash(), b->hash());
    b->move(3, 3);
    EXPECT_EQ(a->hash(), b->hash());
    // The colour of a stone matters.
    auto c = startedEngine(15);
    positions::playMoves(*c, {{9, 9}, {3, 3}, {9, 10}, {4, 5}});
    c->undo();
    c->undo();
    EXPECT_NE(c->hash(), startedEngine(15)->hash());
}

// Long random games of stones, passes and take-backs: after every step the kept state
// equals a recomputation from the stones, and taking everything back restores the start
// exactly.
void randomGames(int width, int height, uint32_t seed) {
    std::mt19937 rng(seed);
    auto e = startedEngine(width, height);
    const BoardSnapshot atStart(*e);
    const PositionHash startHash = e->hash();
    const int squares = width * height;
    for (int game = 0; game < 2; ++game) {
        for (int step = 0; step < 3 * squares; ++step) {
            const bool take = e->stoneCount() == squares || (e->moveCount > 0 && rng() % 3 == 0);
            if (take && e->lastWasPass()) {
                e->undoPass();
            } else if (take) {
                e->undo();
            } else if (rng() % 8 == 0) {
                e->passTurn();  // as a set-up with more stones of one colour makes
            } else {
                int x, y;
                do {
                    x = static_cast<int>(rng() % width) + BORDER;
                    y = static_cast<int>(rng() % height) + BORDER;
                } while (e->cells[x][y].state != EMPTY);
                e->makeMove(x, y);
            }
            ASSERT_TRUE(e->isConsistent()) << width << "x" << height << " step " << step;
            const PositionHash stones = e->stoneHash();
            ASSERT_EQ(e->hashIndex, (startHash.index + stones.index) & HASH_INDEX_MASK);
            ASSERT_EQ(e->hashCheck1, startHash.check1 + stones.check1);
            ASSERT_EQ(e->hashCheck2, startHash.check2 + stones.check2);
        }
        while (e->moveCount > 0) e->lastWasPass() ? e->undoPass() : e->undo();
        ASSERT_TRUE(BoardSnapshot(*e) == atStart) << width << "x" << height;
    }
}

TEST(MakeMove, RandomGamesStayConsistent) {
    randomGames(5, 5, 1);
    randomGames(15, 15, 2);
    randomGames(20, 20, 3);
    randomGames(32, 32, 4);
    randomGames(17, 9, 5);
    randomGames(6, 25, 6);
}

TEST(MakeMove, AFullLargestBoardAndBack) {
    auto e = startedEngine(MAX_BOARD);
    const BoardSnapshot atStart(*e);
    for (int y = 0; y < MAX_BOARD; ++y)
        for (int x = 0; x < MAX_BOARD; ++x) e->move(x, y);
    EXPECT_EQ(e->moveCount, MAX_MOVES);
    EXPECT_TRUE(e->isConsistent());
    while (e->moveCount > 0) e->undo();
    EXPECT_TRUE(BoardSnapshot(*e) == atStart);
}

TEST(MakeMove, NodesCountPlacementsOnly) {
    auto e = startedEngine(15);
    e->nodes = 0;
    e->makeMove(8, 8);
    e->makeMove(9, 9);
    e->undo();
    EXPECT_EQ(e->nodes, 2);
    EXPECT_EQ(e->ply, 1);
}

TEST(HashKeysTest, DistinctAndBelow2To30) {
    auto e = startedEngine(5);  // start generates the keys
    for (const uint32_t* table : {HashKeys.index, HashKeys.check1, HashKeys.check2}) {
        std::vector<uint32_t> keys(table, table + HASH_KEY_COUNT);
        for (uint32_t k : keys) ASSERT_LT(k, 1u << 30);
        std::sort(keys.begin(), keys.end());
        EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
    }
}

// Two engines in one process: one starts again and again while the other searches. The
// shared tables are built once, so the starts write nothing the search reads (the
// ThreadSanitizer build would report it).
TEST(EngineStart, AnEngineStartsWhileAnotherSearches) {
    auto searching = startedEngine(15);
    positions::playMoves(*searching, {{7, 7}, {8, 8}, {6, 8}, {8, 6}});
    searching->maxDepth = 6;
    searching->timeBudget = 1 << 30;
    int x = -1, y = -1;
    std::thread searcher([&] { searching->iterativeDeepening(x, y); });
    auto other = std::make_unique<Engine>();
    for (int i = 0; i < 10; ++i) other->start(5 + i);
    searcher.join();
    EXPECT_TRUE(searching->isConsistent());
    EXPECT_NE(x, -1);
}

}  // namespace
}  // namespace quillmot
