// pbrain-quillmot as a manager drives it: the real program as a child process, fed lines
// on its standard input, its replies read line by line and compared exactly. Every wait
// for a reply has a generous time limit, so that a hang fails the test instead of
// blocking it; every move the engine answers is checked to be on the board and empty.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

extern char** environ;

namespace quillmot {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* ABOUT =
    "name=\"Quillmot\", version=\"1.0\", author=\"The Quillmot developers\", date=\"2026-12\"";
constexpr const char* NO_BOARD = "ERROR no board: START with a size from 5 to 32 first";
constexpr const char* BAD_STONE = "ERROR x,y,who or DONE expected";

// What a reply read returns when no line came.
const std::string END_OF_OUTPUT = "<end of output>";
const std::string NO_REPLY = "<no reply in time>";

// Long enough for a short search under sanitizers on a busy machine.
constexpr int REPLY_TIMEOUT_MS = 30000;

long long elapsedMs(Clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

// The engine as a child process with its three standard streams on pipes.
class EngineProcess {
public:
    EngineProcess() {
        signal(SIGPIPE, SIG_IGN);  // writing to an engine that has ended must not kill the test
        int in[2], out[2], err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
            std::abort();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);

        // A sanitizer report must end the engine at once (it leaves with _exit, so a report
        // would otherwise not change its exit status); stderr shows it.
        std::vector<std::string> env;
        std::string tsan = "TSAN_OPTIONS=halt_on_error=1";
        for (char** e = environ; *e != nullptr; ++e) {
            if (std::strncmp(*e, "TSAN_OPTIONS=", 13) == 0)
                tsan += std::string(" ") + (*e + 13);
            else
                env.emplace_back(*e);
        }
        env.push_back(tsan);
        std::vector<char*> envp;
        for (std::string& s : env) envp.push_back(s.data());
        envp.push_back(nullptr);

        char path[] = QUILLMOT_ENGINE_PATH;
        char* argv[] = {path, nullptr};
        if (posix_spawn(&pid_, path, &actions, nullptr, argv, envp.data()) != 0) std::abort();
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        close(err[1]);
        toEngine_ = in[1];
        fromEngine_ = out[0];
        errors_ = err[0];
    }

    ~EngineProcess() {
        closeInput();
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (fromEngine_ >= 0) close(fromEngine_);
        if (errors_ >= 0) close(errors_);
    }

    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;

    // Writes text as it is; send() adds the line feed.
    void sendRaw(const std::string& text) {
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = write(toEngine_, text.data() + done, text.size() - done);
            if (n <= 0) {
                ADD_FAILURE() << "the engine no longer reads its input";
                return;
            }
            done += static_cast<size_t>(n);
        }
    }
    void send(const std::string& line) { sendRaw(line + "\n"); }
    void send(std::initializer_list<std::string> lines) {
        for (const std::string& line : lines) send(line);
    }

    void closeInput() {
        if (toEngine_ >= 0) close(toEngine_);
        toEngine_ = -1;
    }

    // The next reply line without its line feed; END_OF_OUTPUT or NO_REPLY when none came.
    std::string readLine(int timeoutMs = REPLY_TIMEOUT_MS) {
        const auto start = Clock::now();
        for (;;) {
            const size_t newline = pending_.find('\n');
            if (newline != std::string::npos) {
                std::string line = pending_.substr(0, newline);
                pending_.erase(0, newline + 1);
                return line;
            }
            if (outputClosed_) {
                if (!pending_.empty()) ADD_FAILURE() << "unterminated output: " << pending_;
                return END_OF_OUTPUT;
            }
            const long long left = timeoutMs - elapsedMs(start);
            if (left <= 0) return NO_REPLY;
            pump(static_cast<int>(left));
        }
    }

    // Reads count lines.
    std::vector<std::string> readLines(int count) {
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i) lines.push_back(readLine());
        return lines;
    }

    // Waits for the engine to end; its exit status, or -1 when it was killed by a signal or
    // still ran after the time limit.
    int waitExit(int timeoutMs = REPLY_TIMEOUT_MS) {
        const auto start = Clock::now();
        while (!exited_) {
            int status = 0;
            const pid_t r = waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                exited_ = true;
                exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                break;
            }
            if (elapsedMs(start) > timeoutMs) return -1;
            pump(10);
        }
        pump(0);
        return exitStatus_;
    }

    // Ends the input and expects the engine to leave with status 0 writing nothing more.
    void expectQuietExit() {
        closeInput();
        EXPECT_EQ(readLine(), END_OF_OUTPUT);
        EXPECT_EQ(waitExit(), 0);
    }

    // Everything the engine wrote to its standard error so far.
    std::string errors() {
        pump(0);
        return errorText_;
    }

    pid_t pid() const { return pid_; }

private:
    // Waits up to timeoutMs for output on either stream and takes what is there.
    void pump(int timeoutMs) {
        pollfd fds[2] = {{outputClosed_ ? -1 : fromEngine_, POLLIN, 0},
                         {errorsClosed_ ? -1 : errors_, POLLIN, 0}};
        if (poll(fds, 2, timeoutMs) <= 0) return;
        char buffer[4096];
        if (fds[0].revents != 0) {
            const ssize_t n = read(fromEngine_, buffer, sizeof buffer);
            if (n > 0)
                pending_.append(buffer, static_cast<size_t>(n));
            else
                outputClosed_ = true;
        }
        if (fds[1].revents != 0) {
            const ssize_t n = read(errors_, buffer, sizeof buffer);
            if (n > 0)
                errorText_.append(buffer, static_cast<size_t>(n));
            else
                errorsClosed_ = true;
        }
    }

    pid_t pid_ = -1;
    int toEngine_ = -1;
    int fromEngine_ = -1;
    int errors_ = -1;
    std::string pending_;
    std::string errorText_;
    bool outputClosed_ = false;
    bool errorsClosed_ = false;
    bool exited_ = false;
    int exitStatus_ = -1;
};

// The board as the test sees it, to check the engine's moves.
class BoardModel {
public:
    BoardModel(int width, int height) : width_(width), height_(height) {}

    bool isEmpty(int x, int y) const { return !stones_.count({x, y}); }
    bool isFull() const { return static_cast<int>(stones_.size()) == width_ * height_; }
    void place(int x, int y) { stones_.insert({x, y}); }
    std::vector<std::pair<int, int>> emptySquares() const {
        std::vector<std::pair<int, int>> squares;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (isEmpty(x, y)) squares.emplace_back(x, y);
        return squares;
    }

    // A move reply "x,y" on an empty square of the board; the stone is placed.
    ::testing::AssertionResult takeMove(const std::string& reply) {
        int x = 0, y = 0;
        if (!parseMove(reply, x, y))
            return ::testing::AssertionFailure() << "not a move: \"" << reply << "\"";
        if (x >= width_ || y >= height_)
            return ::testing::AssertionFailure()
                   << reply << " is off the " << width_ << " by " << height_ << " board";
        if (!isEmpty(x, y)) return ::testing::AssertionFailure() << reply << " is taken";
        place(x, y);
        return ::testing::AssertionSuccess();
    }

private:
    // Two decimal numbers without sign, leading zero or blank, and a comma between them.
    static bool parseMove(const std::string& text, int& x, int& y) {
        const size_t comma = text.find(',');
        auto number = [](const std::string& digits, int& value) {
            if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits[0] == '0'))
                return false;
            value = 0;
            for (char c : digits) {
                if (c < '0' || c > '9') return false;
                value = value * 10 + (c - '0');
            }
            return true;
        };
        return comma != std::string::npos && number(text.substr(0, comma), x) &&
               number(text.substr(comma + 1), y);
    }

    int width_, height_;
    std::set<std::pair<int, int>> stones_;
};

std::string square(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

// Every test checks at its end that the engine wrote nothing to standard error.
class ProtocolSession : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(engine.errors(), ""); }

    // Sends a command and expects exactly these reply lines.
    void expectReplies(const std::string& command, std::initializer_list<std::string> replies) {
        engine.send(command);
        for (const std::string& reply : replies)
            EXPECT_EQ(engine.readLine(), reply) << "after " << command;
    }
    void expectReply(const std::string& command, const std::string& reply) {
        expectReplies(command, {reply});
    }
    // Nothing was written for the commands before: the next line answers ABOUT.
    void expectNothingPending() {
        engine.send("ABOUT");
        EXPECT_EQ(engine.readLine(), ABOUT);
    }

    EngineProcess engine;
};

// ---- Commands, replies and error lines ----

TEST_F(ProtocolSession, AboutInfoAndUnknownLines) {
    expectReply("ABOUT", ABOUT);
    expectReply("about", ABOUT);
    expectReply("ABOUTX", ABOUT);
    // INFO never answers, whatever its key or value.
    engine.send({"INFO timeout_turn 300", "INFO time_left 99999999999", "INFO max_memory -5",
                 "INFO rule 1", "INFO game_type 0", "INFO timeout_match 0", "INFO thread_num 4",
                 "INFO", "info timeout_turn5000", "INFOtime_left"});
    expectNothingPending();
    for (const char* line : {"", " TURN 3,4", "YXSTOP", "HELLO", "\t", "STAR 15", "x"})
        expectReply(line, "UNKNOWN command");
}

TEST_F(ProtocolSession, StartAnswersOkForSidesFrom5To32) {
    const std::pair<const char*, const char*> cases[] = {
        {"START 15", "7,7"},      {"start 20", "10,10"},  {"StArT 19", "9,9"},
        {"START 5", "2,2"},       {"START 32", "16,16"},  {"START 20 15", "10,7"},
        {"START 20,15", "10,10"}, {"START 6 32", "3,16"}, {"START\t15", "7,7"},
    };
    for (const auto& [start, centre] : cases) {
        expectReply(start, "OK");
        expectReply("BEGIN", centre);  // the first move is the centre, without a search
    }
}

TEST_F(ProtocolSession, StartRefusesOtherSizesAndKeepsTheEngine) {
    expectReply("START 15", "OK");
    for (const char* start :
         {"START 4", "START 33", "START 100", "START 101", "START -5", "START 15 4", "START 15 33",
          "START 4294967301", "START 99999999999", "START 32 -2147483648"})
        expectReply(start, "ERROR size of the board");
    // The 15 by 15 engine stays, with its position.
    expectReply("BEGIN", "7,7");
}

TEST_F(ProtocolSession, StartWithoutNumbersUsesTheSizeInForce) {
    // No size yet: the implicit 20 by 20 engine, then the START's own.
    expectReplies("START", {"OK", "OK"});
    expectReply("BEGIN", "10,10");
    expectReply("START 15", "OK");
    expectReply("START", "OK");
    expectReply("BEGIN", "7,7");
    expectReply("START junk", "OK");
    expectReply("BEGIN", "7,7");
}

TEST_F(ProtocolSession, RectstartForms) {
    const std::pair<const char*, const char*> cases[] = {
        {"RECTSTART 20,15", "10,7"}, {"RECTSTART 20 ,15", "10,7"}, {"rectstart 20 , 15", "10,7"},
        {"RECTSTART 15,20", "7,10"}, {"RECTSTART 5,32", "2,16"},   {"RECTSTART 7,7", "3,3"},
    };
    for (const auto& [start, centre] : cases) {
        expectReply(start, "OK");
        expectReply("BEGIN", centre);
    }
    for (const char* start : {"RECTSTART 4,10", "RECTSTART 10,4", "RECTSTART 33,10",
                              "RECTSTART 10,33", "RECTSTART 100,100", "RECTSTART 10,4294967306"})
        expectReply(start, "ERROR size of the board");
    for (const char* start : {"RECTSTART 20", "RECTSTART", "RECTSTART 20 15", "RECTSTART x,5"})
        expectReply(start, "ERROR bad RECTSTART parameters");
}

TEST_F(ProtocolSession, BadRectstartKeepsTheWidthItRead) {
    expectReply("START 15", "OK");
    expectReply("RECTSTART 20", "ERROR bad RECTSTART parameters");
    // The engine is untouched; a START without numbers takes width 20 and height 15.
    expectReply("BEGIN", "7,7");
    expectReply("START", "OK");
    expectReply("BEGIN", "10,7");
}

TEST_F(ProtocolSession, RestartStartsANewGameOnTheSameBoard) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 15", "OK");
    BoardModel board(15, 15);
    expectReply("BEGIN", "7,7");
    board.place(7, 7);
    engine.send("TURN 0,0");
    board.place(0, 0);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    expectReply("RESTART", "OK");
    // An empty board again: the centre at once, and 0,0 is free.
    expectReply("BEGIN", "7,7");
    expectReply("RESTART", "OK");
    expectReply("PLAY 0,0", "0,0");
    expectReply("restartX", "OK");
    // The opponent begins: the engine's first move is searched.
    engine.send("TURN 7,7");
    BoardModel fresh(15, 15);
    fresh.place(7, 7);
    EXPECT_TRUE(fresh.takeMove(engine.readLine()));
}

// A command that needs an engine before any size was given makes a 20 by 20 one first.
TEST_F(ProtocolSession, FirstCommands) {
    struct Case {
        std::vector<std::string> input;
        std::vector<std::string> replies;
    };
    const Case cases[] = {
        {{"START 0", "BEGIN"}, {"OK", "OK", "10,10"}},
        {{"RECTSTART 0,7", "BEGIN"}, {"OK", "OK", "10,10"}},
        {{"RESTART", "BEGIN"}, {"OK", "OK", "10,10"}},
        {{"BEGIN"}, {"OK", "10,10"}},
        {{"BOARD", "DONE"}, {"OK", "10,10"}},
        {{"PLAY 19,19", "PLAY 20,0"}, {"OK", "19,19", "ERROR bad coordinates"}},
        // The engine is made even when the move is then refused.
        {{"TURN 25,25"}, {"OK", "ERROR bad coordinates"}},
        // END makes nothing and writes nothing.
        {{"END", "ABOUT"}, {}},
    };
    for (const Case& c : cases) {
        EngineProcess e;
        for (const std::string& line : c.input) e.send(line);
        for (const std::string& reply : c.replies) EXPECT_EQ(e.readLine(), reply) << c.input[0];
        e.expectQuietExit();
        EXPECT_EQ(e.errors(), "");
    }

    engine.send({"INFO timeout_turn 300", "TURN 10,10"});
    EXPECT_EQ(engine.readLine(), "OK");
    BoardModel board(20, 20);
    board.place(10, 10);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
}

TEST_F(ProtocolSession, TurnAndPlayCoordinates) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 15", "OK");
    BoardModel board(15, 15);
    for (const char* turn :
         {"TURN 10 ,5", "TURN -1,4", "TURN 15,4", "TURN 4,15", "TURN 4,-1", "TURN", "TURN 4",
          "TURN x", "TURNX 3,4", "TURN 99999999999,1", "TURN 4294967303,1", "TURN 1,4294967297",
          "PLAY 15,0", "PLAY 3 4", "PLAYER 1,1"})
        expectReply(turn, "ERROR bad coordinates");
    expectNothingPending();  // no refused move reached the engine or made it think

    engine.send("TURN 10, 5");
    board.place(10, 5);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    engine.send("turn 3,4,1");  // the rest of the line is ignored
    board.place(3, 4);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    engine.send("TURN\t14,14");
    board.place(14, 14);
    EXPECT_TRUE(board.takeMove(engine.readLine()));

    // PLAY is the engine's own move, written back as it is; the engine does not think.
    EXPECT_TRUE(board.isEmpty(0, 0));
    expectReply("PLAY 0,0", "0,0");
    board.place(0, 0);
    expectReply("play  +0,  14", "0,14");
    board.place(0, 14);
    expectNothingPending();
}

TEST_F(ProtocolSession, OccupiedSquaresAreRefused) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 15", "OK");
    BoardModel board(15, 15);
    expectReply("PLAY 7,7", "7,7");
    board.place(7, 7);
    expectReply("PLAY 7,7", "ERROR bad coordinates");
    expectReply("TURN 7,7", "ERROR bad coordinates");
    engine.send("TURN 7,8");
    board.place(7, 8);
    const std::string reply = engine.readLine();
    EXPECT_TRUE(board.takeMove(reply));
    expectReply("TURN " + reply, "ERROR bad coordinates");
    expectReply("PLAY " + reply, "ERROR bad coordinates");
    expectNothingPending();
}

TEST_F(ProtocolSession, CoordinatesAfterARefusedSize) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 15", "OK");
    BoardModel board(15, 15);
    // After START 3 the coordinates are checked against 3 by 3 and go to the 15 by 15 engine.
    expectReply("START 3", "ERROR size of the board");
    expectReply("TURN 5,5", "ERROR bad coordinates");
    engine.send("TURN 2,2");
    board.place(2, 2);
    EXPECT_TRUE(board.takeMove(engine.readLine()));

    // After START 40 no square off the engine's own board reaches it.
    expectReply("START 40", "ERROR size of the board");
    for (const char* line : {"TURN 20,20", "TURN 15,0", "TURN 0,15", "PLAY 39,39", "PLAY 15,14"})
        expectReply(line, "ERROR bad coordinates");
    engine.send({"BOARD", "14,14,1", "15,14,2"});
    board.place(14, 14);
    EXPECT_EQ(engine.readLine(), BAD_STONE);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    expectReply("0,1,1", "UNKNOWN command");  // the block ended at 15,14,2

    // RESTART starts the engine's own 15 by 15 board again, not a 40 by 40 one.
    expectReply("RESTART", "OK");
    expectReply("BEGIN", "7,7");
}

TEST_F(ProtocolSession, WithoutAnEngineCommandsThatNeedOneSaySo) {
    expectReply("START 3", "ERROR size of the board");
    expectReply("RESTART", NO_BOARD);
    expectReply("TURN 1,1", NO_BOARD);
    expectReply("TURN 99,1", NO_BOARD);
    expectReply("PLAY 1,1", NO_BOARD);
    expectReply("BEGIN", NO_BOARD);
    // BOARD reads its stone lines through, so that they do not come back as commands.
    engine.send({"BOARD", "1,1,1", "2,2,2", "DONE"});
    EXPECT_EQ(engine.readLine(), NO_BOARD);
    expectNothingPending();
    expectReply("START 33", "ERROR size of the board");
    engine.send({"BOARD", "30,30,1", "2,2,2", "done"});
    EXPECT_EQ(engine.readLine(), NO_BOARD);
    expectReply("RECTSTART 5,40", "ERROR size of the board");
    expectReply("BEGIN", NO_BOARD);
    // A good size brings the engine back.
    expectReply("START 15", "OK");
    expectReply("BEGIN", "7,7");
}

TEST_F(ProtocolSession, BadRectstartFirstLeavesNoEngine) {
    // The width 20 is read, so no implicit engine is made for later commands.
    expectReply("RECTSTART 20", "ERROR bad RECTSTART parameters");
    expectReply("TURN 10,10", NO_BOARD);
    expectReply("BEGIN", NO_BOARD);
    expectReply("RECTSTART 20,15", "OK");
    expectReply("BEGIN", "10,7");
}

// ---- The BOARD block ----

TEST_F(ProtocolSession, BoardPassesStonesInPlayOrderThenThinks) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 20", "OK");
    for (const auto& stones :
         {std::vector<std::string>{"10,10,1", "10,11,2", "DONE"},
          std::vector<std::string>{"10,10,2", "10,11,1", "done"},
          std::vector<std::string>{"10,10,1", " 10, 11, 2 and more", "Done"}}) {
        expectReply("RESTART", "OK");
        engine.send("BOARD");
        engine.send(stones[0]);
        engine.send(stones[1]);
        engine.send(stones[2]);
        BoardModel board(20, 20);
        board.place(10, 10);
        board.place(10, 11);
        EXPECT_TRUE(board.takeMove(engine.readLine()));
        // Both stones are on the engine's board.
        expectReply("PLAY 10,10", "ERROR bad coordinates");
        expectReply("PLAY 10,11", "ERROR bad coordinates");
    }
}

TEST_F(ProtocolSession, EmptyBoardBlockAnswersTheCentre) {
    expectReply("START 15", "OK");
    engine.send({"BOARD", "DONE"});
    EXPECT_EQ(engine.readLine(), "7,7");
    expectReply("RESTART", "OK");
    engine.send({"BOARD whatever follows", "done"});
    EXPECT_EQ(engine.readLine(), "7,7");
}

TEST_F(ProtocolSession, BoardBlockEndedByABadLine) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 15", "OK");
    struct Case {
        std::vector<std::string> block;  // stone lines, then the line that ends the block
        std::string afterwards;          // a stone line after the bad one: now a command
    };
    const Case cases[] = {
        {{"10,10,3"}, "DONE"},
        {{"10,10,1", "done "}, ""},
        {{"10,10,1", " DONE"}, ""},
        {{"10,10,1", "10,11,0"}, "3,3,1"},
        {{"10,10,1", "15,0,2"}, "3,3,1"},
        {{"10,10,1", "0,-1,2"}, "3,3,1"},
        {{"10,10,1", "10 ,11,2"}, "3,3,1"},
        {{"10,10,1", "10,11"}, "3,3,1"},
        {{"10,10,1", "99999999999,1,2"}, "3,3,1"},
        {{"10,10,1", "10,10,2"}, "3,3,1"},  // the square is taken
        {{"10,10,1", "START 15"}, ""},      // the line ends the block and is not executed
        {{"10,10,1", ""}, ""},
    };
    for (const Case& c : cases) {
        expectReply("RESTART", "OK");
        engine.send("BOARD");
        BoardModel board(15, 15);
        for (size_t i = 0; i + 1 < c.block.size(); ++i) {
            engine.send(c.block[i]);
            board.place(10, 10);
        }
        engine.send(c.block.back());
        EXPECT_EQ(engine.readLine(), BAD_STONE) << c.block.back();
        // The stones before the bad line stay and the engine still answers a move.
        const std::string reply = engine.readLine();
        if (c.block.size() == 1)
            EXPECT_EQ(reply, "7,7") << c.block.back();
        else
            EXPECT_TRUE(board.takeMove(reply)) << c.block.back();
        if (!c.afterwards.empty()) expectReply(c.afterwards, "UNKNOWN command");
        expectNothingPending();
    }
}

// The block is the whole position, each stone of the colour its line gives, in any order
// and whatever the counts: the engine completes its own four or blocks the opponent's.
TEST_F(ProtocolSession, BoardGivesEachStoneTheColourItsLineNames) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 15", "OK");
    const std::vector<std::string> four = {"3,3", "4,3", "5,3", "6,3"};  // open at 2,3 and 7,3
    const std::vector<std::string> scattered = {"3,6", "5,8", "9,9", "11,11"};
    auto lines = [](const std::vector<std::string>& squares, const char* who) {
        std::vector<std::string> out;
        for (const std::string& sq : squares) out.push_back(sq + "," + who);
        return out;
    };
    auto concat = [](std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        const char* name;
        std::vector<std::string> block;
        std::set<std::string> replies;
    };
    const std::set<std::string> five = {"2,3", "7,3"};
    const Case cases[] = {
        {"own stones first", concat(lines(four, "1"), lines(scattered, "2")), five},
        {"opponent's first", concat(lines(scattered, "2"), lines(four, "1")), five},
        {"own stones only", lines(four, "1"), five},
        {"opponent two ahead", concat(lines(four, "1"), lines(concat(scattered, {"0,14", "14,0"}), "2")), five},
        {"block the opponent", concat({"2,3,1"}, lines(four, "2")), {"7,3"}},
        {"block, engine ahead", concat(lines({"2,3", "9,9", "12,1", "1,12", "13,13"}, "1"), lines(four, "2")),
         {"7,3"}},
    };
    for (const Case& c : cases) {
        engine.send("BOARD");
        for (const std::string& line : c.block) engine.send(line);
        engine.send("DONE");
        const std::string reply = engine.readLine();
        EXPECT_TRUE(c.replies.count(reply)) << c.name << ": " << reply;
    }
    expectNothingPending();
}

// A BOARD during a game replaces the position: squares of the old game are free again and
// every line of the block is a stone, none is left over as a command.
TEST_F(ProtocolSession, BoardDuringAGameReplacesThePosition) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 15", "OK");
    engine.send("TURN 7,7");
    const std::string reply = engine.readLine();
    BoardModel old(15, 15);
    old.place(7, 7);
    ASSERT_TRUE(old.takeMove(reply));
    engine.send({"BOARD", reply + ",2", "7,7,1", "0,0,2", "DONE"});
    BoardModel board(15, 15);
    for (const std::string& sq : {reply, std::string("7,7"), std::string("0,0")}) {
        int x, y;
        std::sscanf(sq.c_str(), "%d,%d", &x, &y);
        board.place(x, y);
    }
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    expectNothingPending();
    // The same square twice in one block is refused like any occupied square.
    engine.send({"BOARD", "1,1,2", "1,1,1"});
    EXPECT_EQ(engine.readLine(), BAD_STONE);
    BoardModel single(15, 15);
    single.place(1, 1);
    EXPECT_TRUE(single.takeMove(engine.readLine()));
    expectReply("PLAY 7,7", "7,7");  // free again
}

TEST_F(ProtocolSession, TakebackTakesBackTheLastStoneOnly) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 15", "OK");
    expectReply("PLAY 7,7", "7,7");
    engine.send("TURN 8,8");
    const std::string reply = engine.readLine();
    BoardModel board(15, 15);
    board.place(7, 7);
    board.place(8, 8);
    ASSERT_TRUE(board.takeMove(reply));
    for (const char* bad : {"TAKEBACK 8,8", "TAKEBACK 0,0", "TAKEBACK", "TAKEBACK 3", "TAKEBACK 99,99",
                                   "TAKEBACK 7,7"})
        expectReply(bad, "ERROR bad coordinates");
    expectReply("TAKEBACK " + reply, "OK");
    expectReply("takeback 8,8", "OK");
    expectReply("TAKEBACK 7,7", "OK");
    expectReply("TAKEBACK 7,7", "ERROR bad coordinates");  // the board is empty
    // Play goes on from the empty board: the first move is the centre again.
    expectReply("BEGIN", "7,7");
    engine.send("TURN 8,8");
    BoardModel again(15, 15);
    again.place(7, 7);
    again.place(8, 8);
    EXPECT_TRUE(again.takeMove(engine.readLine()));

    // After a block with more of the engine's stones, the passes it needed go too.
    engine.send({"BOARD", "3,3,1", "4,4,1", "DONE"});
    const std::string answer = engine.readLine();
    expectReply("TAKEBACK " + answer, "OK");
    expectReply("TAKEBACK 4,4", "OK");
    expectReply("TAKEBACK 3,3", "OK");
    expectReply("BEGIN", "7,7");
}

// A turn limit of 0 asks for the fastest answer: the first iteration only, far within the
// 1500 ms that the smallest budget used to take.
TEST_F(ProtocolSession, TimeoutTurnZeroAnswersFast) {
    engine.send("INFO timeout_turn 0");
    expectReply("START 15", "OK");
    const std::vector<std::string> game = {"7,7", "5,9", "9,8", "8,8", "7,6", "9,7", "7,5",
                                           "7,4", "6,5", "8,7", "8,5", "5,5", "9,4", "10,3",
                                           "8,6", "11,3", "5,8", "6,7", "9,3", "9,6"};
    engine.send("BOARD");
    BoardModel board(15, 15);
    for (size_t i = 0; i < game.size(); ++i) {
        engine.send(game[i] + (i % 2 == 0 ? ",1" : ",2"));
        int x, y;
        std::sscanf(game[i].c_str(), "%d,%d", &x, &y);
        board.place(x, y);
    }
    const auto start = Clock::now();
    engine.send("DONE");
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    EXPECT_LT(elapsedMs(start), 500);
}

TEST_F(ProtocolSession, FullBoards) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 5", "OK");
    // A position with one empty square: the engine must find it.
    BoardModel board(5, 5);
    engine.send("BOARD");
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            if (x == 3 && y == 1) continue;
            engine.send(square(x, y) + ",1");
            board.place(x, y);
        }
    }
    engine.send("DONE");
    EXPECT_EQ(engine.readLine(), "3,1");
    // Now the board is full: no move, and nothing changes.
    expectReply("BEGIN", "ERROR no empty square");
    expectReply("TURN 0,0", "ERROR bad coordinates");
    expectReply("BEGIN", "ERROR no empty square");
    expectReply("RESTART", "OK");
    expectReply("BEGIN", "2,2");

    // The same through PLAY and a last TURN: the engine has no move left.
    expectReply("RECTSTART 6,5", "OK");
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            if (!(x == 5 && y == 4)) expectReply("PLAY " + square(x, y), square(x, y));
    expectReply("TURN 5,4", "ERROR no empty square");
    expectReply("BEGIN", "ERROR no empty square");
}

// ---- Line handling ----

TEST_F(ProtocolSession, CarriageReturnLineFeedLines) {
    engine.send("INFO timeout_turn 300\r");
    engine.sendRaw("START 15\r\nBEGIN\r\n");
    EXPECT_EQ(engine.readLines(2), (std::vector<std::string>{"OK", "7,7"}));
    engine.sendRaw("BOARD\r\n1,1,1\r\nDONE\r\n");
    BoardModel board(15, 15);
    board.place(7, 7);
    board.place(1, 1);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    engine.sendRaw("ABOUT\r\n\r\nEND\r\n");
    EXPECT_EQ(engine.readLines(2), (std::vector<std::string>{ABOUT, "UNKNOWN command"}));
    EXPECT_EQ(engine.readLine(), END_OF_OUTPUT);
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST_F(ProtocolSession, OnlyTheLastCarriageReturnGoes) {
    expectReply("START 15", "OK");
    engine.sendRaw("BOARD\r\nDONE\r\r\n");  // "DONE\r" is not "done"
    EXPECT_EQ(engine.readLines(2), (std::vector<std::string>{BAD_STONE, "7,7"}));
}

TEST_F(ProtocolSession, ALongLineKeepsItsFirst255Characters) {
    // The digits 1 and 5 are the 254th and 255th characters; the 9 is the 256th.
    std::string start = "START";
    start += std::string(253 - start.size(), ' ');
    start += "159";
    ASSERT_EQ(start.size(), 256u);
    expectReply(start + std::string(44, '9'), "OK");
    expectReply("BEGIN", "7,7");
    engine.send("INFO timeout_turn 300");

    // The rest of a long line is read and lost: an END past the 255th character ends nothing.
    expectReply(std::string(255, 'x') + "END", "UNKNOWN command");
    expectReply(std::string(254, 'x') + "\r" + "END", "UNKNOWN command");
    // A line of exactly 255 characters, with and without a carriage return.
    expectReply("ABOUT" + std::string(250, ' '), ABOUT);
    engine.sendRaw("ABOUT" + std::string(250, ' ') + "\r\n");
    EXPECT_EQ(engine.readLine(), ABOUT);
    // In a BOARD block a DONE past the 255th character does not end the block.
    engine.send({"BOARD", "1,1,1" + std::string(290, ' ') + "DONE", "2,2,2", "DONE"});
    BoardModel board(15, 15);
    board.place(7, 7);
    board.place(1, 1);
    board.place(2, 2);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    expectReply("PLAY 2,2", "ERROR bad coordinates");
}

TEST_F(ProtocolSession, ANulByteEndsTheCommandText) {
    expectReply(std::string("START 15\0"
                            "9",
                            10),
                "OK");
    engine.send({"BOARD", std::string("DONE\0junk", 9)});
    EXPECT_EQ(engine.readLine(), "7,7");
    expectReply(std::string("\0ABOUT", 6), "UNKNOWN command");
}

// ---- Ending ----

TEST_F(ProtocolSession, EndEndsTheProcessWithStatus0) {
    for (const char* end : {"END", "end", "ENDGAME", "End of the match"}) {
        EngineProcess e;
        e.send({"START 15", end, "ABOUT"});
        EXPECT_EQ(e.readLine(), "OK") << end;
        EXPECT_EQ(e.readLine(), END_OF_OUTPUT) << end;  // nothing after END is read
        EXPECT_EQ(e.waitExit(), 0) << end;
        EXPECT_EQ(e.errors(), "");
    }
    engine.send("END");
    EXPECT_EQ(engine.readLine(), END_OF_OUTPUT);
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST_F(ProtocolSession, EndOfInputEndsTheProcessWithStatus0) {
    expectReply("START 15", "OK");
    engine.expectQuietExit();
    {
        // A partial line at the end of input is not executed.
        EngineProcess e;
        e.sendRaw("ABOUT");
        e.expectQuietExit();
        EXPECT_EQ(e.errors(), "");
    }
    {
        // Inside a BOARD block: no move.
        EngineProcess e;
        e.send({"START 15", "BOARD", "1,1,1"});
        EXPECT_EQ(e.readLine(), "OK");
        e.expectQuietExit();
        EXPECT_EQ(e.errors(), "");
    }
}

TEST_F(ProtocolSession, EndDuringASearchWritesTheMoveFirst) {
    engine.send("INFO timeout_turn 1000");
    expectReply("START 15", "OK");
    engine.send({"BOARD", "7,7,1", "7,8,2", "8,8,1", "DONE", "END"});
    BoardModel board(15, 15);
    board.place(7, 7);
    board.place(7, 8);
    board.place(8, 8);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    EXPECT_EQ(engine.readLine(), END_OF_OUTPUT);
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST_F(ProtocolSession, EndOfInputDuringASearchLeavesAtOnceWithoutTheMove) {
    // A minute for the move: the engine must leave long before it could answer.
    engine.send({"INFO timeout_turn 60000", "INFO time_left 2147483647"});
    expectReply("START 15", "OK");
    engine.send({"BOARD", "7,7,1", "7,8,2", "8,8,1", "DONE"});
    expectNothingPending();  // the search is running
    const auto start = Clock::now();
    engine.closeInput();
    EXPECT_EQ(engine.readLine(), END_OF_OUTPUT);
    EXPECT_EQ(engine.waitExit(), 0);
    EXPECT_LT(elapsedMs(start), 20000);
}

// ---- The worker thread ----

TEST_F(ProtocolSession, CommandsThatWaitComeAfterTheRunningTurnsMove) {
    engine.send("INFO timeout_turn 1000");
    expectReply("START 15", "OK");
    BoardModel board(15, 15);
    // The second TURN arrives while the first is thought about; it waits for the move.
    engine.send({"TURN 7,7", "TURN 0,0"});
    board.place(7, 7);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    board.place(0, 0);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    // Likewise PLAY, RESTART, START and BOARD.
    engine.send({"TURN 14,0", "PLAY 14,14"});
    board.place(14, 0);
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    EXPECT_EQ(engine.readLine(), "14,14");
    engine.send({"BEGIN", "RESTART", "BEGIN"});
    EXPECT_TRUE(board.takeMove(engine.readLine()));
    EXPECT_EQ(engine.readLines(2), (std::vector<std::string>{"OK", "7,7"}));
}

TEST_F(ProtocolSession, LinesThatDoNotWaitMayComeBeforeTheMove) {
    engine.send("INFO timeout_turn 1000");
    expectReply("START 15", "OK");
    engine.send({"TURN 7,7", "ABOUT", "NONSENSE", "RECTSTART 9", "INFO time_left 5000"});
    std::vector<std::string> lines = engine.readLines(4);
    BoardModel board(15, 15);
    board.place(7, 7);
    const auto move = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return !line.empty() && line[0] >= '0' && line[0] <= '9';
    });
    ASSERT_NE(move, lines.end());
    EXPECT_TRUE(board.takeMove(*move));
    lines.erase(move);
    // The three other replies, whole and in the order of their commands.
    EXPECT_EQ(lines, (std::vector<std::string>{ABOUT, "UNKNOWN command",
                                               "ERROR bad RECTSTART parameters"}));
    expectNothingPending();
}

// The budget never exceeds the manager's turn limit nor half the time left. Without these
// caps the second move of a game would get 4 s, 3.85 s of it to the search's deadline.
TEST_F(ProtocolSession, TheManagersLimitsCapTheSecondMovesBudget) {
    for (const char* limits : {"INFO timeout_turn 300\nINFO time_left 2147483647",
                               "INFO timeout_turn 30000\nINFO time_left 400"}) {
        EngineProcess e;
        e.send({limits, "START 15"});
        EXPECT_EQ(e.readLine(), "OK");
        const auto start = Clock::now();
        e.send("TURN 7,7");
        BoardModel board(15, 15);
        board.place(7, 7);
        EXPECT_TRUE(board.takeMove(e.readLine()));
        EXPECT_LT(elapsedMs(start), 3000) << limits;
        e.expectQuietExit();
        EXPECT_EQ(e.errors(), "");
    }
}

// A short game under real time settings: every reply is legal and comes within its 1500 ms
// budget (the search's deadline lies 150 ms before it) plus a margin for a loaded machine.
TEST_F(ProtocolSession, AShortGameWithinTheBudget) {
    engine.send({"START 15", "INFO timeout_turn 1500", "INFO timeout_match 300000", "INFO time_left 300000"});
    EXPECT_EQ(engine.readLine(), "OK");
    BoardModel board(15, 15);
    const std::pair<int, int> opponent[] = {{7, 7}, {8, 8}, {6, 9}, {9, 6}, {5, 5}, {10, 11}};
    for (const auto& [x, y] : opponent) {
        int ox = x, oy = y;
        if (!board.isEmpty(ox, oy)) std::tie(ox, oy) = board.emptySquares().front();
        board.place(ox, oy);
        const auto start = Clock::now();
        engine.send("TURN " + square(ox, oy));
        ASSERT_TRUE(board.takeMove(engine.readLine()));
        EXPECT_LT(elapsedMs(start), 1500 + 1000);
    }
    engine.send("END");
    EXPECT_EQ(engine.waitExit(), 0);
}

TEST_F(ProtocolSession, TinyBudgetsStillAnswerLegalMoves) {
    // A budget of 1 ms ends the search before its first iteration has a move.
    for (const char* timeLeft : {"INFO time_left 1", "INFO time_left 0", "INFO time_left -7"}) {
        EngineProcess e;
        e.send({"INFO timeout_turn 1", timeLeft, "START 15"});
        EXPECT_EQ(e.readLine(), "OK");
        BoardModel board(15, 15);
        for (int i = 0; i < 6; ++i) {
            const auto empty = board.emptySquares();
            const auto [x, y] = empty[(i * 37) % empty.size()];
            e.send("TURN " + square(x, y));
            board.place(x, y);
            EXPECT_TRUE(board.takeMove(e.readLine())) << timeLeft;
        }
        e.expectQuietExit();
        EXPECT_EQ(e.errors(), "");
    }
}

// Whole games against random moves on small and rectangular boards: every answer is a
// legal move, until the board is full.
TEST_F(ProtocolSession, RandomGamesOnlyGetLegalMoves) {
    engine.send("INFO timeout_turn 200");
    std::mt19937 random(20261201);
    const std::pair<int, int> sizes[] = {{5, 5}, {7, 5}, {5, 8}, {6, 6}};
    for (const auto& [width, height] : sizes) {
        expectReply("RECTSTART " + square(width, height), "OK");
        BoardModel board(width, height);
        bool engineBegins = width % 2 == 0;
        if (engineBegins) {
            engine.send("BEGIN");
            EXPECT_TRUE(board.takeMove(engine.readLine()));
        }
        while (!board.isFull()) {
            const auto empty = board.emptySquares();
            const auto [x, y] = empty[random() % empty.size()];
            engine.send("TURN " + square(x, y));
            board.place(x, y);
            const std::string reply = engine.readLine();
            if (board.isFull()) {
                EXPECT_EQ(reply, "ERROR no empty square");
                break;
            }
            ASSERT_TRUE(board.takeMove(reply)) << width << " by " << height;
        }
        if (board.isFull()) expectReply("BEGIN", "ERROR no empty square");
    }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUILLMOT_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define QUILLMOT_SANITIZED 1
#endif
#endif

// A replaced engine is freed: many STARTs use no more memory than one.
TEST_F(ProtocolSession, ReplacedEnginesAreFreed) {
#ifdef QUILLMOT_SANITIZED
    GTEST_SKIP() << "sanitizers keep freed memory in quarantine";
#else
    auto residentKilobytes = [](pid_t pid) -> long {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
        return -1;
    };
    expectReply("START 32", "OK");
    const long one = residentKilobytes(engine.pid());
    ASSERT_GT(one, 0);
    for (int i = 0; i < 60; ++i) engine.send("START 32");
    for (int i = 0; i < 60; ++i) ASSERT_EQ(engine.readLine(), "OK");
    const long many = residentKilobytes(engine.pid());
    // One engine is about 30 MB; sixty kept ones would be 1.8 GB.
    EXPECT_LT(many, one + 64 * 1024) << one << " kB after one START, " << many << " after 61";
#endif
}

}  // namespace
}  // namespace quillmot
