#include "protocol/board_block.h"

#include <cassert>
#include <cstring>

#include "engine/set_up.h"

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

    // The engine moved first (black) when it has as many stones as the opponent or more,
    // second when the opponent has more. The colours alternate as far as both have stones;
    // the set-up placer gives the turn away where one side has none left, and at the end,
    // so that the engine is to move.
    const int ownColour = owns >= opponents ? 0 : 1;
    const BoardStone* const* black = ownColour == 0 ? own : opponent;
    const BoardStone* const* white = ownColour == 0 ? opponent : own;
    const int blacks = ownColour == 0 ? owns : opponents;
    const int whites = ownColour == 0 ? opponents : owns;
    for (int i = 0; i < blacks || i < whites; ++i) {
        if (i < blacks) placeColour(engine, toEngine(black[i]->x, black[i]->y), 0);
        if (i < whites) placeColour(engine, toEngine(white[i]->x, white[i]->y), 1);
    }
    giveTurnTo(engine, ownColour);
    return count_;
}

}  // namespace quillmot
