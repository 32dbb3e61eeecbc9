#include "protocol/board_block.h"

#include <cassert>
#include <cstring>

namespace quillmot {

void BoardBlock::clear() {
    count_ = 0;
    std::memset(taken_, 0, sizeof taken_);
}

void BoardBlock::add(int x, int y, int who) {
    assert(count_ < MAX_MOVES && !taken_[x][y]);
    taken_[x][y] = true;
    stones_[count_++] = BoardStone{x, y, who};
}

int BoardBlock::placeOn(Engine& engine) const {
    // Each colour's stones in block order.
    const BoardStone* own[MAX_MOVES];
    const BoardStone* opponent[MAX_MOVES];
    int owns = 0, opponents = 0;
    for (int i = 0; i < count_; ++i) {
        if (stones_[i].who == WHO_OWN)
            own[owns++] = &stones_[i];
        else
            opponent[opponents++] = &stones_[i];
    }

    // The engine moves next: it moved first when it has as many stones as the opponent or
    // more, and second when the opponent has more.
    const bool ownFirst = owns >= opponents;
    const BoardStone* const* first = ownFirst ? own : opponent;
    const BoardStone* const* second = ownFirst ? opponent : own;
    const int firsts = ownFirst ? owns : opponents;
    const int seconds = ownFirst ? opponents : owns;
    // Entries in play order: 2 * firsts when the engine moved first, one fewer otherwise,
    // so that the side to move afterwards is the engine.
    const int entries = ownFirst ? 2 * firsts : 2 * firsts - 1;
    for (int i = 0; i < entries; ++i) {
        const int turn = i / 2;
        const BoardStone* stone = i % 2 == 0       ? first[turn]
                                  : turn < seconds ? second[turn]
                                                   : nullptr;
        if (stone != nullptr)
            engine.move(stone->x, stone->y);
        else
            engine.passTurn();
    }
    return count_;
}

}  // namespace quillmot
