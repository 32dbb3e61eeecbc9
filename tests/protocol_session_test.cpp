// pbrain-quillmot as a manager drives it: the commands, their replies and error lines,
// the line reader and the ways the process ends, each reply compared exactly.
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "engine_process.h"

namespace quillmot {
namespace {

using namespace testing;

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
    // No size yet: a 20 by 20 engine, with one reply.
    expectReply("START", "OK");
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

// A command that needs an engine before any size was given makes a 20 by 20 one first,
// quietly: every command answers with its own reply only.
TEST_F(ProtocolSession, FirstCommands) {
    struct Case {
        std::vector<std::string> input;
        std::vector<std::string> replies;
    };
    const Case cases[] = {
        {{"START 0", "BEGIN"}, {"OK", "10,10"}},
        {{"RECTSTART 0,7", "BEGIN"}, {"OK", "10,10"}},
        {{"RESTART", "BEGIN"}, {"OK", "10,10"}},
        {{"BEGIN"}, {"10,10"}},
        {{"BOARD", "DONE"}, {"10,10"}},
        {{"PLAY 19,19", "PLAY 20,0"}, {"19,19", "ERROR bad coordinates"}},
        // The engine is made even when the move is then refused.
        {{"TURN 25,25", "BEGIN"}, {"ERROR bad coordinates", "10,10"}},
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

    // A TURN before any START: the engine's move is the only reply.
    engine.send({"INFO timeout_turn 300", "TURN 10,10"});
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
    EXPECT_EQ(engine.readLine(), BAD_STONE);
    // The rest of the block is read without a word, and no move comes: the engine's board
    // lacks a stone the manager has.
    engine.send({"0,1,1", "DONE"});
    expectNothingPending();

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

// END during a long think: the process leaves at once, and the move never comes.
TEST_F(ProtocolSession, EndDuringASearchLeavesAtOnceWithoutTheMove) {
    engine.send({"INFO timeout_turn 60000", "INFO time_left 2147483647"});
    expectReply("START 15", "OK");
    engine.send({"BOARD", "7,7,1", "7,8,2", "8,8,1", "DONE"});
    expectNothingPending();  // the search is running
    engine.send("END");
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
