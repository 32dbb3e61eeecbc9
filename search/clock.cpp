#include "search/clock.h"

#include <chrono>

#include "engine/engine.h"

namespace quillmot {

int64_t readClock() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Never clears timeUp: once the deadline has been seen to pass, or the node limit reached,
// the search winds down.
void Engine::checkTime() {
    if (nodes >= nodeLimit || readClock() >= deadline) timeUp = 1;
}

}  // namespace quillmot
