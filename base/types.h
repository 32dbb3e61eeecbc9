// Constants and small types shared by every layer of the engine.
#pragma once

#include <cstdint>

namespace quillmot {

// Board geometry. Engine coordinates are protocol coordinates plus BORDER, so the
// four squares beyond every edge exist in the array and read as "outside".
constexpr int BORDER = 4;
constexpr int MAX_BOARD = 32;
constexpr int MIN_BOARD = 5;
constexpr int BOARD_ARRAY = MAX_BOARD + 2 * BORDER;  // 40 squares per side
constexpr int MAX_MOVES = MAX_BOARD * MAX_BOARD;     // stones: one per square
// History entries: every stone, and the passes of a set-up that gives one side more
// stones than alternate play can (at most one pass per stone, so twice the squares).
constexpr int MAX_HISTORY = 2 * MAX_MOVES;

// Square states.
constexpr int STONE_0 = 0;
constexpr int STONE_1 = 1;
constexpr int EMPTY = 2;
constexpr int OUTSIDE = 3;

// Direction k has step (DIR_DX[k], DIR_DY[k]); every per-direction array uses this order.
constexpr int DIRECTIONS = 4;
constexpr int DIR_DX[DIRECTIONS] = {1, 0, 1, 1};
constexpr int DIR_DY[DIRECTIONS] = {0, 1, 1, -1};

// Threat classes run from 0 to 10; 1 is never produced.
constexpr int CLASS_COUNT = 11;
constexpr int CLASS_FIVE = 10;
constexpr int CLASS_OPEN_FOUR = 9;   // open four, or two fours at once
constexpr int CLASS_FOUR_THREE = 8;  // four and open three
constexpr int CLASS_FOUR_TWO = 7;    // four and a three or an open two
constexpr int CLASS_FOUR = 6;        // four alone
constexpr int CLASS_DOUBLE_THREE = 5;

// Hash tables: the search table is addressed by the 18-bit hashIndex directly; the
// threat table keeps its 2^21 size although only the first 2^18 slots are reachable.
constexpr int HASH_INDEX_BITS = 18;
constexpr uint32_t HASH_INDEX_MASK = (1u << HASH_INDEX_BITS) - 1;
constexpr int SEARCH_TABLE_SIZE = 1 << 18;
constexpr int THREAT_TABLE_SIZE = 1 << 21;
constexpr uint32_t THREAT_TABLE_MASK = THREAT_TABLE_SIZE - 1;
constexpr int THREAT_TABLE_REACHED = 1 << HASH_INDEX_BITS;  // entries hashIndex & mask can be

// Scores, from the side to move's point of view.
constexpr int WIN_SCORE = 30000;
constexpr int SEARCH_INFINITY = 32000;
constexpr int DECISIVE_SCORE = 10000;  // the search table trusts these at any depth
constexpr int TEMPO_BONUS = 70;
// How a root score reads to a person once TEMPO_BONUS is taken off: within EVEN_BAND either
// way neither side stands better, up to BETTER_BAND one side is better, beyond it much better.
// Measured on the benchmark positions and on games between the levels; Swap2's choices of
// colour use the same bands.
constexpr int EVEN_BAND = 120;
constexpr int BETTER_BAND = 500;
constexpr int TABLE_MOVE_SCORE = 10000;
constexpr int PV_PRIORITY = 25020;
constexpr int FIXED_PV_PRIORITY = 30002;
constexpr int FIXED_DECISIVE_SCORE = 25000;
constexpr int MAX_SEARCH_DEPTH = 20;
constexpr int FIRST_DEPTH = 5;

constexpr int winIn(int plies) { return WIN_SCORE - plies; }

// A root score this close to WIN_SCORE is a forced five: for the side to move when
// positive, against it when negative. The forcing lines the search finds are far shorter
// than 64 plies.
constexpr int FORCED_SCORE = WIN_SCORE - 64;
constexpr bool isForcedScore(int score) { return score >= FORCED_SCORE || score <= -FORCED_SCORE; }
// The plies to the forced five of a root score with its expected line, signed like the
// score; 0 when the score is not forced. A forced score counts the plies from the node that
// saw the win, where the line ends, so the line's length comes on top: an estimate, since a
// score from the search table was counted from another node. The root's own five is the
// one line that holds the five itself; any other line of one move ends with the opponent
// to move, whose win is a negative score.
constexpr int forcedPlies(int score, int lineLength) {
    if (!isForcedScore(score)) return 0;
    if (score == winIn(1) && lineLength == 1) return 1;
    const int plies = lineLength + WIN_SCORE - (score > 0 ? score : -score);
    return score > 0 ? plies : -plies;
}

// A move list holds every square of the largest board, so no generator or fallback
// scan can write past its end, however crowded the board.
constexpr int MOVE_LIST_CAPACITY = MAX_BOARD * MAX_BOARD;

// Principal-variation table: 64 plies, far beyond the deepest search (20).
constexpr int PV_PLIES = 64;

// Threat search limits.
constexpr int THREAT_PLY_LIMIT = 20;
// Plies 0 to 3 use the threat search, deeper ones the narrow check.
constexpr int THREAT_SEARCH_PLIES = 4;
constexpr int THREAT_TIME_MASK = 0x2003;
constexpr int THREAT_BUDGET = 300000;
constexpr int THREAT_BUDGET_LONG = 400000;  // when the move may take more than LONG_SEARCH_MS
constexpr int LONG_SEARCH_MS = 15000;

// The clock is read once every 4096 nodes: a few times a millisecond, often enough to stop
// close to the deadline and rarely enough to cost nothing. Both searches read it at the
// first node entry at or past each multiple of 4096, since the threat trials between two
// entries often step over the multiple itself.
constexpr int CLOCK_CHECK_MASK = 4095;
// A search without a deadline, and without a node allowance, never sees either reached.
constexpr int64_t NO_DEADLINE = INT64_MAX;  // a clock reading
constexpr int64_t NO_NODE_LIMIT = INT64_MAX;
// A budget for iterative deepening that no search reaches (twelve days): the depth alone
// ends it.
constexpr int NO_DEADLINE_MS = 1 << 30;

// Square of engine coordinates. Trivial on purpose: the hash tables hold millions of them,
// and only the entries a search can reach are ever written.
struct Point {
    uint8_t x;
    uint8_t y;
    friend bool operator==(Point, Point) = default;
};
static_assert(sizeof(Point) == 2);

// What a search yields when it has no move: a square of the border (x = 0), which no stone
// takes. Point{} is NO_MOVE, so cleared tables and lines hold it.
constexpr Point NO_MOVE{0, 0};
// A turn given away in a set-up, as the history records it: another border square.
constexpr Point PASS{0, 1};
constexpr bool isSquare(Point p) { return p.x != 0; }  // neither NO_MOVE nor PASS

// Protocol coordinates are 0-based columns and rows, as on the wire; the engine's squares
// lie BORDER further on. The edges that speak protocol coordinates (the front end, the C
// API of the page, the benchmark) convert here.
struct ProtocolSquare {
    int x;
    int y;
};
constexpr Point toEngine(int x, int y) {
    return Point{static_cast<uint8_t>(x + BORDER), static_cast<uint8_t>(y + BORDER)};
}
constexpr ProtocolSquare toProtocol(Point p) { return {p.x - BORDER, p.y - BORDER}; }

// Element of every move list: engine coordinates and an ordering score.
struct ScoredMove {
    int16_t x;
    int16_t y;
    int32_t score;
};
static_assert(sizeof(ScoredMove) == 8);
constexpr Point pointOf(const ScoredMove& m) {
    return Point{static_cast<uint8_t>(m.x), static_cast<uint8_t>(m.y)};
}

}  // namespace quillmot
