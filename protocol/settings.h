// The settings that INFO sets, one int each, named by their keys. Atomics: INFO writes
// them on the command thread while the worker may read them at the start of a turn.
#pragma once

#include <atomic>

#include "protocol/time_budget.h"

namespace quillmot {

struct Settings {
    std::atomic<int> maxMemory{0};
    std::atomic<int> timeoutMatch{1000000000};
    std::atomic<int> timeoutTurn{INITIAL_TIMEOUT_TURN};  // also receives each computed budget
    std::atomic<int> timeLeft{1000000000};
    std::atomic<int> gameType{1};
    std::atomic<int> rule{0};
    // Not 0: a MESSAGE line with the search's report as each iteration completes.
    std::atomic<int> showDetail{0};
    // The turn limit as the manager last set it; the budget never exceeds it.
    std::atomic<int> turnLimit{INITIAL_TIMEOUT_TURN};
};

}  // namespace quillmot
