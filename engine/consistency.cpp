#include "engine/engine.h"
#include "patterns/hash_keys.h"
#include "patterns/line_types.h"
#include "patterns/threat_classes.h"

namespace quillmot {

namespace {

bool inArray(int x, int y) { return x >= 0 && x < BOARD_ARRAY && y >= 0 && y < BOARD_ARRAY; }

}  // namespace

bool Engine::isConsistent() const {
    // States and the stone count.
    int stones = 0;
    for (int x = 0; x < BOARD_ARRAY; ++x) {
        for (int y = 0; y < BOARD_ARRAY; ++y) {
            const int state = cells[x][y].state;
            if (!isPlayable(x, y)) {
                if (state != OUTSIDE) return false;
            } else if (state == STONE_0 || state == STONE_1) {
                ++stones;
            } else if (state != EMPTY) {
                return false;
            }
        }
    }
    // Stones and passes alternate colours in the history: entry i belongs to player i % 2.
    if (stones != stoneCount()) return false;
    if (sideToMove != moveCount % 2 || otherSide != 1 - sideToMove) return false;
    int passes = 0;
    for (int i = 0; i < moveCount; ++i) {
        const Point p = moveHistory[i];
        if (p == PASS)
            ++passes;
        else if (!isPlayable(p.x, p.y) || cells[p.x][p.y].state != i % 2)
            return false;
    }
    if (passes != passCount) return false;

    auto stoneOf = [&](int x, int y, int player) {
        return inArray(x, y) && cells[x][y].state == player;
    };

    // Masks and neighbour counts of every square of the array; line types and classes of
    // the empty squares.
    int counts[2][CLASS_COUNT] = {};
    for (int x = 0; x < BOARD_ARRAY; ++x) {
        for (int y = 0; y < BOARD_ARRAY; ++y) {
            const Cell& cell = cells[x][y];
            const bool playable = isPlayable(x, y);
            for (int k = 0; k < DIRECTIONS; ++k) {
                for (int p = 0; p < 2; ++p) {
                    unsigned mask = 0;
                    for (int d = 1; d <= 4; ++d) {
                        const int nx = x - d * DIR_DX[k], ny = y - d * DIR_DY[k];
                        const int px = x + d * DIR_DX[k], py = y + d * DIR_DY[k];
                        // Outside squares count in the masks of playable squares only.
                        if (stoneOf(nx, ny, p) || (playable && !isPlayable(nx, ny)))
                            mask |= 8u >> (d - 1);
                        if (stoneOf(px, py, p) || (playable && !isPlayable(px, py)))
                            mask |= 16u << (d - 1);
                    }
                    if (cell.lineMask[k][p] != mask) return false;
                }
            }
            int near1 = 0, near2 = 0;
            for (int dx = -2; dx <= 2; ++dx) {
                for (int dy = -2; dy <= 2; ++dy) {
                    const bool occupied = stoneOf(x + dx, y + dy, 0) || stoneOf(x + dx, y + dy, 1);
                    if (!occupied) continue;
                    const int ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
                    if (ax <= 1 && ay <= 1 && (ax | ay) != 0) ++near1;
                    if ((ax == 2 || ax == 0) && (ay == 2 || ay == 0) && (ax | ay) != 0) ++near2;
                }
            }
            if (cell.near1 != near1 || cell.near2 != near2) return false;
            if (cell.state != EMPTY) continue;
            for (int k = 0; k < DIRECTIONS; ++k) {
                if (cell.lineType[k][0] !=
                        LineTypeTable[lineIndex(cell.lineMask[k][0], cell.lineMask[k][1])] ||
                    cell.lineType[k][1] !=
                        LineTypeTable[lineIndex(cell.lineMask[k][1], cell.lineMask[k][0])])
                    return false;
            }
            for (int p = 0; p < 2; ++p) {
                if (cell.threatClass[p] != ClassTable[classIndex(cell.lineType, p)]) return false;
                ++counts[p][cell.threatClass[p]];
            }
        }
    }
    for (int p = 0; p < 2; ++p)
        for (int c = 2; c < CLASS_COUNT; ++c)
            if (classCounts[p][c] != counts[p][c]) return false;

    // The window: the centre block and 5 by 5 around every stone, clipped to the board.
    int minX = boardSize / 2 + BORDER - 1, maxX = minX + 2;
    int minY = boardHeight / 2 + BORDER - 1, maxY = minY + 2;
    for (int i = 0; i < moveCount; ++i) {
        const Point p = moveHistory[i];
        if (p == PASS) continue;
        if (p.x - 2 < minX) minX = p.x - 2;
        if (p.y - 2 < minY) minY = p.y - 2;
        if (p.x + 2 > maxX) maxX = p.x + 2;
        if (p.y + 2 > maxY) maxY = p.y + 2;
    }
    if (minX < BORDER) minX = BORDER;
    if (minY < BORDER) minY = BORDER;
    if (maxX > boardSize + BORDER - 1) maxX = boardSize + BORDER - 1;
    if (maxY > boardHeight + BORDER - 1) maxY = boardHeight + BORDER - 1;
    return window.min.x == minX && window.min.y == minY && window.max.x == maxX &&
           window.max.y == maxY;
}

PositionHash Engine::stoneHash() const {
    PositionHash sum{0, 0, 0};
    for (int x = 0; x < BOARD_ARRAY; ++x) {
        for (int y = 0; y < BOARD_ARRAY; ++y) {
            const int state = cells[x][y].state;
            if (state != STONE_0 && state != STONE_1) continue;
            const int key = hashKeyIndex(x, y, state);
            sum.index = (sum.index + HashKeys.index[key]) & HASH_INDEX_MASK;
            sum.check1 += HashKeys.check1[key];
            sum.check2 += HashKeys.check2[key];
        }
    }
    const int passKey = hashKeyIndex(0, 0, 0);
    sum.index =
        (sum.index + static_cast<uint32_t>(passCount) * HashKeys.index[passKey]) & HASH_INDEX_MASK;
    sum.check1 += static_cast<uint32_t>(passCount) * HashKeys.check1[passKey];
    sum.check2 += static_cast<uint32_t>(passCount) * HashKeys.check2[passKey];
    return sum;
}

}  // namespace quillmot
