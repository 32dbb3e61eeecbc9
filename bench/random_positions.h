// Random positions from a fixed seed, for timing the search where the fixed suite is thin:
// crowded boards, and boards full of threes on which the threat searches branch.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/positions.h"
#include "engine/engine.h"

namespace quillmot::positions {

// xorshift32: the same numbers on every platform.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed != 0 ? seed : 1) {}
    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

private:
    uint32_t state_;
};

// Whether the side that just moved cannot force five by fours, as a threat search of a few
// thousand nodes sees it (a full one can take a second on these boards). Its stone only
// blocks the other side, so it cannot give the other side a win it did not have.
inline bool moverCannotWin(Engine& engine) {
    constexpr int CHECK_BUDGET = 2000;
    engine.threatBudget = CHECK_BUDGET;
    engine.timeUp = 0;
    engine.deadline = INT64_MAX;
    engine.passTurn();
    engine.ply = 0;
    const bool quiet = engine.threatSearch() == 0;
    engine.undoPass();
    return quiet;
}

// Up to `stones` stones, alternately coloured, each leaving a position in which neither side
// has a square that completes five, makes an open four or a four-three, nor a forced win by
// fours: the search must think. Each stone takes the best of `draws` random squares by its
// player's threat class (1: any square), so more draws build more threes and squares that
// make fours; `near` keeps the stones next to the others. Placing stops early when no square
// qualifies after a few tries. Returns the moves in play order, protocol coordinates, as
// positionFromMoves reads them.
inline std::string randomMoves(int width, int height, int stones, int draws, bool near,
                               uint32_t seed) {
    constexpr int TRIES = 16;
    auto engine = startedEngine(width, height);
    Random random(seed);
    std::vector<Point> squares;
    std::string moves;
    for (int placed = 0; placed < stones; ++placed) {
        const int me = engine->sideToMove;
        squares.clear();
        // By columns, not by rows: the positions drawn are the benchmark's.
        const SearchWindow board = engine->boardWindow();
        for (int x = board.min.x; x <= board.max.x; ++x) {
            for (int y = board.min.y; y <= board.max.y; ++y) {
                const Cell& cell = engine->cells[x][y];
                if (cell.state != EMPTY || cell.threatClass[me] >= CLASS_FOUR) continue;
                if (near && placed > 0 && !engine->isCandidate(cell)) continue;
                engine->makeMove(x, y);
                const int32_t* counts = engine->classCounts[me];
                const bool quiet = counts[CLASS_FIVE] == 0 && counts[CLASS_OPEN_FOUR] == 0 &&
                                   counts[CLASS_FOUR_THREE] == 0;
                engine->undo();
                if (quiet)
                    squares.push_back(Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)});
            }
        }
        bool placedOne = false;
        for (int t = 0; t < TRIES && !squares.empty() && !placedOne; ++t) {
            int best = random.below(static_cast<int>(squares.size()));
            for (int d = 1; d < draws; ++d) {
                const int i = random.below(static_cast<int>(squares.size()));
                const Point p = squares[i], b = squares[best];
                if (engine->cells[p.x][p.y].threatClass[me] >
                    engine->cells[b.x][b.y].threatClass[me])
                    best = i;
            }
            const Point square = squares[best];
            engine->makeMove(square.x, square.y);
            if (moverCannotWin(*engine)) {
                const ProtocolSquare p = toProtocol(square);
                moves += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
                placedOne = true;
            } else {
                engine->undo();
                squares.erase(squares.begin() + best);
            }
        }
        if (!placedOne) break;
    }
    return moves;
}

// A crowded board: `percent` of the squares taken at random, as far as that goes.
inline std::string crowdedMoves(int width, int height, int percent, uint32_t seed) {
    return randomMoves(width, height, width * height * percent / 100, 1, false, seed);
}

// A cluster of `stones` stones grown by threes: both sides have many squares that make a
// four, and the threat searches branch on them.
inline std::string threatMoves(int width, int height, int stones, uint32_t seed) {
    return randomMoves(width, height, stones, 4, true, seed);
}

}  // namespace quillmot::positions
