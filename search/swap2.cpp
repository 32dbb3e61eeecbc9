#include "search/swap2.h"

#include "engine/engine.h"
#include "engine/set_up.h"
#include "search/clock.h"
#include "search/openings.h"

namespace quillmot {

namespace {

// The engine's own game, taken back for the decision's positions and played again after.
class BorrowedBoard {
public:
    explicit BorrowedBoard(Engine& engine) : engine_(engine) { takeBackAll(engine_, saved_); }
    ~BorrowedBoard() {
        while (engine_.moveCount > 0) engine_.undo();
        replay(engine_, saved_);
    }
    BorrowedBoard(const BorrowedBoard&) = delete;
    BorrowedBoard& operator=(const BorrowedBoard&) = delete;

private:
    Engine& engine_;
    SavedGame saved_;
};

}  // namespace

Swap2Decision swap2Opening(Engine& engine, uint64_t seed) {
    BorrowedBoard board(engine);
    LevelRandom random(seed);
    const Opening opening = drawBalancedOpening(engine, random);
    Swap2Decision decision;
    decision.count = 3;
    for (int i = 0; i < 3; ++i) decision.stones[i] = opening[i];
    return decision;
}

Swap2Decision swap2Decide(Engine& engine, const Point* stones, int count, int milliseconds,
                          int maxDepth) {
    BorrowedBoard board(engine);
    for (int i = 0; i < count; ++i) engine.makeMove(stones[i].x, stones[i].y);
    const int64_t start = readClock();
    // On three stones a second search may follow: the first takes half the time.
    engine.setSearchBudget(count == 3 && milliseconds > 1 ? milliseconds / 2 : milliseconds,
                           maxDepth);
    const Point move = engine.gameMove();
    Swap2Decision decision;
    decision.score = engine.report.score - TEMPO_BONUS;
    const int swapBelow = count == 3 ? -EVEN_BAND : 0;
    if (decision.score < swapBelow || !isSquare(move)) {
        decision.swap = true;
        return decision;
    }
    decision.stones[decision.count++] = move;
    if (count != 3 || decision.score > EVEN_BAND) return decision;

    // Even: place Black's best reply too, and let the other side choose.
    engine.makeMove(move.x, move.y);
    const int64_t left = milliseconds - (readClock() - start);
    engine.setSearchBudget(left > 1 ? static_cast<int>(left) : 1, maxDepth);
    const Point reply = engine.gameMove();
    if (isSquare(reply)) decision.stones[decision.count++] = reply;
    return decision;
}

}  // namespace quillmot
