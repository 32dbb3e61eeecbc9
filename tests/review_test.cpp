// The review's marks and readings, and the analysis' best moves.
#include "search/review.h"

#include <gtest/gtest.h>

#include <vector>

#include "search/analysis.h"
#include "test_util.h"

namespace quillmot {
namespace {

using positions::positionFromMoves;
// Black to move: an open four of its own to complete; white's four closed by 3,2 to stop.
constexpr const char* OPEN_FOUR = "7,7 3,3 8,8 3,4 9,9 3,5 10,10 0,14";
constexpr const char* BLOCK = "7,7 3,3 8,8 3,4 3,2 3,5 12,1 3,6";

// The rules of the marks, from the mover's point of view: scores are root scores with the
// side-to-move bonus; after a move the opponent is to move, so its score turns.
TEST(Review, MarksFromTheStandingBeforeAndAfter) {
    constexpr int B = TEMPO_BONUS;
    struct Case {
        int beforeScore, beforeForced, afterScore, afterForced;
        MoveMark mark;
    };
    // clang-format off
    const Case cases[] = {
        {B + 100, 0, B - 100, 0, MARK_NONE},         // even to even
        {B + 121, 0, B - 100, 0, MARK_INACCURACY},   // better to even
        {B + 600, 0, B - 300, 0, MARK_INACCURACY},   // much better to better
        {B + 300, 0, B + 200, 0, MARK_MISTAKE},      // better to worse
        {B, 0, B + 501, 0, MARK_MISTAKE},            // even to much worse
        {B - 300, 0, B + 600, 0, MARK_INACCURACY},   // worse to much worse
        {B - 300, 0, B - 600, 0, MARK_NONE},         // worse to much better: no loss
        {B, 0, 0, 5, MARK_BLUNDER},                  // a forced five handed over
        {B - 600, 0, 0, 5, MARK_BLUNDER},            // much worse, then lost outright
        {0, -6, 0, 5, MARK_NONE},                    // lost before and after
        {0, 7, 0, -6, MARK_NONE},                    // a forced five kept
        {0, 7, B - 600, 0, MARK_MISSED_WIN},         // thrown away, still much better
        {0, 7, 0, 5, MARK_BLUNDER},                  // thrown away and handed over: the worse
    };
    // clang-format on
    for (const Case& c : cases) {
        const Standing before = standingOf(c.beforeScore, c.beforeForced, true);
        const Standing after = standingOf(c.afterScore, c.afterForced, false);
        EXPECT_EQ(classifyMove(before, after), c.mark)
            << c.beforeScore << " " << c.beforeForced << " -> " << c.afterScore << " "
            << c.afterForced;
    }
    // A view that cannot be read, and the review's own best move, get no mark.
    PositionView even, lost;
    even.report.depth = lost.report.depth = 8;
    even.report.score = TEMPO_BONUS;
    even.report.line[0] = toEngine(3, 3);
    even.report.lineLength = 1;
    lost.forced = 3;
    EXPECT_EQ(markOf(even, lost, toEngine(4, 4)), MARK_BLUNDER);
    EXPECT_EQ(markOf(even, lost, toEngine(3, 3)), MARK_NONE);
    EXPECT_EQ(markOf(PositionView{}, lost, toEngine(4, 4)), MARK_NONE);
}

// Every position is read as on a new engine: a scratch engine that searched other positions
// first gives the same reading, nodes and line included. A position with only one move is
// read through it, and a five already made is decided.
TEST(Review, PositionsReadAsOnANewEngine) {
    auto game = positionFromMoves(15, 15, "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6");
    constexpr int64_t NODES = 60000;
    auto used = std::make_unique<Engine>();
    PositionView first, again;
    reviewPosition(*game, 8, NODES, *used, first);
    reviewPosition(*game, game->moveCount, NODES, *used, first);
    auto fresh = std::make_unique<Engine>();
    reviewPosition(*game, game->moveCount, NODES, *fresh, again);
    ASSERT_GT(first.report.depth, 0);
    EXPECT_EQ(first.report.nodes, again.report.nodes);
    EXPECT_EQ(first.report.score, again.report.score);
    EXPECT_EQ(first.report.lineLength, again.report.lineLength);
    EXPECT_EQ(first.report.line[0], again.report.line[0]);

    // White's four to stop: the block is the line's first move, and the reading is a search.
    auto four = positionFromMoves(15, 15, BLOCK);
    PositionView block;
    reviewPosition(*four, four->moveCount, NODES, *used, block);
    EXPECT_EQ(block.report.line[0], toEngine(3, 7));
    EXPECT_TRUE(block.report.depth > 0 || block.forced != 0);
    // Black's five to make, then made.
    auto open = positionFromMoves(15, 15, OPEN_FOUR);
    PositionView five, over;
    reviewPosition(*open, open->moveCount, NODES, *used, five);
    EXPECT_EQ(five.forced, 1);
    open->move(6, 6);
    reviewPosition(*open, open->moveCount, NODES, *used, over);
    EXPECT_TRUE(over.decided && over.known());
}

// A forced five that a position's search missed and the next one found: the game's own
// continuation proves it, so the move into that position is the blunder.
TEST(Review, TheGameProvesAForcedFiveItsSearchMissed) {
    auto game = positionFromMoves(
        15, 15, "5,6 6,8 9,8 4,6 8,9 6,7 7,10 10,7 7,9 2,4 6,9 9,9 5,7 8,11 5,9 4,9 5,8 5,5 5,10");
    auto scratch = std::make_unique<Engine>();
    const int from = 3, moves = game->moveCount - from;
    std::vector<PositionView> views(moves + 1);
    std::vector<MoveMark> marks(moves);
    reviewGame(*game, from, REVIEW_NODES, *scratch, views.data(), marks.data());
    PositionView alone;
    reviewPosition(*game, from + 7, REVIEW_NODES, *scratch, alone);
    ASSERT_EQ(alone.forced, 0) << "the search finds it now: choose another game";
    EXPECT_EQ(views[7].forced, 1 - views[8].forced);
    EXPECT_EQ(views[7].report.line[0], game->moveHistory[from + 7]);
    EXPECT_EQ(marks[6], MARK_BLUNDER);  // white's 2,4
    EXPECT_TRUE(views.back().decided);
}

// The best moves: distinct, none repeated; only the fives when there is one to make, only
// the block when there is one to stop.
TEST(Analysis, DistinctMovesFewerWithAFive) {
    auto middle = positionFromMoves(15, 15, "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6");
    Analysis found;
    analyse(*middle, 600, ANALYSIS_MOVES, found);
    ASSERT_EQ(found.count, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(middle->isEmptySquare(found.moves[i].move)) << i;
        for (int j = 0; j < i; ++j) EXPECT_FALSE(found.moves[i].move == found.moves[j].move);
    }
    auto four = positionFromMoves(15, 15, OPEN_FOUR);
    analyse(*four, 300, ANALYSIS_MOVES, found);
    ASSERT_EQ(found.count, 2);  // both ends of black's four
    EXPECT_TRUE(isForcedScore(found.moves[0].report.score));
    auto block = positionFromMoves(15, 15, BLOCK);
    analyse(*block, 300, ANALYSIS_MOVES, found);
    ASSERT_EQ(found.count, 1);
    EXPECT_EQ(found.moves[0].move, toEngine(3, 7));
}

}  // namespace
}  // namespace quillmot
