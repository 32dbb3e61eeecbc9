#include "protocol/front_end.h"

namespace quillmot {

namespace {

constexpr const char* NO_EMPTY_SQUARE = "ERROR no empty square";

// "MESSAGE depth D score S nodes N time T pv x,y x,y ...": the line a manager shows as the
// engine's thoughts, written as each iteration completes. 62 moves at most.
constexpr size_t MESSAGE_BYTES = 1024;

void writeReport(void* context, const Engine&, const SearchReport& report) {
    if (report.lineLength == 0) return;
    char line[MESSAGE_BYTES];
    int used = std::snprintf(line, sizeof line, "MESSAGE depth %d score %d nodes %lld time %lld pv",
                             report.depth, report.score, static_cast<long long>(report.nodes),
                             static_cast<long long>(report.milliseconds));
    for (int i = 0; i < report.lineLength && used > 0 && used < static_cast<int>(sizeof line);
         ++i) {
        const ProtocolSquare square = toProtocol(report.line[i]);
        used += std::snprintf(line + used, sizeof line - used, " %d,%d", square.x, square.y);
    }
    static_cast<Output*>(context)->pipeOut("%s", line);
}

}  // namespace

void FrontEnd::brainInit(bool reply) {
    // The engine's board holds at most 32 squares a side.
    if (boardWidth_ < MIN_BOARD || boardWidth_ > MAX_BOARD || boardHeight_ < MIN_BOARD ||
        boardHeight_ > MAX_BOARD) {
        if (reply) output_.pipeOut("ERROR size of the board");
        return;
    }
    moveNumber_ = 1;
    engine_.reset();  // freed before its successor is allocated
    engine_.reset(options_.makeEngine());
    if (engine_ == nullptr) {
        if (reply) output_.pipeOut("QRX Engine Load Error!\n");
        return;
    }
    engine_->start(boardWidth_, boardHeight_);
    engine_->maxDepth = options_.maxDepth;
    engine_->timeBudget = NEW_ENGINE_BUDGET_MS;
    if (reply) output_.pipeOut("OK");
}

void FrontEnd::brainRestart() {
    moveNumber_ = 1;
    engine_->start(engine_->boardSize, engine_->boardHeight);
    output_.pipeOut("OK");
}

void FrontEnd::brainMove(int x, int y) {
    engine_->move(x, y);
    ++moveNumber_;
}

void FrontEnd::playAndReport(int x, int y) {
    brainMove(x, y);
    output_.pipeOut("%d,%d", x, y);
}

// Runs on the worker: the centre at once on an empty board, otherwise a search within
// the turn's budget. Never plays a square that is off the board or taken.
void FrontEnd::brainTurn() {
    Engine& engine = *engine_;
    if (moveNumber_ == 1) {
        playAndReport(engine.boardSize / 2, engine.boardHeight / 2);
        return;
    }
    if (engine.stoneCount() >= engine.boardSize * engine.boardHeight) {
        output_.pipeOut(NO_EMPTY_SQUARE);
        return;
    }

    int budget;
    if (options_.fixedBudget > 0) {
        budget = options_.fixedBudget;
    } else {
        int timeoutTurn = settings_.timeoutTurn.load();
        const int timeLeft = settings_.timeLeft.load();
        budget = turnBudget(moveNumber_, timeLeft, timeoutTurn);
        if (moveNumber_ > 3) settings_.timeoutTurn.store(timeoutTurn);
        budget = capBudget(budget, settings_.turnLimit.load(), timeLeft);
    }
    // A turn limit of 0 asks for an answer as fast as possible: the first iteration alone,
    // which the shortest budget still bounds.
    const bool fastest = settings_.turnLimit.load() == 0;
    if (fastest && options_.fixedBudget <= 0 && budget > MIN_BUDGET) budget = MIN_BUDGET;
    engine.timeBudget = budget;
    engine.maxDepth = fastest ? FIRST_DEPTH : options_.maxDepth;
    SearchLimits limits;
    if (settings_.showDetail.load() != 0) {
        limits.onReport = writeReport;
        limits.reportContext = &output_;
    }

    int x, y;
    if (!engine.searchMove(x, y, limits)) {
        output_.pipeOut(NO_EMPTY_SQUARE);
        return;
    }
    playAndReport(x, y);
}

}  // namespace quillmot
