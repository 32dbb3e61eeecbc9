#include <algorithm>

#include "protocol/front_end.h"
#include "search/clock.h"
#include "search/swap2.h"

namespace quillmot {

namespace {

constexpr const char* NO_EMPTY_SQUARE = "ERROR no empty square";

// "MESSAGE depth D score S nodes N time T pv x,y x,y ...": the line a manager shows as the
// engine's thoughts, written as each iteration completes. 62 moves at most.
constexpr size_t MESSAGE_BYTES = 1024;

void writeMessage(Output& output, int depth, int score, int64_t nodes, int64_t milliseconds,
                  const Point* line, int lineLength) {
    char text[MESSAGE_BYTES];
    int used =
        std::snprintf(text, sizeof text, "MESSAGE depth %d score %d nodes %lld time %lld pv", depth,
                      score, static_cast<long long>(nodes), static_cast<long long>(milliseconds));
    for (int i = 0; i < lineLength && used > 0 && used < static_cast<int>(sizeof text); ++i) {
        const ProtocolSquare square = toProtocol(line[i]);
        used += std::snprintf(text + used, sizeof text - used, " %d,%d", square.x, square.y);
    }
    output.pipeOut("%s", text);
}

// The lines of one turn's search. An iteration that tells nothing new (the same score,
// nodes and line: a root decided before any search, a forced win found again) writes none.
struct ReportLines {
    Output* output;
    bool written = false;
    SearchReport last{};

    static void write(void* context, const Engine&, const SearchReport& report) {
        auto& lines = *static_cast<ReportLines*>(context);
        if (report.lineLength == 0) return;
        const SearchReport& last = lines.last;
        if (lines.written && report.score == last.score && report.nodes == last.nodes &&
            std::equal(report.line, report.line + report.lineLength, last.line,
                       last.line + last.lineLength))
            return;
        writeMessage(*lines.output, report.depth, report.score, report.nodes, report.milliseconds,
                     report.line, report.lineLength);
        lines.written = true;
        lines.last = report;
    }

    // The move played is not the one the last line expects (a cut-short iteration changed it,
    // or the fallback square stood in for a search that found none): one more line says so,
    // with the depth of the iteration cut short and the whole search's figures.
    void played(const Engine& engine, Point move) {
        if (written && last.line[0] == move) return;
        const int depth = engine.completedDepth > 0 ? engine.completedDepth + 1 : FIRST_DEPTH;
        const int64_t milliseconds = readClock() - engine.searchStart;
        writeMessage(*output, depth, engine.report.score, engine.nodes, milliseconds, &move, 1);
    }
};

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
    if (turnKind_ == TurnKind::Swap2) {
        turnKind_ = TurnKind::Move;
        swap2Turn();
        return;
    }
    if (moveNumber_ == 1) {
        playAndReport(engine.boardSize / 2, engine.boardHeight / 2);
        return;
    }
    if (engine.stoneCount() >= engine.boardSize * engine.boardHeight) {
        output_.pipeOut(NO_EMPTY_SQUARE);
        return;
    }

    // A turn limit of 0 asks for an answer as fast as possible: the first iteration alone,
    // which the shortest budget still bounds.
    engine.timeBudget = turnBudgetFor(moveNumber_);
    engine.maxDepth = turnDepth();
    const bool detail = settings_.showDetail.load() != 0;
    ReportLines lines{&output_};
    SearchLimits limits;
    if (detail) {
        limits.onReport = ReportLines::write;
        limits.reportContext = &lines;
    }

    int x, y;
    if (!engine.searchMove(x, y, limits)) {
        output_.pipeOut(NO_EMPTY_SQUARE);
        return;
    }
    if (detail) lines.played(engine, toEngine(x, y));
    playAndReport(x, y);
}

// The deepest iteration of a turn: a turn limit of 0 asks for the first iteration alone.
int FrontEnd::turnDepth() const {
    return settings_.turnLimit.load() == 0 ? FIRST_DEPTH : options_.maxDepth;
}

int FrontEnd::turnBudgetFor(int moveNumber) {
    if (options_.fixedBudget > 0) return options_.fixedBudget;
    int timeoutTurn = settings_.timeoutTurn.load();
    const int timeLeft = settings_.timeLeft.load();
    int budget = turnBudget(moveNumber, timeLeft, timeoutTurn);
    if (moveNumber > 3) settings_.timeoutTurn.store(timeoutTurn);
    budget = capBudget(budget, settings_.turnLimit.load(), timeLeft);
    if (settings_.turnLimit.load() == 0 && budget > MIN_BUDGET) budget = MIN_BUDGET;
    return budget;
}

// Runs on the worker: the Swap2 choice on the stones of the last SWAP2BOARD block, written
// as "SWAP" or as the squares to place on one line. The engine's game stays as it was.
void FrontEnd::swap2Turn() {
    Engine& engine = *engine_;
    const Swap2Decision decision = swap2Count_ == 0
                                       ? swap2Opening(engine, static_cast<uint64_t>(readClock()))
                                       : swap2Decide(engine, swap2Stones_, swap2Count_,
                                                     turnBudgetFor(swap2Count_ + 1), turnDepth());
    if (decision.swap) {
        output_.pipeOut("SWAP");
        return;
    }
    char text[64] = "";
    int used = 0;
    for (int i = 0; i < decision.count; ++i) {
        const ProtocolSquare square = toProtocol(decision.stones[i]);
        used += std::snprintf(text + used, sizeof text - used, "%s%d,%d", i > 0 ? " " : "",
                              square.x, square.y);
    }
    output_.pipeOut("%s", text);
}

}  // namespace quillmot
