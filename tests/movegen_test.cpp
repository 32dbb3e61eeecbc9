// Move generation on real positions: the table move, the candidate scan by rows and the
// forced replies, checked against the board's own view of each square.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "patterns/cell_scores.h"
#include "patterns/threat_classes.h"
#include "test_util.h"

namespace quillmot {
namespace {

using positions::positionFromRows;
using positions::startedEngine;

static_assert(MOVE_LIST_CAPACITY >= MAX_BOARD * MAX_BOARD, "a list holds every square");

struct Square {
    int x, y, score;
    friend bool operator==(const Square&, const Square&) = default;
};

std::ostream& operator<<(std::ostream& os, const Square& s) {
    return os << "(" << s.x - BORDER << "," << s.y - BORDER << ")=" << s.score;
}

// Engine coordinates of a protocol square.
Square sq(int px, int py, int score) { return {px + BORDER, py + BORDER, score}; }

int scoreAt(const Engine& e, int px, int py) {
    return cellScore(e.cells[px + BORDER][py + BORDER]);
}

// Everything the generator may read, so that a call can be shown to leave it alone.
std::vector<uint8_t> positionBytes(const Engine& e) {
    std::vector<uint8_t> bytes;
    auto add = [&bytes](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    };
    add(&e.cells, sizeof e.cells);
    add(e.classCounts, sizeof e.classCounts);
    add(&e.window, sizeof e.window);
    add(&e.searchTable[e.hashIndex], sizeof(SearchEntry));
    const uint32_t hash[] = {e.hashIndex, e.hashCheck1, e.hashCheck2};
    const int32_t sides[] = {e.sideToMove, e.otherSide, e.moveCount, e.ply};
    add(hash, sizeof hash);
    add(sides, sizeof sides);
    return bytes;
}

// Runs the generator into a full-size list on the heap (so that AddressSanitizer sees any
// write past its end) and checks that the position is unchanged.
std::vector<Square> generate(const Engine& e) {
    const std::vector<uint8_t> before = positionBytes(e);
    std::vector<ScoredMove> list(MOVE_LIST_CAPACITY, ScoredMove{-7, -7, -7});
    int count = -1;
    e.generateMoves(list.data(), &count);
    EXPECT_TRUE(positionBytes(e) == before) << "the generator changed the position";
    EXPECT_GE(count, 0);
    EXPECT_LE(count, MOVE_LIST_CAPACITY);
    std::vector<Square> moves;
    for (int i = 0; i < count && i < MOVE_LIST_CAPACITY; ++i)
        moves.push_back({list[i].x, list[i].y, list[i].score});
    return moves;
}

// The quiet list, found independently: every empty square of the whole board with a stone
// within reach whose score exceeds 1, by rows.
std::vector<Square> quietList(const Engine& e, int skipX = -1, int skipY = -1) {
    std::vector<Square> moves;
    for (int y = BORDER; y < BORDER + e.boardHeight; ++y) {
        for (int x = BORDER; x < BORDER + e.boardSize; ++x) {
            const Cell& c = e.cells[x][y];
            if (c.state != EMPTY || (c.near1 == 0 && c.near2 == 0) || (x == skipX && y == skipY))
                continue;
            if (cellScore(c) > 1) moves.push_back({x, y, cellScore(c)});
        }
    }
    return moves;
}

// Makes the table remember a best move for the current position.
void rememberMove(Engine& e, int px, int py, int depth = 3, uint8_t bound = BOUND_NONE) {
    SearchEntry& entry = e.searchTable[e.hashIndex];
    entry = SearchEntry{};
    entry.check1 = e.hashCheck1;
    entry.check2 = e.hashCheck2;
    entry.depth = static_cast<int16_t>(depth);
    entry.move = Point{uint8_t(px + BORDER), uint8_t(py + BORDER)};
    entry.bound = bound;
}

bool anyForcedClass(const Engine& e) {
    for (int p = 0; p < 2; ++p)
        if (e.classCounts[p][CLASS_FIVE] > 0 || e.classCounts[p][CLASS_OPEN_FOUR] > 0) return true;
    return false;
}

// ---- Nothing forced ----

TEST(MoveGenQuiet, OneStoneGivesItsEightNeighbours) {
    auto e = startedEngine(15);
    e->move(7, 7);
    // Adjacent squares see the stone on one line (4) and have a neighbour (1); the squares two
    // steps away along the lines score 0 and are left out, as are the knight's-move squares.
    const std::vector<Square> expected = {sq(6, 6, 5), sq(7, 6, 5), sq(8, 6, 5), sq(6, 7, 5),
                                          sq(8, 7, 5), sq(6, 8, 5), sq(7, 8, 5), sq(8, 8, 5)};
    EXPECT_EQ(generate(*e), expected);
    EXPECT_EQ(scoreAt(*e, 5, 7), 0);
    EXPECT_NE(e->cells[5 + BORDER][7 + BORDER].near2, 0);
}

TEST(MoveGenQuiet, SquaresScoringOneAreLeftOut) {
    // Next to a corner stone every line is dead: the neighbours score 1, the rest 0.
    auto corner = startedEngine(15);
    corner->move(0, 0);
    EXPECT_EQ(scoreAt(*corner, 1, 0), 1);
    EXPECT_EQ(scoreAt(*corner, 1, 1), 1);
    EXPECT_EQ(scoreAt(*corner, 2, 2), 0);
    EXPECT_TRUE(generate(*corner).empty());
    // With a second stone in the open only its neighbours remain, even though the corner's
    // squares come first in the scan.
    corner->move(7, 7);
    const std::vector<Square> expected = {sq(6, 6, 5), sq(7, 6, 5), sq(8, 6, 5), sq(6, 7, 5),
                                          sq(8, 7, 5), sq(6, 8, 5), sq(7, 8, 5), sq(8, 8, 5)};
    EXPECT_EQ(generate(*corner), expected);
}

TEST(MoveGenQuiet, MiddleGamePositionsListEveryCandidateByRows) {
    const std::vector<std::vector<std::string>> diagrams = {
        {
            "...............",
            "...............",
            "...............",
            "....X..........",
            ".....O.........",
            "....OXX........",
            "......O.X......",
            ".......XO......",
            "...............",
            "...O...........",
            "...............",
            ".............X.",
            "...............",
            "..............O",
            "...............",
        },
        {
            "........O",
            ".........",
            "..X.O....",
            "...XO....",
            ".........",
            "X........",
            ".........",
            "........O",
            "X........",
        },
        {
            "....................",
            "..XO................",
            "..OX................",
            "....................",
            "...........X........",
            "..........O.X.......",
            "...........O........",
            "....................",
            "....................",
            "....................",
            "....................",
            "....................",
            "....................",
            "....................",
            "....................",
            "....................",
            ".................X..",
            "..................O.",
        },
    };
    for (const auto& rows : diagrams) {
        auto e = positionFromRows(rows);
        ASSERT_FALSE(anyForcedClass(*e)) << rows[0];
        const std::vector<Square> expected = quietList(*e);
        EXPECT_GE(expected.size(), 10u);
        // Some candidates score 0 or 1 and must not be listed.
        int lowScoring = 0;
        for (int y = e->window.min.y; y <= e->window.max.y; ++y)
            for (int x = e->window.min.x; x <= e->window.max.x; ++x)
                if (e->isCandidate(e->cells[x][y]) && cellScore(e->cells[x][y]) <= 1) ++lowScoring;
        EXPECT_GT(lowScoring, 0);
        EXPECT_EQ(generate(*e), expected) << rows[0];
    }
}

// ---- The table move ----

TEST(MoveGenTableMove, ComesFirstOnceWithItsOwnScore) {
    auto e = startedEngine(15);
    positions::playMoves(*e, {{7, 7}, {8, 8}, {6, 8}});
    const std::vector<Square> plain = quietList(*e);

    // A candidate square: listed first with 10000, and not again by the scan.
    rememberMove(*e, 7, 8);
    std::vector<Square> expected = {sq(7, 8, TABLE_MOVE_SCORE)};
    for (const Square& s : quietList(*e, 7 + BORDER, 8 + BORDER)) expected.push_back(s);
    EXPECT_EQ(expected.size(), plain.size());
    EXPECT_EQ(generate(*e), expected);

    // A square far from every stone: still first; the scan follows in full.
    rememberMove(*e, 0, 14);
    expected = {sq(0, 14, TABLE_MOVE_SCORE)};
    expected.insert(expected.end(), plain.begin(), plain.end());
    EXPECT_EQ(generate(*e), expected);

    // Depth 0 is enough, and the bound plays no part.
    rememberMove(*e, 7, 8, 0, BOUND_NONE);
    EXPECT_EQ(generate(*e).at(0), sq(7, 8, TABLE_MOVE_SCORE));
    rememberMove(*e, 7, 8, 9, BOUND_LOWER);
    e->clearSearchBounds();
    EXPECT_EQ(generate(*e).at(0), sq(7, 8, TABLE_MOVE_SCORE));
}

TEST(MoveGenTableMove, StoredByTheSearchAndFoundAgainByTransposition) {
    auto e = startedEngine(15);
    positions::playMoves(*e, {{7, 7}, {8, 8}, {6, 8}});
    e->storeSearchResult(Point{7 + BORDER, 8 + BORDER}, 40, BOUND_EXACT, 5);
    e->clearSearchBounds();
    for (int i = 0; i < 3; ++i) e->undo();
    positions::playMoves(*e, {{6, 8}, {8, 8}, {7, 7}});
    EXPECT_EQ(generate(*e).at(0), sq(7, 8, TABLE_MOVE_SCORE));
    // One stone more is another position.
    e->move(10, 10);
    EXPECT_EQ(generate(*e), quietList(*e));
}

TEST(MoveGenTableMove, IgnoredWithoutAUsableEntry) {
    auto e = startedEngine(15);
    positions::playMoves(*e, {{7, 7}, {8, 8}, {6, 8}});
    const std::vector<Square> plain = quietList(*e);
    // (7,8) is listed, but not first: taking it as a table move would show.
    const Square square78 = sq(7, 8, scoreAt(*e, 7, 8));
    ASSERT_NE(std::find(plain.begin() + 1, plain.end(), square78), plain.end());

    rememberMove(*e, 7, 8, -1);  // negative depth
    EXPECT_EQ(generate(*e), plain);
    e->searchTable[e->hashIndex].depth = 4;
    e->searchTable[e->hashIndex].move = Point{0, 8 + BORDER};  // x byte 0: no move
    EXPECT_EQ(generate(*e), plain);
    rememberMove(*e, 7, 8);
    e->searchTable[e->hashIndex].check2 ^= 1;  // another position on the slot
    EXPECT_EQ(generate(*e), plain);
    rememberMove(*e, 8, 8);  // a stone stands there (a collision of both keys)
    EXPECT_EQ(generate(*e), plain);
    rememberMove(*e, 15, 3);  // off a 15-square board, e.g. from a larger earlier game
    EXPECT_EQ(generate(*e), plain);
}

// ---- Forced replies ----

// X (player 0) to move in every diagram below: both colours have as many stones.

TEST(MoveGenForced, OwnFive) {
    auto e = positionFromRows({
        "...............",
        "...............",
        "...............",
        "...XXXX........",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "..........O....",
        "...............",
        "............O..",
        ".O.............",
        "...............",
        "..........O....",
    });
    ASSERT_EQ(e->sideToMove, 0);
    const int five = scoreAt(*e, 2, 3);
    ASSERT_GT(five, 1);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(2, 3, five)});
    // A table move that completes five is preferred, and keeps its score.
    rememberMove(*e, 7, 3);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(7, 3, TABLE_MOVE_SCORE)});
    // One that does not is passed over.
    rememberMove(*e, 4, 4);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(2, 3, five)});
}

TEST(MoveGenForced, TwoOwnFivesTakeTheLowestRowThenTheLowestColumn) {
    // Fives at (12,7) by the column and at (2,10) and (7,10) by the row.
    auto e = positionFromRows({
        "...............",
        "...............",
        "............O..",
        "............X..",
        "............X..",
        "............X..",
        "............X..",
        "...............",
        "...............",
        "...............",
        "...XXXX........",
        "...............",
        "O..O..O........",
        "...............",
        "O..O..O..O.....",
    });
    ASSERT_EQ(e->sideToMove, 0);
    ASSERT_EQ(e->classCounts[0][CLASS_FIVE], 3);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(12, 7, scoreAt(*e, 12, 7))});
    rememberMove(*e, 7, 10);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(7, 10, TABLE_MOVE_SCORE)});

    // Within one row the lower x wins.
    auto row = positionFromRows({
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...XXXX........",
        "...............",
        "O..O..O........",
        "...............",
        "O..............",
    });
    EXPECT_EQ(generate(*row), std::vector<Square>{sq(2, 10, scoreAt(*row, 2, 10))});
}

TEST(MoveGenForced, OpponentsFiveIsBlockedBeforeAnOpenFourIsMade) {
    // O threatens five at (7,2); X could make an open four at (3,8) or (7,8).
    auto e = positionFromRows({
        "...............",
        "...............",
        "..XOOOO........",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "....XXX........",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
    });
    ASSERT_EQ(e->sideToMove, 0);
    ASSERT_GT(e->classCounts[0][CLASS_OPEN_FOUR], 0);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(7, 2, scoreAt(*e, 7, 2))});
    rememberMove(*e, 3, 8);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(7, 2, scoreAt(*e, 7, 2))});
}

TEST(MoveGenForced, BothSidesHaveAFiveAndTheOwnOneIsPlayed) {
    // O's five square (7,2) comes first in the scan, X's (7,10) later.
    auto e = positionFromRows({
        "...............",
        "...............",
        "..XOOOO........",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "..OXXXX........",
        "...............",
        "...............",
        "...............",
        "...............",
    });
    ASSERT_EQ(e->sideToMove, 0);
    ASSERT_GT(e->classCounts[1][CLASS_FIVE], 0);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(7, 10, scoreAt(*e, 7, 10))});
    rememberMove(*e, 7, 2);  // the table move blocks, but completing five comes first
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(7, 10, scoreAt(*e, 7, 10))});
}

TEST(MoveGenForced, OwnOpenFourBeforeAnsweringTheOpponents) {
    // Both have an open three; X, to move, makes the open four at the first square by rows.
    auto e = positionFromRows({
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        "...............",
        ".....XXX.......",
        "...............",
        "...............",
        "...............",
        "...............",
        ".....OOO.......",
        "...............",
        "...............",
    });
    ASSERT_EQ(e->sideToMove, 0);
    ASSERT_EQ(e->cells[4 + BORDER][7 + BORDER].threatClass[0], CLASS_OPEN_FOUR);
    ASSERT_GT(e->classCounts[1][CLASS_OPEN_FOUR], 0);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(4, 7, scoreAt(*e, 4, 7))});
    rememberMove(*e, 8, 7);
    EXPECT_EQ(generate(*e), std::vector<Square>{sq(8, 7, TABLE_MOVE_SCORE)});
}

TEST(MoveGenForced, AgainstAnOpenFourOnlyFoursAndTheirAnswersAreListed) {
    // O's open three makes fours at (3..4,7) and (8..9,7), X's closed three at (8,3), (9,3).
    auto e = positionFromRows({
        "...............",
        "...............",
        "...............",
        "....OXXX.......",
        "...............",
        "...............",
        "...............",
        ".....OOO.......",
        "...............",
        "...............",
        "...............",
        "...............",
        "............X..",
        "...............",
        "...............",
    });
    ASSERT_EQ(e->sideToMove, 0);
    ASSERT_EQ(e->classCounts[0][CLASS_FIVE] + e->classCounts[1][CLASS_FIVE] +
                  e->classCounts[0][CLASS_OPEN_FOUR],
              0);
    ASSERT_GT(e->classCounts[1][CLASS_OPEN_FOUR], 0);
    const std::vector<Square> expected = {
        sq(8, 3, scoreAt(*e, 8, 3)), sq(9, 3, scoreAt(*e, 9, 3)), sq(3, 7, scoreAt(*e, 3, 7)),
        sq(4, 7, scoreAt(*e, 4, 7)), sq(8, 7, scoreAt(*e, 8, 7)), sq(9, 7, scoreAt(*e, 9, 7)),
    };
    EXPECT_EQ(generate(*e), expected);

    // A table move that answers nothing is dropped; one that does keeps its own score and
    // its place in the scan.
    rememberMove(*e, 12, 11);
    EXPECT_EQ(generate(*e), expected);
    rememberMove(*e, 8, 7);
    EXPECT_EQ(generate(*e), expected);
    for (const Square& s : generate(*e)) EXPECT_NE(s.score, TABLE_MOVE_SCORE);
}

// ---- Crowded boards and random games ----

// Every listed square is an empty square of the board, none twice.
void expectLegalAndDistinct(const Engine& e, const std::vector<Square>& moves) {
    std::set<std::pair<int, int>> seen;
    for (const Square& s : moves) {
        ASSERT_TRUE(e.isPlayable(s.x, s.y)) << s;
        ASSERT_EQ(e.cells[s.x][s.y].state, EMPTY) << s;
        ASSERT_TRUE(seen.insert({s.x, s.y}).second) << "listed twice: " << s;
    }
}

TEST(MoveGenCrowded, MoreThanTwoHundredFiftySixCandidatesOnTheLargestBoard) {
    // Stones every third square, coloured like a chessboard: rows and columns alternate, so
    // they are dead, while each diagonal holds one colour, two squares apart, which makes
    // open threes between them but never a four.
    std::vector<std::string> rows(MAX_BOARD, std::string(MAX_BOARD, '.'));
    for (int y = 0; y < 30; y += 3)
        for (int x = 0; x < 30; x += 3) rows[y][x] = (x / 3 + y / 3) % 2 == 0 ? 'X' : 'O';
    auto e = positionFromRows(rows);
    ASSERT_FALSE(anyForcedClass(*e));
    for (int c = CLASS_FOUR; c <= CLASS_FIVE; ++c)
        ASSERT_EQ(e->classCounts[0][c] + e->classCounts[1][c], 0);

    const std::vector<Square> moves = generate(*e);
    EXPECT_GT(moves.size(), 256u);
    expectLegalAndDistinct(*e, moves);
    EXPECT_EQ(moves, quietList(*e));
    // With a table move as well.
    rememberMove(*e, 31, 31);
    const std::vector<Square> withTable = generate(*e);
    EXPECT_EQ(withTable.size(), moves.size() + 1);
    expectLegalAndDistinct(*e, withTable);
}

// Random games on several boards, with table moves pointing anywhere: the list never holds
// an illegal or repeated square, a forced reply is a square of the forcing class, and a
// quiet list is exactly the scored candidates by rows.
void randomGameLists(int width, int height, uint32_t seed) {
    std::mt19937 rng(seed);
    auto e = startedEngine(width, height);
    const int squares = width * height;
    for (int step = 0; step < squares; ++step) {
        int x, y;
        do {
            x = static_cast<int>(rng() % width) + BORDER;
            y = static_cast<int>(rng() % height) + BORDER;
        } while (e->cells[x][y].state != EMPTY);
        e->makeMove(x, y);
        if (rng() % 2)
            rememberMove(*e, static_cast<int>(rng() % width), static_cast<int>(rng() % height));

        const std::vector<Square> moves = generate(*e);
        expectLegalAndDistinct(*e, moves);
        const SearchEntry& entry = e->searchTable[e->hashIndex];
        const bool table = entry.check1 == e->hashCheck1 && entry.check2 == e->hashCheck2 &&
                           entry.depth >= 0 && entry.move.x != 0 &&
                           e->cells[entry.move.x][entry.move.y].state == EMPTY;
        const int me = e->sideToMove, opp = e->otherSide;
        const auto forcedBy = [&](int player, int threatClass) {
            ASSERT_EQ(moves.size(), 1u) << "step " << step;
            EXPECT_EQ(e->cells[moves[0].x][moves[0].y].threatClass[player], threatClass);
        };
        if (e->classCounts[me][CLASS_FIVE] > 0) {
            forcedBy(me, CLASS_FIVE);
        } else if (e->classCounts[opp][CLASS_FIVE] > 0) {
            forcedBy(opp, CLASS_FIVE);
        } else if (e->classCounts[me][CLASS_OPEN_FOUR] > 0) {
            forcedBy(me, CLASS_OPEN_FOUR);
        } else if (e->classCounts[opp][CLASS_OPEN_FOUR] > 0) {
            ASSERT_FALSE(moves.empty()) << "step " << step;
            for (const Square& s : moves) {
                const Cell& c = e->cells[s.x][s.y];
                EXPECT_TRUE(c.threatClass[me] >= CLASS_FOUR || c.threatClass[opp] >= CLASS_FOUR)
                    << s;
                EXPECT_EQ(s.score, cellScore(c)) << s;
            }
        } else if (table) {
            ASSERT_FALSE(moves.empty());
            EXPECT_EQ(moves[0], (Square{entry.move.x, entry.move.y, TABLE_MOVE_SCORE}));
            EXPECT_EQ(std::vector<Square>(moves.begin() + 1, moves.end()),
                      quietList(*e, entry.move.x, entry.move.y))
                << "step " << step;
        } else {
            EXPECT_EQ(moves, quietList(*e)) << "step " << step;
        }
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(MoveGenCrowded, RandomGamesUpToAFullBoard) {
    randomGameLists(15, 15, 11);
    randomGameLists(20, 20, 12);
    randomGameLists(32, 32, 13);
    randomGameLists(19, 8, 14);
}

}  // namespace
}  // namespace quillmot
