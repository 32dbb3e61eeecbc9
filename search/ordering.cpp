#include "search/ordering.h"

#include "engine/engine.h"

namespace quillmot {

int compareScoreDescending(const ScoredMove& a, const ScoredMove& b) { return b.score - a.score; }

namespace {

void insertionSort(ScoredMove* list, int count) {
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

constexpr int SMALL_LIST = 24;
constexpr int SQUARE_SCORES = 128;  // square scores lie in 0 .. 121
constexpr int MAX_HIGH = 8;         // the table move and the principal-variation move

}  // namespace

// Short lists by insertion. Longer ones by counting the square scores, with the few
// higher scores (table move, principal-variation move) put in front by insertion; both
// ways keep equal scores in their order.
void sortMoves(ScoredMove* list, int count) {
    if (count <= SMALL_LIST) {
        insertionSort(list, count);
        return;
    }
    ScoredMove high[MAX_HIGH];
    int highCount = 0;
    int counts[SQUARE_SCORES] = {};
    for (int i = 0; i < count; ++i) {
        const int score = list[i].score;
        if (score >= 0 && score < SQUARE_SCORES) {
            ++counts[score];
        } else if (score >= SQUARE_SCORES && highCount < MAX_HIGH) {
            high[highCount++] = list[i];
        } else {
            insertionSort(list, count);  // scores this engine does not produce
            return;
        }
    }
    int next[SQUARE_SCORES];
    for (int score = SQUARE_SCORES - 1, position = highCount; score >= 0; --score) {
        next[score] = position;
        position += counts[score];
    }
    ScoredMove sorted[MOVE_LIST_CAPACITY];
    for (int i = 0; i < count; ++i)
        if (list[i].score < SQUARE_SCORES) sorted[next[list[i].score]++] = list[i];
    insertionSort(high, highCount);
    for (int i = 0; i < highCount; ++i) list[i] = high[i];
    for (int i = highCount; i < count; ++i) list[i] = sorted[i];
}

// Every candidate square of the window, by rows, at score 0. At most one per square.
int Engine::candidateFallback(ScoredMove* list) const {
    int count = 0;
    scanWindow(window, [&](int x, int y) {
        if (isCandidate(cells[x][y]))
            list[count++] = ScoredMove{static_cast<int16_t>(x), static_cast<int16_t>(y), 0};
    });
    return count;
}

// While the node lies on the previous best line, that line's move at this ply goes first.
void Engine::orderPv(ScoredMove* list, int count, int priority) {
    if (!followPv) return;
    followPv = 0;
    const Point pv = pvTable[0][ply];
    for (int i = 0; i < count; ++i) {
        if (list[i].x == pv.x && list[i].y == pv.y) {
            followPv = 1;
            list[i].score = priority;
            return;
        }
    }
}

int Engine::orderMoves(ScoredMove* list, int count, int pvPriority) {
    orderPv(list, count, pvPriority);
    sortMoves(list, count);
    return count > 0 ? count : candidateFallback(list);
}

}  // namespace quillmot
