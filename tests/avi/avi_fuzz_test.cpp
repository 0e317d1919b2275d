// Damaged input: truncations and byte flips of good files (fixed seed)
// through Open, frame reads in both loads and the pack reads. Nothing may
// crash, hang or read outside a buffer (run it in the sanitizer build), and
// every code must be one of the documented ones.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "avi/movie_chunks.h"
#include "tests/avi/mutated_source.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

const std::set<int> kOpenCodes = {1,   -2,  -4,  -5,  -6,  -7,  -11, -14, -15, -16, -17, -18, -19, -20, -21,
                                  -22, -23, -24, -25, -26, -27, -28, -29, -30, -31, -32, -33};
const std::set<int> kReadCodes = {1, -1, -2, -10, -12, -13, -14, -15};

constexpr int kIterationsPerFile = 1500;
constexpr int32_t kMaxFramesRead = 12;
constexpr int kMaxChunksWalked = 4000;

std::shared_ptr<const std::vector<uint8_t>> goodFile(const fixtures::DvFixtureOptions& options) {
    TempDir dir;
    EXPECT_EQ(fixtures::writeDvAvi(dir.file("good.avi"), options), 1);
    std::string text = readTextFile(dir.file("good.avi"));
    return std::make_shared<const std::vector<uint8_t>>(text.begin(), text.end());
}

// The offsets worth damaging: the headers, and every chunk header of the movie data.
std::vector<int64_t> chunkHeaderOffsets(const std::shared_ptr<const std::vector<uint8_t>>& bytes) {
    std::vector<int64_t> offsets;
    avi::AviReader reader;
    if (reader.OpenSource(std::make_unique<MutatedSource>(bytes, bytes->size()), "x") != 1) return offsets;
    avi::MovieChunkWalker walker(reader);
    avi::MovieChunk chunk;
    while (walker.next(chunk) == 1) offsets.push_back(chunk.headerOffset);
    return offsets;
}

void exercise(std::unique_ptr<MutatedSource> source, std::mt19937& random) {
    avi::AviReader reader;
    const int rc = reader.OpenSource(std::move(source), "fuzz");
    ASSERT_TRUE(kOpenCodes.count(rc)) << rc;
    if (rc != 1) {
        EXPECT_FALSE(reader.isOpen());
        return;
    }
    const int32_t frames = std::min(reader.GetFrameCount(), kMaxFramesRead);
    for (int32_t frame = 0; frame < frames + 2; ++frame) {
        const int32_t wanted = random() % 5 == 0 ? static_cast<int32_t>(random() % (frames + 1)) : frame;
        const avi::FrameLoad load = random() % 2 ? avi::FrameLoad::OnDemand : avi::FrameLoad::Whole;
        const int read = reader.ReadRawPictureData(wanted, load);
        ASSERT_TRUE(kReadCodes.count(read)) << read;
        scene::RecordingTime time = scene::kNoRecordingTime;
        scene::Timecode timecode{};
        EXPECT_EQ(avi::ReadDvDateTime(reader, time), 1);
        EXPECT_EQ(avi::ReadDvTimecode(reader, timecode), 1);
        avi::IsWideScreen(reader);
        avi::DvPack pack{};
        avi::FindDvPack(reader, avi::kPackVideoSourceControl, pack);
    }
    avi::MovieChunkWalker walker(reader);
    avi::MovieChunk chunk;
    for (int i = 0; i < kMaxChunksWalked && walker.next(chunk) == 1; ++i) {
        EXPECT_GE(chunk.dataOffset, 8);
    }
}

void fuzz(const fixtures::DvFixtureOptions& options, uint32_t seed) {
    auto bytes = goodFile(options);
    const std::vector<int64_t> headers = chunkHeaderOffsets(bytes);
    ASSERT_FALSE(headers.empty());
    const int64_t size = static_cast<int64_t>(bytes->size());
    const int64_t headerEnd = headers.front();
    std::mt19937 random(seed);
    for (int iteration = 0; iteration < kIterationsPerFile; ++iteration) {
        SCOPED_TRACE("iteration " + std::to_string(iteration));
        if (iteration % 2 == 0) {
            // Cuts, mostly inside the headers and around the first frames.
            const int64_t cut = iteration % 4 == 0 ? static_cast<int64_t>(random() % (headerEnd + 64))
                                                   : static_cast<int64_t>(random() % size);
            exercise(std::make_unique<MutatedSource>(bytes, cut), random);
            continue;
        }
        auto source = std::make_unique<MutatedSource>(bytes, size);
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips; ++i) {
            int64_t at = 0;
            switch (random() % 3) {
                case 0: at = static_cast<int64_t>(random() % headerEnd); break;
                case 1: at = headers[random() % headers.size()] + static_cast<int64_t>(random() % 8); break;
                default: at = static_cast<int64_t>(random() % size); break;
            }
            source->flip(at, static_cast<uint8_t>(random()));
        }
        exercise(std::move(source), random);
    }
}

fixtures::DvFixtureOptions shortFile(int type) { return fixtures::singleSessionOptions(8, type); }

TEST(AviFuzz, TruncationsAndFlipsOfAnOpenDmlTypeTwoFile) {
    fixtures::DvFixtureOptions options = shortFile(2);
    options.openDml = fixtures::OpenDmlLayout::Segments;
    options.riffSegmentBytes = 400000;
    fuzz(options, 20240601);
}

TEST(AviFuzz, TruncationsAndFlipsOfATypeOneFileWithJunk) {
    fixtures::DvFixtureOptions options = shortFile(1);
    options.junkChunks = true;
    options.oddSizeChunk = true;
    fuzz(options, 977);
}

}  // namespace
}  // namespace klemora::test
