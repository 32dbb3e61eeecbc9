#include <cassert>
#include <cstdint>
#include <cstring>

#include "engine/engine.h"
#include "patterns/hash_keys.h"
#include "patterns/line_types.h"
#include "patterns/threat_classes.h"

namespace quillmot {

namespace {

// Offsets in the board array (row by row) of one step along each direction.
constexpr int STEP[DIRECTIONS] = {1, BOARD_ARRAY, BOARD_ARRAY + 1, 1 - BOARD_ARRAY};
// The 8 adjacent squares, and the 8 squares two steps away along the four lines.
constexpr int NEAR1[8] = {-BOARD_ARRAY - 1, -BOARD_ARRAY, -BOARD_ARRAY + 1, -1, 1,
                          BOARD_ARRAY - 1,  BOARD_ARRAY,  BOARD_ARRAY + 1};
constexpr int NEAR2[8] = {-2 * BOARD_ARRAY - 2, -2 * BOARD_ARRAY, -2 * BOARD_ARRAY + 2, -2, 2,
                          2 * BOARD_ARRAY - 2,  2 * BOARD_ARRAY,  2 * BOARD_ARRAY + 2};

}  // namespace

// Gives direction k of an empty square the line types of its new masks and moves the
// square between the class counts, logging what it had for take-back. The types and the
// classes are read and written whole (see classPair), one load and one store each.
inline void Engine::refreshLine(int index, int k, unsigned masks, LineChange*& log) {
    Cell& cell = cells.squares[index];
    const uint64_t pair = LineTypePairTable[masks];
    const uint64_t old = lineTypeWord(cell.lineType);
    const int shift = 16 * k;
    const uint64_t before = (old >> shift) & 0xFFFF;
    if (before == pair) return;
    const uint64_t types = (old & ~(0xFFFFull << shift)) | pair << shift;
    setLineTypeWord(cell.lineType, types);
    const unsigned classes = classPair(cell.threatClass);
    *log++ = LineChange{static_cast<uint16_t>(index), static_cast<uint16_t>(before),
                        static_cast<uint16_t>(classes), static_cast<uint8_t>(k), 0};
    const unsigned old0 = classes & 0xFF, old1 = classes >> 8;
    const unsigned new0 = ClassTable[classIndexOfWord(types, 0)];
    const unsigned new1 = ClassTable[classIndexOfWord(types, 1)];
    // Without a branch: whether a class changes is as good as random, and moving a square
    // from a class to the same class changes nothing.
    --classCounts[0][old0];
    ++classCounts[0][new0];
    --classCounts[1][old1];
    ++classCounts[1][new1];
    setClassPair(cell.threatClass, new0 | new1 << 8);
}

void Engine::makeMove(int x, int y) {
    assert(isPlayable(x, y) && cells[x][y].state == EMPTY);
    assert(moveCount < MAX_HISTORY);
    Cell* const board = cells.squares;
    Cell* const s = board + squareIndex(x, y);
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
    std::memcpy(classCountsHistory[moveCount], classCounts, sizeof classCounts);
    --classCounts[0][s->threatClass[0]];
    --classCounts[1][s->threatClass[1]];
    s->state = m;

    moveHistory[moveCount] = Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
    windowMinHistory[moveCount] = window.min;
    windowMaxHistory[moveCount] = window.max;
    changeMarks[moveCount] = lineChangeCount;
    ++moveCount;

    // The window grows by two around each stone and stays on the board.
    if (x - 2 < window.min.x) window.min.x = static_cast<uint8_t>(x - 2 < BORDER ? BORDER : x - 2);
    if (y - 2 < window.min.y) window.min.y = static_cast<uint8_t>(y - 2 < BORDER ? BORDER : y - 2);
    const int maxX = boardSize + BORDER - 1, maxY = boardHeight + BORDER - 1;
    if (x + 2 > window.max.x) window.max.x = static_cast<uint8_t>(x + 2 > maxX ? maxX : x + 2);
    if (y + 2 > window.max.y) window.max.y = static_cast<uint8_t>(y + 2 > maxY ? maxY : y + 2);

    // A stone changes the masks of the 32 squares on its four lines and of no others; only
    // the empty ones among them can change their line types and classes.
    const int index = squareIndex(x, y);
    LineChange* log = lineChanges + lineChangeCount;
    for (int k = 0; k < DIRECTIONS; ++k) {
        const int step = STEP[k];
        for (int d = 1; d <= 4; ++d) {
            Cell& n = s[-d * step];  // the stone lies on n's positive side
            const unsigned masks = maskPair(n, k) | (16u << (d - 1)) << (8 * m);
            setMaskPair(n, k, masks);
            if (n.state == EMPTY) refreshLine(index - d * step, k, masks, log);
        }
        for (int d = 1; d <= 4; ++d) {
            Cell& n = s[d * step];
            const unsigned masks = maskPair(n, k) | (8u >> (d - 1)) << (8 * m);
            setMaskPair(n, k, masks);
            if (n.state == EMPTY) refreshLine(index + d * step, k, masks, log);
        }
    }
    lineChangeCount = static_cast<int32_t>(log - lineChanges);
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
    moveHistory[moveCount] = PASS;
    windowMinHistory[moveCount] = window.min;
    windowMaxHistory[moveCount] = window.max;
    changeMarks[moveCount] = lineChangeCount;
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

    Cell* const board = cells.squares;
    Cell* const s = board + squareIndex(x, y);
    // The square's masks are back to what they were when its stone was placed (every
    // later stone has been taken back), and its line types and classes were not touched
    // while it was occupied: they are exactly what re-reading its masks would give. The
    // class counts come back whole.
    std::memcpy(classCounts, classCountsHistory[moveCount], sizeof classCounts);
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
            setMaskPair(n, k, maskPair(n, k) & ~((16u << (d - 1)) << (8 * m)));
        }
        for (int d = 1; d <= 4; ++d) {
            Cell& n = s[d * step];
            setMaskPair(n, k, maskPair(n, k) & ~((8u >> (d - 1)) << (8 * m)));
        }
    }
    for (int offset : NEAR1) --s[offset].near1;
    for (int offset : NEAR2) --s[offset].near2;

    // The lines the stone changed get back the types and classes they had, from the log
    // instead of the tables.
    const int first = changeMarks[moveCount];
    for (int i = first; i < lineChangeCount; ++i) {
        const LineChange& change = lineChanges[i];
        Cell& cell = board[change.cell];
        const int shift = 16 * change.direction;
        const uint64_t types = lineTypeWord(cell.lineType);
        setLineTypeWord(cell.lineType,
                        (types & ~(0xFFFFull << shift)) | uint64_t{change.types} << shift);
        setClassPair(cell.threatClass, change.classes);
    }
    lineChangeCount = first;
}

}  // namespace quillmot
