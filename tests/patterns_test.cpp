// Line types, threat classes and cell scores, checked on lines drawn as pictures and on
// properties of the whole tables that follow from their rules.
#include <gtest/gtest.h>

#include "patterns/cell_scores.h"
#include "patterns/line_types.h"
#include "patterns/tables.h"
#include "patterns/threat_classes.h"
#include "test_util.h"

namespace quillmot {
namespace {

using testing::masksOfLine;

class PatternTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() { initTables(); }

    static int lineType(const std::string& line) {
        const auto m = masksOfLine(line);
        return LineTypeTable[lineIndex(m.own, m.opp)];
    }
    static int score(const std::string& line) {
        const auto m = masksOfLine(line);
        return CellScoreTable[lineIndex(m.own, m.opp)];
    }
};

TEST_F(PatternTables, LineTypesOfTheTypicalLines) {
    EXPECT_EQ(lineType("XXXX+----"), 9);
    EXPECT_EQ(lineType("-XXX+----"), 8);
    EXPECT_EQ(lineType("BXXX+----"), 7);
    EXPECT_EQ(lineType("XX-X+----"), 7);
    EXPECT_EQ(lineType("-XX-+----"), 6);
    EXPECT_EQ(lineType("-X-X+----"), 6);
    EXPECT_EQ(lineType("BXX-+----"), 5);
    EXPECT_EQ(lineType("---X+----"), 4);
    EXPECT_EQ(lineType("X---+----"), 3);
    EXPECT_EQ(lineType("----+----"), 2);
    EXPECT_EQ(lineType("BBBB+----"), 1);
    EXPECT_EQ(lineType("B---+B---"), 0);
    // The pictures read the masks the way the board writes them.
    EXPECT_EQ(masksOfLine("BXXX+----").own, 0x0Eu);
    EXPECT_EQ(masksOfLine("BXXX+----").opp, 0x01u);
    EXPECT_EQ(masksOfLine("XX-X+----").own, 0x0Bu);
    EXPECT_EQ(masksOfLine("XX--+X--X").own, 0x93u);
}

TEST_F(PatternTables, FivesOverlinesAndFoursBeyondABlock) {
    EXPECT_EQ(lineType("XXXX+X---"), 9);  // an overline counts as five
    EXPECT_EQ(lineType("XX--+XXXX"), 9);
    EXPECT_EQ(lineType("-XXX+-B--"), 8);
    EXPECT_EQ(lineType("-XXX+B---"), 7);
    EXPECT_EQ(lineType("X-XX+-X--"), 8);  // both gaps complete a five
    // Four squares outside on one side, as on the first column: a bit set in both masks
    // reads as blocked for both players.
    EXPECT_EQ(LineTypeTable[0x0F * 256 + 0x0F], 1);
    EXPECT_EQ(CellScoreTable[0x0F * 256 + 0x0F], 0);
}

TEST_F(PatternTables, CellScoresOfTheTellingLines) {
    EXPECT_EQ(score("---X+----"), 4);
    EXPECT_EQ(score("XX--+X--X"), 8);
    EXPECT_EQ(score("-XX-+----"), 15);
    EXPECT_EQ(score("BXX-+----"), 0);
    EXPECT_EQ(score("----+----"), 0);
    EXPECT_EQ(lineType("X--X+-XB-"), 6);
    EXPECT_EQ(score("X--X+-XB-"), 5);
    EXPECT_EQ(lineType("X-X-+-X--"), 6);
    EXPECT_EQ(score("X-X-+-X--"), 15);
    EXPECT_EQ(score("B---+--XB"), 15);
    EXPECT_EQ(score("BX--+---B"), 0);
}

TEST_F(PatternTables, TenOpenThreesScoreTheirWindowPotential) {
    const std::pair<const char*, int> lines[] = {
        {"BBX-+X--X", 5}, {"BX-X+--XB", 5}, {"BX-X+--X-", 6}, {"BX--+X-XB", 5}, {"XBX-+X--X", 5},
        {"X--X+-XBB", 5}, {"X--X+-XBX", 5}, {"X--X+-XB-", 5}, {"-BX-+X--X", 5}, {"-X--+X-XB", 6},
    };
    for (const auto& [line, potential] : lines) {
        EXPECT_EQ(lineType(line), 6) << line;
        EXPECT_EQ(score(line), potential) << line;
    }
}

// Every line with a four or better scores 15; below that a score is 0 or at least 4,
// except for the one weak line that scores 15.
TEST_F(PatternTables, ScoresFollowTheLineTypes) {
    for (int index = 0; index < LINE_TABLE_SIZE; ++index) {
        const int type = LineTypeTable[index], s = CellScoreTable[index];
        ASSERT_LE(type, 9);
        ASSERT_GE(s, 0);
        ASSERT_LE(s, 15);
        if (type >= 7) {
            ASSERT_EQ(s, 15) << index;
        }
        if (type < 6) {
            ASSERT_TRUE(s == 0 || s >= 4 || s == 15) << index;
        }
    }
}

// An opponent stone and an outside square are interchangeable: a bit set in the
// opponent's mask reads as blocked whatever the player's own mask says there.
TEST_F(PatternTables, BlockedSquaresIgnoreTheOwnMask) {
    for (unsigned own = 0; own < 256; ++own) {
        for (unsigned opp = 0; opp < 256; ++opp) {
            const int plain = lineIndex(own & ~opp, opp);
            ASSERT_EQ(LineTypeTable[lineIndex(own, opp)], LineTypeTable[plain]);
            ASSERT_EQ(CellScoreTable[lineIndex(own, opp)], CellScoreTable[plain]);
        }
    }
}

unsigned mirror(unsigned mask) {
    unsigned mirrored = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (mask >> bit & 1) mirrored |= 1u << (7 - bit);
    return mirrored;
}

TEST_F(PatternTables, ALineAndItsMirrorImageHaveTheSameType) {
    for (unsigned own = 0; own < 256; ++own)
        for (unsigned opp = 0; opp < 256; ++opp)
            ASSERT_EQ(LineTypeTable[lineIndex(own, opp)],
                      LineTypeTable[lineIndex(mirror(own), mirror(opp))]);
}

// One more own stone never weakens a line; one more blocked square never strengthens it.
TEST_F(PatternTables, StonesStrengthenAndBlocksWeaken) {
    for (unsigned own = 0; own < 256; ++own) {
        for (unsigned opp = 0; opp < 256; ++opp) {
            if (own & opp) continue;
            const int type = LineTypeTable[lineIndex(own, opp)];
            for (int bit = 0; bit < 8; ++bit) {
                const unsigned b = 1u << bit;
                if ((own | opp) & b) continue;
                ASSERT_GE(LineTypeTable[lineIndex(own | b, opp)], type);
                ASSERT_LE(LineTypeTable[lineIndex(own, opp | b)], type);
            }
        }
    }
}

TEST_F(PatternTables, ClassesOfCombinedLineTypes) {
    EXPECT_EQ(ClassTable[7654], 8);
    EXPECT_EQ(ClassTable[5555], 0);
    EXPECT_EQ(ClassTable[7700], 9);
    EXPECT_EQ(ClassTable[6600], 5);
    EXPECT_EQ(ClassTable[4000], 2);
    EXPECT_EQ(combineLineTypes(9, 8, 7, 6), 10);
    EXPECT_EQ(combineLineTypes(0, 8, 0, 0), 9);
    EXPECT_EQ(combineLineTypes(7, 5, 0, 0), 7);
    EXPECT_EQ(combineLineTypes(7, 4, 3, 3), 7);
    EXPECT_EQ(combineLineTypes(7, 3, 2, 1), 6);
    EXPECT_EQ(combineLineTypes(6, 5, 0, 0), 4);
    EXPECT_EQ(combineLineTypes(6, 4, 0, 0), 4);
    EXPECT_EQ(combineLineTypes(6, 3, 3, 3), 3);
    EXPECT_EQ(combineLineTypes(5, 5, 4, 3), 2);
    EXPECT_EQ(combineLineTypes(3, 3, 3, 3), 0);
}

TEST_F(PatternTables, ClassesIgnoreOrderAndTheLowLineTypes) {
    for (int a = 0; a < 10; ++a) {
        for (int b = 0; b < 10; ++b) {
            for (int c = 0; c < 10; ++c) {
                for (int d = 0; d < 10; ++d) {
                    const int cls = combineLineTypes(a, b, c, d);
                    ASSERT_EQ(ClassTable[1000 * a + 100 * b + 10 * c + d], cls);
                    // The packed reading of the same four types, for either player.
                    const uint8_t types[4][2] = {{uint8_t(a), uint8_t(d)},
                                                 {uint8_t(b), uint8_t(c)},
                                                 {uint8_t(c), uint8_t(b)},
                                                 {uint8_t(d), uint8_t(a)}};
                    const uint64_t word = lineTypeWord(types);
                    ASSERT_EQ(classIndexOfWord(word, 0), 1000 * a + 100 * b + 10 * c + d);
                    ASSERT_EQ(classIndexOfWord(word, 1), 1000 * d + 100 * c + 10 * b + a);
                    ASSERT_NE(cls, 1);
                    ASSERT_EQ(combineLineTypes(d, c, a, b), cls);
                    ASSERT_EQ(combineLineTypes(b, a, d, c), cls);
                    // Line types 0 to 3 are all alike.
                    const int lowA = a <= 3 ? (a + 1) % 4 : a;
                    ASSERT_EQ(combineLineTypes(lowA, b, c, d), cls);
                }
            }
        }
    }
}

TEST_F(PatternTables, BuildingAgainGivesTheSameTables) {
    const std::vector<uint8_t> classes(ClassTable, ClassTable + CLASS_TABLE_SIZE);
    const std::vector<uint8_t> scores(CellScorePairTable, CellScorePairTable + LINE_TABLE_SIZE);
    initTables();
    EXPECT_EQ(classes, std::vector<uint8_t>(ClassTable, ClassTable + CLASS_TABLE_SIZE));
    EXPECT_EQ(scores,
              std::vector<uint8_t>(CellScorePairTable, CellScorePairTable + LINE_TABLE_SIZE));
    for (unsigned mask0 = 0; mask0 < 256; ++mask0)
        for (unsigned mask1 = 0; mask1 < 256; ++mask1)
            ASSERT_EQ(
                CellScorePairTable[maskPairIndex(mask0, mask1)],
                CellScoreTable[lineIndex(mask0, mask1)] + CellScoreTable[lineIndex(mask1, mask0)]);
}

TEST(CellScore, EmptyBoardsScoreNothingAndOneStoneScoresItsNeighbours) {
    auto engine = positions::startedEngine(15);
    for (int x = BORDER; x < BORDER + 15; ++x)
        for (int y = BORDER; y < BORDER + 15; ++y) ASSERT_EQ(cellScore(engine->cells[x][y]), 0);

    engine->move(7, 7);  // player 0 at engine (11, 11)
    // (12, 11) has the stone directly on its negative side in direction 0: 4 for player 0
    // (---X+----), 0 for player 1 (---B+----), and 1 for the adjacent stone.
    EXPECT_EQ(cellScore(engine->cells[12][11]), 5);
    EXPECT_EQ(cellScore(engine->cells[10][11]), 5);
    EXPECT_EQ(cellScore(engine->cells[12][12]), 5);  // the same along the diagonal
    // Two steps away the line --X-+---- has a window potential of 3, which scores nothing,
    // and no stone is adjacent.
    EXPECT_EQ(cellScore(engine->cells[13][11]), 0);
}

}  // namespace
}  // namespace quillmot
