// Set-ups: positions that alternate play need not reach, made of stones of given colours and
// turns given away (passes). The protocol's BOARD block and the page's set-ups both place
// their stones here, so that a position comes out the same, stones and passes, either way.
#pragma once

#include <cstdint>

#include "base/types.h"

namespace quillmot {

class Engine;

// The history has room for a stone on every square and as many passes, and a search adds
// only stones: with at most MAX_MOVES passes no search can overflow it.
bool canPass(const Engine& engine);

// Gives the turn to colour (0 or 1): a pass when the other colour is to move. False, and
// nothing changed, when no pass fits.
bool giveTurnTo(Engine& engine, int colour);

// A stone of colour on the empty playable square, the turn given away first when the other
// colour is to move. False, and nothing changed, when that pass does not fit.
bool placeColour(Engine& engine, Point square, int colour);

// The stones and passes of a game in play order, kept while the engine's board serves
// something else (a Swap2 decision searches positions of its own).
struct SavedGame {
    int32_t count = 0;
    Point moves[MAX_HISTORY];
};

// Takes every stone and pass back into saved: the board is then empty, black to move.
void takeBackAll(Engine& engine, SavedGame& saved);
// Plays saved back onto the empty board, as it was taken back.
void replay(Engine& engine, const SavedGame& saved);

// to started anew (empty tables, as after start) on the position of from's first `entries`
// history entries, passes included: a second engine that searches the same position while
// from's tables stay its own.
void copyPosition(const Engine& from, int entries, Engine& to);

}  // namespace quillmot
