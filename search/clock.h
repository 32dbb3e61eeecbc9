// The search clock: milliseconds from a clock that never goes backwards, so that a
// deadline computed at the start of a search is always reached.
#pragma once

#include <cstdint>

namespace quillmot {

int64_t readClock();

}  // namespace quillmot
