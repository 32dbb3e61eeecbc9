#include "engine/engine.h"
#include "patterns/cell_scores.h"
#include "patterns/threat_classes.h"

namespace quillmot {

namespace {

// First entry of the list whose square has the given class for the player.
void keepFirstOfClass(const Engine& e, ScoredMove* list, int* count, int player, int threatClass) {
    for (int i = 0; i < *count; ++i) {
        if (e.cells[list[i].x][list[i].y].threatClass[player] == threatClass) {
            list[0] = list[i];
            *count = 1;
            return;
        }
    }
}

}  // namespace

void Engine::generateMoves(ScoredMove* list, int* count) const {
    const int me = sideToMove, opp = otherSide;
    int n = 0;

    // The table move: the best move stored for this very position. Its square is used
    // only while empty, so a collision of both check keys cannot put a stone on a stone.
    int tableX = -1, tableY = -1;
    const SearchEntry& entry = searchTable[hashIndex];
    if (entry.check1 == hashCheck1 && entry.check2 == hashCheck2 && entry.depth >= 0 &&
        isSquare(entry.move) && cells[entry.move.x][entry.move.y].state == EMPTY) {
        tableX = entry.move.x;
        tableY = entry.move.y;
        list[0] = ScoredMove{static_cast<int16_t>(tableX), static_cast<int16_t>(tableY),
                             TABLE_MOVE_SCORE};
        n = 1;
    }

    // Candidate squares by rows, except the table move; a square scoring 0 or 1 is
    // overwritten by the next. Every square of the window is scored and written, and only
    // a candidate moves the end of the list on: whether a square is one is as good as
    // random, so a branch on it would be mispredicted half the time. The list never
    // overflows: its end never passes the number of empty squares.
    scanWindow(window, [&](int x, int y) {
        const Cell& cell = cells[x][y];
        const int score = cellScore(cell);
        list[n] = ScoredMove{static_cast<int16_t>(x), static_cast<int16_t>(y), score};
        const bool candidate = (cell.state == EMPTY) & ((cell.near1 | cell.near2) != 0);
        n += static_cast<int>(candidate & (score > 1) & ((x != tableX) | (y != tableY)));
    });
    *count = n;

    // Forced replies: one's own five, the block of the opponent's, one's own open four, or
    // against the opponent's open four the squares that still matter.
    if (classCounts[me][CLASS_FIVE] > 0) {
        keepFirstOfClass(*this, list, count, me, CLASS_FIVE);
    } else if (classCounts[opp][CLASS_FIVE] > 0) {
        keepFirstOfClass(*this, list, count, opp, CLASS_FIVE);
    } else if (classCounts[me][CLASS_OPEN_FOUR] > 0) {
        keepFirstOfClass(*this, list, count, me, CLASS_OPEN_FOUR);
    } else if (classCounts[opp][CLASS_OPEN_FOUR] > 0) {
        // Against an open four only a four of one's own, or a square where the opponent
        // would make a four, can matter.
        n = 0;
        scanWindow(window, [&](int x, int y) {
            const Cell& cell = cells[x][y];
            if (cell.threatClass[me] < CLASS_FOUR && cell.threatClass[opp] < CLASS_FOUR) return;
            if (!isCandidate(cell)) return;
            const int score = cellScore(cell);
            list[n] = ScoredMove{static_cast<int16_t>(x), static_cast<int16_t>(y), score};
            if (score > 0) ++n;
        });
        *count = n;
    }
}

bool Engine::findFiveSquare(int& x, int& y, const SearchLimits* leftOut) const {
    return scanWindow(window, [&](int cx, int cy) {
        const Cell& cell = cells[cx][cy];
        if (cell.threatClass[sideToMove] != CLASS_FIVE || !isCandidate(cell)) return false;
        if (leftOut != nullptr && leftOut->excludes(cx, cy)) return false;
        x = cx;
        y = cy;
        return true;
    });
}

}  // namespace quillmot
