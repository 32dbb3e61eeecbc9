// The search's report and the levels of play.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "search/levels.h"
#include "test_util.h"

namespace quillmot {
namespace {

using positions::positionFromMoves;

// Plays the line out: every move on an empty square of the board, none after a five.
bool linePlays(Engine& e, const SearchReport& r) {
    int played = 0;
    bool legal = true;
    for (; played < r.lineLength && legal; ++played) {
        const PvMove m = r.line[played];
        legal = e.isPlayable(m.x, m.y) && e.cells[m.x][m.y].state == EMPTY &&
                (played == 0 || e.cells[r.line[played - 1].x][r.line[played - 1].y].state != EMPTY);
        if (!legal) break;
        const bool five = e.cells[m.x][m.y].threatClass[e.sideToMove] == CLASS_FIVE;
        e.makeMove(m.x, m.y);
        legal = !five || played + 1 == r.lineLength;
    }
    for (int i = 0; i < played; ++i) e.undo();
    return legal && r.lineLength > 0;
}

void collect(void* reports, const Engine&, const SearchReport& r) {
    static_cast<std::vector<SearchReport>*>(reports)->push_back(r);
}

// Hearing the reports changes nothing; there is one per iteration, and the last one's line
// starts with the move.
TEST(SearchReport, OnePerIterationAndTheSearchUnchanged) {
    for (const char* name : {"mid15d", "fours7"}) {
        const auto& position = *std::find_if(std::begin(positions::SUITE), std::end(positions::SUITE),
                                             [&](const auto& p) { return std::string(p.name) == name; });
        auto quiet = positions::setUp(position);
        auto heard = positions::setUp(position);
        std::vector<SearchReport> reports;
        heard->reportCallback = collect;
        heard->reportContext = &reports;
        int qx, qy, hx, hy;
        for (Engine* e : {quiet.get(), heard.get()}) {
            e->maxDepth = 7;
            e->timeBudget = 1 << 30;
        }
        quiet->iterativeDeepening(qx, qy);
        heard->iterativeDeepening(hx, hy);
        EXPECT_EQ(heard->nodes, quiet->nodes) << name;
        EXPECT_EQ(std::make_pair(hx, hy), std::make_pair(qx, qy)) << name;

        const SearchReport& last = heard->report;
        EXPECT_EQ(last.depth, 7);
        EXPECT_EQ(last.nodes, heard->nodes);
        ASSERT_EQ(reports.size(), 3u) << name;
        for (size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].depth, FIRST_DEPTH + static_cast<int>(i));
            EXPECT_TRUE(linePlays(*heard, reports[i])) << name << " depth " << reports[i].depth;
            EXPECT_GE(reports[i].nodes, i > 0 ? reports[i - 1].nodes : 1);
        }
        EXPECT_EQ(std::make_pair(last.line[0].x - BORDER, last.line[0].y - BORDER), std::make_pair(hx, hy));
        EXPECT_FALSE(last.otherMove);
    }
}

TEST(SearchReport, ForcedPliesOfScoresAndLines) {
    struct Case {
        int score, lineLength, plies;
    };
    const Case cases[] = {
        {winIn(1), 1, 1},     // the root's own five
        {-winIn(1), 1, -2},   // after the one move, the opponent's five
        {winIn(1), 2, 3},     // after a reply, one's own five
        {winIn(4), 1, 5},     // a four-three: four, block, open four, block, five
        {-winIn(2), 3, -5},   //
        {FORCED_SCORE, 0, 64},
        {FORCED_SCORE - 1, 1, 0},
        {-(FORCED_SCORE - 1), 1, 0},
        {120, 7, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(forcedPlies(c.score, c.lineLength), c.plies) << c.score << " " << c.lineLength;
}

// Every level takes its own five and blocks the opponent's; a forced win reads as one.
TEST(Levels, FivesAreTakenAndBlockedAtEveryLevel) {
    // Player 0, to move, has an open four in row 5, then only the block of player 1's four.
    const char* fourEach = "5,5 5,9 6,5 6,9 7,5 7,9 8,5 8,9";
    for (int level = 1; level <= LEVEL_COUNT; ++level) {
        auto own = positionFromMoves(15, 15, fourEach);
        int x, y;
        ASSERT_TRUE(levelMove(*own, level, 200, 7, x, y));
        EXPECT_TRUE((x == 4 || x == 9) && y == 5) << "level " << level << ": " << x << "," << y;
        EXPECT_EQ(forcedPlies(own->report.score, own->report.lineLength), 1) << "level " << level;

        auto block = positionFromMoves(15, 15, "5,5 5,9 6,6 6,9 4,9 7,9 12,12 8,9");
        ASSERT_TRUE(levelMove(*block, level, 200, 7, x, y));
        EXPECT_EQ(std::make_pair(x, y), std::make_pair(9, 9)) << "level " << level;
    }
}

// A level's move depends on the position and the seed alone: the same after a full search on
// the same engine (whose table holds scores of the other sign convention) as on a new one.
TEST(Levels, TheMoveDependsOnThePositionAndTheSeedAlone) {
    const char* moves = "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7";
    for (int level = 1; level < FULL_STRENGTH; ++level) {
        auto fresh = positionFromMoves(15, 15, moves);
        auto used = positionFromMoves(15, 15, moves);
        used->maxDepth = 7;
        used->timeBudget = 1 << 30;
        int x, y, fx, fy;
        used->iterativeDeepening(x, y);
        ASSERT_TRUE(levelMove(*fresh, level, 0, level, fx, fy));
        ASSERT_TRUE(levelMove(*used, level, 0, level, x, y));
        EXPECT_EQ(std::make_pair(x, y), std::make_pair(fx, fy)) << "level " << level;
        EXPECT_EQ(used->report.score, fresh->report.score) << "level " << level;
        EXPECT_EQ(used->report.nodes, fresh->report.nodes) << "level " << level;
        EXPECT_TRUE(linePlays(*used, used->report));
    }
}

// A short game between two levels, to its end: legal moves, a consistent board, and the
// same game again from the same seeds.
std::vector<int> levelGame(int black, int white) {
    auto e = positionFromMoves(15, 15, "7,7 8,8 8,6");
    std::vector<int> game;
    LevelRandom random(22);
    for (bool five = false; !five && e->stoneCount() < 15 * 15;) {
        int x, y;
        EXPECT_TRUE(levelMove(*e, e->sideToMove == 0 ? black : white, 0, random.next(), x, y));
        if (!e->isPlayable(x + BORDER, y + BORDER) || e->cells[x + BORDER][y + BORDER].state != EMPTY) {
            ADD_FAILURE() << x << "," << y << " is not an empty square";
            break;
        }
        five = e->cells[x + BORDER][y + BORDER].threatClass[e->sideToMove] == CLASS_FIVE;
        e->move(x, y);
        EXPECT_TRUE(e->isConsistent());
        game.push_back(x + 256 * y);
    }
    return game;
}

TEST(Levels, AShortGameBetweenTwoLevels) {
    const std::vector<int> game = levelGame(2, 3);
    EXPECT_GT(game.size(), 4u);
    EXPECT_EQ(levelGame(2, 3), game);
}

}  // namespace
}  // namespace quillmot
