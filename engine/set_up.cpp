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

namespace {

// A history entry played again: a stone, or a pass.
void playEntry(Engine& engine, Point entry) {
    if (entry == PASS)
        engine.passTurn();
    else
        engine.makeMove(entry.x, entry.y);
}

}  // namespace

void replay(Engine& engine, const SavedGame& saved) {
    for (int i = 0; i < saved.count; ++i) playEntry(engine, saved.moves[i]);
}

void copyPosition(const Engine& from, int entries, Engine& to) {
    to.start(from.boardSize, from.boardHeight);
    for (int i = 0; i < entries; ++i) playEntry(to, from.moveHistory[i]);
}

}  // namespace quillmot
