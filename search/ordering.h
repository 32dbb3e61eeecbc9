// Move-list helpers shared by both searches.
#pragma once

#include "base/types.h"

namespace quillmot {

// Higher scores first: b.score - a.score.
int compareScoreDescending(const ScoredMove& a, const ScoredMove& b);

// Stable sort by descending score: equal scores keep their generation order, so the same
// position searches the same nodes on every platform. Allocates nothing.
void sortMoves(ScoredMove* list, int count);

}  // namespace quillmot
