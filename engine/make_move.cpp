#include <cassert>

#include "engine/engine.h"
#include "patterns/hash_keys.h"
#include "patterns/line_types.h"
#include "patterns/threat_classes.h"

namespace quillmot {

namespace {

// Offsets in the flat board array (x major) of one step along each direction.
constexpr int STEP[DIRECTIONS] = {BOARD_ARRAY, 1, BOARD_ARRAY + 1, BOARD_ARRAY - 1};
// The 8 adjacent squares, and the 8 squares two steps away along the four lines.
constexpr int NEAR1[8] = {-BOARD_ARRAY - 1, -BOARD_ARRAY, -BOARD_ARRAY + 1, -1,
                          1,                BOARD_ARRAY - 1, BOARD_ARRAY, BOARD_ARRAY + 1};
constexpr int NEAR2[8] = {-2 * BOARD_ARRAY - 2, -2 * BOARD_ARRAY, -2 * BOARD_ARRAY + 2, -2,
                          2,                    2 * BOARD_ARRAY - 2, 2 * BOARD_ARRAY, 2 * BOARD_ARRAY + 2};

}  // namespace

// Re-reads direction k of an empty square and moves it between the class counts. Most
// stones leave a line's type, and most type changes leave the class, as they were: the
// counts are touched only when a class really changes.
inline void Engine::refreshLine(Cell& cell, int k) {
    const uint64_t pair = LineTypePairTable[maskPairIndex(cell.lineMask[k][0], cell.lineMask[k][1])];
    const uint64_t old = lineTypeWord(cell.lineType);
    const int shift = 16 * k;
    if (((old >> shift) & 0xFFFF) == pair) return;
    const uint64_t types = (old & ~(0xFFFFull << shift)) | pair << shift;
    cell.lineType[k][0] = static_cast<uint8_t>(pair);
    cell.lineType[k][1] = static_cast<uint8_t>(pair >> 8);
    for (int p = 0; p < 2; ++p) {
        const int newClass = ClassTable[classIndexOfWord(types, p)];
        const int oldClass = cell.threatClass[p];
        if (newClass == oldClass) continue;
        --classCounts[p][oldClass];
        ++classCounts[p][newClass];
        cell.threatClass[p] = static_cast<uint8_t>(newClass);
    }
}

void Engine::makeMove(int x, int y) {
    assert(isPlayable(x, y) && cells[x][y].state == EMPTY);
    assert(moveCount < MAX_HISTORY);
    Cell* const board = &cells[0][0];
    Cell* const s = board + x * BOARD_ARRAY + y;
    const int m = sideToMove;

    // The hash first: every search node probes both tables at once, so their entries for
    // the new position start loading while the patterns are brought up to date.
    const int key = hashKeyIndex(x, y, m);
    hashIndex = (hashIndex + HashKeys.index[key]) & HASH_INDEX_MASK;
    hashCheck1 += HashKeys.check1[key];
    hashCheck2 += HashKeys.check2[key];
    __builtin_prefetch(&searchTable[hashIndex]);
    __builtin_prefetch(&threatTable[hashIndex & THREAT_TABLE_MASK]);

    ++nodes;
    --classCounts[0][s->threatClass[0]];
    --classCounts[1][s->threatClass[1]];
    s->state = m;

    moveHistory[moveCount] = Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
    windowMinHistory[moveCount] = window.min;
    windowMaxHistory[moveCount] = window.max;
    ++moveCount;

    // The window grows by two around each stone and stays on the board.
    if (x - 2 < window.min.x) window.min.x = static_cast<uint8_t>(x - 2 < BORDER ? BORDER : x - 2);
    if (y - 2 < window.min.y) window.min.y = static_cast<uint8_t>(y - 2 < BORDER ? BORDER : y - 2);
    const int maxX = boardSize + BORDER - 1, maxY = boardHeight + BORDER - 1;
    if (x + 2 > window.max.x) window.max.x = static_cast<uint8_t>(x + 2 > maxX ? maxX : x + 2);
    if (y + 2 > window.max.y) window.max.y = static_cast<uint8_t>(y + 2 > maxY ? maxY : y + 2);

    // A stone changes the masks of the 32 squares on its four lines and nothing else.
    for (int k = 0; k < DIRECTIONS; ++k) {
        const int step = STEP[k];
        for (int d = 1; d <= 4; ++d) {
            Cell& n = s[-d * step];  // the stone lies on n's positive side
            n.lineMask[k][m] |= static_cast<uint8_t>(16 << (d - 1));
            if (n.state == EMPTY) refreshLine(n, k);
        }
        for (int d = 1; d <= 4; ++d) {
            Cell& n = s[d * step];
            n.lineMask[k][m] |= static_cast<uint8_t>(8 >> (d - 1));
            if (n.state == EMPTY) refreshLine(n, k);
        }
    }
    for (int offset : NEAR1) ++s[offset].near1;
    for (int offset : NEAR2) ++s[offset].near2;


    sideToMove = otherSide;
    otherSide = m;
    ++ply;
}

void Engine::passTurn() {
    assert(moveCount < MAX_HISTORY);
    const int key = hashKeyIndex(0, 0, 0);
    hashIndex = (hashIndex + HashKeys.index[key]) & HASH_INDEX_MASK;
    hashCheck1 += HashKeys.check1[key];
    hashCheck2 += HashKeys.check2[key];
    moveHistory[moveCount] = Point{0, 0};
    windowMinHistory[moveCount] = window.min;
    windowMaxHistory[moveCount] = window.max;
    ++moveCount;
    ++passCount;
    const int m = sideToMove;
    sideToMove = otherSide;
    otherSide = m;
    ++ply;
}

void Engine::undoPass() {
    assert(lastWasPass());
    --moveCount;
    --passCount;
    unhashStone(0, 0, 0);
    const int m = otherSide;
    otherSide = sideToMove;
    sideToMove = m;
    --ply;
}

void Engine::unhashStone(int x, int y, int player) {
    const int key = hashKeyIndex(x, y, player);
    hashIndex = (hashIndex - HashKeys.index[key]) & HASH_INDEX_MASK;
    hashCheck1 -= HashKeys.check1[key];
    hashCheck2 -= HashKeys.check2[key];
}

void Engine::undo() {
    assert(moveCount > 0 && !lastWasPass());
    --moveCount;
    const int x = moveHistory[moveCount].x, y = moveHistory[moveCount].y;
    window.min = windowMinHistory[moveCount];
    window.max = windowMaxHistory[moveCount];

    Cell* const board = &cells[0][0];
    Cell* const s = board + x * BOARD_ARRAY + y;
    // The square's masks are back to what they were when its stone was placed (every
    // later stone has been taken back), and its line types and classes were not touched
    // while it was occupied: they are exactly what re-reading its masks would give.
    ++classCounts[0][s->threatClass[0]];
    ++classCounts[1][s->threatClass[1]];
    s->state = EMPTY;

    const int m = otherSide;  // the player whose stone goes
    otherSide = sideToMove;
    sideToMove = m;
    unhashStone(x, y, m);
    --ply;

    for (int k = 0; k < DIRECTIONS; ++k) {
        const int step = STEP[k];
        for (int d = 1; d <= 4; ++d) {
            Cell& n = s[-d * step];
            n.lineMask[k][m] &= static_cast<uint8_t>(~(16 << (d - 1)));
            if (n.state == EMPTY) refreshLine(n, k);
        }
        for (int d = 1; d <= 4; ++d) {
            Cell& n = s[d * step];
            n.lineMask[k][m] &= static_cast<uint8_t>(~(8 >> (d - 1)));
            if (n.state == EMPTY) refreshLine(n, k);
        }
    }
    for (int offset : NEAR1) --s[offset].near1;
    for (int offset : NEAR2) --s[offset].near2;
}

}  // namespace quillmot
