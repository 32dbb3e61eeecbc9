#include "search/openings.h"

#include "engine/engine.h"

namespace quillmot {

namespace {

// Draws after which a board gets the most even opening seen: 15 by 15 needs a few.
constexpr int MAX_DRAWS = 200;
// The value of the position that judges it: a full-width search to depth 3 (the spread
// plays no part in the value).
constexpr Level JUDGE{"judge", 3, 1, NO_CAP, 0};

}  // namespace

Opening drawBalancedOpening(Engine& engine, LevelRandom& random) {
    const int side = 2 * OPENING_REACH + 1;
    const int left = engine.boardSize / 2 - OPENING_REACH;
    const int top = engine.boardHeight / 2 - OPENING_REACH;
    Opening best{};
    int bestValue = -1;
    for (int draw = 0; draw < MAX_DRAWS; ++draw) {
        // Every stone is drawn, so a draw takes six numbers, placed or not.
        Opening opening;
        int placed = 0;
        bool distinct = true;
        for (Point& stone : opening) {
            const int x = left + random.below(side);
            stone = toEngine(x, top + random.below(side));
            distinct = distinct && engine.isEmptySquare(stone);
            if (!distinct) continue;
            engine.makeMove(stone.x, stone.y);
            ++placed;
        }
        if (placed == 3) {
            playLevel(engine, JUDGE, 0, 0);
            const int value = engine.report.score < 0 ? -engine.report.score : engine.report.score;
            if (bestValue < 0 || value < bestValue) {
                best = opening;
                bestValue = value;
            }
        }
        for (int i = 0; i < placed; ++i) engine.undo();
        if (placed == 3 && bestValue <= BALANCED_OPENING) break;
    }
    return best;
}

}  // namespace quillmot
