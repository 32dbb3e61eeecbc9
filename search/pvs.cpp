#include <cassert>

#include "engine/engine.h"

namespace quillmot {

int Engine::pvSearch(int depth, bool root, int alpha, int beta) {
    assert(alpha < beta);
    // 1, 2.
    if (timeUp) return leafValue();
    if ((nodes & 4095) == 0) checkTime();

    // 3, 4.
    pvLength[ply] = ply;
    int best = alpha - 1;
    Point bestMove{};
    uint8_t bound = BOUND_UPPER;

    // 5.
    const int probed = probeSearchTable(alpha, beta, depth, ply);
    if (probed != PROBE_MISS && probed != PROBE_KNOWN) return probed;

    // 6 - 8. A forced result ends an inner node; the root only takes its own five.
    const int threat = ply < 4 ? threatSearch() : forcedWinCheck();
    if (!root) {
        if (threat > 0) return WIN_SCORE - threat;
        if (threat < 0) return -WIN_SCORE - threat;
    }
    if (threat == 1) {
        int x, y;
        if (findFiveSquare(x, y)) {
            storePv(x, y);
            return winIn(1);
        }
    }

    // 9.
    if (depth <= 0) return leafValue();

    // 10, 11.
    ScoredMove list[MOVE_LIST_CAPACITY];
    int count;
    generateMoves(list, &count);
    if (root && count == 1) {
        storePv(list[0].x, list[0].y);
        return leafValue();
    }

    // 12 - 14.
    count = orderMoves(list, count, PV_PRIORITY);

    // 15.
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

    // 16.
    storeSearchResult(bestMove, best, bound, depth);
    return best;
}

}  // namespace quillmot
