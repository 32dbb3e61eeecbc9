// The command reader's parsers: keyword matching, scanf-style integer reading and
// string-to-int conversion.
#include <gtest/gtest.h>

#include <climits>

#include "protocol/text_parsing.h"
#include "protocol/time_budget.h"

namespace quillmot {
namespace {

TEST(ProtocolParsing, GetCmdParamMatchesAPrefixInAnyCaseAndSkipsTheBlanksAfterIt) {
    const char* line = "StArT \t 15";
    EXPECT_EQ(getCmdParam(line, "start"), line + 8);
    EXPECT_STREQ(getCmdParam("start 15", "start"), "15");
    // Whatever follows the keyword is argument text, even letters.
    EXPECT_STREQ(getCmdParam("TURNX 3,4", "turn"), "X 3,4");
    EXPECT_STREQ(getCmdParam("ENDGAME", "end"), "GAME");
    EXPECT_STREQ(getCmdParam("INFO timeout_turn5000", "info"), "timeout_turn5000");
    // Every kind of white space is skipped, up to the end of the line.
    EXPECT_STREQ(getCmdParam("begin \t\n\v\f\r", "begin"), "");
    EXPECT_STREQ(getCmdParam("BEGIN", "begin"), "");
}

TEST(ProtocolParsing, GetCmdParamRefusesLinesThatDoNotBeginWithTheKeyword) {
    EXPECT_EQ(getCmdParam(" TURN 3,4", "turn"), nullptr);  // a blank before the keyword
    EXPECT_EQ(getCmdParam("TUR", "turn"), nullptr);        // keyword longer than the line
    EXPECT_EQ(getCmdParam("", "turn"), nullptr);
    EXPECT_EQ(getCmdParam("RESTART", "start"), nullptr);
    EXPECT_EQ(getCmdParam("RECTSTART 5,5", "restart"), nullptr);
    // Only ASCII letters compare without case.
    EXPECT_EQ(getCmdParam("TIME-LEFT 5", "time_left"), nullptr);
    EXPECT_EQ(getCmdParam("\xc9ND", "end"), nullptr);
}

TEST(ProtocolParsing, ScanIntsCoordinatePairNeedsTheCommaRightAfterTheFirstNumber) {
    int xy[2] = {-7, -7};
    EXPECT_EQ(scanInts("10,5", "%d,%d", xy), 2);
    EXPECT_EQ(xy[0], 10);
    EXPECT_EQ(xy[1], 5);
    EXPECT_EQ(scanInts("  10, 5", "%d,%d", xy), 2);  // blanks before each number
    EXPECT_EQ(xy[1], 5);
    EXPECT_EQ(scanInts("-1,+4", "%d,%d", xy), 2);
    EXPECT_EQ(xy[0], -1);
    EXPECT_EQ(xy[1], 4);
    EXPECT_EQ(scanInts("3,4,1", "%d,%d", xy), 2);  // the rest is ignored
    EXPECT_EQ(xy[0], 3);
    EXPECT_EQ(xy[1], 4);

    xy[0] = xy[1] = -7;
    EXPECT_EQ(scanInts("10 ,5", "%d,%d", xy), 1);
    EXPECT_EQ(xy[0], 10);
    EXPECT_EQ(xy[1], -7);  // untouched past the count
    EXPECT_EQ(scanInts("", "%d,%d", xy), 0);
    EXPECT_EQ(scanInts("X 3,4", "%d,%d", xy), 0);
    EXPECT_EQ(scanInts("- 3,4", "%d,%d", xy), 0);  // a sign must touch its digits
    EXPECT_EQ(scanInts("+", "%d,%d", xy), 0);
    EXPECT_EQ(scanInts("7;8", "%d,%d", xy), 1);
    EXPECT_EQ(scanInts("0x10,1", "%d,%d", xy), 1);  // decimal only: 0, then 'x'
    EXPECT_EQ(xy[0], 0);
}

TEST(ProtocolParsing, ScanIntsSizeFormats) {
    int size[2] = {-7, -7};
    EXPECT_EQ(scanInts("20 15", "%d %d", size), 2);
    EXPECT_EQ(size[0], 20);
    EXPECT_EQ(size[1], 15);
    EXPECT_EQ(scanInts("20,15", "%d %d", size), 1);  // only the 20
    EXPECT_EQ(scanInts("20", "%d %d", size), 1);
    EXPECT_EQ(scanInts("", "%d %d", size), 0);

    for (const char* text : {"20,15", "20 ,15", "20 , 15", "20\t,\t15", " 20,15 junk"}) {
        size[0] = size[1] = -7;
        EXPECT_EQ(scanInts(text, "%d ,%d", size), 2) << text;
        EXPECT_EQ(size[0], 20) << text;
        EXPECT_EQ(size[1], 15) << text;
    }
    EXPECT_EQ(scanInts("20", "%d ,%d", size), 1);
    EXPECT_EQ(scanInts("20 15", "%d ,%d", size), 1);
}

TEST(ProtocolParsing, ScanIntsStoneLines) {
    int stone[3];
    EXPECT_EQ(scanInts("10,11,2", "%d,%d,%d", stone), 3);
    EXPECT_EQ(stone[0], 10);
    EXPECT_EQ(stone[1], 11);
    EXPECT_EQ(stone[2], 2);
    EXPECT_EQ(scanInts("10, 11, 2 trailing", "%d,%d,%d", stone), 3);
    EXPECT_EQ(scanInts("10,11", "%d,%d,%d", stone), 2);
    EXPECT_EQ(scanInts("10,11 ,2", "%d,%d,%d", stone), 2);
    EXPECT_EQ(scanInts("DONE", "%d,%d,%d", stone), 0);
}

TEST(ProtocolParsing, ScanIntsNumbersBeyondIntSaturate) {
    int xy[2];
    EXPECT_EQ(scanInts("99999999999,1", "%d,%d", xy), 2);
    EXPECT_EQ(xy[0], INT_MAX);
    EXPECT_EQ(xy[1], 1);
    EXPECT_EQ(scanInts("-99999999999,-2147483649", "%d,%d", xy), 2);
    EXPECT_EQ(xy[0], INT_MIN);
    EXPECT_EQ(xy[1], INT_MIN);
    EXPECT_EQ(scanInts("2147483647,-2147483648", "%d,%d", xy), 2);
    EXPECT_EQ(xy[0], INT_MAX);
    EXPECT_EQ(xy[1], INT_MIN);
    // 2^32 + 5 must not wrap round to a valid board size.
    EXPECT_EQ(scanInts("4294967301", "%d %d", xy), 1);
    EXPECT_EQ(xy[0], INT_MAX);
    EXPECT_EQ(scanInts("100000000000000000000000000000000000000005,3", "%d,%d", xy), 2);
    EXPECT_EQ(xy[0], INT_MAX);
    EXPECT_EQ(xy[1], 3);
}

TEST(ProtocolParsing, StringToIntReadsLikeStrtol) {
    EXPECT_EQ(stringToInt("5000"), 5000);
    EXPECT_EQ(stringToInt(" \t\n 42"), 42);
    EXPECT_EQ(stringToInt("-12abc"), -12);
    EXPECT_EQ(stringToInt("+7"), 7);
    EXPECT_EQ(stringToInt("007"), 7);
    EXPECT_EQ(stringToInt(""), 0);
    EXPECT_EQ(stringToInt("abc"), 0);
    EXPECT_EQ(stringToInt("- 5"), 0);
    EXPECT_EQ(stringToInt("1e5"), 1);
}

TEST(ProtocolParsing, StringToIntSaturatesAtTheIntRange) {
    EXPECT_EQ(stringToInt("2147483647"), INT_MAX);
    EXPECT_EQ(stringToInt("2147483648"), INT_MAX);
    EXPECT_EQ(stringToInt("99999999999"), INT_MAX);
    EXPECT_EQ(stringToInt("-2147483648"), INT_MIN);
    EXPECT_EQ(stringToInt("-2147483649"), INT_MIN);
    EXPECT_EQ(stringToInt("-99999999999999999999999"), INT_MIN);
}

TEST(ProtocolParsing, EqualsIgnoreCaseComparesWholeStrings) {
    EXPECT_TRUE(equalsIgnoreCase("DONE", "done"));
    EXPECT_TRUE(equalsIgnoreCase("DoNe", "done"));
    EXPECT_TRUE(equalsIgnoreCase("", ""));
    EXPECT_FALSE(equalsIgnoreCase("done ", "done"));
    EXPECT_FALSE(equalsIgnoreCase(" done", "done"));
    EXPECT_FALSE(equalsIgnoreCase("don", "done"));
    EXPECT_FALSE(equalsIgnoreCase("", "done"));
}

}  // namespace
}  // namespace quillmot
