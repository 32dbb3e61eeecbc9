#include "engine/engine.h"

#include <cstring>

#include "patterns/cell_scores.h"
#include "patterns/hash_keys.h"
#include "patterns/line_types.h"
#include "patterns/tables.h"
#include "patterns/threat_classes.h"

namespace quillmot {

Engine::Engine() {
    std::memset(searchTable, 0, sizeof searchTable);
    std::memset(threatTable, 0, THREAT_TABLE_REACHED * sizeof(ThreatEntry));
}

void Engine::start(int size, int height) {
    if (height == 0) height = size;

    // The process-wide tables, built by the first engine to start and shared from then on.
    initTables();

    // Playable squares are empty, everything around them is outside.
    boardSize = size;
    boardHeight = height;
    for (int x = 0; x < BOARD_ARRAY; ++x) {
        for (int y = 0; y < BOARD_ARRAY; ++y) {
            cells[x][y] = Cell{};
            cells[x][y].state = isPlayable(x, y) ? EMPTY : OUTSIDE;
        }
    }

    // Outside squares mark both players' masks; then classify every playable square.
    for (int x = BORDER; x < BORDER + size; ++x) {
        for (int y = BORDER; y < BORDER + height; ++y) {
            Cell& cell = cells[x][y];
            for (int k = 0; k < DIRECTIONS; ++k) {
                for (int d = 1; d <= 4; ++d) {
                    if (cells[x - d * DIR_DX[k]][y - d * DIR_DY[k]].state == OUTSIDE) {
                        cell.lineMask[k][0] |= static_cast<uint8_t>(8 >> (d - 1));
                        cell.lineMask[k][1] |= static_cast<uint8_t>(8 >> (d - 1));
                    }
                    if (cells[x + d * DIR_DX[k]][y + d * DIR_DY[k]].state == OUTSIDE) {
                        cell.lineMask[k][0] |= static_cast<uint8_t>(16 << (d - 1));
                        cell.lineMask[k][1] |= static_cast<uint8_t>(16 << (d - 1));
                    }
                }
            }
            for (int k = 0; k < DIRECTIONS; ++k) {
                cell.lineType[k][0] =
                    LineTypeTable[lineIndex(cell.lineMask[k][0], cell.lineMask[k][1])];
                cell.lineType[k][1] =
                    LineTypeTable[lineIndex(cell.lineMask[k][1], cell.lineMask[k][0])];
            }
            cell.threatClass[0] = ClassTable[classIndex(cell.lineType, 0)];
            cell.threatClass[1] = ClassTable[classIndex(cell.lineType, 1)];
        }
    }

    // No square of an empty board has a class above 0, so counting from 0 is exact.
    for (auto& counts : classCounts)
        for (auto& count : counts) count = 0;

    // The window starts as the 3 by 3 block around the centre.
    const auto cx = static_cast<uint8_t>(size / 2 + BORDER);
    const auto cy = static_cast<uint8_t>(height / 2 + BORDER);
    window.min = Point{static_cast<uint8_t>(cx - 1), static_cast<uint8_t>(cy - 1)};
    window.max = Point{static_cast<uint8_t>(cx + 1), static_cast<uint8_t>(cy + 1)};

    // Player 0 moves first, on an empty history.
    sideToMove = 0;
    otherSide = 1;
    moveCount = 0;
    passCount = 0;
    lineChangeCount = 0;

    // Forget every position. The stored moves stay in the entries, but with both check keys
    // cleared to 0 an entry matches no position (both 32-bit keys would have to be 0), so
    // move generation never offers them: the table's moves serve as ordering hints only
    // between the searches of one game.
    forgetSearches();
}

void Engine::forgetSearches() {
    forgetPositions();
    for (int i = 0; i < THREAT_TABLE_REACHED; ++i) {
        threatTable[i].check1 = 0;
        threatTable[i].check2 = 0;
    }
}

void Engine::forgetPositions() {
    for (SearchEntry& entry : searchTable) {
        const Point keep = entry.move;
        entry = SearchEntry{};
        entry.move = keep;
    }
}

void Engine::move(int x, int y) { makeMove(x + BORDER, y + BORDER); }

void Engine::finish() {}

const char* Engine::name() const { return "Quillmot"; }

bool Engine::fallbackMove(int& x, int& y) const {
    int bestScore = -1;
    scanWindow(window, [&](int cx, int cy) {
        const Cell& cell = cells[cx][cy];
        if (!isCandidate(cell)) return;
        const int score = cellScore(cell);
        if (score > bestScore) {
            bestScore = score;
            x = cx;
            y = cy;
        }
    });
    if (bestScore >= 0) return true;
    for (int cy = BORDER; cy < BORDER + boardHeight; ++cy) {
        for (int cx = BORDER; cx < BORDER + boardSize; ++cx) {
            if (cells[cx][cy].state == EMPTY) {
                x = cx;
                y = cy;
                return true;
            }
        }
    }
    return false;
}

}  // namespace quillmot
