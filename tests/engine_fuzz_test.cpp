// The engine fuzzer's seeds and every input it found a fault with, replayed through the same
// decoding and checks as the fuzzer (tests/fuzz/engine_case.h): legal answers, a consistent
// board and the position restored after both searches.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "tests/fuzz/engine_case.h"

namespace quillmot {
namespace {

TEST(EngineFuzzCases, SeedsAndFindingsReplayClean) {
    auto engine = std::make_unique<Engine>();
    int cases = 0;
    for (const char* folder : {"engine_corpus", "engine_findings"}) {
        const auto path = std::filesystem::path(QUILLMOT_SOURCE_DIR) / "tests" / "fuzz" / folder;
        if (!std::filesystem::is_directory(path)) continue;
        for (const auto& file : std::filesystem::directory_iterator(path)) {
            std::ifstream in(file.path(), std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                             std::istreambuf_iterator<char>()};
            const fuzzing::EngineCase c = fuzzing::decodeCase(bytes.data(), bytes.size(), *engine);
            EXPECT_EQ(fuzzing::runCase(*engine, c), "") << file.path();
            ++cases;
        }
    }
    EXPECT_GT(cases, 40);
}

}  // namespace
}  // namespace quillmot
