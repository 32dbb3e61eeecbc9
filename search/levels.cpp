#include "search/levels.h"

#include <limits>

#include "engine/engine.h"
#include "patterns/cell_scores.h"
#include "search/ordering.h"

namespace quillmot {

namespace {

static_assert(NO_CAP == SEARCH_INFINITY);

// The nodes a fixed-depth level may spend on one depth before it tries the next shallower
// one. Depth 5 needs under 80,000 on every benchmark position; a crowded 32 by 32 board can
// take it hundreds of millions (minutes).
constexpr int64_t LEVEL_NODES = 2'000'000;

// clang-format off
// Measured by quillmot-bench ladder: each level scores 60% to 75% against the one below it
// (Full strength, at a second a move, more), and First steps loses about half its games to
// a player that only extends its longest line. Below Full strength only First steps draws
// random numbers; the others are the full search at a node allowance, which grows by a
// factor of about two a level at the bottom and more above, where more nodes buy less.
constexpr Level LEVELS[LEVEL_COUNT] = {
    {"First steps",   1, 270,    100,      0},
    {"Beginner",      0,   1, NO_CAP,      1},
    {"Novice",        0,   1, NO_CAP,   1750},
    {"Casual",        0,   1, NO_CAP,   3100},
    {"Improver",      0,   1, NO_CAP,   7100},
    {"Club",          0,   1, NO_CAP,  17700},
    {"Expert",        0,   1, NO_CAP,  97300},
    {"Full strength", 0,   1, NO_CAP,      0},
};
// clang-format on

// A fixed-depth value loses a point of magnitude per ply on its way up, so a forced one
// counts the plies from the root. The report counts them from the end of its line, as the
// full search's scores do, so that forcedPlies reads both alike; nothing follows the five.
int reportedScore(int value, int& lineLength) {
    if (!isForcedScore(value)) return value;
    const int plies = WIN_SCORE - (value > 0 ? value : -value);
    if (lineLength > plies - 1) lineLength = plies - 1;
    const int magnitude = WIN_SCORE - plies + lineLength;
    return value > 0 ? magnitude : -magnitude;
}

// A fixed-depth line can hold moves of another branch, copied where a value came from the
// table: it ends before the first move that is not on an empty square, and after a five.
int playableLength(Engine& engine, const Point* line, int length) {
    const int64_t searched = engine.nodes;  // the stones placed here are no search's
    int played = 0;
    while (played < length) {
        const Point m = line[played];
        if (!engine.isEmptySquare(m)) break;
        const bool five = engine.cells[m.x][m.y].threatClass[engine.sideToMove] == CLASS_FIVE;
        engine.makeMove(m.x, m.y);
        ++played;
        if (five) break;
    }
    for (int i = 0; i < played; ++i) engine.undo();
    engine.nodes = searched;
    return played;
}

// The root moves of a weak level: the block alone against a single five threat, else every
// candidate square that the generator would list, best-scoring first. The generator's other
// shortcuts (one's own open four, the squares that still matter against the opponent's) are
// left to the level's search and its cap, so that a beginner can overlook them.
int rootMoves(const Engine& engine, ScoredMove* list) {
    int count = 0;
    if (engine.classCounts[engine.otherSide][CLASS_FIVE] > 0) {
        engine.generateMoves(list, &count);
        return count;
    }
    scanWindow(engine.window, [&](int x, int y) {
        const Cell& cell = engine.cells[x][y];
        if (!engine.isCandidate(cell)) return;
        const int score = cellScore(cell);
        if (score > 1)
            list[count++] = ScoredMove{static_cast<int16_t>(x), static_cast<int16_t>(y), score};
    });
    sortMoves(list, count);
    return count > 0 ? count : engine.candidateFallback(list);
}

// Every root move searched to depth with a full window, within LEVEL_NODES more nodes:
// its exact value for the side to move, and the best one's line in row 0 of the line store,
// as the full search leaves it. Decisive values lose a point per ply on the way up, as
// inside the search. False when the allowance ran out first; depth 1 never runs out.
bool searchRootMoves(Engine& engine, const ScoredMove* list, int count, int depth, int* values,
                     int& best) {
    engine.nodeLimit = depth > 1 ? engine.nodes + LEVEL_NODES : NO_NODE_LIMIT;
    engine.nextClockCheck = engine.nodes;
    best = 0;
    for (int i = 0; i < count; ++i) {
        const ScoredMove m = list[i];
        engine.makeMove(m.x, m.y);
        int v = -engine.fixedDepthSearch(depth - 1, false, -SEARCH_INFINITY, SEARCH_INFINITY).score;
        if (v >= FIXED_DECISIVE_SCORE)
            v -= 1;
        else if (v <= -FIXED_DECISIVE_SCORE)
            v += 1;
        values[i] = v;
        const bool better = !engine.timeUp && (i == 0 || v > values[best]);
        engine.undo();
        if (engine.timeUp) return false;
        if (better) {
            best = i;
            engine.storePv(m.x, m.y);
        }
    }
    return true;
}

// Below full strength: every root move searched to the level's depth with a full window,
// then the seeded choice. The move in engine coordinates, NO_MOVE on a full board.
Point weakMove(Engine& engine, const Level& level, uint64_t seed, const SearchLimits& limits) {
    // The search table forgets every position: iterative deepening wrote its scores for the
    // side to move, the fixed-depth search would read them as the value for the side that
    // just moved; and a level's move then depends on the position and the seed alone.
    engine.forgetPositions();
    engine.beginSearch(limits);
    engine.completedDepth = level.depth;

    // 1. Its own five, at once.
    int x, y;
    if (engine.classCounts[engine.sideToMove][CLASS_FIVE] > 0 && engine.findFiveSquare(x, y)) {
        engine.storePv(x, y);
        engine.publishReport(level.depth, winIn(1));
        return Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
    }

    // 2. The root moves.
    ScoredMove list[MOVE_LIST_CAPACITY];
    const int count = rootMoves(engine, list);
    if (count == 0) return engine.legalOrFallback(NO_MOVE);

    // 3. The exact value of each, for the side to move, and the best's line; at a shallower
    // depth when the level's own would take more than its node allowance (crowded big
    // boards), so that no level keeps a person waiting.
    int values[MOVE_LIST_CAPACITY];
    int best = 0;
    int depth = level.depth;
    while (!searchRootMoves(engine, list, count, depth, values, best)) {
        --depth;
        engine.forgetPositions();  // the cut search stored values it never finished
        engine.timeUp = 0;
    }
    engine.nodeLimit = NO_NODE_LIMIT;
    engine.completedDepth = depth;

    // 4. The choice: the highest value after capping and a random amount below the spread;
    // one number per move, in list order.
    LevelRandom random(seed);
    int chosen = 0, chosenKey = std::numeric_limits<int>::min();
    for (int i = 0; i < count; ++i) {
        int capped = values[i];
        if (capped > level.cap) capped = level.cap;
        if (capped < -level.cap) capped = -level.cap;
        const int key = capped + random.below(level.spread);
        if (key > chosenKey) {
            chosen = i;
            chosenKey = key;
        }
    }

    // 5. The report of the best move, its line cut to what can be played and counted as the
    // full search counts it, and the move chosen.
    int length = playableLength(engine, engine.pvTable[0], engine.pvLength[0]);
    const int score = reportedScore(values[best], length);
    engine.pvLength[0] = length;
    engine.report.otherMove = chosen != best;
    engine.publishReport(depth, score);
    return pointOf(list[chosen]);
}

}  // namespace

const Level* findLevel(int number) {
    return number >= 1 && number <= LEVEL_COUNT ? &LEVELS[number - 1] : nullptr;
}

// splitmix64: every seed, 0 included, starts a full-period sequence.
uint32_t LevelRandom::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

Point levelMove(Engine& engine, int level, int milliseconds, uint64_t seed,
                const SearchLimits& limits) {
    const Level* found = findLevel(level);
    return playLevel(engine, found != nullptr ? *found : LEVELS[FULL_STRENGTH - 1], milliseconds,
                     seed, limits);
}

Point playLevel(Engine& engine, const Level& level, int milliseconds, uint64_t seed,
                const SearchLimits& limits) {
    // The first stone: the centre, as the program plays it, at every level.
    if (engine.stoneCount() == 0) {
        engine.beginSearch(limits);
        return toEngine(engine.boardSize / 2, engine.boardHeight / 2);
    }
    if (level.depth > 0) return weakMove(engine, level, seed, limits);
    if (level.nodes == 0) {
        engine.setSearchBudget(milliseconds);
        return engine.gameMove(limits);
    }
    // Without a deadline: the allowance alone ends the search. Like full strength, the level
    // profits from what the engine's earlier searches stored (its steps from one level to the
    // next are the more even for it), so the same moves and searches give the same move,
    // natively and in the page.
    SearchLimits allowance = limits;
    allowance.nodes = level.nodes;
    engine.setSearchBudget(NO_DEADLINE_MS);
    return engine.gameMove(allowance);
}

}  // namespace quillmot
