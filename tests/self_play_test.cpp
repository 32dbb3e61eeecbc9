// Whole games the engine plays against itself in-process.
#include <gtest/gtest.h>

#include "test_util.h"

namespace quillmot {
namespace {

// Games the engine plays against itself with short budgets, as the turn driver would run
// them, until a five or a full board: every move legal, the board consistent throughout.
void selfPlay(int width, int height, int budget) {
    auto e = positions::startedEngine(width, height);
    e->maxDepth = MAX_SEARCH_DEPTH;
    e->move(width / 2, height / 2);
    bool five = false;
    while (!five && e->moveCount < width * height) {
        e->timeBudget = budget;
        int x, y;
        e->iterativeDeepening(x, y);
        const Point move = e->legalOrFallback(toEngine(x, y));
        ASSERT_TRUE(isSquare(move));
        const int ex = move.x, ey = move.y;
        ASSERT_TRUE(e->isPlayable(ex, ey));
        ASSERT_EQ(e->cells[ex][ey].state, EMPTY);
        five = e->cells[ex][ey].threatClass[e->sideToMove] == CLASS_FIVE;
        e->makeMove(ex, ey);
        ASSERT_TRUE(e->isConsistent()) << "after move " << e->moveCount;
    }
    EXPECT_TRUE(five || e->moveCount == width * height);
}

TEST(SelfPlay, GamesOnSquareAndRectangularBoards) {
    selfPlay(15, 15, 200);
    selfPlay(20, 20, 200);
    selfPlay(20, 9, 200);
}

}  // namespace
}  // namespace quillmot
