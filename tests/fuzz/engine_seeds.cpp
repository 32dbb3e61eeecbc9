// Writes the engine fuzzer's seed corpus into a folder: every benchmark position, and
// crowded, nearly full, one-colour and decided boards (the input layout is in
// engine_case.h).
//
//   engine_fuzz_seeds FOLDER
#include <cstdio>
#include <string>
#include <vector>

#include "bench/positions.h"
#include "tests/fuzz/engine_case.h"

namespace {

using quillmot::Engine;

constexpr int BUDGET_BYTE = 10;            // 155 ms: a deadline 5 ms after the start
constexpr int DEPTH_BYTE = 15 | (1 << 4);  // iterations up to 20, fixed depth 2

bool write(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = folder + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// A board with every square taken but `empty` ones, in a pattern of short runs so that both
// colours have lines of every length.
std::vector<uint8_t> nearlyFull(Engine& engine, int width, int height, int empty) {
    engine.start(width, height);
    const int area = width * height;
    for (int i = 0; i < area - empty; ++i) {
        const int square = (i * 7) % area;  // 7 is prime to every area used here
        engine.move(square % width, square / width);
    }
    return quillmot::fuzzing::encodeCase(engine, BUDGET_BYTE, DEPTH_BYTE);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: engine_fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    auto engine = std::make_unique<Engine>();

    for (const auto& position : quillmot::positions::SUITE) {
        auto set = quillmot::positions::setUp(position);
        ok &= write(folder, std::string("bench-") + position.name,
                    quillmot::fuzzing::encodeCase(*set, BUDGET_BYTE, DEPTH_BYTE));
    }

    // Crowded boards: one fill of 50, 80 or 95 percent of the squares.
    struct Fill {
        const char* name;
        int width, height, sixtyFourths, seed;
    };
    const Fill fills[] = {{"crowded-15-50", 15, 15, 32, 1}, {"crowded-15-80", 15, 15, 51, 2},
                          {"crowded-20-80", 20, 20, 51, 3}, {"crowded-32-50", 32, 32, 32, 4},
                          {"crowded-32-95", 32, 32, 61, 5}, {"crowded-20x12-80", 20, 12, 51, 6},
                          {"crowded-5-80", 5, 5, 51, 7},    {"crowded-32x5-80", 32, 5, 51, 8}};
    for (const Fill& fill : fills)
        ok &= write(folder, fill.name,
                    {static_cast<uint8_t>(fill.width - 5), static_cast<uint8_t>(fill.height - 5),
                     BUDGET_BYTE, DEPTH_BYTE, static_cast<uint8_t>(0x40 | (fill.sixtyFourths - 1)),
                     static_cast<uint8_t>(fill.seed)});
    // One colour only: a third of the board, every stone of the first mover.
    ok &= write(folder, "one-colour-15", {10, 10, BUDGET_BYTE, DEPTH_BYTE, 0x40 | 20, 0x80 | 9});

    ok &= write(folder, "full-but-one-15", nearlyFull(*engine, 15, 15, 1));
    ok &= write(folder, "full-but-two-20", nearlyFull(*engine, 20, 20, 2));
    ok &= write(folder, "full-but-one-32", nearlyFull(*engine, 32, 32, 1));
    ok &= write(folder, "full-but-two-5x9", nearlyFull(*engine, 5, 9, 2));

    // Both sides with fives on the board, and both with four to complete.
    auto rows = [&](const std::vector<std::string>& picture) {
        auto set = quillmot::positions::positionFromRows(picture);
        return quillmot::fuzzing::encodeCase(*set, BUDGET_BYTE, DEPTH_BYTE);
    };
    ok &= write(folder, "both-fives",
                rows({"..........", ".XXXXX....", "..........", ".OOOOO....", "..........",
                      "..........", "..........", "..........", "..........", ".........."}));
    ok &= write(folder, "both-fours",
                rows({"..........", ".XXXX.....", "..........", ".OOOO.....", "..........",
                      "..........", "..........", "..........", "..........", "........X."}));
    if (!ok) std::fprintf(stderr, "could not write every seed into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
