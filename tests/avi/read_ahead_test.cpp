// The reads made ahead in batches (chunk headers at the offsets the index
// gives, the same part of the next frames) must give what reading each
// place when it is needed gives: the same bytes from the batch reader, the
// same chunks and damage from the walk, the same frame bytes; and they must
// really save reads, or they are only cost.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "avi/avi_index_reader.h"
#include "avi/avi_reader.h"
#include "avi/batch_reads.h"
#include "avi/byte_source.h"
#include "avi/dv_pack.h"
#include "avi/movie_chunks.h"
#include "avi/walk_cache.h"
#include "tests/avi/mutated_source.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

std::shared_ptr<std::vector<uint8_t>> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::make_shared<std::vector<uint8_t>>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Counts the single reads and the batches that reach the file.
class CountingSource : public MutatedSource {
public:
    using MutatedSource::MutatedSource;
    int64_t readAt(int64_t offset, void* data, size_t size) override {
        ++reads;
        return MutatedSource::readAt(offset, data, size);
    }
    void readMany(std::span<avi::ReadRequest> requests) override {
        ++batches;
        for (avi::ReadRequest& r : requests) r.result = MutatedSource::readAt(r.offset, r.data, r.size);
    }
    int reads = 0;
    int batches = 0;
};

// `options` written to `path`, and opened by `reader` from memory through a
// counting source; nullptr when either fails.
CountingSource* openCounted(const std::string& path, const fixtures::DvFixtureOptions& options, avi::AviReader& reader) {
    if (fixtures::writeDvAvi(path, options) != 1) return nullptr;
    auto bytes = fileBytes(path);
    auto source = std::make_unique<CountingSource>(bytes, static_cast<int64_t>(bytes->size()));
    CountingSource* counted = source.get();
    return reader.OpenSource(std::move(source), "x") == 1 ? counted : nullptr;
}

struct Walked {
    std::vector<std::string> chunks;
    avi::WalkDamage damage;
};

Walked walk(avi::AviReader& reader, const std::vector<avi::IndexedChunk>* hints) {
    avi::MovieChunkWalker walker(reader);
    if (hints) walker.expectHeaders(*hints);
    Walked out;
    avi::MovieChunk chunk;
    int rc = 0;
    while ((rc = walker.next(chunk)) == 1)
        out.chunks.push_back(std::to_string(chunk.headerOffset) + " " + std::to_string(chunk.size) + " " +
                             std::to_string(chunk.streamNumber) + " " + std::to_string(chunk.segment) +
                             (chunk.damaged ? " damaged" : ""));
    out.chunks.push_back("end " + std::to_string(rc));
    out.damage = walker.damage();
    return out;
}

std::vector<fixtures::DvFixtureOptions> layouts() {
    std::vector<fixtures::DvFixtureOptions> all;
    fixtures::DvFixtureOptions plain;
    plain.sessions = {{scene::recordingTimeOf(2006, 7, 1, 10, 0, 0), 40, {}},
                      {scene::recordingTimeOf(2006, 7, 1, 12, 0, 0), 30, {}}};
    for (int type : {1, 2}) {
        fixtures::DvFixtureOptions options = plain;
        options.type = type;
        all.push_back(options);
    }
    fixtures::DvFixtureOptions segments = plain;
    segments.openDml = fixtures::OpenDmlLayout::Segments;
    segments.riffSegmentBytes = 2u << 20;
    all.push_back(segments);
    fixtures::DvFixtureOptions damaged = plain;
    damaged.damagedSizeFields = {{20, 0xFFFFFFF0u}, {33, 100000}};
    damaged.junkChunks = true;
    damaged.oddSizeChunk = true;
    damaged.truncateInsideFrame = 65;
    all.push_back(damaged);
    fixtures::DvFixtureOptions ntsc = plain;
    ntsc.ntsc = true;
    ntsc.writeIdx1 = false;  // no index: nothing to read ahead
    all.push_back(ntsc);
    return all;
}

// Random reads of a file, more than one submission's worth, some across
// its end and past it, checked against pread.
void expectBatchGivesWhatPreadGives(avi::BatchReader& reader, int fd, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<avi::ReadRequest> requests(700);
    std::vector<std::vector<uint8_t>> got(requests.size()), expected(requests.size());
    for (size_t i = 0; i < requests.size(); ++i) {
        const uint32_t size = 1 + random() % 3000;
        const int64_t offset = random() % 310000;
        got[i].assign(size, 0xEE);
        expected[i].assign(size, 0xEE);
        requests[i] = {offset, got[i].data(), size, 0};
    }
    reader.read(fd, requests);
    for (size_t i = 0; i < requests.size(); ++i) {
        avi::ReadRequest plain{requests[i].offset, expected[i].data(), requests[i].size, 0};
        ASSERT_EQ(requests[i].result, avi::preadRequest(fd, plain)) << seed << " " << i;
        ASSERT_EQ(got[i], expected[i]) << seed << " " << i;
    }
}

// A large batch is shared with the helper thread; callers on several
// threads at once (one gets the helper, the others read alone) each get
// their own bytes.
TEST(BatchReads, GiveWhatPreadGivesEverywhereInAFile) {
    TempDir dir;
    std::vector<uint8_t> bytes(300000);
    std::mt19937 random(7);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    const std::string path = dir.file("bytes");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    avi::BatchReader reader;
    expectBatchGivesWhatPreadGives(reader, fd, 1);
    avi::BatchReader alone(false);
    expectBatchGivesWhatPreadGives(alone, fd, 2);
    {
        std::vector<std::jthread> callers;
        for (unsigned t = 0; t < 4; ++t)
            callers.emplace_back([fd, t] {
                avi::BatchReader own;
                for (unsigned round = 0; round < 5; ++round) expectBatchGivesWhatPreadGives(own, fd, 100 * t + round);
            });
    }
    // A forked child has no helper thread: its large batches read alone
    // instead of waiting for one (alarm: a hang ends the child).
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(20);
        avi::BatchReader inChild;
        expectBatchGivesWhatPreadGives(inChild, fd, 3);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    // A closed descriptor fails every read, alone or in a shared batch.
    std::vector<uint8_t> into(8);
    std::vector<avi::ReadRequest> closed(avi::BatchReader::kSplitAt, {0, into.data(), 8, 0});
    ::close(fd);
    reader.read(fd, std::span(closed.data(), 1));
    EXPECT_EQ(closed[0].result, -1);
    closed[0].result = 0;
    reader.read(fd, closed);
    for (const avi::ReadRequest& request : closed) EXPECT_EQ(request.result, -1);
}

// Right, wrong and missing hints: the walk reports the same, and with the
// file's own index it reads its headers in batches.
TEST(HeaderPrefetch, TheWalkIsTheSameWithOrWithoutTheIndexAhead) {
    TempDir dir;
    const auto all = layouts();
    for (size_t i = 0; i < all.size(); ++i) {
        const std::string path = dir.file("layout" + std::to_string(i) + ".avi");
        avi::AviReader reader;
        CountingSource* opened = openCounted(path, all[i], reader);
        ASSERT_NE(opened, nullptr) << i;
        CountingSource& counted = *opened;
        avi::AviIndex index;
        index.build(reader);
        const std::vector<avi::IndexedChunk> hints = index.inFileOrder();
        std::vector<avi::IndexedChunk> wrong = hints;
        for (size_t k = 0; k < wrong.size(); k += 3) wrong[k].headerOffset += 2 * (k % 5) + 8;
        std::sort(wrong.begin(), wrong.end(),
                  [](const avi::IndexedChunk& a, const avi::IndexedChunk& b) { return a.headerOffset < b.headerOffset; });

        counted.reads = counted.batches = 0;
        const Walked plain = walk(reader, nullptr);
        const int plainReads = counted.reads;
        counted.reads = 0;
        const Walked ahead = walk(reader, &hints);
        EXPECT_EQ(ahead.chunks, plain.chunks) << "layout " << i;
        EXPECT_EQ(ahead.damage.damagedChunks, plain.damage.damagedChunks) << i;
        EXPECT_EQ(ahead.damage.skippedBytes, plain.damage.skippedBytes) << i;
        EXPECT_EQ(ahead.damage.cutOff, plain.damage.cutOff) << i;
        if (!hints.empty()) {
            EXPECT_LT(counted.reads * 3, plainReads) << "layout " << i;
            EXPECT_GT(counted.batches, 0) << i;
        }
        const Walked misled = walk(reader, &wrong);
        EXPECT_EQ(misled.chunks, plain.chunks) << "layout " << i;
        EXPECT_EQ(misled.damage.skippedBytes, plain.damage.skippedBytes) << i;
    }
}

// Every frame read on demand, one after the other and then backwards (no
// read-ahead), gives the bytes of the whole frame; the date packs of a
// forward pass cost a batch per few hundred frames, not a read per frame.
TEST(SegmentReadAhead, FramesReadAheadHoldTheirOwnBytes) {
    TempDir dir;
    const auto all = layouts();
    for (size_t i = 0; i < all.size(); ++i) {
        const std::string path = dir.file("layout" + std::to_string(i) + ".avi");
        avi::AviReader reader, whole;
        CountingSource* opened = openCounted(path, all[i], reader);
        ASSERT_NE(opened, nullptr) << i;
        CountingSource& counted = *opened;
        ASSERT_EQ(whole.Open(path, "r"), 1) << i;
        const int32_t frames = reader.GetFrameCount();
        std::vector<int32_t> order;
        for (int32_t f = 0; f < frames; ++f) order.push_back(f);
        for (int32_t f = frames - 1; f >= 0; f -= 3) order.push_back(f);
        counted.reads = 0;
        for (int32_t frame : order) {
            ASSERT_EQ(reader.ReadRawPictureData(frame, avi::FrameLoad::OnDemand), 1) << i << " " << frame;
            ASSERT_EQ(whole.ReadRawPictureData(frame, avi::FrameLoad::Whole), 1) << i << " " << frame;
            // The first sequence's subcode and VAUX, its audio block 4, the second one's subcode.
            for (auto [at, size] : {std::pair{80u, 160u}, {240u, 200u}, {5600u, 80u}, {12080u, 160u}}) {
                std::span<const uint8_t> part = reader.frameBytes(at, size), expected = whole.frameBytes(at, size);
                ASSERT_TRUE(std::equal(part.begin(), part.end(), expected.begin(), expected.end()))
                    << "layout " << i << " frame " << frame << " at " << at;
            }
            if (frame == frames - 1) EXPECT_LT(counted.reads, frames) << "layout " << i;
        }
    }
}

// Where each frame chunk ends, negative for one the walk found damaged.
std::vector<int64_t> frameOffsets(const avi::AviReader& reader) {
    std::vector<int64_t> offsets;
    for (const avi::MovieChunk& chunk : reader.frameChunks())
        offsets.push_back((chunk.dataOffset + chunk.size) * (chunk.damaged ? -1 : 1));
    return offsets;
}

// What a reader that never sees the file's descriptor (so never reuses a
// walk) finds in the same bytes.
std::vector<int64_t> walkedInMemory(const std::string& path) {
    avi::AviReader reader;
    auto bytes = fileBytes(path);
    EXPECT_EQ(reader.OpenSource(std::make_unique<MutatedSource>(bytes, static_cast<int64_t>(bytes->size())), "m"), 1);
    return frameOffsets(reader);
}

// Opening the same file again unchanged takes the frames of its last walk;
// a file changed just before (whose times could hide one more change) and
// any change after it (a damaged size, a cut) make the next open walk again.
TEST(WalkCache, OnlyAnUnchangedFileKeepsItsFrames) {
    TempDir dir;
    const std::string path = dir.file("take.avi");
    ASSERT_EQ(fixtures::writeDvAvi(path, layouts()[1]), 1);
    auto open = [&](std::vector<int64_t>* frames = nullptr) {
        avi::AviReader reader;
        EXPECT_EQ(reader.Open(path, "r"), 1);
        if (frames) *frames = frameOffsets(reader);
        return reader.reusedWalk();
    };
    std::vector<int64_t> first, again;
    EXPECT_FALSE(open(&first));
    EXPECT_FALSE(open()) << "written a moment ago";
    std::this_thread::sleep_for(std::chrono::nanoseconds(avi::kSettledNs) + std::chrono::milliseconds(100));
    EXPECT_FALSE(open());
    EXPECT_TRUE(open(&again));
    EXPECT_EQ(again, first);
    // The size field of frame 10's chunk (its header lies 8 bytes before the data).
    avi::AviReader probe;
    ASSERT_EQ(probe.Open(path, "r"), 1);
    const int64_t sizeField = probe.frameChunks()[10].dataOffset - 4;
    probe.Close();
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(sizeField);
        const char wrong[4] = {0x10, 0x00, 0x00, 0x00};
        file.write(wrong, 4);
    }
    for (int cut : {0, 1}) {
        if (cut) std::filesystem::resize_file(path, std::filesystem::file_size(path) - 200000);
        std::vector<int64_t> changed;
        EXPECT_FALSE(open(&changed)) << cut;
        EXPECT_NE(changed, first) << cut;
        EXPECT_EQ(changed, walkedInMemory(path)) << cut;
    }
}

}  // namespace
}  // namespace klemora::test
