// The search's report and the levels of play.
#include "search/levels.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "test_util.h"

namespace quillmot {
namespace {

using positions::positionFromMoves;
constexpr const char* MIDDLE = "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7";

// Every move of the line on an empty square, none after a five.
bool linePlays(Engine& e, const SearchReport& r) {
    int played = 0;
    for (bool five = false; played < r.lineLength && !five; ++played) {
        const Point m = r.line[played];
        if (!e.isPlayable(m.x, m.y) || e.cells[m.x][m.y].state != EMPTY) break;
        five = e.cells[m.x][m.y].threatClass[e.sideToMove] == CLASS_FIVE;
        e.makeMove(m.x, m.y);
    }
    for (int i = 0; i < played; ++i) e.undo();
    return played == r.lineLength && played > 0;
}

void collect(void* reports, const Engine&, const SearchReport& r) {
    static_cast<std::vector<SearchReport>*>(reports)->push_back(r);
}

// A level's move in protocol coordinates; false for no move.
bool levelMove(Engine& e, int level, int milliseconds, uint64_t seed, int& x, int& y) {
    const Point move = quillmot::levelMove(e, level, milliseconds, seed);
    std::tie(x, y) = std::pair(toProtocol(move).x, toProtocol(move).y);
    return isSquare(move);
}

// Hearing the reports changes nothing; there is one per iteration, and the last one's line
// starts with the move.
TEST(SearchReport, OnePerIterationAndTheSearchUnchanged) {
    auto quiet = positions::positionFromRows(positions::FOURS_IN_7);
    auto heard = positions::positionFromRows(positions::FOURS_IN_7);
    std::vector<SearchReport> reports;
    SearchLimits limits;
    limits.onReport = collect;
    limits.reportContext = &reports;
    int qx, qy, hx, hy;
    for (Engine* e : {quiet.get(), heard.get()}) e->setSearchBudget(NO_DEADLINE_MS, 7);
    quiet->iterativeDeepening(qx, qy);
    heard->iterativeDeepening(hx, hy, limits);
    EXPECT_EQ(std::tie(heard->nodes, hx, hy), std::tie(quiet->nodes, qx, qy));

    const SearchReport& last = heard->report;
    EXPECT_EQ(std::tie(last.depth, last.nodes, last.otherMove),
              std::make_tuple(7, heard->nodes, false));
    EXPECT_EQ(std::pair(last.line[0].x - BORDER, last.line[0].y - BORDER), std::pair(hx, hy));
    EXPECT_GT(forcedPlies(last.score, last.lineLength), 0);
    ASSERT_EQ(reports.size(), 3u);
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].depth, FIRST_DEPTH + static_cast<int>(i));
        EXPECT_TRUE(linePlays(*heard, reports[i])) << "depth " << reports[i].depth;
    }
}

TEST(SearchReport, ForcedPliesOfScoresAndLines) {
    // {score, line length, plies}: the root's own five; the opponent's five after one move;
    // one's own after a reply; a four-three (four, block, open four, block, five); the edges.
    const int cases[][3] = {
        {winIn(1), 1, 1},      {-winIn(1), 1, -2},       {winIn(1), 2, 3},         {winIn(4), 1, 5},
        {FORCED_SCORE, 0, 64}, {FORCED_SCORE - 1, 1, 0}, {-FORCED_SCORE + 1, 1, 0}};
    for (const auto& c : cases) EXPECT_EQ(forcedPlies(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

// Every level takes its own five, else blocks the opponent's.
TEST(Levels, FivesAreTakenAndBlockedAtEveryLevel) {
    for (int level = 1; level <= LEVEL_COUNT; ++level) {
        int x, y;
        auto own = positionFromMoves(15, 15, "5,5 5,9 6,5 6,9 7,5 7,9 8,5 8,9");
        ASSERT_TRUE(levelMove(*own, level, 200, 7, x, y));
        EXPECT_TRUE((x == 4 || x == 9) && y == 5) << "level " << level;
        EXPECT_EQ(forcedPlies(own->report.score, own->report.lineLength), 1) << "level " << level;

        auto block = positionFromMoves(15, 15, "5,5 5,9 6,6 6,9 4,9 7,9 12,12 8,9");
        ASSERT_TRUE(levelMove(*block, level, 200, 7, x, y));
        EXPECT_EQ(std::pair(x, y), std::pair(9, 9)) << "level " << level;
    }
}

// A fixed-depth level's move depends on the position and the seed alone: the same after a
// full search on the same engine, whose table holds scores of the other sign convention.
TEST(Levels, TheMoveDependsOnThePositionAndTheSeedAlone) {
    for (int level = 1; level < FULL_STRENGTH; ++level) {
        if (findLevel(level)->depth == 0) continue;
        auto fresh = positionFromMoves(15, 15, MIDDLE), used = positionFromMoves(15, 15, MIDDLE);
        used->setSearchBudget(NO_DEADLINE_MS, 7);
        int x, y, fx, fy;
        used->iterativeDeepening(x, y);
        ASSERT_TRUE(levelMove(*fresh, level, 0, level, fx, fy) &&
                    levelMove(*used, level, 0, level, x, y));
        EXPECT_EQ(std::tie(x, y, used->report.score, used->report.nodes),
                  std::tie(fx, fy, fresh->report.score, fresh->report.nodes))
            << "level " << level;
    }
}

// A short game between two levels, to its end: legal moves only.
TEST(Levels, AShortGameBetweenTwoLevels) {
    auto e = positionFromMoves(15, 15, "7,7 8,8 8,6");
    LevelRandom random(22);
    for (bool five = false; !five && e->stoneCount() < 15 * 15;) {
        int x, y;
        ASSERT_TRUE(levelMove(*e, 2 + e->sideToMove, 0, random.next(), x, y));
        ASSERT_TRUE(e->isPlayable(x + BORDER, y + BORDER));
        ASSERT_EQ(e->cells[x + BORDER][y + BORDER].state, EMPTY) << x << "," << y;
        five = e->cells[x + BORDER][y + BORDER].threatClass[e->sideToMove] == CLASS_FIVE;
        e->move(x, y);
    }
    EXPECT_TRUE(e->isConsistent());
}

}  // namespace
}  // namespace quillmot
