// The harness of the protocol tests: pbrain-quillmot as a child process, fed lines on its
// standard input, its replies read line by line; a model of the board to check that every
// move the engine answers is on the board and empty; and the test fixture. Every wait for
// a reply has a generous time limit, so that a hang fails the test instead of blocking it.
#pragma once

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

namespace quillmot::testing {

using Clock = std::chrono::steady_clock;

constexpr const char* ABOUT =
    "name=\"Quillmot\", version=\"1.0\", author=\"The Quillmot developers\", date=\"2026-12\"";
constexpr const char* NO_BOARD = "ERROR no board: START with a size from 5 to 32 first";
constexpr const char* BAD_STONE = "ERROR x,y,who or DONE expected";

// What a reply read returns when no line came.
inline const std::string END_OF_OUTPUT = "<end of output>";
inline const std::string NO_REPLY = "<no reply in time>";

// Long enough for a short search under sanitizers on a busy machine.
constexpr int REPLY_TIMEOUT_MS = 30000;

inline long long elapsedMs(Clock::time_point since) {
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
    // MESSAGE lines, the search's reports after INFO show_detail, are set aside for
    // takeMessages().
    std::string readLine(int timeoutMs = REPLY_TIMEOUT_MS) {
        const auto start = Clock::now();
        for (;;) {
            const size_t newline = pending_.find('\n');
            if (newline != std::string::npos) {
                std::string line = pending_.substr(0, newline);
                pending_.erase(0, newline + 1);
                if (line.rfind("MESSAGE ", 0) == 0) {
                    messages_.push_back(line);
                    continue;
                }
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

    // The MESSAGE lines read so far, and none from then on.
    std::vector<std::string> takeMessages() { return std::exchange(messages_, {}); }

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
    std::vector<std::string> messages_;
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

inline std::string square(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

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

}  // namespace quillmot::testing
