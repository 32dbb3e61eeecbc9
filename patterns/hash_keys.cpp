#include "patterns/hash_keys.h"

#include <mutex>
#include <unordered_set>

namespace quillmot {

HashKeyTables HashKeys;

namespace {

// splitmix64: the same sequence on every platform and compiler.
struct SplitMix64 {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
};

void fillDistinct(uint32_t* keys, SplitMix64& rng) {
    std::unordered_set<uint32_t> seen;
    for (int i = 0; i < HASH_KEY_COUNT;) {
        const auto key = static_cast<uint32_t>(rng.next() >> 34);  // 30 bits
        if (seen.insert(key).second) keys[i++] = key;
    }
}

void generate() {
    SplitMix64 rng{0x51CE5EEDC0FFEEull};
    fillDistinct(HashKeys.index, rng);
    fillDistinct(HashKeys.check1, rng);
    fillDistinct(HashKeys.check2, rng);
}

}  // namespace

void initHashKeys() {
    static std::once_flag once;
    std::call_once(once, generate);
}

}  // namespace quillmot
