#include <cstring>

#include "engine/engine.h"
#include "search/clock.h"

namespace quillmot {

void Engine::beginSearch(const SearchLimits& searchLimits) {
    limits = searchLimits;
    // No line: the principal-variation ordering and the report start from nothing.
    std::memset(pvTable, 0, sizeof pvTable);
    std::memset(pvLength, 0, sizeof pvLength);
    followPv = 0;
    ply = 0;
    // No deadline, nothing seen of it, no nodes; the allowance counts from here.
    searchStart = readClock();
    deadline = NO_DEADLINE;
    timeUp = 0;
    nodes = 0;
    nextClockCheck = 0;
    nodeLimit = limits.nodes > 0 ? limits.nodes : NO_NODE_LIMIT;
    threatNodes = 0;
    threatBudget = THREAT_BUDGET;
    completedDepth = 0;
    report = SearchReport{};
}

void Engine::setSearchBudget(int milliseconds, int depth) {
    timeBudget = milliseconds;
    maxDepth = depth;
}

void Engine::publishReport(int depth, int score) {
    report.depth = depth;
    report.score = score;
    report.nodes = nodes;
    report.milliseconds = readClock() - searchStart;
    // Row 0 of the line store up to its length, and never past an empty entry. Columns
    // beyond the length are left from earlier lines. A root decided by the search table
    // leaves no line of its own (length 0): the previous iteration's line stands. A root
    // with a single move copies the length of a line it never searched, which can be 0:
    // its line is that move.
    if (pvLength[0] > 0) {
        int length = 0;
        while (length < pvLength[0] && isSquare(pvTable[0][length])) {
            report.line[length] = pvTable[0][length];
            ++length;
        }
        report.lineLength = length;
    }
    if (report.lineLength == 0 && isSquare(pvTable[0][0])) {
        report.line[0] = pvTable[0][0];
        report.lineLength = 1;
    }
    if (limits.onReport != nullptr) limits.onReport(limits.reportContext, *this, report);
}

}  // namespace quillmot
