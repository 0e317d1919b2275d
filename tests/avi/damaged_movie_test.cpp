// Movie data the headers do not describe: damaged chunk sizes, destroyed
// chunk headers, cut files and counts no file of that size can hold. The
// reader counts what the file holds and reads every frame it still has.
#include <gtest/gtest.h>

#include <cstdio>

#include "avi/avi_format.h"
#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "avi/movie_chunks.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using avi::AviReader;

fixtures::DvFixtureOptions twoTakes(int type) {
    fixtures::DvFixtureOptions options;
    options.type = type;
    options.sessions = {{scene::recordingTimeOf(2006, 7, 1, 10, 0, 0), 50, {}},
                        {scene::recordingTimeOf(2006, 7, 1, 12, 0, 0), 50, {}}};
    return options;
}

void patch32(const std::string& path, int64_t at, uint32_t value) {
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    uint8_t bytes[4];
    avi::writeLe32(bytes, value);
    std::fseek(file, static_cast<long>(at), SEEK_SET);
    std::fwrite(bytes, 1, 4, file);
    std::fclose(file);
}

// Every frame's timecode and recording time as the generator wrote it.
void expectEveryFrame(AviReader& reader, const fixtures::DvFixtureOptions& options, const std::string& what) {
    for (int32_t frame = 0; frame < reader.GetFrameCount(); ++frame) {
        ASSERT_EQ(reader.ReadRawPictureData(frame, avi::FrameLoad::OnDemand), 1) << what << " frame " << frame;
        scene::Timecode timecode{};
        scene::RecordingTime time = scene::kNoRecordingTime;
        avi::ReadDvTimecode(reader, timecode);
        avi::ReadDvDateTime(reader, time);
        EXPECT_EQ(timecode, fixtures::expectedTimecode(options, frame)) << what << " frame " << frame;
        EXPECT_EQ(time, fixtures::expectedRecordingTime(options, frame)) << what << " frame " << frame;
    }
}

class DamagedMovie : public ::testing::Test {
protected:
    ScopedEnv tz{"TZ", "UTC"};
    TempDir dir;
};

TEST_F(DamagedMovie, AWrongSizeFieldLosesNoFrame) {
    // Far beyond the file, inside the file but off the next header, and too small.
    for (uint32_t size : {0xFFFFFFF0u, 1000000u, 8u}) {
        for (int type : {1, 2}) {
            const std::string what = "type " + std::to_string(type) + " size " + std::to_string(size);
            fixtures::DvFixtureOptions options = twoTakes(type);
            options.damagedSizeFields = {{10, size}};
            const std::string path = dir.file("d.avi");
            ASSERT_EQ(fixtures::writeDvAvi(path, options), 1);
            AviReader reader;
            ASSERT_EQ(reader.Open(path, "r"), 1) << what;
            EXPECT_EQ(reader.GetFrameCount(), 100) << what;
            EXPECT_EQ(reader.walkDamage().damagedChunks, 1) << what;
            const avi::MovieChunk& damaged = reader.frameChunks()[10];
            EXPECT_TRUE(damaged.damaged) << what;
            EXPECT_EQ(damaged.size, avi::kDvFrameSizePal) << what;  // up to the next chunk header
            EXPECT_FALSE(avi::walkDamageText(reader).empty()) << what;
            expectEveryFrame(reader, options, what);
        }
    }
}

TEST_F(DamagedMovie, ADestroyedHeaderIsSkippedAndCounted) {
    fixtures::DvFixtureOptions options = twoTakes(1);
    const std::string path = dir.file("d.avi");
    fixtures::DvFixtureInfo info;
    ASSERT_EQ(fixtures::writeDvAvi(path, options, &info), 1);
    patch32(path, info.frameDataOffsets[30] - 8, avi::makeFourcc("\x01\x02\x03\x04"));
    AviReader reader;
    ASSERT_EQ(reader.Open(path, "r"), 1);
    EXPECT_EQ(reader.GetFrameCount(), 99);  // frame 30 is no chunk any more
    EXPECT_EQ(reader.walkDamage().skippedBytes, 8 + avi::kDvFrameSizePal);
    EXPECT_EQ(reader.frameChunks()[30].dataOffset, info.frameDataOffsets[31]);
}

TEST_F(DamagedMovie, ACutFileCountsItsWholeFramesOnly) {
    fixtures::DvFixtureOptions options = twoTakes(1);
    fixtures::DvFixtureInfo info;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("probe.avi"), options, &info), 1);
    options.truncateInsideFrame = 33;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("cut.avi"), options), 1);
    AviReader reader;
    ASSERT_EQ(reader.Open(dir.file("cut.avi"), "r"), 1);
    EXPECT_EQ(reader.GetFrameCount(), 33);
    EXPECT_EQ(reader.headerFrameCount(), 100);
    EXPECT_TRUE(reader.walkDamage().cutOff);
    expectEveryFrame(reader, options, "cut");
    reader.Close();

    // Headers and the start of the first frame: no frame at all.
    options.truncateInsideFrame = -1;
    options.truncateToBytes = info.frameDataOffsets[0] + 100;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("none.avi"), options), 1);
    EXPECT_EQ(reader.Open(dir.file("none.avi"), "r"), static_cast<int>(avi::OpenResult::FirstFrameUnreadable));
}

TEST_F(DamagedMovie, HeaderFieldsNoFileCanHoldAreCorrected) {
    fixtures::DvFixtureOptions options = twoTakes(1);
    const std::string path = dir.file("d.avi");
    ASSERT_EQ(fixtures::writeDvAvi(path, options), 1);
    std::string bytes = readTextFile(path);
    const int64_t avih = static_cast<int64_t>(bytes.find("avih")) + 8;
    patch32(path, avih + 16, 2020501605u);  // total frames
    patch32(path, avih + 32, 9432978u);     // width
    patch32(path, avih + 36, 1645017235u);  // height
    AviReader reader;
    ASSERT_EQ(reader.Open(path, "r"), 1);
    EXPECT_EQ(reader.headerFrameCount(), 2020501605);
    EXPECT_EQ(reader.GetFrameCount(), 100);
    EXPECT_EQ(reader.width(), 720u);
    EXPECT_EQ(reader.height(), 576u);
    EXPECT_EQ(reader.ReadRawPictureData(100), static_cast<int>(avi::ReadResult::FrameOutOfRange));
}

}  // namespace
}  // namespace klemora::test

namespace klemora::avi {
namespace {

TEST(OpeningWalk, AStopEndsTheWalkOnlyForAReaderThatListensToIt) {
    test::TempDir dir;
    const std::string path = dir.file("long.avi");
    ASSERT_EQ(fixtures::writeDvAvi(path, fixtures::singleSessionOptions(1200)), 1);
    app::CancelToken stop;
    stop.request();

    AviReader listening;
    listening.stopOpeningOn(&stop);
    EXPECT_EQ(listening.Open(path, "r"), static_cast<int>(OpenResult::Stopped));
    EXPECT_EQ(listening.GetFrameCount(), 0);

    AviReader deaf;  // e.g. a write run: its sources open whatever the Stop says
    EXPECT_EQ(deaf.Open(path, "r"), 1);
    EXPECT_EQ(deaf.GetFrameCount(), 1200);

    stop.reset();
    EXPECT_EQ(listening.Open(path, "r"), 1);
    EXPECT_EQ(listening.GetFrameCount(), 1200);
}

}  // namespace
}  // namespace klemora::avi
