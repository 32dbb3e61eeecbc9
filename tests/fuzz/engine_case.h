// One case of the engine fuzzer: bytes decoded into a board, stones of both colours placed
// by the engine's own move making, and a small budget; then the search the turn driver runs
// and a fixed-depth search, each checked for a legal answer, a consistent board and a
// position left exactly as it was. The fuzzer, its seed writer and the regression test over
// its findings share this file, so a finding replays exactly.
//
// Input layout:
//   byte 0, 1   width and height, 5 + b % 28 each
//   byte 2      budget, 145 + b % 16 ms: the deadline falls from 5 ms before the start of
//               the search to 10 ms after it
//   byte 3      the deepest iteration, 5 + b % 16, and the fixed depth, 1 + (b / 16) % 3
//   then pairs  (a, b): with bit 6 of a clear, one stone at ((a & 63) % width, (b & 63) %
//               height), or at the next empty square by rows (wrapping) when that one is
//               taken; bit 7 of a first passes the turn, so the stone takes the other colour.
//               With bit 6 set, a fill: (a & 63) + 1 sixty-fourths of the empty squares get
//               stones at squares drawn from the seed b & 127, alternately coloured, or all
//               of the side to move's colour when bit 7 of b is set.
// Missing header bytes read as 0; a trailing odd byte is ignored. Decoding stops when the
// board is full. A pass precedes a stone or joins a one-colour fill, so passes never
// outnumber stones and the history (twice the squares) has room for every search on top.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace quillmot::fuzzing {

constexpr int HEADER_BYTES = 4;
constexpr int BUDGET_BASE_MS = 145;
constexpr int BUDGET_SPREAD_MS = 16;
constexpr int FIXED_DEPTHS = 3;
// The fixed-depth search runs without a deadline: its depth drops until the moves at the
// root, raised to the depth, stay below this many leaves.
constexpr long long FIXED_LEAF_CAP = 4000;

struct EngineCase {
    int width = 0, height = 0;
    int budget = 0;      // ms, as the turn driver sets timeBudget
    int maxDepth = 0;    // deepest iteration
    int fixedDepth = 0;  // depth of the fixed-depth search, before the cap
};

// What one run measured: the search's time from its start to the move, and its deadline.
struct CaseTiming {
    bool searched = false;
    double elapsedMs = 0;
    int deadlineMs = 0;  // from the start of the search; negative for budgets below the margin
};

namespace detail {

inline uint8_t byteAt(const uint8_t* data, size_t size, size_t i) { return i < size ? data[i] : 0; }

// The first empty square by rows from (x, y) on, wrapping at the end of the board; false on
// a full board. Protocol coordinates.
inline bool nextEmpty(const Engine& engine, int& x, int& y) {
    const int area = engine.boardSize * engine.boardHeight;
    const int from = y * engine.boardSize + x;
    for (int k = 0; k < area; ++k) {
        const int i = (from + k) % area;
        const int cx = i % engine.boardSize, cy = i / engine.boardSize;
        if (engine.cells[cx + BORDER][cy + BORDER].state == EMPTY) {
            x = cx;
            y = cy;
            return true;
        }
    }
    return false;
}

inline int emptySquares(const Engine& engine) {
    return engine.boardSize * engine.boardHeight - engine.stoneCount();
}

// Everything make and take-back maintain, for comparison before and after a search.
struct BoardState {
    std::vector<uint8_t> bytes;

    explicit BoardState(const Engine& e) {
        const PositionHash hash = e.hash();
        const int32_t scalars[] = {e.boardSize,
                                   e.boardHeight,
                                   e.moveCount,
                                   e.passCount,
                                   e.sideToMove,
                                   e.otherSide,
                                   static_cast<int32_t>(hash.index),
                                   static_cast<int32_t>(hash.check1),
                                   static_cast<int32_t>(hash.check2)};
        const size_t history = std::min<size_t>(e.moveCount, MAX_HISTORY) * sizeof(Point);
        bytes.resize(sizeof scalars + sizeof e.cells + sizeof e.classCounts + sizeof e.window +
                     3 * history);
        uint8_t* out = bytes.data();
        auto append = [&out](const void* p, size_t n) {
            std::memcpy(out, p, n);
            out += n;
        };
        append(scalars, sizeof scalars);
        append(&e.cells, sizeof e.cells);
        append(e.classCounts, sizeof e.classCounts);
        append(&e.window, sizeof e.window);
        append(e.moveHistory, history);
        append(e.windowMinHistory, history);
        append(e.windowMaxHistory, history);
    }
    bool operator==(const BoardState&) const = default;
};

// The square a forced position demands of the side to move, checked in engine coordinates:
// its own five when it has one, else a block of the opponent's five.
inline std::string forcedMoveFault(const Engine& engine, int x, int y, const char* search) {
    const int me = engine.sideToMove, opp = engine.otherSide;
    const Cell& cell = engine.cells[x][y];
    if (engine.classCounts[me][CLASS_FIVE] > 0 && cell.threatClass[me] != CLASS_FIVE)
        return std::string(search) + " missed its own five";
    if (engine.classCounts[me][CLASS_FIVE] == 0 && engine.classCounts[opp][CLASS_FIVE] > 0 &&
        cell.threatClass[opp] != CLASS_FIVE)
        return std::string(search) + " did not block the opponent's five";
    return "";
}

}  // namespace detail

// Starts the engine on the decoded board and places the decoded stones.
inline EngineCase decodeCase(const uint8_t* data, size_t size, Engine& engine) {
    using detail::byteAt;
    EngineCase c;
    c.width = MIN_BOARD + byteAt(data, size, 0) % (MAX_BOARD - MIN_BOARD + 1);
    c.height = MIN_BOARD + byteAt(data, size, 1) % (MAX_BOARD - MIN_BOARD + 1);
    c.budget = BUDGET_BASE_MS + byteAt(data, size, 2) % BUDGET_SPREAD_MS;
    const uint8_t depths = byteAt(data, size, 3);
    c.maxDepth = FIRST_DEPTH + depths % 16;
    c.fixedDepth = 1 + (depths / 16) % FIXED_DEPTHS;
    engine.start(c.width, c.height);

    auto place = [&engine](int x, int y, bool pass) {
        if (!detail::nextEmpty(engine, x, y)) return false;
        if (pass) engine.passTurn();
        engine.move(x, y);
        return true;
    };
    for (size_t i = HEADER_BYTES; i + 1 < size; i += 2) {
        const uint8_t a = data[i], b = data[i + 1];
        if ((a & 0x40) == 0) {
            if (!place((a & 63) % c.width, (b & 63) % c.height, (a & 0x80) != 0)) break;
            continue;
        }
        const int empties = detail::emptySquares(engine);
        const int count = (empties * ((a & 63) + 1) + 63) / 64;
        const bool oneColour = (b & 0x80) != 0;
        uint32_t seed =
            (static_cast<uint32_t>(b & 127) + 1) * 2654435761u ^ static_cast<uint32_t>(i);
        for (int k = 0; k < count; ++k) {
            seed ^= seed << 13;
            seed ^= seed >> 17;
            seed ^= seed << 5;
            const uint32_t square = seed % static_cast<uint32_t>(c.width * c.height);
            if (!place(static_cast<int>(square % c.width), static_cast<int>(square / c.width),
                       oneColour && k > 0))
                break;
        }
        if (detail::emptySquares(engine) == 0) break;
    }
    return c;
}

// The bytes that decode into the engine's position, stone by stone in history order, with
// the pass bit on a stone that follows a pass.
inline std::vector<uint8_t> encodeCase(const Engine& engine, int budgetByte, int depthByte) {
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(engine.boardSize - MIN_BOARD),
                                  static_cast<uint8_t>(engine.boardHeight - MIN_BOARD),
                                  static_cast<uint8_t>(budgetByte),
                                  static_cast<uint8_t>(depthByte)};
    bool passed = false;
    for (int i = 0; i < engine.moveCount; ++i) {
        const Point p = engine.moveHistory[i];
        if (p.x == 0) {
            passed = true;
            continue;
        }
        bytes.push_back(static_cast<uint8_t>((p.x - BORDER) | (passed ? 0x80 : 0)));
        bytes.push_back(static_cast<uint8_t>(p.y - BORDER));
        passed = false;
    }
    return bytes;
}

// Runs both searches on the decoded position and checks them; returns "" when every check
// holds, else what failed.
inline std::string runCase(Engine& engine, const EngineCase& c, CaseTiming* timing = nullptr) {
    if (detail::emptySquares(engine) == 0)  // a full board: nothing to search
        return engine.isConsistent() ? "" : "inconsistent after the stones";
    const detail::BoardState before(engine);

    // 1. The turn driver's search: budget and depth limit, iterative deepening, and the
    //    fallback square when the search has no move.
    engine.timeBudget = c.budget;
    engine.maxDepth = c.maxDepth;
    int x, y;
    const auto start = std::chrono::steady_clock::now();
    engine.iterativeDeepening(x, y);
    const Point fallback = engine.legalOrFallback(toEngine(x, y));
    const bool legal = isSquare(fallback);
    const int ex = fallback.x, ey = fallback.y;
    if (timing != nullptr) {
        timing->searched = true;
        timing->elapsedMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        timing->deadlineMs = static_cast<int>(engine.deadline - engine.searchStart);
    }
    if (!engine.isConsistent()) return "inconsistent after the stones and the search";
    if (!(detail::BoardState(engine) == before)) return "the search changed the position";
    if (!(x == -BORDER && y == -BORDER) && !(engine.isPlayable(x + BORDER, y + BORDER) &&
                                             engine.cells[x + BORDER][y + BORDER].state == EMPTY))
        return "the search answered " + std::to_string(x) + "," + std::to_string(y) +
               ", no empty square";
    if (!legal || !engine.isPlayable(ex, ey) || engine.cells[ex][ey].state != EMPTY)
        return "no legal square after the fallback";
    if (std::string fault = detail::forcedMoveFault(engine, ex, ey, "the search"); !fault.empty())
        return fault;

    // 2. The fixed-depth search, which has no deadline: its depth drops on wide positions.
    ScoredMove list[MOVE_LIST_CAPACITY];
    int moves = 0;
    engine.generateMoves(list, &moves);
    int depth = c.fixedDepth;
    auto leaves = [moves](int d) {
        long long n = 1;
        for (int i = 0; i < d; ++i) n *= moves > 1 ? moves : 1;
        return n;
    };
    while (depth > 1 && leaves(depth) > FIXED_LEAF_CAP) --depth;
    const int mover = engine.sideToMove;
    int fx, fy;
    engine.yourTurn(fx, fy, depth, 0);
    const int fex = fx + BORDER, fey = fy + BORDER;
    if (!engine.isPlayable(fex, fey) || engine.cells[fex][fey].state != mover)
        return "the fixed-depth search played " + std::to_string(fx) + "," + std::to_string(fy) +
               ", no empty square";
    if (!engine.isConsistent()) return "inconsistent after the fixed-depth move";
    engine.undo();
    if (!(detail::BoardState(engine) == before))
        return "the fixed-depth search changed the position";
    if (std::string fault = detail::forcedMoveFault(engine, fex, fey, "the fixed-depth search");
        !fault.empty())
        return fault;
    return "";
}

}  // namespace quillmot::fuzzing
