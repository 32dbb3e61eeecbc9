#include <cstdlib>

#include "protocol/front_end.h"

namespace quillmot {

namespace {

// Room for the deepest search: 21 levels of move lists and forcing lines as long as the
// stones that fit on a 32 by 32 board, with plenty to spare for sanitizer builds.
constexpr size_t WORKER_STACK_BYTES = 64u << 20;

Engine* newEngine() { return new (std::nothrow) Engine(); }

}  // namespace

FrontEnd::FrontEnd(FILE* in, FILE* out, FrontEndOptions options)
    : in_(in), output_(out), options_(std::move(options)) {
    if (!options_.makeEngine) options_.makeEngine = newEngine;
    worker_ = std::make_unique<WorkerThread>(&FrontEnd::threadMain, this, WORKER_STACK_BYTES);
}

FrontEnd::~FrontEnd() {
    stopThinking();
    quit_ = true;
    idleEvent_.reset();
    startEvent_.set();
    worker_->join();
}

void FrontEnd::exitNow() {
    output_.closeForExit();
    std::fflush(nullptr);
    std::_Exit(0);
}

void FrontEnd::threadMain(void* self) { static_cast<FrontEnd*>(self)->turnThreadLoop(); }

void FrontEnd::turnThreadLoop() {
    for (;;) {
        startEvent_.wait();
        if (quit_) return;
        brainTurn();
        idleEvent_.set();
    }
}

// The reset comes first, so that a wait that follows at once cannot pass before the
// turn has ended.
void FrontEnd::startThinking() {
    idleEvent_.reset();
    startEvent_.set();
}

void FrontEnd::stopThinking() { idleEvent_.wait(); }

void FrontEnd::stopAndEnsureEngine() {
    stopThinking();
    if (boardWidth_ == 0) {
        boardWidth_ = 20;
        boardHeight_ = 20;
        brainInit();
    }
}

}  // namespace quillmot
