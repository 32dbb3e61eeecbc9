#include "engine/engine.h"

namespace quillmot {

int Engine::probeSearchTable(int alpha, int beta, int depth, int atPly) const {
    const SearchEntry& entry = searchTable[hashIndex];
    if (entry.check1 != hashCheck1 || entry.check2 != hashCheck2) return PROBE_MISS;
    int score = entry.score;
    if (entry.bound & BOUND_ANY) {
        // Decisive scores count from the root, so they shrink by the probing node's ply;
        // they are trusted at any depth.
        bool decisive = false;
        if (score >= DECISIVE_SCORE) {
            score -= atPly;
            decisive = true;
        } else if (score <= -DECISIVE_SCORE) {
            score += atPly;
            decisive = true;
        }
        if (entry.depth >= depth || decisive) {
            if (entry.bound & BOUND_LOWER) {
                if (score >= beta) return score;
            } else if (entry.bound & BOUND_UPPER) {
                if (score <= alpha) return score;
            } else {
                return score;
            }
        }
    }
    return entry.depth <= 0 ? PROBE_MISS : PROBE_KNOWN;
}

// Depth-preferred: a deeper bounded entry stays, whichever position it belongs to.
void Engine::storeSearchResult(Point bestMove, int score, uint8_t bound, int depth) {
    SearchEntry& entry = searchTable[hashIndex];
    if ((entry.bound & BOUND_ANY) && entry.depth > depth) return;
    entry.move = bestMove;
    entry.score = static_cast<int16_t>(score);
    entry.bound = bound;
    entry.depth = static_cast<int16_t>(depth);
    entry.check1 = hashCheck1;
    entry.check2 = hashCheck2;
}

void Engine::storeExactValue(int score, int depth, int stones, Point bestMove) {
    SearchEntry& entry = searchTable[hashIndex];
    entry.score = static_cast<int16_t>(score);
    entry.depth = static_cast<int16_t>(depth);
    entry.stones = static_cast<int16_t>(stones);
    entry.check1 = hashCheck1;
    entry.check2 = hashCheck2;
    entry.move = bestMove;
}

// Bounds are valid within one search only; keys, depths and moves stay as ordering hints.
void Engine::clearSearchBounds() {
    for (SearchEntry& entry : searchTable) entry.bound = BOUND_NONE;
}

void Engine::storePv(int x, int y) {
    const int p = ply;
    pvTable[p][p] = Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
    for (int i = p + 1; i < pvLength[p + 1]; ++i) pvTable[p][i] = pvTable[p + 1][i];
    pvLength[p] = pvLength[p + 1];
}

}  // namespace quillmot
