// Reading only what the packs need gives exactly what reading whole frames
// gives, on damaged files and in any order of frames.
#include <gtest/gtest.h>

#include <random>

#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "tests/avi/avi_bytes.h"
#include "tests/avi/mutated_source.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using avi::AviReader;
using avi::FrameLoad;

std::shared_ptr<const std::vector<uint8_t>> fileBytes(const std::string& path) {
    std::string text = readTextFile(path);
    return std::make_shared<const std::vector<uint8_t>>(text.begin(), text.end());
}

struct PackView {
    scene::RecordingTime time = scene::kNoRecordingTime;
    scene::Timecode timecode{};
    bool wide = false;
    int videoControl = 0;
    bool operator==(const PackView&) const = default;
};

PackView packsOf(AviReader& reader, PackView previous) {
    avi::ReadDvDateTime(reader, previous.time);
    avi::ReadDvTimecode(reader, previous.timecode);
    previous.wide = avi::IsWideScreen(reader);
    avi::DvPack pack{};
    previous.videoControl = avi::FindDvPack(reader, avi::kPackVideoSourceControl, pack) == 1 ? pack[2] : -1;
    return previous;
}

// Reads the frames in `order` with both loads and compares the pack results
// after every frame and the whole buffers after every `wholeEvery`-th.
void compareLoads(const std::shared_ptr<const std::vector<uint8_t>>& bytes, const std::vector<int32_t>& order,
                  int wholeEvery, const std::string& what) {
    AviReader whole, onDemand;
    const int openWhole = whole.OpenSource(std::make_unique<MutatedSource>(bytes, bytes->size()), "w");
    ASSERT_EQ(onDemand.OpenSource(std::make_unique<MutatedSource>(bytes, bytes->size()), "d"), openWhole) << what;
    if (openWhole != 1) return;
    EXPECT_EQ(whole.GetRecordingDateTime(), onDemand.GetRecordingDateTime()) << what;
    EXPECT_EQ(whole.wideScreen(), onDemand.wideScreen()) << what;
    PackView a, b;
    for (size_t i = 0; i < order.size(); ++i) {
        const int32_t frame = order[i];
        ASSERT_EQ(whole.ReadRawPictureData(frame, FrameLoad::Whole),
                  onDemand.ReadRawPictureData(frame, FrameLoad::OnDemand))
            << what << " frame " << frame;
        a = packsOf(whole, a);
        b = packsOf(onDemand, b);
        ASSERT_EQ(a, b) << what << " frame " << frame;
        if (wholeEvery > 0 && i % wholeEvery == 0) {
            std::span<const uint8_t> x = whole.frameBuffer();
            std::span<const uint8_t> y = onDemand.frameBuffer();
            ASSERT_TRUE(std::equal(x.begin(), x.end(), y.begin(), y.end())) << what << " frame " << frame;
        }
    }
}

std::vector<int32_t> mixedOrder(int32_t frames, uint32_t seed) {
    std::vector<int32_t> order;
    for (int32_t i = 0; i < frames; ++i) order.push_back(i);
    std::mt19937 random(seed);
    for (int i = 0; i < frames; ++i) order.push_back(static_cast<int32_t>(random() % (frames + 3)));
    return order;
}

TEST(PartialRead, SameResultsAsWholeFramesOnDamagedFixtures) {
    TempDir dir;
    std::vector<std::pair<std::string, fixtures::DvFixtureOptions>> variants;
    auto base = [] {
        fixtures::DvFixtureOptions o;
        fixtures::DvSession a, b;
        a.start = fixtures::defaultSessionStart();
        a.frames = 30;
        b.start = a.start;
        b.start.hours = 17;
        b.frames = 30;
        o.sessions = {a, b};
        return o;
    };
    auto add = [&](std::string name, auto change) {
        fixtures::DvFixtureOptions o = base();
        change(o);
        variants.emplace_back(std::move(name), o);
    };
    add("wrong sizes", [](auto& o) { o.wrongSizeChunks = {{0, 50000}, {7, 143990}, {8, 100}, {20, 150001}}; });
    add("late packs and none", [](auto& o) {
        o.framesWithLatePacks = {{3, 6}};
        o.framesWithoutPacks = {{10, 12}, {40, 40}};
    });
    add("truncated", [](auto& o) {
        o.truncateInsideFrame = 33;
        o.junkChunks = true;
        o.oddSizeChunk = true;
    });
    add("ntsc type 1", [](auto& o) {
        o.type = 1;
        o.ntsc = true;
        o.wrongSizeChunks = {{0, 144000}, {5, 119990}};
    });
    add("wide segments", [](auto& o) {
        o.wideScreen = true;
        o.openDml = fixtures::OpenDmlLayout::Segments;
        o.riffSegmentBytes = 1u << 20;
        o.framesWithoutPacks = {{0, 0}};
    });
    for (const auto& [name, options] : variants) {
        const std::string path = dir.file("v.avi");
        ASSERT_EQ(fixtures::writeDvAvi(path, options), 1) << name;
        compareLoads(fileBytes(path), mixedOrder(60, 7), 5, name);
    }
}

TEST(PartialRead, SameBuffersForChunksOfEverySize) {
    // A non-DV file loads every chunk, whatever its size, so short chunks
    // overwrite only the start of the buffer and the rest is older frames'.
    std::mt19937 random(42);
    SimpleAvi avi;
    avi.handler = "MJPG";
    avi.main.suggestedBufferSize = 150000;
    for (int i = 0; i < 40; ++i) {
        size_t size = 1 + random() % 160000;
        std::vector<uint8_t> frame(size);
        for (size_t k = 0; k < size; k += 97) frame[k] = static_cast<uint8_t>(random());
        avi.frames.push_back(std::move(frame));
    }
    avi.main.totalFrames = 40;
    auto bytes = std::make_shared<const std::vector<uint8_t>>(buildAvi(avi));
    compareLoads(bytes, mixedOrder(40, 3), 4, "mjpeg");
}

}  // namespace
}  // namespace klemora::test
