// The protocol front end: reads command lines, keeps the board size and the settings,
// owns the Engine and the worker thread that thinks on it, and writes every reply.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>

#include "engine/engine.h"
#include "protocol/board_block.h"
#include "protocol/event.h"
#include "protocol/output.h"
#include "protocol/platform.h"
#include "protocol/settings.h"
#include "protocol/text_parsing.h"

namespace quillmot {

constexpr const char* ABOUT_TEXT =
    "name=\"Quillmot\", version=\"1.0\", author=\"The Quillmot developers\", date=\"2026-12\"";

struct FrontEndOptions {
    // Creates each new Engine; nullptr reports an allocation failure.
    std::function<Engine*()> makeEngine;
    // Above 0: every search gets this many milliseconds, whatever the settings (for
    // driving the protocol fast in tests and fuzzing).
    int fixedBudget = 0;
    // The deepest iteration of every turn's searches (a move or a Swap2 choice).
    int maxDepth = MAX_SEARCH_DEPTH;
};

class FrontEnd {
public:
    enum class Exit { End, EndOfInput };

    FrontEnd(FILE* in, FILE* out, FrontEndOptions options = {});
    // Waits for a running turn to end, then stops the worker.
    ~FrontEnd();
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    // Reads and executes commands until END or the end of input.
    Exit run();

    // Leaves the process with status 0 at once; no further line is written.
    [[noreturn]] void exitNow();

    // Waits until the worker's turn, if one runs, has ended: for callers that drive the
    // front end in-process and look at the engine after run().
    void waitForTurn() { stopThinking(); }

    Output& output() { return output_; }

private:
    // Command loop (commands.cpp).
    bool getLine();
    bool doCommand();  // false after END
    bool commandBoard();
    void commandSwap2Board();
    void commandTakeback(const char* args);
    void commandInfo(const char* args);
    void commandStart(const char* args);
    void commandRectstart(const char* args);
    bool requireEngine();
    bool readSquare(const char* args, int (&xy)[2]);
    bool onEngineBoard(int x, int y) const;
    bool acceptsSquare(int x, int y) const;  // on the engine's board and empty

    // Worker thread (worker.cpp).
    void startWorker();
    void stopWorker();
    static void threadMain(void* self);
    void turnThreadLoop();
    void startThinking();
    void stopThinking();
    void stopAndEnsureEngine();

    // Engine and turns (turn.cpp).
    // Creates the engine for the size in force and answers for it; quietly for the
    // implicit engine a command makes before any size was given, so that the command's own
    // reply stays its only one.
    void brainInit(bool reply = true);
    void brainRestart();
    void brainMove(int x, int y);
    void playAndReport(int x, int y);
    // The budget of the turn that would make move moveNumber of the game: from the settings
    // (or the fixed budget), within the manager's limits, the shortest for timeout_turn 0.
    int turnBudgetFor(int moveNumber);
    int turnDepth() const;
    void brainTurn();
    void swap2Turn();
    void brainEnd() {}

    FILE* in_;
    Output output_;
    FrontEndOptions options_;

    char cmdBuffer_[LINE_BUFFER] = {};
    int boardWidth_ = 0;
    int boardHeight_ = 0;
    Settings settings_;

    std::unique_ptr<Engine> engine_;
    int moveNumber_ = 1;  // the stones on the board plus one
    BoardBlock boardBlock_;
    // What the worker's next turn is: the engine's move, or a Swap2 choice on the stones of
    // the last SWAP2BOARD block (engine coordinates, in play order).
    enum class TurnKind { Move, Swap2 };
    TurnKind turnKind_ = TurnKind::Move;
    static constexpr int SWAP2_MAX_STONES = 5;
    Point swap2Stones_[SWAP2_MAX_STONES]{};
    int swap2Count_ = 0;

    Event startEvent_{true, false};
    Event idleEvent_{false, true};
    std::unique_ptr<WorkerThread> worker_;
    bool quit_ = false;  // set only while the worker is idle, to end it at teardown
    bool endOfInput_ = false;
    // The line in cmdBuffer is a command still to run: a BOARD block ended by it leaves it to
    // the command loop, so that blocks after blocks never nest calls.
    bool pendingCommand_ = false;
};

}  // namespace quillmot
