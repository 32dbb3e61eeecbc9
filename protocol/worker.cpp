#include "protocol/front_end.h"

namespace quillmot {

namespace {

// Room for the deepest search: 21 levels of move lists and forcing lines as long as the
// stones that fit on a 32 by 32 board, with plenty to spare for sanitizer builds.
constexpr size_t WORKER_STACK_BYTES = 64u << 20;

}  // namespace

void FrontEnd::startWorker() {
    worker_ = std::make_unique<WorkerThread>(&FrontEnd::threadMain, this, WORKER_STACK_BYTES);
}

// The worker is idle: wake it once more with the quit flag set, and wait for it to end.
void FrontEnd::stopWorker() {
    quit_ = true;
    idleEvent_.reset();
    startEvent_.set();
    worker_->join();
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
        brainInit(false);
    }
}

}  // namespace quillmot
