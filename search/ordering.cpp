#include "search/ordering.h"

#include "engine/engine.h"

namespace quillmot {

int compareScoreDescending(const ScoredMove& a, const ScoredMove& b) { return b.score - a.score; }

// Insertion sort: lists are short and mostly ordered, and it is stable.
void sortMoves(ScoredMove* list, int count) {
    for (int i = 1; i < count; ++i) {
        const ScoredMove move = list[i];
        int j = i;
        while (j > 0 && compareScoreDescending(list[j - 1], move) > 0) {
            list[j] = list[j - 1];
            --j;
        }
        list[j] = move;
    }
}

// The first square by rows on which the side to move completes five.
bool Engine::findFiveSquare(int& x, int& y) const {
    for (int cy = window.min.y; cy <= window.max.y; ++cy) {
        for (int cx = window.min.x; cx <= window.max.x; ++cx) {
            const Cell& cell = cells[cx][cy];
            if (isCandidate(cell) && cell.threatClass[sideToMove] == CLASS_FIVE) {
                x = cx;
                y = cy;
                return true;
            }
        }
    }
    return false;
}

// Every candidate square of the window, by rows, at score 0. At most one per square.
int Engine::candidateFallback(ScoredMove* list) const {
    int count = 0;
    for (int y = window.min.y; y <= window.max.y; ++y)
        for (int x = window.min.x; x <= window.max.x; ++x)
            if (isCandidate(cells[x][y]))
                list[count++] = ScoredMove{static_cast<int16_t>(x), static_cast<int16_t>(y), 0};
    return count;
}

// While the node lies on the previous best line, that line's move at this ply goes first.
void Engine::orderPv(ScoredMove* list, int count, int priority) {
    if (!followPv) return;
    followPv = 0;
    const PvMove pv = pvTable[0][ply];
    for (int i = 0; i < count; ++i) {
        if (list[i].x == pv.x && list[i].y == pv.y) {
            followPv = 1;
            list[i].score = priority;
            return;
        }
    }
}

}  // namespace quillmot
