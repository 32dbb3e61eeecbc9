// The stones of a BOARD block and the position they make.
#pragma once

#include "engine/engine.h"

namespace quillmot {

constexpr int WHO_OWN = 1;       // a stone of the engine that receives the block
constexpr int WHO_OPPONENT = 2;  // a stone of its opponent

// One stone line: protocol coordinates and whose stone it is.
struct BoardStone {
    int x;
    int y;
    int who;
};

// The stones of one block, in the order they came, each square at most once.
class BoardBlock {
public:
    void clear();
    bool contains(int x, int y) const { return taken_[x][y]; }
    // The square must lie on the engine's board and not be in the block yet.
    void add(int x, int y, int who);
    int size() const { return count_; }

    // Puts the block on an engine that has just started, with the colours that `who` gives,
    // and leaves the engine to move. The stones go down alternately, first mover first and
    // each colour in the order of the block, so a block in play order is played exactly in
    // that order. When one side has more stones than alternate play allows, the other side
    // passes where it has none left. Returns the number of stones placed.
    int placeOn(Engine& engine) const;

private:
    BoardStone stones_[MAX_MOVES];
    int count_ = 0;
    bool taken_[MAX_BOARD][MAX_BOARD] = {};
};

}  // namespace quillmot
