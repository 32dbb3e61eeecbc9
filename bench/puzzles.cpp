#include "bench/puzzles.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/flags.h"
#include "bench/positions.h"
#include "engine/engine.h"
#include "engine/fives.h"
#include "patterns/tables.h"
#include "search/levels.h"
#include "search/openings.h"
#include "search/puzzles.h"

namespace quillmot::puzzles {

namespace {

constexpr const char* USAGE =
    "usage: quillmot-bench puzzles [--out FILE] [--games N] [--jobs N] [--verbose]\n"
    "       quillmot-bench puzzles --verify FILE [--every N]\n"
    "Plays games on 15 by 15 between each level below full strength and the full search at\n"
    "the puzzles' node allowance (seeded balanced openings, both colours), and takes from each\n"
    "game the first position in which the side to move forces a five of two moves or more,\n"
    "as the threat search finds it and the full search confirms it. A position is a puzzle\n"
    "when that side's first move is the only candidate square with which the full search\n"
    "finds a forced five; its solution is played out against the longest defence. Stops when\n"
    "every grade has its puzzles (or after N games) and writes them to FILE (default\n"
    "web/puzzles.json). --verify checks every puzzle of a file (or every Nth) the same way;\n"
    "the status is 1 when one fails.\n";

constexpr int BOARD = 15;
constexpr uint64_t PUZZLE_SEED = 5000;
// Puzzles wanted per grade (the attacker's moves to the five: 2, 3, 4, 5, and 6 or more),
// and the most kept of one grade, so that no grade crowds out the others.
constexpr int GRADES = 5;
constexpr int WANTED[GRADES] = {30, 30, 30, 30, 20};
constexpr int KEPT = 90;
constexpr int WANTED_IN_ALL = 300;
constexpr int OPENING_STONES = 3;
constexpr int SCHEDULE[] = {1, 5, 6, 7, 2, 5, 6, 7, 3, 5, 6, 7, 4, 5, 6, 7};
constexpr int SCHEDULE_LENGTH = static_cast<int>(std::size(SCHEDULE));
static_assert(LEVEL_COUNT == 8, "the schedule plays every level below full strength");

int gradeOf(int attackerMoves) { return attackerMoves >= 6 ? GRADES - 1 : attackerMoves - 2; }

struct Puzzle {
    std::string moves;     // the game to the puzzle's position, protocol coordinates
    std::string solution;  // the moves of both sides to the five
    int attackerMoves = 0;
    bool fours = false;
    int game = 0;
};

PuzzleVerdict judge(Engine& engine, Puzzle& puzzle) {
    Solution solution;
    const PuzzleVerdict verdict = judgePuzzle(engine, solution);
    puzzle.solution = positions::movesText(solution.moves, solution.length);
    puzzle.attackerMoves = solution.attackerMoves();
    puzzle.fours = solution.fours;
    return verdict;
}

// One game between a level and the full search at the allowance, from a balanced opening;
// the first position that has a forced five of two moves or more decides whether the game
// gives a puzzle. Returns what it was: 1 a puzzle, 0 none found, -1 not unique or unsolved.
int puzzleOfGame(int game, Puzzle& puzzle, bool verbose) {
    const Level full{"full search", 0, 1, NO_CAP, PUZZLE_NODES};
    // Every level below full strength, and the upper three between each of the others: their
    // games give nearly all of the puzzles of five moves or more.
    const int cycle = game % SCHEDULE_LENGTH;
    const Level& weak = *findLevel(SCHEDULE[cycle]);
    const bool weakBlack = (game / SCHEDULE_LENGTH) % 2 == 0;
    auto black = positions::startedEngine(BOARD), white = positions::startedEngine(BOARD);
    auto judged = positions::startedEngine(BOARD);
    Engine* engines[2] = {black.get(), white.get()};
    LevelRandom random(PUZZLE_SEED + game);
    const Opening opening = drawBalancedOpening(*judged, random);
    std::vector<Point> moves(opening.begin(), opening.end());
    for (Engine* e : {black.get(), white.get(), judged.get()})
        for (const Point p : opening) e->makeMove(p.x, p.y);
    for (;;) {
        const int mover = static_cast<int>(moves.size()) % 2;
        if (static_cast<int>(moves.size()) > OPENING_STONES) {
            const PuzzleVerdict verdict = judge(*judged, puzzle);
            if (verdict == PuzzleVerdict::PUZZLE) {
                puzzle.moves = positions::movesText(moves.data(), static_cast<int>(moves.size()));
                puzzle.game = game;
                return 1;
            }
            if (verdict != PuzzleVerdict::NO_FORCED_FIVE) {
                if (verbose)
                    std::printf(
                        "  game %d: %s after %zu stones: %s\n", game, verdictText(verdict),
                        moves.size(),
                        positions::movesText(moves.data(), static_cast<int>(moves.size())).c_str());
                return -1;
            }
        }
        if (moves.size() >= static_cast<size_t>(BOARD * BOARD)) return 0;
        Engine& engine = *engines[mover];
        const bool weakMoves = (mover == 0) == weakBlack;
        const Point move = playLevel(engine, weakMoves ? weak : full, 0, random.next());
        if (!engine.isEmptySquare(move)) return 0;
        moves.push_back(move);
        for (Engine* e : {black.get(), white.get(), judged.get()}) e->makeMove(move.x, move.y);
        Point five[MAX_FIVE_SQUARES];
        if (fiveThrough(*judged, move, five) > 0) {
            if (verbose)
                std::printf("  game %d: a five by the %s after %zu stones\n", game,
                            weakMoves ? weak.name : "full search", moves.size());
            return 0;
        }
    }
}

void write(FILE* out, const std::vector<Puzzle>& made) {
    std::fprintf(out, "{\"size\": %d, \"allowance\": %lld, \"puzzles\": [\n", BOARD,
                 static_cast<long long>(PUZZLE_NODES));
    for (size_t i = 0; i < made.size(); ++i) {
        const Puzzle& p = made[i];
        std::fprintf(out,
                     "{\"id\": %zu, \"moves\": \"%s\", \"solution\": \"%s\", \"length\": %d, "
                     "\"fours\": %s, \"game\": %d}%s\n",
                     i + 1, p.moves.c_str(), p.solution.c_str(), p.attackerMoves,
                     p.fours ? "true" : "false", p.game, i + 1 < made.size() ? "," : "");
    }
    std::fprintf(out, "]}\n");
}

// The games are played jobs at a time, in batches, and taken in the order of their numbers:
// the file is the same whatever the number of jobs.
int make(const char* path, long long games, int jobs, bool verbose) {
    const auto start = std::chrono::steady_clock::now();
    initTables();  // before the jobs' engines start, so that no two build them at once
    std::vector<Puzzle> made;
    int byGrade[GRADES] = {}, rejected = 0, none = 0, played = 0;
    auto done = [&] {
        for (int g = 0; g < GRADES; ++g)
            if (byGrade[g] < WANTED[g]) return false;
        return static_cast<int>(made.size()) >= WANTED_IN_ALL;
    };
    while (played < games && !done()) {
        const int batch = static_cast<int>(std::min<long long>(4 * jobs, games - played));
        std::vector<Puzzle> puzzles(batch);
        std::vector<int> results(batch);
        std::atomic<int> next{0};
        std::vector<std::thread> threads;
        for (int j = 0; j < jobs; ++j)
            threads.emplace_back([&] {
                for (int i; (i = next++) < batch;)
                    results[i] = puzzleOfGame(played + i, puzzles[i], verbose);
            });
        for (std::thread& thread : threads) thread.join();
        for (int i = 0; i < batch && !done(); ++i, ++played) {
            if (results[i] < 0) ++rejected;
            if (results[i] == 0) ++none;
            if (results[i] <= 0) continue;
            int& count = byGrade[gradeOf(puzzles[i].attackerMoves)];
            if (count >= KEPT) continue;
            ++count;
            made.push_back(puzzles[i]);
            if (verbose)
                std::printf("  game %d: five in %d (%s), %zu puzzles\n", played,
                            puzzles[i].attackerMoves, puzzles[i].fours ? "fours" : "threes",
                            made.size());
        }
        std::fflush(stdout);
    }
    FILE* out = std::fopen(path, "w");
    if (out == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 2;
    }
    write(out, made);
    std::fclose(out);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "puzzles %zu from %d games (%d without a forced five, %d rejected: not unique or "
        "unsolved), by the attacker's moves: 2: %d, 3: %d, 4: %d, 5: %d, 6 or more: %d; "
        "%.0f s\n",
        made.size(), played, none, rejected, byGrade[0], byGrade[1], byGrade[2], byGrade[3],
        byGrade[4], seconds);
    return done() ? 0 : 1;
}

// The text of a field of a puzzle line: "name": "value" or "name": value.
std::string field(const std::string& line, const char* name) {
    const std::string key = std::string("\"") + name + "\": ";
    const size_t at = line.find(key);
    if (at == std::string::npos) return "";
    size_t begin = at + key.size(), end;
    if (line[begin] == '"') {
        end = line.find('"', ++begin);
    } else {
        end = line.find_first_of(",}", begin);
    }
    return end == std::string::npos ? "" : line.substr(begin, end - begin);
}

int verify(const char* path, long long every) {
    FILE* in = std::fopen(path, "r");
    if (in == nullptr) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 2;
    }
    int checked = 0, failed = 0;
    char buffer[8192];
    while (std::fgets(buffer, sizeof buffer, in) != nullptr) {
        const std::string line = buffer;
        if (line.rfind("{\"id\"", 0) != 0) continue;
        const long long id = std::atoll(field(line, "id").c_str());
        if ((id - 1) % every != 0) continue;
        ++checked;
        auto engine = positions::positionFromMoves(BOARD, BOARD, field(line, "moves"));
        Puzzle puzzle;
        const PuzzleVerdict verdict =
            engine != nullptr ? judge(*engine, puzzle) : PuzzleVerdict::UNSOLVED;
        const char* reason = engine == nullptr ? "a bad move list" : verdictText(verdict);
        if (verdict == PuzzleVerdict::PUZZLE) {
            reason = "another solution than the file's";
            if (puzzle.solution == field(line, "solution") &&
                std::to_string(puzzle.attackerMoves) == field(line, "length") &&
                (puzzle.fours ? "true" : "false") == field(line, "fours"))
                continue;
        }
        ++failed;
        std::printf("puzzle %lld: %s\n", id, reason);
    }
    std::fclose(in);
    std::printf("puzzles verified %d, failed %d\n", checked, failed);
    return failed == 0 && checked > 0 ? 0 : 1;
}

}  // namespace

int command(int argc, char** argv, int first) {
    const char* out = "web/puzzles.json";
    const char* verifyPath = nullptr;
    long long games = 20000, every = 1, jobs = 1;
    bool verbose = false;
    const bench::Parsed parsed = bench::parseFlags(argc, argv, first,
                                                   {{"--out", nullptr, &out},
                                                    {"--games", &games},
                                                    {"--verify", nullptr, &verifyPath},
                                                    {"--every", &every},
                                                    {"--jobs", &jobs},
                                                    {"--verbose", nullptr, nullptr, &verbose}});
    if (const int status =
            bench::usageStatus(parsed, games > 0 && every >= 1 && jobs >= 1 && jobs <= 64, USAGE);
        status >= 0)
        return status;
    return verifyPath != nullptr ? verify(verifyPath, every)
                                 : make(out, games, static_cast<int>(jobs), verbose);
}

}  // namespace quillmot::puzzles
