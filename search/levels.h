// Levels of play: full strength, and weaker players for people. Nodes or depth, never time,
// make a level weak, so that the program and the page (WebAssembly, at about 0.6 of native
// speed) play alike. Most are the full search at a node allowance; the weakest searches
// every root move to a small fixed depth with a full window, so that it knows each move's
// exact value, and then chooses among the near-best with seeded random numbers.
#pragma once

#include <cstdint>

#include "engine/search_limits.h"

namespace quillmot {

class Engine;

constexpr int LEVEL_COUNT = 8;
constexpr int FULL_STRENGTH = LEVEL_COUNT;
// The levels nearest the five of the earlier table (Beginner, Casual, Club, Strong, Full
// strength), by the ladder's games against the new ones: what old records and preferences
// with levels 1 to 5 mean now.
constexpr int FORMER_LEVELS[] = {1, 3, 4, 6, 8};

// Values of a weak level that count whatever their size.
constexpr int NO_CAP = 32000;

struct Level {
    const char* name;
    // Of a weak level's full-width search; 0 for the full search (iterative deepening).
    int depth;
    // Each root move's value gets a random amount below spread before the highest is
    // taken: a move that much worse than the best is never chosen.
    int spread;
    // Values count at most this much either way: a level with a small cap takes a forced
    // loss for a bad position, as a beginner overlooks a threat. Its own five and the block
    // of a single five threat are the only moves it is offered then, so it never misses them.
    int cap;
    // The full search's node allowance per move (depth 0): the same moves on every machine.
    // 0 at full strength, which searches for the time it is given.
    int64_t nodes;
};

// Levels 1 (the weakest) to LEVEL_COUNT; nullptr for any other number.
const Level* findLevel(int number);

// The numbers of the weak levels. The mapping to a range is this code's own (the standard
// distributions differ between libraries), so a seed draws the same numbers natively and in
// the page.
class LevelRandom {
public:
    explicit LevelRandom(uint64_t seed) : state_(seed) {}
    uint32_t next();
    // 0 .. n - 1, for n from 1 to 2^31.
    int below(int n) {
        return static_cast<int>((static_cast<uint64_t>(next()) * static_cast<uint32_t>(n)) >> 32);
    }

private:
    uint64_t state_;
};

// The move of the level for the side to move, in engine coordinates, returned unplayed;
// the engine's report tells the level's view of the position. The centre on a board
// without stones. milliseconds (the budget) counts only at full strength, which is the turn
// driver's search; the seed only below it, where the same position and seed give the same
// move. A level outside 1 .. LEVEL_COUNT plays at full strength. The limits' callback hears
// of the report; NO_MOVE only when the board has no empty square.
Point levelMove(Engine& engine, int level, int milliseconds, uint64_t seed,
                const SearchLimits& limits = {});
// The same for a level given whole (the ladder tries levels of its own).
Point playLevel(Engine& engine, const Level& level, int milliseconds, uint64_t seed,
                const SearchLimits& limits = {});

}  // namespace quillmot
