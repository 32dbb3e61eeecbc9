#include "engine/engine.h"

namespace quillmot {

namespace {

// Indexed by threat class 0 to 10. A four-three or an open four is worth little while the
// opponent can complete five on its next stone.
// clang-format off
constexpr int EvalWeightsOwn[CLASS_COUNT]           = {0, 0, 1, 5, 13, 20, 10, 15, 200, 200, 20000};
constexpr int EvalWeightsOwnFacingFive[CLASS_COUNT] = {0, 0, 1, 5, 13, 20, 10, 15,  20,  20, 20000};
constexpr int EvalWeightsOpponent[CLASS_COUNT]      = {0, 0, 1, 5, 13, 20, 10, 15,  20,  20,    30};
// clang-format on

}  // namespace

int Engine::evaluate() const {
    const int32_t* own = classCounts[sideToMove];
    const int32_t* opp = classCounts[otherSide];
    const int* ownWeights = opp[CLASS_FIVE] >= 1 ? EvalWeightsOwnFacingFive : EvalWeightsOwn;
    int ownSum = 0, oppSum = 0;
    for (int c = 1; c < CLASS_COUNT; ++c) {
        ownSum += ownWeights[c] * own[c];
        oppSum += EvalWeightsOpponent[c] * opp[c];
    }
    return ownSum - oppSum;
}

}  // namespace quillmot
