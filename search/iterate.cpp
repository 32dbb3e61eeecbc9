#include <cstring>

#include "engine/engine.h"
#include "search/clock.h"

namespace quillmot {

namespace {

// The deadline keeps a margin for the move's way back to the manager.
int deadlineMargin(int budget) { return budget <= 4500 ? 150 : budget <= 15000 ? 600 : 1000; }

}  // namespace

void Engine::iterativeDeepening(int& x, int& y) {
    // 1.
    if (timeBudget <= 0) timeBudget = 8000;
    if (maxDepth < 2) maxDepth = MAX_SEARCH_DEPTH;

    // 2.
    const int64_t now = readClock();
    searchStart = now;
    deadline = now + timeBudget - deadlineMargin(timeBudget);

    // 3.
    std::memset(pvTable, 0, sizeof pvTable);
    timeUp = 0;
    ply = 0;
    nodes = 0;
    threatNodes = 0;
    threatBudget = THREAT_BUDGET;
    completedDepth = 0;

    // 4. The principal-variation table has room for 62 plies below the root.
    const int lastDepth = maxDepth < PV_PLIES - 2 ? maxDepth : PV_PLIES - 2;
    for (int depth = FIRST_DEPTH; depth <= lastDepth; ++depth) {
        followPv = 1;
        if (timeUp) break;
        threatBudget = timeBudget <= 15000 ? THREAT_BUDGET : THREAT_BUDGET_LONG;
        ply = 0;
        pvSearch(depth, true, -SEARCH_INFINITY, SEARCH_INFINITY);
        if (!timeUp) completedDepth = depth;
    }

    // 5, 6.
    clearSearchBounds();
    x = pvTable[0][0].x - BORDER;
    y = pvTable[0][0].y - BORDER;
}

}  // namespace quillmot
