#include <cstring>

#include "engine/engine.h"
#include "search/clock.h"

namespace quillmot {

namespace {

// The deadline keeps a margin for the move's way back to the manager: the reply through the
// pipes, a loaded machine, and the last node's return from deep in the search. Short turns
// keep 150 ms, turns up to 15 s keep 600 ms, longer ones a second.
constexpr int SHORT_TURN_MS = 4500;
constexpr int SHORT_TURN_MARGIN_MS = 150;
constexpr int MEDIUM_TURN_MARGIN_MS = 600;
constexpr int LONG_TURN_MARGIN_MS = 1000;

int deadlineMargin(int budget) {
    return budget <= SHORT_TURN_MS    ? SHORT_TURN_MARGIN_MS
           : budget <= LONG_SEARCH_MS ? MEDIUM_TURN_MARGIN_MS
                                      : LONG_TURN_MARGIN_MS;
}

// A search started without a budget, or without a usable depth limit, gets these.
constexpr int DEFAULT_BUDGET_MS = 8000;
constexpr int SMALLEST_MAX_DEPTH = 2;

bool startsLine(const SearchReport& report, int x, int y) {  // engine coordinates
    return report.lineLength > 0 && report.line[0].x == x && report.line[0].y == y;
}

}  // namespace

void Engine::reportIteration(int depth, int score) {
    report.depth = depth;
    report.score = score;
    report.nodes = nodes;
    report.milliseconds = readClock() - searchStart;
    // Row 0 of the line table up to its length, and never past an empty entry. Columns
    // beyond the length are left from earlier lines. A root decided by the search table
    // leaves no line of its own (length 0): the previous iteration's line stands. A root
    // with a single move copies the length of a line it never searched, which can be 0:
    // its line is that move.
    if (pvLength[0] > 0) {
        int length = 0;
        while (length < pvLength[0] && pvTable[0][length].x != 0) {
            report.line[length] = pvTable[0][length];
            ++length;
        }
        report.lineLength = length;
    }
    if (report.lineLength == 0 && pvTable[0][0].x != 0) {
        report.line[0] = pvTable[0][0];
        report.lineLength = 1;
    }
    if (reportCallback != nullptr) reportCallback(reportContext, *this, report);
}

void Engine::iterativeDeepening(int& x, int& y) {
    if (timeBudget <= 0) timeBudget = DEFAULT_BUDGET_MS;
    if (maxDepth < SMALLEST_MAX_DEPTH) maxDepth = MAX_SEARCH_DEPTH;

    // The deadline, from the clock at the start.
    const int64_t now = readClock();
    searchStart = now;
    deadline = now + timeBudget - deadlineMargin(timeBudget);

    // A clean search state: no line, no deadline seen, no nodes.
    std::memset(pvTable, 0, sizeof pvTable);
    timeUp = 0;
    ply = 0;
    nodes = 0;
    nextClockCheck = 0;
    nodeLimit = std::numeric_limits<int64_t>::max();
    threatNodes = 0;
    threatBudget = THREAT_BUDGET;
    completedDepth = 0;
    report = SearchReport{};

    // Deeper and deeper until the deadline or the depth limit; the principal-variation
    // table has room for 62 plies below the root.
    const int lastDepth = maxDepth < PV_PLIES - 2 ? maxDepth : PV_PLIES - 2;
    for (int depth = FIRST_DEPTH; depth <= lastDepth; ++depth) {
        followPv = 1;
        if (timeUp) break;
        threatBudget = timeBudget <= LONG_SEARCH_MS ? THREAT_BUDGET : THREAT_BUDGET_LONG;
        ply = 0;
        const int score = pvSearch(depth, true, -SEARCH_INFINITY, SEARCH_INFINITY);
        if (timeUp) continue;  // cut short: no report, and the loop ends
        completedDepth = depth;
        reportIteration(depth, score);
    }

    // Bounds hold for this search only; the move is the first of the best line found.
    clearSearchBounds();
    x = pvTable[0][0].x - BORDER;
    y = pvTable[0][0].y - BORDER;
    // An iteration cut short keeps the last root move that raised alpha in it, which need
    // not be the one the last report expects.
    report.otherMove = report.depth > 0 && !startsLine(report, pvTable[0][0].x, pvTable[0][0].y);
}

bool Engine::searchMove(int& x, int& y) {
    iterativeDeepening(x, y);
    int ex = x + BORDER, ey = y + BORDER;
    if (!legalOrFallback(ex, ey)) return false;
    report.otherMove = report.depth > 0 && !startsLine(report, ex, ey);
    x = ex - BORDER;
    y = ey - BORDER;
    return true;
}

}  // namespace quillmot
