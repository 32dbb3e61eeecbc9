#include <climits>
#include <cstring>

#include "protocol/front_end.h"

namespace quillmot {

namespace {

constexpr const char* BAD_STONE_LINE = "ERROR x,y,who or DONE expected";
constexpr const char* RULE_NOTICE =
    "MESSAGE Quillmot plays free-style only (five or more in a row wins); rule %d is not "
    "supported";

// Settings keys in the order INFO tries them; none is a prefix of another.
struct InfoKey {
    const char* key;
    std::atomic<int> Settings::*field;
};
constexpr InfoKey INFO_KEYS[] = {
    {"max_memory", &Settings::maxMemory},     {"timeout_match", &Settings::timeoutMatch},
    {"timeout_turn", &Settings::timeoutTurn}, {"time_left", &Settings::timeLeft},
    {"game_type", &Settings::gameType},       {"rule", &Settings::rule},
    {"show_detail", &Settings::showDetail},
};

}  // namespace

FrontEnd::Exit FrontEnd::run() {
    while (pendingCommand_ || (!endOfInput_ && getLine())) {
        pendingCommand_ = false;
        if (!doCommand()) return Exit::End;
    }
    return Exit::EndOfInput;
}

// One line into cmdBuffer: its first 255 characters, without the line feed and without
// one carriage return just before it. False at the end of input, even inside a line.
bool FrontEnd::getLine() {
    int stored = 0;
    for (;;) {
        const int c = std::getc(in_);
        if (c == EOF) {
            endOfInput_ = true;
            return false;
        }
        if (stored < LINE_BUFFER) cmdBuffer_[stored++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    cmdBuffer_[stored - 1] = '\0';
    if (stored >= 2 && cmdBuffer_[stored - 2] == '\r') cmdBuffer_[stored - 2] = '\0';
    return true;
}

bool FrontEnd::doCommand() {
    const char* line = cmdBuffer_;
    const char* args;
    if ((args = getCmdParam(line, "info")) != nullptr) {
        commandInfo(args);
    } else if ((args = getCmdParam(line, "start")) != nullptr) {
        commandStart(args);
    } else if ((args = getCmdParam(line, "rectstart")) != nullptr) {
        commandRectstart(args);
    } else if (getCmdParam(line, "restart") != nullptr) {
        stopAndEnsureEngine();
        if (requireEngine()) brainRestart();
    } else if ((args = getCmdParam(line, "turn")) != nullptr) {
        stopAndEnsureEngine();
        int xy[2];
        if (requireEngine() && readSquare(args, xy)) {
            brainMove(xy[0], xy[1]);
            startThinking();
        }
    } else if ((args = getCmdParam(line, "play")) != nullptr) {
        stopAndEnsureEngine();
        int xy[2];
        if (requireEngine() && readSquare(args, xy)) playAndReport(xy[0], xy[1]);
    } else if (getCmdParam(line, "begin") != nullptr) {
        stopAndEnsureEngine();
        if (requireEngine()) startThinking();
    } else if (getCmdParam(line, "about") != nullptr) {
        output_.pipeOut("%s", ABOUT_TEXT);
    } else if (getCmdParam(line, "end") != nullptr) {
        // Nothing is written after END, not even the move of a turn still running: the
        // caller leaves at once, without waiting for it.
        output_.silence();
        brainEnd();
        return false;
    } else if (getCmdParam(line, "board") != nullptr) {
        return commandBoard();
    } else if ((args = getCmdParam(line, "takeback")) != nullptr) {
        stopAndEnsureEngine();
        if (requireEngine()) commandTakeback(args);
    } else if (getCmdParam(line, "swap2board") != nullptr) {
        commandSwap2Board();
    } else {
        output_.pipeOut("UNKNOWN command");
    }
    return true;
}

void FrontEnd::commandInfo(const char* args) {
    for (const InfoKey& info : INFO_KEYS) {
        const char* value = getCmdParam(args, info.key);
        if (value == nullptr) continue;
        const int number = stringToInt(value);
        const int previous = (settings_.*info.field).exchange(number);
        if (info.field == &Settings::timeoutTurn) settings_.turnLimit.store(number);
        // The rules are free-style whatever the manager sets; a player should hear so.
        if (info.field == &Settings::rule && number != 0 && number != previous) {
            char notice[160];
            std::snprintf(notice, sizeof notice, RULE_NOTICE, number);
            output_.setNotice(notice);
        }
        return;
    }
}

void FrontEnd::commandStart(const char* args) {
    // The numbers go straight into the size, even when the size is then refused.
    int size[2];
    const int read = scanInts(args, "%d %d", size);
    if (read >= 1) boardWidth_ = size[0];
    boardHeight_ = read >= 2 ? size[1] : read == 1 ? boardWidth_ : boardHeight_;
    stopAndEnsureEngine();
    brainInit();
}

void FrontEnd::commandRectstart(const char* args) {
    int size[2];
    const int read = scanInts(args, "%d ,%d", size);
    if (read >= 1) boardWidth_ = size[0];
    if (read < 2) {
        output_.pipeOut("ERROR bad RECTSTART parameters");
        return;
    }
    boardHeight_ = size[1];
    stopAndEnsureEngine();
    brainInit();
}

// BOARD imposes a whole new position: a fresh game on the current board, then the stones
// of the block, one line each, until a line that is not a stone line; then the engine
// thinks, unless a stone could not be placed. A stone line names an empty square of the
// board and whose stone it is.
bool FrontEnd::commandBoard() {
    stopAndEnsureEngine();
    const bool haveEngine = engine_ != nullptr;
    boardBlock_.clear();
    for (;;) {
        if (!getLine()) return true;  // the loop sees the end of input
        int stone[3];
        const bool stoneForm = scanInts(cmdBuffer_, "%d,%d,%d", stone) == 3;
        const bool stoneLine = stoneForm && stone[0] >= 0 && stone[0] < boardWidth_ &&
                               stone[1] >= 0 && stone[1] < boardHeight_ &&
                               (stone[2] == WHO_OWN || stone[2] == WHO_OPPONENT);
        if (!haveEngine) {
            if (stoneForm) continue;  // read the block through, so it cannot come back as commands
            requireEngine();
            return true;
        }
        if (stoneLine && onEngineBoard(stone[0], stone[1]) &&
            !boardBlock_.contains(stone[0], stone[1])) {
            boardBlock_.add(stone[0], stone[1], stone[2]);
            continue;
        }
        const bool done = equalsIgnoreCase(cmdBuffer_, "done");
        if (!done) output_.pipeOut(BAD_STONE_LINE);
        // The stones before a bad line make the position all the same.
        engine_->start(engine_->boardSize, engine_->boardHeight);
        boardBlock_.placeOn(*engine_);
        moveNumber_ = engine_->stoneCount() + 1;
        if (!stoneForm) {
            startThinking();
            return true;
        }
        // A stone the engine cannot place (a third kind of stone, a square off the board or
        // named twice): the position lacks a stone the manager has, so a move could land on
        // it. The rest of the block is read without a word, and no move follows; the first
        // line after it that is no stone line, unless DONE, is a command again.
        do {
            if (!getLine()) return true;
        } while (scanInts(cmdBuffer_, "%d,%d,%d", stone) == 3);
        pendingCommand_ = !equalsIgnoreCase(cmdBuffer_, "done");
        return true;
    }
}

// SWAP2BOARD: the stones of a Swap2 opening so far, one "x,y" line each in play order, then
// DONE; the engine answers its choice. The block is checked whole here; the decision is a
// turn of the worker.
void FrontEnd::commandSwap2Board() {
    stopAndEnsureEngine();
    const char* problem = nullptr;
    char where[64] = "";
    int count = 0;
    for (;;) {
        if (!getLine()) return;  // the loop sees the end of input
        if (equalsIgnoreCase(cmdBuffer_, "done")) break;
        int xy[2];
        if (scanInts(cmdBuffer_, "%d,%d", xy) != 2) {
            problem = "x,y or DONE expected";  // and the line is not a command
            where[0] = '\0';
            break;
        }
        if (problem != nullptr) continue;  // the rest of the block is read through
        const bool on = engine_ != nullptr && onEngineBoard(xy[0], xy[1]);
        bool taken = false;
        for (int i = 0; on && i < count && i < SWAP2_MAX_STONES; ++i)
            taken = taken || swap2Stones_[i] == toEngine(xy[0], xy[1]);
        if (!on || taken) {
            problem = !on ? "is off the board" : "is taken";
            std::snprintf(where, sizeof where, "%d,%d ", xy[0], xy[1]);
        } else if (count < SWAP2_MAX_STONES) {
            swap2Stones_[count] = toEngine(xy[0], xy[1]);
        }
        ++count;
    }
    if (!requireEngine()) return;
    if (problem == nullptr && count != 0 && count != 3 && count != 5)
        problem = "takes 0, 3 or 5 stones";
    if (problem != nullptr) {
        output_.pipeOut("ERROR SWAP2BOARD %s%s", where, problem);
        return;
    }
    swap2Count_ = count;
    turnKind_ = TurnKind::Swap2;
    startThinking();
}

// TAKEBACK x,y takes back the last stone placed, which must be on that square.
void FrontEnd::commandTakeback(const char* args) {
    int xy[2];
    Engine& engine = *engine_;
    int last = engine.moveCount - 1;
    while (last >= 0 && engine.moveHistory[last] == PASS) --last;  // passes of a set-up
    if (scanInts(args, "%d,%d", xy) != 2 || last < 0 || !onEngineBoard(xy[0], xy[1]) ||
        engine.moveHistory[last] != toEngine(xy[0], xy[1])) {
        output_.pipeOut("ERROR bad coordinates");
        return;
    }
    while (engine.lastWasPass()) engine.undoPass();
    engine.undo();
    moveNumber_ = engine.stoneCount() + 1;
    output_.pipeOut("OK");
}

bool FrontEnd::requireEngine() {
    if (engine_ != nullptr) return true;
    output_.pipeOut("ERROR no board: START with a size from 5 to 32 first");
    return false;
}

// The square of TURN and PLAY; a pair that is not accepted gets the error line.
bool FrontEnd::readSquare(const char* args, int (&xy)[2]) {
    if (scanInts(args, "%d,%d", xy) == 2 && acceptsSquare(xy[0], xy[1])) return true;
    output_.pipeOut("ERROR bad coordinates");
    return false;
}

// On the announced board and on the Engine's own board.
bool FrontEnd::onEngineBoard(int x, int y) const {
    return x >= 0 && x < boardWidth_ && y >= 0 && y < boardHeight_ && x < engine_->boardSize &&
           y < engine_->boardHeight;
}

bool FrontEnd::acceptsSquare(int x, int y) const {
    return onEngineBoard(x, y) && engine_->isEmptySquare(toEngine(x, y));
}

}  // namespace quillmot
