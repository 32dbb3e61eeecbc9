#include <cassert>

#include "engine/engine.h"

namespace quillmot {

namespace {

// The list without the moves the root leaves out, in the same order.
int leaveOut(const SearchLimits& limits, ScoredMove* list, int count) {
    int kept = 0;
    for (int i = 0; i < count; ++i)
        if (!limits.excludes(list[i].x, list[i].y)) list[kept++] = list[i];
    return kept;
}

}  // namespace

int Engine::pvSearch(int depth, bool root, int alpha, int beta) {
    assert(alpha < beta);
    // Past the deadline every node is a leaf; the clock is read once every 4096 nodes, at
    // the first node entry from each multiple of 4096 on.
    if (timeUp) return leafValue();
    checkTimeWhenDue();

    // An empty line from this ply, and nothing above alpha yet.
    pvLength[ply] = ply;
    int best = alpha - 1;
    Point bestMove{};
    uint8_t bound = BOUND_UPPER;

    // Transposition table lookup. A root that leaves moves out takes no cut from the table,
    // whose score may be one of theirs, and stores nothing there.
    const bool leavingOut = root && limits.excludedCount > 0;
    const int probed = leavingOut ? PROBE_MISS : probeSearchTable(alpha, beta, depth, ply);
    if (probed != PROBE_MISS && probed != PROBE_KNOWN) return probed;

    // Forced wins: the memoised threat search near the root, the narrow check deeper. A
    // forced result ends an inner node; the root only takes its own five.
    const int threat = ply < THREAT_SEARCH_PLIES ? threatSearch() : forcedWinCheck();
    if (!root) {
        if (threat > 0) return WIN_SCORE - threat;
        if (threat < 0) return -WIN_SCORE - threat;
    }
    if (threat == 1) {
        int x, y;
        if (findFiveSquare(x, y, leavingOut ? &limits : nullptr)) {
            storePv(x, y);
            return winIn(1);
        }
    }

    // Horizon: the static evaluation.
    if (depth <= 0) return leafValue();

    // The moves; a root with a single move plays it without searching.
    ScoredMove list[MOVE_LIST_CAPACITY];
    int count;
    generateMoves(list, &count);
    if (root && count == 1 && !limits.excludes(list[0].x, list[0].y)) {
        storePv(list[0].x, list[0].y);
        return leafValue();
    }

    // The previous best line first, then by score; at a root that leaves moves out, what is
    // left of them, and no move at all when nothing is.
    count = orderMoves(list, count, PV_PRIORITY);
    if (leavingOut) count = leaveOut(limits, list, count);

    // The first move with the full window, the others with a null window around alpha and
    // again with the full window when they land inside it.
    for (int i = 0; i < count; ++i) {
        const ScoredMove m = list[i];
        makeMove(m.x, m.y);
        int v;
        if (i == 0) {
            v = -pvSearch(depth - 1, false, -beta, -alpha);
        } else {
            v = -pvSearch(depth - 1, false, -alpha - 1, -alpha);
            if (alpha < v && v < beta) v = -pvSearch(depth - 1, false, -beta, -alpha);
        }
        undo();
        // An interrupted subtree changes nothing: no store, no new line.
        if (timeUp) return best;
        if (v > best) {
            best = v;
            bestMove = Point{static_cast<uint8_t>(m.x), static_cast<uint8_t>(m.y)};
            if (v >= beta) {
                bound = BOUND_LOWER;
                break;
            }
            if (v > alpha) {
                alpha = v;
                bound = BOUND_EXACT;
                storePv(m.x, m.y);
            }
        }
    }

    // The result, as a bound or an exact score, into the table.
    if (!leavingOut) storeSearchResult(bestMove, best, bound, depth);
    return best;
}

}  // namespace quillmot
