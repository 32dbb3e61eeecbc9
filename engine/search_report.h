// What the search thinks, told as each iteration completes: the report the engine keeps of
// its last search, and the callback through which a caller hears of every iteration.
#pragma once

#include <cstdint>

#include "base/types.h"

namespace quillmot {

class Engine;

struct SearchReport {
    int32_t depth = 0;  // 0: no iteration has completed
    int32_t score = 0;  // the root score, from the side to move's point of view
    int64_t nodes = 0;  // since the search began
    int64_t milliseconds = 0;
    int32_t lineLength = 0;
    Point line[PV_PLIES]{};  // the expected line, engine coordinates
    // The move the search returned is not line[0]: its last iteration, cut short, had
    // already found another, or a weak level chose another than its best.
    bool otherMove = false;
};

// Called on the searching thread as each iteration completes, never per node.
using ReportCallback = void (*)(void* context, const Engine& engine, const SearchReport& report);

}  // namespace quillmot
