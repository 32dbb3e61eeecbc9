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

void takeBackAll(Engine& engine, SavedGame& saved) {
    saved.count = engine.moveCount;
    for (int i = 0; i < engine.moveCount; ++i) saved.moves[i] = engine.moveHistory[i];
    while (engine.moveCount > 0) {
        if (engine.lastWasPass())
            engine.undoPass();
        else
            engine.undo();
    }
}

void replay(Engine& engine, const SavedGame& saved) {
    for (int i = 0; i < saved.count; ++i) {
        if (saved.moves[i] == PASS)
            engine.passTurn();
        else
            engine.makeMove(saved.moves[i].x, saved.moves[i].y);
    }
}

void copyPosition(const Engine& from, int entries, Engine& to) {
    to.start(from.boardSize, from.boardHeight);
    for (int i = 0; i < entries; ++i) {
        const Point p = from.moveHistory[i];
        if (p == PASS)
            to.passTurn();
        else
            to.makeMove(p.x, p.y);
    }
}

}  // namespace quillmot
