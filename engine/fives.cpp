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

int fiveLinesThrough(const Engine& engine, Point square, FiveLine* lines) {
    const int player = engine.cellAt(square).state;
    if (player != STONE_0 && player != STONE_1) return 0;
    auto along = [&](int k, int d) {
        return Point{static_cast<uint8_t>(square.x + d * DIR_DX[k]),
                     static_cast<uint8_t>(square.y + d * DIR_DY[k])};
    };
    int count = 0;
    for (int k = 0; k < DIRECTIONS; ++k) {
        const int back = runBeyond(engine, square, k, -1, player);
        const int ahead = runBeyond(engine, square, k, 1, player);
        if (back + 1 + ahead >= 5) lines[count++] = FiveLine{along(k, -back), along(k, ahead)};
    }
    return count;
}

int fiveThrough(const Engine& engine, Point square, Point* squares) {
    FiveLine lines[DIRECTIONS];
    const int lineCount = fiveLinesThrough(engine, square, lines);
    int count = 0;
    for (int i = 0; i < lineCount; ++i) {
        const int dx = lines[i].to.x > lines[i].from.x   ? 1
                       : lines[i].to.x < lines[i].from.x ? -1
                                                         : 0;
        const int dy = lines[i].to.y > lines[i].from.y   ? 1
                       : lines[i].to.y < lines[i].from.y ? -1
                                                         : 0;
        for (Point p = lines[i].from;;
             p = Point{static_cast<uint8_t>(p.x + dx), static_cast<uint8_t>(p.y + dy)}) {
            if (p != square) squares[count++] = p;
            if (p == lines[i].to) break;
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
