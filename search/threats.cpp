#include "engine/engine.h"

namespace quillmot {

namespace {

// A trial code: the child's code seen from the other side, one ply further away.
inline int trialCode(int childCode) {
    const int r = -childCode;
    return r < 0 ? r - 1 : r > 0 ? r + 1 : 0;
}

inline bool opponentCanFour(const int32_t* oppCounts) {
    return oppCounts[CLASS_OPEN_FOUR] | oppCounts[CLASS_FOUR_THREE] | oppCounts[CLASS_FOUR_TWO] |
           oppCounts[CLASS_FOUR];
}

}  // namespace

// The narrow form: blocks a single five threat, otherwise tries only four-threes. Every
// trial adds a stone, so the recursion ends without a limit of its own.
int Engine::forcedWinCheck() {
    const int me = sideToMove, opp = otherSide;
    const int32_t* mine = classCounts[me];
    const int32_t* theirs = classCounts[opp];

    // 1, 2.
    if (mine[CLASS_FIVE] > 0) return 1;
    if (theirs[CLASS_FIVE] >= 2) return -2;

    const int minX = window.min.x, maxX = window.max.x, minY = window.min.y, maxY = window.max.y;
    // 3. The single block, whatever it leads to.
    if (theirs[CLASS_FIVE] == 1) {
        for (int y = minY; y <= maxY; ++y) {
            for (int x = minX; x <= maxX; ++x) {
                const Cell& cell = cells[x][y];
                if (!isCandidate(cell) || cell.threatClass[opp] != CLASS_FIVE) continue;
                makeMove(x, y);
                const int code = trialCode(forcedWinCheck());
                undo();
                return code;
            }
        }
        return 0;  // unreachable: a five square always lies next to a stone
    }

    // 4.
    if (mine[CLASS_OPEN_FOUR] > 0) return 3;

    // 5. A four-three wins outright unless the opponent can answer with a four. The trials
    // nest wherever blocks make counter-fours, so on a contrived board they could run for
    // ever: once the deadline has passed, the node gives up (0) instead of trying more.
    if (mine[CLASS_FOUR_THREE] > 0) {
        if (!opponentCanFour(theirs)) return 5;
        for (int y = minY; y <= maxY; ++y) {
            for (int x = minX; x <= maxX; ++x) {
                const Cell& cell = cells[x][y];
                if (!isCandidate(cell) || cell.threatClass[me] != CLASS_FOUR_THREE) continue;
                if (!timeUp) checkTime();
                if (timeUp) return 0;
                makeMove(x, y);
                const int code = trialCode(forcedWinCheck());
                undo();
                if (code > 0) return code;
            }
        }
    }

    // 6, 7.
    if (mine[CLASS_DOUBLE_THREE] > 0 && !opponentCanFour(theirs)) return 5;
    return 0;
}

void Engine::storeThreat(int result, Point bestMove) {
    ThreatEntry& entry = threatTable[hashIndex & THREAT_TABLE_MASK];
    entry.check1 = hashCheck1;
    entry.check2 = hashCheck2;
    entry.result = static_cast<int16_t>(result);
    entry.move = bestMove;
}

// The wide form: also tries every plain four, remembers every verdict, and hands a node
// to forcedWinCheck when the clock, the node budget or the ply limit runs out.
int Engine::threatSearch() {
    // 1. - 4.
    if (timeUp) return forcedWinCheck();
    const ThreatEntry& entry = threatTable[hashIndex & THREAT_TABLE_MASK];
    if (entry.check1 == hashCheck1 && entry.check2 == hashCheck2) return entry.result;
    if (threatBudget <= 0) return forcedWinCheck();
    if (ply > THREAT_PLY_LIMIT) return forcedWinCheck();

    // 5. Bits 0, 1 and 13: every fourth node of the first 8192 of each 16384.
    if ((threatNodes & THREAT_TIME_MASK) == 0) checkTime();
    // 6.
    --threatBudget;
    ++threatNodes;

    const int me = sideToMove, opp = otherSide;
    const int32_t* mine = classCounts[me];
    const int32_t* theirs = classCounts[opp];
    constexpr Point FROM_COUNTS{0, 0};

    // 7, 8.
    if (mine[CLASS_FIVE] > 0) {
        storeThreat(1, FROM_COUNTS);
        return 1;
    }
    if (theirs[CLASS_FIVE] >= 2) {
        storeThreat(-2, FROM_COUNTS);
        return -2;
    }

    const int minX = window.min.x, maxX = window.max.x, minY = window.min.y, maxY = window.max.y;
    auto trial = [this](int x, int y) {
        makeMove(x, y);
        const int code = trialCode(threatSearch());
        undo();
        return code;
    };
    auto square = [](int x, int y) { return Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)}; };

    // 9.
    if (theirs[CLASS_FIVE] == 1) {
        for (int y = minY; y <= maxY; ++y) {
            for (int x = minX; x <= maxX; ++x) {
                const Cell& cell = cells[x][y];
                if (!isCandidate(cell) || cell.threatClass[opp] != CLASS_FIVE) continue;
                const int code = trial(x, y);
                storeThreat(code, square(x, y));
                return code;
            }
        }
    }

    // 10.
    if (mine[CLASS_OPEN_FOUR] > 0) {
        storeThreat(3, FROM_COUNTS);
        return 3;
    }

    // 11.
    if (mine[CLASS_FOUR_THREE] > 0) {
        if (!opponentCanFour(theirs)) {
            storeThreat(5, FROM_COUNTS);
            return 5;
        }
        for (int y = minY; y <= maxY; ++y) {
            for (int x = minX; x <= maxX; ++x) {
                const Cell& cell = cells[x][y];
                if (!isCandidate(cell) || cell.threatClass[me] != CLASS_FOUR_THREE) continue;
                const int code = trial(x, y);
                if (code > 0) {
                    storeThreat(code, square(x, y));
                    return code;
                }
            }
        }
    }

    // 12.
    if (mine[CLASS_DOUBLE_THREE] > 0 && !opponentCanFour(theirs)) {
        storeThreat(5, FROM_COUNTS);
        return 5;
    }

    // 13. Plain fours, both kinds in one pass.
    if (mine[CLASS_FOUR_TWO] > 0 || mine[CLASS_FOUR] > 0) {
        for (int y = minY; y <= maxY; ++y) {
            for (int x = minX; x <= maxX; ++x) {
                const Cell& cell = cells[x][y];
                if (!isCandidate(cell)) continue;
                if (cell.threatClass[me] != CLASS_FOUR_TWO && cell.threatClass[me] != CLASS_FOUR) continue;
                const int code = trial(x, y);
                if (code > 0) {
                    storeThreat(code, square(x, y));
                    return code;
                }
            }
        }
    }

    // 14.
    storeThreat(0, Point{BORDER, BORDER});
    return 0;
}

}  // namespace quillmot
