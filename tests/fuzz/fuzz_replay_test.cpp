// Every committed seed and every input that once found a fault, through the
// fuzz entries, in the normal suite (and so under the sanitizers in CI).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/fuzz_entries.h"

namespace klemora::fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FuzzReplay, CorpusAndRegressionsPassEveryEntry) {
    const fs::path root = fs::path(KLEMORA_SOURCE_DIR) / "tests/fuzz";
    int replayed = 0;
    for (const NamedEntry& named : kFuzzEntries) {
        for (const char* kind : {"corpus", "regressions"}) {
            const fs::path dir = root / kind / named.name;
            if (!fs::is_directory(dir)) continue;
            for (const fs::directory_entry& file : fs::directory_iterator(dir)) {
                SCOPED_TRACE(file.path().string());
                const std::vector<uint8_t> bytes = fileBytes(file.path());
                named.entry(bytes.data(), bytes.size());
                ++replayed;
            }
        }
    }
    // Every entry has a committed seed corpus.
    EXPECT_GE(replayed, static_cast<int>(std::size(kFuzzEntries)));
}

}  // namespace
}  // namespace klemora::fuzz
