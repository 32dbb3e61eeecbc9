#include "engine/fives.h"

#include "engine/engine.h"

namespace quillmot {

namespace {

constexpr int READ = 4;  // squares read each way: the border is as wide, so no read leaves it

// Stones of player beyond square in direction k (step +1 or -1), at most READ.
int runBeyond(const Engine& engine, Point square, int k, int step, int player) {
    int run = 0;
    while (run < READ && engine.cells[square.x + step * (run + 1) * DIR_DX[k]]
                                     [square.y + step * (run + 1) * DIR_DY[k]]
                                         .state == player)
        ++run;
    return run;
}

}  // namespace

int fiveThrough(const Engine& engine, Point square, Point* squares) {
    const int player = engine.cellAt(square).state;
    if (player != STONE_0 && player != STONE_1) return 0;
    int count = 0;
    for (int k = 0; k < DIRECTIONS; ++k) {
        const int back = runBeyond(engine, square, k, -1, player);
        const int ahead = runBeyond(engine, square, k, 1, player);
        if (back + 1 + ahead < 5) continue;
        for (int d = -back; d <= ahead; ++d) {
            if (d == 0) continue;
            squares[count++] = Point{static_cast<uint8_t>(square.x + d * DIR_DX[k]),
                                     static_cast<uint8_t>(square.y + d * DIR_DY[k])};
        }
    }
    if (count > 0) squares[count++] = square;
    return count;
}

bool hasFiveAnywhere(const Engine& engine) {
    Point squares[MAX_FIVE_SQUARES];
    return scanWindow(engine.boardWindow(), [&](int x, int y) {
        return fiveThrough(engine, Point{static_cast<uint8_t>(x), static_cast<uint8_t>(y)},
                           squares) > 0;
    });
}

}  // namespace quillmot
