#include "engine/engine.h"

namespace quillmot {

namespace {

// The deadline keeps a margin for the move's way back to the manager: the reply through the
// pipes, a loaded machine, and the last node's return from deep in the search. Short turns
// keep 150 ms, turns up to 15 s keep 600 ms, longer ones a second.
constexpr int SHORT_TURN_MS = 4500;
constexpr int SHORT_TURN_MARGIN_MS = 150;
constexpr int MEDIUM_TURN_MARGIN_MS = 600;
constexpr int LONG_TURN_MARGIN_MS = 1000;

// A search started without a budget, or without a usable depth limit, gets these.
constexpr int DEFAULT_BUDGET_MS = 8000;
constexpr int SMALLEST_MAX_DEPTH = 2;

bool startsLine(const SearchReport& report, Point move) {
    return report.lineLength > 0 && report.line[0] == move;
}

}  // namespace

int deadlineMargin(int budget) {
    return budget <= SHORT_TURN_MS    ? SHORT_TURN_MARGIN_MS
           : budget <= LONG_SEARCH_MS ? MEDIUM_TURN_MARGIN_MS
                                      : LONG_TURN_MARGIN_MS;
}

Point Engine::deepen(const SearchLimits& searchLimits) {
    if (timeBudget <= 0) timeBudget = DEFAULT_BUDGET_MS;
    if (maxDepth < SMALLEST_MAX_DEPTH) maxDepth = MAX_SEARCH_DEPTH;
    beginSearch(searchLimits);
    deadline = searchStart + timeBudget - deadlineMargin(timeBudget);

    // Deeper and deeper until the deadline, the node allowance or the depth limit; the
    // principal-variation table has room for 62 plies below the root.
    const int lastDepth = maxDepth < PV_PLIES - 2 ? maxDepth : PV_PLIES - 2;
    for (int depth = FIRST_DEPTH; depth <= lastDepth; ++depth) {
        followPv = 1;
        if (timeUp) break;
        threatBudget = timeBudget <= LONG_SEARCH_MS ? THREAT_BUDGET : THREAT_BUDGET_LONG;
        ply = 0;
        const int score = pvSearch(depth, true, -SEARCH_INFINITY, SEARCH_INFINITY);
        if (timeUp) continue;  // cut short: no report, and the loop ends
        completedDepth = depth;
        publishReport(depth, score);
    }

    // Bounds hold for this search only; the move is the first of the best line found. An
    // iteration cut short keeps the last root move that raised alpha in it, which need not
    // be the one the last report expects.
    clearSearchBounds();
    const Point move = pvTable[0][0];
    report.otherMove = report.depth > 0 && !startsLine(report, move);
    return move;
}

void Engine::iterativeDeepening(int& x, int& y, const SearchLimits& searchLimits) {
    const ProtocolSquare move = toProtocol(deepen(searchLimits));
    x = move.x;
    y = move.y;
}

Point Engine::gameMove(const SearchLimits& searchLimits) {
    const Point move = legalOrFallback(deepen(searchLimits));
    if (isSquare(move)) report.otherMove = report.depth > 0 && !startsLine(report, move);
    return move;
}

bool Engine::searchMove(int& x, int& y, const SearchLimits& searchLimits) {
    const Point move = gameMove(searchLimits);
    if (!isSquare(move)) return false;
    const ProtocolSquare square = toProtocol(move);
    x = square.x;
    y = square.y;
    return true;
}

}  // namespace quillmot
