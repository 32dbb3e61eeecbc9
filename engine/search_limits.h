// What a caller may set for one search beyond the design's own inputs (timeBudget and
// maxDepth, which the Engine holds): a node allowance, who hears of each completed
// iteration, and root moves to leave out.
#pragma once

#include <cstdint>

#include "base/types.h"
#include "engine/search_report.h"

namespace quillmot {

// Room for the moves an analysis has already found and asks the search to look past.
constexpr int MAX_EXCLUDED_MOVES = 16;

struct SearchLimits {
    // Stones the search may place, 0 for no allowance. Read at the clock check, never per
    // node, so the search stops at the first check point at or past it: the same nodes on
    // every machine.
    int64_t nodes = 0;
    // Called on the searching thread as each iteration completes.
    ReportCallback onReport = nullptr;
    void* reportContext = nullptr;
    // Root moves the search leaves out, engine coordinates: it never plays, stores or
    // reports them, and yields NO_MOVE when no other move is left.
    int excludedCount = 0;
    Point excluded[MAX_EXCLUDED_MOVES]{};

    bool excludes(int x, int y) const {
        for (int i = 0; i < excludedCount; ++i)
            if (excluded[i].x == x && excluded[i].y == y) return true;
        return false;
    }
    // False, and nothing added, when the list is full.
    bool exclude(Point move) {
        if (excludedCount == MAX_EXCLUDED_MOVES) return false;
        excluded[excludedCount++] = move;
        return true;
    }
};

}  // namespace quillmot
