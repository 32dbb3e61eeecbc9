#include "engine/engine.h"

namespace quillmot {

namespace {

ScoredMove result(int x, int y, int score) {
    return ScoredMove{static_cast<int16_t>(x), static_cast<int16_t>(y), score};
}

}  // namespace

// Fail-hard alpha-beta over the closed window [lo, hi], keeping exact child values.
ScoredMove Engine::fixedDepthSearch(int depth, bool root, int lo, int hi) {
    // A reversed window answers at once; past the deadline nothing counts; the clock is
    // read once every 4096 nodes.
    if (lo > hi + 1) return result(0, 0, hi + 1);
    int best = lo - 1;
    ScoredMove bestMove = result(0, 0, 0);
    if (timeUp) return result(0, 0, 0);
    checkTimeWhenDue();
    pvLength[ply] = ply;

    // Forced wins end an inner node; the root only takes its own five. The horizon is the
    // static evaluation.
    const int threat = forcedWinCheck();
    if (!root) {
        if (threat > 0) return result(0, 0, WIN_SCORE - threat);
        if (threat < 0) return result(0, 0, -WIN_SCORE - threat);
    }
    if (threat == 1) {
        int x, y;
        if (findFiveSquare(x, y)) {
            storePv(x, y);
            return result(x, y, winIn(1));
        }
    }
    if (depth == 0) return result(0, 0, leafValue());

    // The moves, ordered; a root with a single move returns it without searching.
    ScoredMove list[MOVE_LIST_CAPACITY];
    int count;
    generateMoves(list, &count);
    if (root && count == 1) {
        storePv(list[0].x, list[0].y);
        return list[0];
    }
    count = orderMoves(list, count, FIXED_PV_PRIORITY);

    // Each child: its exact value from the table when one is stored for this depth, else
    // searched, and stored when the window proves it exact.
    for (int i = 0; i < count; ++i) {
        const ScoredMove m = list[i];
        makeMove(m.x, m.y);
        int v;
        const SearchEntry& entry = searchTable[hashIndex];
        if (entry.check1 == hashCheck1 && entry.check2 == hashCheck2 && entry.depth == depth - 1) {
            v = entry.score;
        } else {
            // Decisive scores lose a point per ply on the way up, so the child's window
            // widens by one inside that band.
            int childLo = -hi, childHi = -best - 1;
            if (childLo <= -FIXED_DECISIVE_SCORE) childLo -= 1;
            if (childHi >= FIXED_DECISIVE_SCORE) childHi += 1;
            const ScoredMove reply = fixedDepthSearch(depth - 1, false, childLo, childHi);
            v = -reply.score;
            if (v >= FIXED_DECISIVE_SCORE)
                v -= 1;
            else if (v <= -FIXED_DECISIVE_SCORE)
                v += 1;
            if (-childHi <= v && v <= -childLo)
                storeExactValue(v, depth - 1, moveCount, pointOf(reply));
        }
        undo();
        if (timeUp) return result(0, 0, 0);
        if (v > best) {
            bestMove = m;
            best = v;
            if (v > hi) return result(m.x, m.y, hi + 1);
            storePv(m.x, m.y);
        }
    }

    // The best move and its value, or lo - 1 when no move reached lo.
    return result(bestMove.x, bestMove.y, best);
}

void Engine::yourTurn(int& x, int& y, int depth, int /*time*/) {
    // A clean search state: no deadline, no line left over from an earlier search, and
    // depth at most 20 so that the principal-variation table is never overrun.
    if (depth <= 0) depth = 1;
    if (depth > MAX_SEARCH_DEPTH) depth = MAX_SEARCH_DEPTH;
    beginSearch(SearchLimits{});

    const ScoredMove found = fixedDepthSearch(depth, true, -SEARCH_INFINITY, SEARCH_INFINITY);
    const Point chosen = legalOrFallback(pointOf(found));
    if (!isSquare(chosen)) {
        x = -1;
        y = -1;
        return;
    }
    const ProtocolSquare square = toProtocol(chosen);
    x = square.x;
    y = square.y;
    move(x, y);
}

}  // namespace quillmot
