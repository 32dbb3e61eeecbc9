// Forced fives: the codes of forcedWinCheck and threatSearch on real positions, the lines
// behind them, the threat table, the limits and the clock reads of the threat search.
#include <gtest/gtest.h>

#include <limits>

#include "test_util.h"

namespace quillmot {
namespace {

using positions::FOURS_IN_5;
using positions::FOURS_IN_7;
using positions::FOURS_IN_9;
using positions::onTwenty;
using positions::positionFromRows;
using testing::BoardSnapshot;

// A search state in which only the position decides: no deadline, a full budget, ply 0.
void readyToSearch(Engine& e) {
    e.ply = 0;
    e.nodes = 0;
    e.timeUp = 0;
    e.deadline = std::numeric_limits<int64_t>::max();
    e.threatBudget = THREAT_BUDGET;
    e.threatNodes = 0;
}

// Both routines, each of which must leave the position exactly as it found it.
int forcedWin(Engine& e) {
    const BoardSnapshot before(e);
    const int code = e.forcedWinCheck();
    EXPECT_TRUE(BoardSnapshot(e) == before);
    return code;
}
int threats(Engine& e) {
    const BoardSnapshot before(e);
    const int code = e.threatSearch();
    EXPECT_TRUE(BoardSnapshot(e) == before);
    return code;
}

const ThreatEntry& entryOf(const Engine& e) {
    return e.threatTable[e.hashIndex & THREAT_TABLE_MASK];
}

Point protocolSquare(int x, int y) {
    return Point{static_cast<uint8_t>(x + BORDER), static_cast<uint8_t>(y + BORDER)};
}

bool findSquareOfClass(const Engine& e, int player, int threatClass, int& x, int& y) {
    for (y = e.window.min.y; y <= e.window.max.y; ++y)
        for (x = e.window.min.x; x <= e.window.max.x; ++x)
            if (e.cells[x][y].state == EMPTY && e.cells[x][y].threatClass[player] == threatClass)
                return true;
    return false;
}

// Follows the line behind a winning code that threatSearch has just stored: the
// attacker's stored trial squares, each a four that leaves the defender a single block,
// down to an open four or double four, and checks that five stands after exactly `code`
// plies. Takes every stone back.
void expectContinuousFours(Engine& e, int code) {
    const BoardSnapshot before(e);
    const int attacker = e.sideToMove, defender = e.otherSide;
    int remaining = code;
    int x, y;
    while (remaining > 3) {
        const ThreatEntry& entry = entryOf(e);
        ASSERT_EQ(entry.check1, e.hashCheck1);
        ASSERT_EQ(entry.check2, e.hashCheck2);
        ASSERT_EQ(entry.result, remaining);
        ASSERT_NE(entry.move.x, 0);
        e.makeMove(entry.move.x, entry.move.y);
        ASSERT_EQ(e.classCounts[attacker][CLASS_FIVE], 1) << "not a four";
        ASSERT_EQ(e.classCounts[defender][CLASS_FIVE], 0) << "the defender has a five";
        ASSERT_TRUE(findSquareOfClass(e, attacker, CLASS_FIVE, x, y));
        e.makeMove(x, y);
        remaining -= 2;
    }
    ASSERT_EQ(remaining, 3);
    ASSERT_TRUE(findSquareOfClass(e, attacker, CLASS_OPEN_FOUR, x, y));
    e.makeMove(x, y);
    ASSERT_GE(e.classCounts[attacker][CLASS_FIVE], 2);
    ASSERT_EQ(e.classCounts[defender][CLASS_FIVE], 0);
    ASSERT_TRUE(findSquareOfClass(e, attacker, CLASS_FIVE, x, y));
    e.makeMove(x, y);
    ASSERT_TRUE(findSquareOfClass(e, attacker, CLASS_FIVE, x, y));  // the other five square
    while (e.moveCount > before.moveCount) e.undo();
    ASSERT_TRUE(BoardSnapshot(e) == before);
}

TEST(ThreatCodes, DecidedFromTheCounts) {
    // Both sides have a five square: the side to move completes first.
    auto bothFives = positionFromRows({
        "...............",
        "..XXXX.........",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "..OOOO.........",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
    });
    readyToSearch(*bothFives);
    EXPECT_EQ(forcedWin(*bothFives), 1);
    EXPECT_EQ(threats(*bothFives), 1);
    EXPECT_EQ(entryOf(*bothFives).result, 1);
    EXPECT_EQ(entryOf(*bothFives).move, (Point{0, 0}));

    // The opponent has an open four: one block cannot stop both five squares.
    auto openFour = positionFromRows(positions::FACING_OPEN_FOUR);
    readyToSearch(*openFour);
    EXPECT_EQ(forcedWin(*openFour), -2);
    EXPECT_EQ(threats(*openFour), -2);
    // The code reads back signed, and from then on costs no node.
    openFour->threatBudget = 0;
    openFour->threatNodes = 0;
    EXPECT_EQ(threats(*openFour), -2);
    EXPECT_EQ(openFour->threatNodes, 0);

    // An own open three becomes an open four: 3, while the opponent has no five square.
    auto openThree = positionFromRows(positions::OPEN_THREE);
    readyToSearch(*openThree);
    EXPECT_EQ(forcedWin(*openThree), 3);
    EXPECT_EQ(threats(*openThree), 3);
    EXPECT_EQ(openThree->nodes, 0);
}

TEST(ThreatCodes, TwoOpenThreesWinOnlyAgainstNoCounterFour) {
    const std::vector<std::string> rows = {
        "...............", "...............", "...............", "...............",
        "...............", "........X......", "........X......", "......XX.......",
        "...............", "...............", "...............", "...............",
        "O.....O........", "...............", "O............O.",
    };
    auto e = positionFromRows(rows);
    EXPECT_EQ(e->cells[8 + BORDER][7 + BORDER].threatClass[0], CLASS_DOUBLE_THREE);
    readyToSearch(*e);
    EXPECT_EQ(forcedWin(*e), 5);
    EXPECT_EQ(threats(*e), 5);
    EXPECT_EQ(e->nodes, 0);  // decided without a trial
    EXPECT_EQ(e->threatNodes, 1);

    // The same with an opponent who can make a four: no decision, and no four to try.
    auto rows2 = rows;
    rows2[12] = "OOO............";
    rows2[14] = ".............O.";
    auto countered = positionFromRows(rows2);
    readyToSearch(*countered);
    EXPECT_GT(countered->classCounts[1][CLASS_FOUR], 0);
    EXPECT_EQ(forcedWin(*countered), 0);
    EXPECT_EQ(threats(*countered), 0);
    EXPECT_EQ(countered->nodes, 0);
    EXPECT_EQ(entryOf(*countered).move, (Point{BORDER, BORDER}));
}

TEST(ThreatCodes, TheSingleBlockDecides) {
    // Blocking the five square completes an open four of the side to move.
    auto wins = positionFromRows({
        "...............",
        "...............",
        "...............",
        "...............",
        "........X......",
        "........X......",
        "........X......",
        "...XOOOO.......",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
    });
    readyToSearch(*wins);
    EXPECT_EQ(forcedWin(*wins), 3);
    EXPECT_EQ(wins->nodes, 1);  // the block alone
    EXPECT_EQ(threats(*wins), 3);
    EXPECT_EQ(entryOf(*wins).move, protocolSquare(8, 7));

    // The block leads nowhere: 0, remembered with the blocking square.
    auto nowhere = positionFromRows(positions::SINGLE_BLOCK);
    readyToSearch(*nowhere);
    EXPECT_EQ(forcedWin(*nowhere), 0);
    EXPECT_EQ(threats(*nowhere), 0);
    EXPECT_EQ(entryOf(*nowhere).result, 0);
    EXPECT_EQ(entryOf(*nowhere).move, protocolSquare(8, 7));

    // After the block the opponent makes an open four: the block's node gives 3, so -4.
    auto loses = positionFromRows({
        "X....X....X....",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...XOOOO.......",
        "...............",
        "...............",
        "...............",
        ".....OOO.......",
        "...............",
        "...............",
        "X....X....X....",
    });
    readyToSearch(*loses);
    EXPECT_EQ(forcedWin(*loses), -4);
    EXPECT_EQ(threats(*loses), -4);
    loses->move(8, 7);
    readyToSearch(*loses);
    EXPECT_EQ(forcedWin(*loses), 3);
}

TEST(ThreatCodes, AWinningFourThree) {
    // (8,7) makes a four in its row and an open three in its column; the opponent's
    // closed three in the corner is a counter-four, so the square must be tried.
    auto e = positionFromRows(positions::FOUR_THREE);
    EXPECT_EQ(e->cells[8 + BORDER][7 + BORDER].threatClass[0], CLASS_FOUR_THREE);
    EXPECT_GT(e->classCounts[1][CLASS_FOUR], 0);
    readyToSearch(*e);
    EXPECT_EQ(forcedWin(*e), 5);
    EXPECT_GT(e->nodes, 0);
    EXPECT_EQ(threats(*e), 5);
    EXPECT_EQ(entryOf(*e).move, protocolSquare(8, 7));

    // After the deadline no four-three is tried any more: no forced result.
    readyToSearch(*e);
    e->deadline = 0;
    EXPECT_EQ(forcedWin(*e), 0);
    EXPECT_EQ(e->nodes, 0);
    EXPECT_TRUE(e->timeUp);

    // The lines below it: the forced block gives -4, the open four after it 3.
    e->move(8, 7);
    readyToSearch(*e);
    EXPECT_EQ(forcedWin(*e), -4);
    e->move(9, 7);
    readyToSearch(*e);
    EXPECT_EQ(forcedWin(*e), 3);
}

struct FoursCase {
    const std::vector<std::string>* rows;
    bool twenty;
    int code;
    int firstX, firstY;  // on the 15 by 15 board
};

TEST(ThreatSearch, FindsWinsByContinuousFours) {
    const FoursCase cases[] = {
        {&FOURS_IN_5, false, 5, 9, 8}, {&FOURS_IN_7, false, 7, 8, 8}, {&FOURS_IN_9, false, 9, 5, 5},
        {&FOURS_IN_5, true, 5, 9, 8},  {&FOURS_IN_7, true, 7, 8, 8},  {&FOURS_IN_9, true, 9, 5, 5},
    };
    for (const FoursCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.code << " plies on " << (c.twenty ? 20 : 15));
        auto e = positionFromRows(c.twenty ? onTwenty(*c.rows) : *c.rows);
        readyToSearch(*e);
        // No four-three and no open four; double threes do not count against a counter-four.
        EXPECT_EQ(e->classCounts[0][CLASS_FOUR_THREE] + e->classCounts[0][CLASS_OPEN_FOUR], 0);
        EXPECT_GT(e->classCounts[1][CLASS_FOUR], 0);
        EXPECT_EQ(forcedWin(*e), 0);
        EXPECT_EQ(e->nodes, 0);  // forcedWinCheck tries no plain four
        EXPECT_EQ(threats(*e), c.code);
        const int shift = c.twenty ? 3 : 0, down = c.twenty ? 4 : 0;
        EXPECT_EQ(entryOf(*e).move, protocolSquare(c.firstX + shift, c.firstY + down));
        expectContinuousFours(*e, c.code);
    }
}

TEST(ThreatSearch, TheTableAnswersBeyondTheLimitsButNotAfterTheDeadline) {
    auto e = positionFromRows(FOURS_IN_5);
    readyToSearch(*e);
    e->storeThreat(7, Point{});  // a verdict that only the table can give here
    e->threatBudget = 0;
    EXPECT_EQ(threats(*e), 7);
    e->threatBudget = THREAT_BUDGET;
    e->ply = THREAT_PLY_LIMIT + 1;
    EXPECT_EQ(threats(*e), 7);
    e->ply = 0;
    e->timeUp = 1;
    EXPECT_EQ(threats(*e), 0);  // forcedWinCheck's answer
    EXPECT_EQ(e->threatNodes, 0);

    // Without an entry, a spent budget or a passed ply limit hands the node over at once
    // and stores nothing.
    auto fresh = positionFromRows(FOURS_IN_5);
    readyToSearch(*fresh);
    fresh->threatBudget = 0;
    EXPECT_EQ(threats(*fresh), 0);
    fresh->threatBudget = THREAT_BUDGET;
    fresh->ply = THREAT_PLY_LIMIT + 1;
    EXPECT_EQ(threats(*fresh), 0);
    EXPECT_EQ(fresh->threatNodes, 0);
    EXPECT_NE(entryOf(*fresh).check1, fresh->hashCheck1);
    // Ply 20 is still searched.
    fresh->ply = THREAT_PLY_LIMIT;
    EXPECT_EQ(threats(*fresh), 5);
    EXPECT_GT(fresh->threatNodes, 0);
    EXPECT_EQ(fresh->threatBudget, THREAT_BUDGET - fresh->threatNodes);
}

TEST(ThreatSearch, CodesBeyondEightBitsReadBack) {
    auto e = positionFromRows(FOURS_IN_5);
    readyToSearch(*e);
    e->storeThreat(201, Point{});
    EXPECT_EQ(threats(*e), 201);
    e->storeThreat(-130, Point{});
    EXPECT_EQ(threats(*e), -130);
}

TEST(ThreatSearch, ReadsTheClockOnlyAtItsCheckPoints) {
    // A quiet position: the node decides alone, with no trial below it.
    auto e = positions::startedEngine(15);
    positions::playMoves(*e, {{7, 7}, {3, 3}});
    for (int count :
         {0, 1, 3, 4, 5, 8188, 8191, 8192, 8196, 12000, 16380, 16383, 16384, 16388, 24576, 32768}) {
        readyToSearch(*e);
        e->deadline = 0;  // long past
        e->threatNodes = count;
        e->threatTable[e->hashIndex & THREAT_TABLE_MASK].check1 = ~e->hashCheck1;
        threats(*e);
        EXPECT_EQ(e->timeUp != 0, (count & THREAT_TIME_MASK) == 0) << count;
    }
}

}  // namespace
}  // namespace quillmot
