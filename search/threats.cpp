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

    // A five to complete wins at once; two opposing five squares cannot both be blocked.
    if (mine[CLASS_FIVE] > 0) return 1;
    if (theirs[CLASS_FIVE] >= 2) return -2;

    // The single block, whatever it leads to. A five square always lies next to a stone,
    // so the scan finds it.
    if (theirs[CLASS_FIVE] == 1) {
        int code = 0;
        scanWindow(window, [&](int x, int y) {
            const Cell& cell = cells[x][y];
            if (cell.threatClass[opp] != CLASS_FIVE || !isCandidate(cell)) return false;
            makeMove(x, y);
            code = trialCode(forcedWinCheck());
            undo();
            return true;
        });
        return code;
    }

    // An open four (or two fours) wins in three plies.
    if (mine[CLASS_OPEN_FOUR] > 0) return 3;

    // A four-three wins outright unless the opponent can answer with a four. The trials
    // nest wherever blocks make counter-fours, so on a contrived board they could run for
    // ever: once the deadline has passed, the node gives up (0) instead of trying more.
    if (mine[CLASS_FOUR_THREE] > 0) {
        if (!opponentCanFour(theirs)) return 5;
        int code = 0;
        const bool decided = scanWindow(window, [&](int x, int y) {
            const Cell& cell = cells[x][y];
            if (cell.threatClass[me] != CLASS_FOUR_THREE || !isCandidate(cell)) return false;
            if (!timeUp) checkTime();
            if (timeUp) return true;  // code stays 0
            makeMove(x, y);
            code = trialCode(forcedWinCheck());
            undo();
            return code > 0;
        });
        if (decided) return code;
    }

    // Two open threes win in five plies when the opponent has no four to gain time with.
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
    // Past the deadline, a known position, an exhausted budget or too deep a line: the
    // narrow form or the stored verdict answers.
    if (timeUp) return forcedWinCheck();
    const ThreatEntry& entry = threatTable[hashIndex & THREAT_TABLE_MASK];
    if (entry.check1 == hashCheck1 && entry.check2 == hashCheck2) return entry.result;
    if (threatBudget <= 0) return forcedWinCheck();
    if (ply > THREAT_PLY_LIMIT) return forcedWinCheck();

    // The clock is read at every fourth node of the first 8192 of each 16384 (the bits of
    // THREAT_TIME_MASK), then the node is counted against the budget.
    if ((threatNodes & THREAT_TIME_MASK) == 0) checkTime();
    --threatBudget;
    ++threatNodes;

    const int me = sideToMove, opp = otherSide;
    const int32_t* mine = classCounts[me];
    const int32_t* theirs = classCounts[opp];
    constexpr Point FROM_COUNTS{0, 0};

    // A five to complete wins; two opposing five squares lose.
    if (mine[CLASS_FIVE] > 0) {
        storeThreat(1, FROM_COUNTS);
        return 1;
    }
    if (theirs[CLASS_FIVE] >= 2) {
        storeThreat(-2, FROM_COUNTS);
        return -2;
    }

    auto trial = [this](int x, int y) {
        makeMove(x, y);
        const int code = trialCode(threatSearch());
        undo();
        return code;
    };
    auto square = [](int x, int y) {
        return Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
    };
    // Tries the squares of the window that `tries` picks, by rows, until one wins; stores
    // and returns that win. False when none did.
    int won = 0;
    auto firstWin = [&](auto tries) {
        return scanWindow(window, [&](int x, int y) {
            const Cell& cell = cells[x][y];
            if (!tries(cell) || !isCandidate(cell)) return false;
            const int code = trial(x, y);
            if (code <= 0) return false;
            storeThreat(code, square(x, y));
            won = code;
            return true;
        });
    };

    // The single block decides, win or not.
    if (theirs[CLASS_FIVE] == 1) {
        int code = 0;
        scanWindow(window, [&](int x, int y) {
            const Cell& cell = cells[x][y];
            if (cell.threatClass[opp] != CLASS_FIVE || !isCandidate(cell)) return false;
            code = trial(x, y);
            storeThreat(code, square(x, y));
            return true;
        });
        return code;
    }

    // An open four wins in three plies.
    if (mine[CLASS_OPEN_FOUR] > 0) {
        storeThreat(3, FROM_COUNTS);
        return 3;
    }

    // A four-three wins outright against no counter-four, else each is tried.
    if (mine[CLASS_FOUR_THREE] > 0) {
        if (!opponentCanFour(theirs)) {
            storeThreat(5, FROM_COUNTS);
            return 5;
        }
        if (firstWin([me](const Cell& cell) { return cell.threatClass[me] == CLASS_FOUR_THREE; }))
            return won;
    }

    // Two open threes against no counter-four.
    if (mine[CLASS_DOUBLE_THREE] > 0 && !opponentCanFour(theirs)) {
        storeThreat(5, FROM_COUNTS);
        return 5;
    }

    // Plain fours, both kinds in one pass: continuous fours that end in a five.
    if (mine[CLASS_FOUR_TWO] > 0 || mine[CLASS_FOUR] > 0) {
        if (firstWin([me](const Cell& cell) {
                return cell.threatClass[me] == CLASS_FOUR_TWO || cell.threatClass[me] == CLASS_FOUR;
            }))
            return won;
    }

    // No forced win: remembered as 0, with the board's first square as its move.
    storeThreat(0, toEngine(0, 0));
    return 0;
}

}  // namespace quillmot
