// The front end driven in-process, where the test controls what the program cannot be
// made to do from outside: an Engine that cannot be allocated, the count of Engines made,
// and the way the command loop ends.
#include <gtest/gtest.h>
#include <pthread.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/front_end.h"
#include "test_util.h"

namespace quillmot {
namespace {

struct SessionResult {
    std::string output;
    FrontEnd::Exit exit;
};

// Runs the front end on the given input until END or the end of input; the worker has
// finished its turn when this returns. afterRun sees the session's engines before they go.
SessionResult runSession(const std::string& input, FrontEndOptions options,
                         const std::function<void()>& afterRun = {}) {
    FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    FILE* out = std::tmpfile();
    if (in == nullptr || out == nullptr) std::abort();
    SessionResult result;
    {
        FrontEnd frontEnd(in, out, std::move(options));
        result.exit = frontEnd.run();
        frontEnd.waitForTurn();
        if (afterRun) afterRun();
    }
    std::rewind(out);
    for (int c; (c = std::getc(out)) != EOF;) result.output += static_cast<char>(c);
    std::fclose(in);
    std::fclose(out);
    return result;
}

// Counts the Engines made; the first `failAfter` succeed, later ones fail (when >= 0).
FrontEndOptions countingOptions(int& made, int failAfter = -1) {
    FrontEndOptions options;
    options.makeEngine = [&made, failAfter]() -> Engine* {
        if (failAfter >= 0 && made >= failAfter) return nullptr;
        ++made;
        return new Engine();
    };
    options.fixedBudget = 20;
    return options;
}

TEST(ProtocolFrontEnd, AnEngineThatCannotBeMadeIsReportedAndLeavesNone) {
    int made = 0;
    const SessionResult r =
        runSession("START 15\nTURN 7,7\nBEGIN\nRESTART\nBOARD\n1,1,1\nDONE\nPLAY 1,1\nABOUT\nEND\n",
                   countingOptions(made, 0));
    const std::string noBoard = "ERROR no board: START with a size from 5 to 32 first\n";
    EXPECT_EQ(r.output, std::string("QRX Engine Load Error!\n\n") + noBoard + noBoard + noBoard +
                            noBoard + noBoard + ABOUT_TEXT + "\n");
    EXPECT_EQ(r.exit, FrontEnd::Exit::End);
    EXPECT_EQ(made, 0);
}

TEST(ProtocolFrontEnd, AFailedAllocationDropsTheEarlierEngine) {
    int made = 0;
    const SessionResult r =
        runSession("START 15\nSTART 15\nBEGIN\nSTART 20\n", countingOptions(made, 1));
    EXPECT_EQ(r.output,
              "OK\nQRX Engine Load Error!\n\n"
              "ERROR no board: START with a size from 5 to 32 first\n"
              "QRX Engine Load Error!\n\n");
    EXPECT_EQ(r.exit, FrontEnd::Exit::EndOfInput);
}

TEST(ProtocolFrontEnd, OneEnginePerAcceptedSize) {
    int made = 0;
    // Two for a START without a size as the first command (the implicit one quietly); none
    // for a refused size, for RESTART or for a bad RECTSTART; one for each accepted START and
    // RECTSTART.
    const SessionResult r = runSession(
        "START\nRESTART\nSTART 40\nRECTSTART 9\nRESTART\nSTART 15\nRECTSTART 10,12\nBEGIN\n",
        countingOptions(made));
    EXPECT_EQ(r.output,
              "OK\nOK\nERROR size of the board\nERROR bad RECTSTART parameters\nOK\nOK\nOK\n"
              "5,6\n");
    EXPECT_EQ(made, 4);
}

TEST(ProtocolFrontEnd, TheLoopEndsAtEndOrAtTheEndOfInput) {
    int made = 0;
    EXPECT_EQ(runSession("ABOUT\nEND\nABOUT\n", countingOptions(made)).exit, FrontEnd::Exit::End);
    EXPECT_EQ(runSession("ABOUT\n", countingOptions(made)).exit, FrontEnd::Exit::EndOfInput);
    EXPECT_EQ(runSession("", countingOptions(made)).exit, FrontEnd::Exit::EndOfInput);
    const SessionResult partial = runSession("ABOUT", countingOptions(made));
    EXPECT_EQ(partial.output, "");
    EXPECT_EQ(partial.exit, FrontEnd::Exit::EndOfInput);
    EXPECT_EQ(made, 0);
}

// A refused BOARD block hands the line after it back to the command loop: thousands of such
// blocks in a row, each ended by the next BOARD, must not nest a call apiece. The session runs
// on a thread with a small stack, which calls nested per block would overflow.
TEST(ProtocolFrontEnd, RefusedBoardBlocksInARowNestNoCalls) {
    constexpr int BLOCKS = 4000;
    std::string input = "START 5\n";
    for (int i = 0; i < BLOCKS; ++i) input += "BOARD\n1,1,3\n";
    input += "ABOUT\n";
    struct Run {
        const std::string* input;
        SessionResult result;
    } run{&input, {}};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    auto body = [](void* arg) -> void* {
        Run& r = *static_cast<Run*>(arg);
        FrontEndOptions options;
        options.fixedBudget = 20;
        r.result = runSession(*r.input, std::move(options));
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, body, &run), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    std::string expected = "OK\n";
    for (int i = 0; i < BLOCKS; ++i) expected += "ERROR x,y,who or DONE expected\n";
    EXPECT_EQ(run.result.output, expected + ABOUT_TEXT + "\n");
}

void expectLegalFill(const SessionResult& r) {
    bool taken[7][7] = {};
    std::vector<std::string> lines;
    for (size_t pos = 0, end; (end = r.output.find('\n', pos)) != std::string::npos; pos = end + 1)
        lines.push_back(r.output.substr(pos, end - pos));
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines[1], "3,3");
    EXPECT_EQ(lines[0], "OK");
    for (size_t i = 1; i <= 49; ++i) {
        int x = -1, y = -1;
        ASSERT_EQ(std::sscanf(lines[i].c_str(), "%d,%d", &x, &y), 2) << lines[i];
        ASSERT_TRUE(x >= 0 && x < 7 && y >= 0 && y < 7) << lines[i];
        ASSERT_FALSE(taken[x][y]) << lines[i];
        ASSERT_EQ(lines[i], std::to_string(x) + "," + std::to_string(y));
        taken[x][y] = true;
    }
    EXPECT_EQ(lines[50], "ERROR no empty square");
}

TEST(ProtocolFrontEnd, TheEnginePlayingBothSidesFillsTheBoardWithLegalMoves) {
    int made = 0;
    FrontEndOptions options = countingOptions(made);
    options.fixedBudget = 170;  // 20 ms to the search's deadline
    std::string input = "START 7\n";
    for (int i = 0; i < 50; ++i) input += "BEGIN\n";
    expectLegalFill(runSession(input, std::move(options)));
}

// Searches that stop below the first iteration (depth 5) find no move: every turn is
// answered by the fallback, still a legal square.
TEST(ProtocolFrontEnd, SearchesWithoutAMoveStillAnswerLegalSquares) {
    int made = 0;
    FrontEndOptions options = countingOptions(made);
    options.maxDepth = 4;
    options.fixedBudget = 1000;
    std::string input = "START 7\n";
    for (int i = 0; i < 50; ++i) input += "BEGIN\n";
    expectLegalFill(runSession(input, std::move(options)));
}

// A block in play order is played in exactly that order, so its turn searches node for node
// what a search of the game itself does; a turn limit of 0 stops after the first iteration.
TEST(ProtocolFrontEnd, ABoardInPlayOrderSearchesLikeTheGameItself) {
    const std::string game = "7,7 6,8 5,5 6,9 6,7 8,7 7,8 8,9 7,9 7,6 8,8 6,6 5,6 5,7";
    for (const int depth : {6, FIRST_DEPTH}) {
        auto reference = positions::startedEngine(15);
        std::string block = "BOARD\n";
        std::istringstream moves(game);
        std::string move;
        for (int i = 0; moves >> move; ++i) {
            int x, y;
            ASSERT_EQ(std::sscanf(move.c_str(), "%d,%d", &x, &y), 2);
            reference->move(x, y);
            block += move + (i % 2 == 0 ? ",1\n" : ",2\n");  // the engine moved first
        }
        reference->maxDepth = depth;
        reference->timeBudget = 1 << 30;
        int x, y;
        reference->iterativeDeepening(x, y);

        Engine* engine = nullptr;
        FrontEndOptions options;
        options.makeEngine = [&engine] { return engine = new Engine(); };
        options.fixedBudget = 1 << 30;  // the depth ends the search, never the clock
        std::string input = "START 15\n" + block + "DONE\n";
        if (depth == FIRST_DEPTH)
            input = "INFO timeout_turn 0\n" + input;
        else
            options.maxDepth = depth;
        const SessionResult r = runSession(input, std::move(options), [&] {
            EXPECT_EQ(engine->nodes, reference->nodes + 1) << depth;  // and the stone played
            EXPECT_EQ(engine->completedDepth, depth);
        });
        EXPECT_EQ(r.output, "OK\n" + std::to_string(x) + "," + std::to_string(y) + "\n");
    }
}

// Whatever the order of the stones and however many each side has, every stone gets the
// colour its line gives, the engine is to move, and taking the stones back one by one (as
// TAKEBACK does) keeps the engine consistent down to the empty board.
TEST(ProtocolFrontEnd, ABoardBlockGivesEveryStoneItsColour) {
    const std::vector<std::vector<BoardStone>> blocks = {
        {{7, 7, 1}, {8, 8, 2}, {6, 6, 1}, {9, 9, 2}},             // play order, engine first
        {{7, 7, 2}, {8, 8, 1}, {6, 6, 2}},                        // play order, opponent first
        {{7, 7, 1}, {6, 6, 1}, {8, 8, 2}, {9, 9, 2}, {5, 5, 2}},  // grouped by colour
        {{7, 7, 1}, {6, 6, 1}, {5, 5, 1}},                        // the engine's stones only
        {{0, 0, 2}, {1, 1, 2}, {2, 2, 2}, {14, 14, 1}, {3, 3, 2}},
        {{4, 4, 2}},
        {},
    };
    for (size_t b = 0; b < blocks.size(); ++b) {
        auto engine = positions::startedEngine(15);
        const PositionHash empty = engine->hash();
        BoardBlock block;
        block.clear();
        for (const BoardStone& stone : blocks[b]) block.add(stone.x, stone.y, stone.who);
        ASSERT_EQ(block.placeOn(*engine), static_cast<int>(blocks[b].size()));
        ASSERT_TRUE(engine->isConsistent()) << b;
        EXPECT_EQ(engine->stoneCount(), static_cast<int>(blocks[b].size()));
        for (const BoardStone& stone : blocks[b])
            EXPECT_EQ(engine->cells[stone.x + BORDER][stone.y + BORDER].state,
                      stone.who == WHO_OWN ? engine->sideToMove : engine->otherSide)
                << b;
        if (b < 2) {  // in play order: placed in exactly that order
            for (size_t i = 0; i < blocks[b].size(); ++i)
                EXPECT_EQ(engine->moveHistory[i],
                          (Point{static_cast<uint8_t>(blocks[b][i].x + BORDER),
                                 static_cast<uint8_t>(blocks[b][i].y + BORDER)}));
        }
        while (engine->moveCount > 0) {
            if (engine->lastWasPass())
                engine->undoPass();
            else
                engine->undo();
            ASSERT_TRUE(engine->isConsistent()) << b;
        }
        EXPECT_EQ(engine->hash(), empty);
    }
}

}  // namespace
}  // namespace quillmot
