#include "engine/set_up.h"

#include "engine/engine.h"

namespace quillmot {

bool canPass(const Engine& engine) { return engine.passCount < MAX_MOVES; }

bool giveTurnTo(Engine& engine, int colour) {
    if (engine.sideToMove == colour) return true;
    if (!canPass(engine)) return false;
    engine.passTurn();
    return true;
}

bool placeColour(Engine& engine, Point square, int colour) {
    if (!giveTurnTo(engine, colour)) return false;
    engine.makeMove(square.x, square.y);
    return true;
}

}  // namespace quillmot
