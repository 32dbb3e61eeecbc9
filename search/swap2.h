// Swap2, the opening rule of the championships: the first player places three stones
// (black, white, black); the second takes black, or takes white and places the fourth
// stone, or places two more (white, black) and lets the first choose; after five stones the
// first takes black or takes white and places the sixth. The decisions search at full
// strength and leave the engine's own game as they found it.
#pragma once

#include <cstdint>

#include "base/types.h"

namespace quillmot {

class Engine;

struct Swap2Decision {
    bool swap = false;  // take black: the other side places the next stone
    int count = 0;      // stones to place, in play order (none when swap is set)
    Point stones[3]{};  // engine coordinates
    // White's view of the position it decided on, less the side-to-move bonus; 0 for an
    // opening.
    int score = 0;
};

// The first three stones: the next balanced opening of the seed's sequence.
Swap2Decision swap2Opening(Engine& engine, uint64_t seed);

// The decision on three or five stones (in play order, black first, distinct empty squares
// of the board), White to move, within milliseconds. With s White's score less the
// side-to-move bonus: on three stones below -EVEN_BAND swap, above EVEN_BAND place the
// fourth stone, otherwise place the fourth and Black's best reply to it, the second search
// taking what the first left of the time; on five stones below 0 swap, otherwise place the
// sixth. No search goes deeper than maxDepth.
Swap2Decision swap2Decide(Engine& engine, const Point* stones, int count, int milliseconds,
                          int maxDepth = MAX_SEARCH_DEPTH);

}  // namespace quillmot
