// Positions and play through the protocol: the BOARD block, TAKEBACK, the worker thread
// that thinks while commands arrive, and whole games within their budgets.
#include <algorithm>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/types.h"
#include "engine_process.h"

namespace quillmot {
namespace {

using namespace testing;

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

// A block ended by a line that is no stone line: the error, then the move on the stones
// before it. A stone line the engine cannot place (a third kind of stone, off the board,
// named twice): the error, then the stone lines after it are read without a word and no
// move comes; the first other line is a command, unless it is DONE.
TEST_F(ProtocolSession, BoardBlockEndedByABadLine) {
    engine.send("INFO timeout_turn 300");
    expectReply("START 15", "OK");
    struct Case {
        std::vector<std::string> block;  // stone lines, then the line that ends the block
        bool move;                       // whether the engine then answers a move
        std::vector<std::string> after;  // lines sent after the block (and the move)
        std::string reply;               // their reply, "" for none
    };
    const Case cases[] = {
        {{"10,10,1", "done "}, true, {}, ""},
        {{"10,10,1", " DONE"}, true, {}, ""},
        {{"10,10,1", "10 ,11,2"}, true, {"3,3,1"}, "UNKNOWN command"},
        {{"10,10,1", "10,11"}, true, {"3,3,1"}, "UNKNOWN command"},
        {{"10,10,1", "START 15"}, true, {}, ""},  // the line ends the block and is not executed
        {{"10,10,1", ""}, true, {}, ""},
        {{"7,7,3"}, false, {"DONE"}, ""},  // a stone of a continuous game: no move at all
        {{"10,10,1", "10,11,0"}, false, {"3,3,1", "4,4,2", "DONE"}, ""},
        {{"10,10,1", "15,0,2"}, false, {"3,3,1", "ABOUT"}, ABOUT},
        {{"10,10,1", "0,-1,2"}, false, {"ABOUT"}, ABOUT},
        {{"10,10,1", "99999999999,1,2"}, false, {"done", "PLAY 10,10"}, "ERROR bad coordinates"},
        {{"10,10,1", "10,10,2"}, false, {"DONE "}, "UNKNOWN command"},  // the square is taken
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
        if (c.move) {
            // The stones before the bad line stay and the engine still answers a move.
            const std::string reply = engine.readLine();
            EXPECT_TRUE(board.takeMove(reply)) << c.block.back();
        }
        for (const std::string& line : c.after) engine.send(line);
        if (!c.reply.empty()) {
            EXPECT_EQ(engine.readLine(), c.reply) << c.block.back();
        }
        expectNothingPending();
    }
}

// SWAP2BOARD: three stones for none, SWAP or one or two stones for three, SWAP or one for
// five, all on empty squares near the opening; a bad block is answered by one error line
// and changes nothing.
TEST_F(ProtocolSession, Swap2BoardAnswersInForm) {
    engine.send("INFO timeout_turn 0");
    expectReply("START 15", "OK");
    auto stones = [](const std::string& reply) {
        std::istringstream in(reply);
        std::vector<std::string> squares;
        for (std::string square; in >> square;) squares.push_back(square);
        return squares;
    };
    for (const std::vector<std::string>& block :
         {std::vector<std::string>{}, {"7,7", "8,7", "9,9"}, {"7,7", "8,8", "6,6", "7,8", "9,9"}}) {
        engine.send("SWAP2BOARD");
        BoardModel board(15, 15);
        for (const std::string& square : block) {
            engine.send(square);
            EXPECT_TRUE(board.takeMove(square));
        }
        engine.send("DONE");
        const std::string reply = engine.readLine();
        const std::vector<std::string> placed = stones(reply);
        const size_t most = block.empty() ? 3 : block.size() == 3 ? 2 : 1;
        EXPECT_TRUE(reply == "SWAP"
                        ? !block.empty()
                        : placed.size() == most || (block.size() == 3 && placed.size() == 1))
            << reply;
        if (reply != "SWAP") {
            for (const std::string& square : placed) EXPECT_TRUE(board.takeMove(square)) << reply;
        }
    }
    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{"7,7", "8,8", "DONE"}, "ERROR SWAP2BOARD takes 0, 3 or 5 stones"},
        {{"7,7", "7,7", "8,8", "DONE"}, "ERROR SWAP2BOARD 7,7 is taken"},
        {{"7,7", "15,3", "8,8", "DONE"}, "ERROR SWAP2BOARD 15,3 is off the board"},
        {{"7,7", "ABOUT"}, "ERROR SWAP2BOARD x,y or DONE expected"},  // not executed
    };
    for (const auto& [lines, error] : bad) {
        engine.send("SWAP2BOARD");
        for (const std::string& line : lines) engine.send(line);
        EXPECT_EQ(engine.readLine(), error);
    }
    // The game the engine held is as it was: an empty board.
    engine.send("BEGIN");
    EXPECT_EQ(engine.readLine(), "7,7");
    expectNothingPending();
}

// A rule the engine does not play is named once, before the next reply of any command.
TEST_F(ProtocolSession, RulesNotPlayedAreNamedOnce) {
    const std::string notice =
        "MESSAGE Quillmot plays free-style only (five or more in a row wins); rule 4 is not "
        "supported";
    engine.send({"INFO rule 4", "INFO rule 4", "START 15"});
    EXPECT_EQ(engine.takeMessages(), std::vector<std::string>{});
    EXPECT_EQ(engine.readLine(), "OK");
    EXPECT_EQ(engine.takeMessages(), std::vector<std::string>{notice});
    engine.send({"INFO rule 0", "INFO rule 1", "ABOUT"});
    EXPECT_EQ(engine.readLine(), ABOUT);
    EXPECT_EQ(engine.takeMessages().size(), 1u);
    expectNothingPending();
    EXPECT_EQ(engine.takeMessages(), std::vector<std::string>{});
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
        {"opponent two ahead",
         concat(lines(four, "1"), lines(concat(scattered, {"0,14", "14,0"}), "2")), five},
        {"block the opponent", concat({"2,3,1"}, lines(four, "2")), {"7,3"}},
        {"block, engine ahead",
         concat(lines({"2,3", "9,9", "12,1", "1,12", "13,13"}, "1"), lines(four, "2")),
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
    // The same square twice in one block is refused, and no move follows: the stones
    // before it stay, and the next line is a command.
    engine.send({"BOARD", "1,1,2", "1,1,1"});
    EXPECT_EQ(engine.readLine(), BAD_STONE);
    expectReply("PLAY 1,1", "ERROR bad coordinates");
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
    for (const char* bad : {"TAKEBACK 8,8", "TAKEBACK 0,0", "TAKEBACK", "TAKEBACK 3",
                            "TAKEBACK 99,99", "TAKEBACK 7,7"})
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

// A turn limit of 0 asks for the fastest answer: the first iteration alone (depth 5),
// which on this position ends far within the 1500 ms budget that still bounds it.
TEST_F(ProtocolSession, TimeoutTurnZeroAnswersFast) {
    engine.send("INFO timeout_turn 0");
    expectReply("START 15", "OK");
    const std::vector<std::string> game = {"7,7", "5,9",  "9,8", "8,8", "7,6", "9,7", "7,5",
                                           "7,4", "6,5",  "8,7", "8,5", "5,5", "9,4", "10,3",
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
    engine.send({"START 15", "INFO timeout_turn 1500", "INFO timeout_match 300000",
                 "INFO time_left 300000"});
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

// ---- The search's reports ----

// The depth, score and first move of a line of exactly the form
// "MESSAGE depth D score S nodes N time T pv x,y x,y ..."; depth 0 for any other line.
struct Message {
    int depth = 0, score = 0;
    std::string firstMove;
};
Message readMessage(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> t;
    std::string rebuilt;
    for (std::string word; in >> word; rebuilt += (rebuilt.empty() ? "" : " ") + word)
        t.push_back(word);
    auto number = [](const std::string& s) { return s == std::to_string(std::atoll(s.c_str())); };
    bool form = rebuilt == line && t.size() >= 11 && t[0] == "MESSAGE" && t[1] == "depth" &&
                number(t[2]) && t[3] == "score" && number(t[4]) && t[5] == "nodes" &&
                number(t[6]) && t[7] == "time" && number(t[8]) && t[9] == "pv";
    for (size_t i = 10; form && i < t.size(); ++i) {
        const size_t comma = t[i].find(',');
        form = comma != std::string::npos && number(t[i].substr(0, comma)) &&
               number(t[i].substr(comma + 1)) && t[i][0] != '-' && t[i][comma + 1] != '-';
    }
    return form ? Message{std::stoi(t[2]), std::stoi(t[4]), t[10]} : Message{};
}

std::string boardMove(EngineProcess& e, const std::vector<std::string>& stones) {
    e.send("BOARD");
    for (const std::string& stone : stones) e.send(stone);
    e.send("DONE");
    return e.readLine();
}

// INFO show_detail: off at start; when on, one MESSAGE line in its exact form for each
// completed iteration, before the move and starting with it; the move the same either way.
// A five at once scores 29999, a winning four-three a forced score below it.
TEST_F(ProtocolSession, ShowDetailWritesAMessagePerIteration) {
    const std::vector<std::string> quiet = {"7,7,1", "6,8,2", "5,5,1", "6,9,2", "6,7,1", "8,7,2"},
                                   five = {"5,5,1", "4,5,2", "6,5,1", "5,10,2", "7,5,1", "8,5,1"},
                                   fourThree = {"5,5,1", "4,5,2", "6,5,1", "12,0,2",
                                                "7,5,1", "8,6,1", "8,7,1"};
    const struct {
        const char* info;
        const std::vector<std::string>& stones;
        size_t messages;
        int lowest, highest;  // of the score
    } steps[] = {{"", quiet, 0, 0, 0},
                 {"INFO show_detail 1", quiet, 1, -FORCED_SCORE, FORCED_SCORE},
                 {"INFO show_detail 0", quiet, 0, 0, 0},
                 {"INFO show_detail -3", five, 1, winIn(1), winIn(1)},
                 {"", fourThree, 1, FORCED_SCORE, winIn(2)},
                 // Every iteration of a root decided at once tells the same: one line.
                 {"INFO timeout_turn 1500", five, 1, winIn(1), winIn(1)}};
    engine.send("INFO timeout_turn 0");  // depth 5 alone, which always completes
    expectReply("START 15", "OK");
    std::string quietMove;
    for (const auto& step : steps) {
        if (*step.info != '\0') engine.send(step.info);
        const std::string move = boardMove(engine, step.stones);
        if (&step.stones == &quiet) {
            if (quietMove.empty()) quietMove = move;
            EXPECT_EQ(move, quietMove);
        }
        const std::vector<std::string> messages = engine.takeMessages();
        ASSERT_EQ(messages.size(), step.messages) << step.info;
        for (const std::string& line : messages) {
            const Message m = readMessage(line);
            EXPECT_EQ(m.depth, FIRST_DEPTH) << line;
            EXPECT_TRUE(step.lowest <= m.score && m.score <= step.highest) << line;
            EXPECT_EQ(m.firstMove, move);
        }
    }
}

}  // namespace
}  // namespace quillmot
