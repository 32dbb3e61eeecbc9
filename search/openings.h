// Balanced openings: three stones (black, white, black) near the centre that leave neither
// side ahead. The ladder plays its games from them, and Swap2's first player places them.
#pragma once

#include <array>
#include <cstdint>

#include "base/types.h"
#include "search/levels.h"

namespace quillmot {

class Engine;

using Opening = std::array<Point, 3>;  // engine coordinates, in play order

// The stones lie in the 5 by 5 block around the centre, and the value of the position for
// the side to move (White), by a full-width search to depth 3, is within BALANCED_OPENING of
// even.
constexpr int OPENING_REACH = 2;
constexpr int BALANCED_OPENING = 40;

// The next balanced opening of random's sequence, drawn on engine, whose board must be
// empty and is left empty. Boards too small to hold a balanced opening get the most even
// of the first draws.
Opening drawBalancedOpening(Engine& engine, LevelRandom& random);

}  // namespace quillmot
