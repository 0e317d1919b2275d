// The fixture generator: real DV (checked by ffprobe where installed), the
// packs it promises, OpenDML layouts, determinism; and the reader on them.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "avi/movie_chunks.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/shell_command.h"

namespace klemora::test {
namespace {

using fixtures::DvFixtureOptions;
using fixtures::OpenDmlLayout;

bool haveFfprobe() { return std::system("ffprobe -version > /dev/null 2>&1") == 0; }

std::string run(const std::string& command) { return test::runShell(command).output; }

DvFixtureOptions twoSessions(int type, bool ntsc) {
    DvFixtureOptions options;
    options.type = type;
    options.ntsc = ntsc;
    fixtures::DvSession first;
    first.start = fixtures::defaultSessionStart();
    first.frames = 40;
    fixtures::DvSession second;
    second.start = first.start;
    second.start.hours = 14;
    second.start.minutes = 59;
    second.start.seconds = 58;
    second.frames = 70;
    second.timecodeStart = scene::Timecode{1, 0, 0, 0};
    options.sessions = {first, second};
    return options;
}

struct Layout {
    const char* name;
    int type;
    bool ntsc;
    OpenDmlLayout openDml;
};

constexpr Layout kLayouts[] = {
    {"type1-pal", 1, false, OpenDmlLayout::None},
    {"type2-pal", 2, false, OpenDmlLayout::None},
    {"type1-ntsc", 1, true, OpenDmlLayout::Single},
    {"type2-ntsc-segments", 2, true, OpenDmlLayout::Segments},
    {"type2-pal-segments", 2, false, OpenDmlLayout::Segments},
};

DvFixtureOptions optionsFor(const Layout& layout) {
    DvFixtureOptions options = twoSessions(layout.type, layout.ntsc);
    options.openDml = layout.openDml;
    options.riffSegmentBytes = 3u << 20;
    return options;
}

TEST(DvFixture, ReaderSeesEveryFramesPacksAndTheHeaders) {
    TempDir dir;
    for (const Layout& layout : kLayouts) {
        DvFixtureOptions options = optionsFor(layout);
        fixtures::DvFixtureInfo info;
        const std::string path = dir.file(std::string(layout.name) + ".avi");
        ASSERT_EQ(fixtures::writeDvAvi(path, options, &info), 1) << layout.name;
        EXPECT_EQ(info.frameCount, 110);
        if (layout.openDml == OpenDmlLayout::Segments) {
            EXPECT_GE(info.riffSegments, 4) << layout.name;
        }

        avi::AviReader reader;
        ASSERT_EQ(reader.Open(path, "r"), 1) << layout.name;
        EXPECT_EQ(reader.GetDvType(), layout.type);
        EXPECT_EQ(reader.GetFrameCount(), 110);
        EXPECT_EQ(reader.GetOpenDmlType(), layout.openDml == OpenDmlLayout::None     ? 0
                                           : layout.openDml == OpenDmlLayout::Single ? 1
                                                                                     : 2);
        EXPECT_EQ(reader.isPal(), !layout.ntsc);
        EXPECT_NEAR(reader.GetFrameRate(), layout.ntsc ? 29.97 : 25.0, 0.001);
        EXPECT_TRUE(reader.allKeyframes());
        EXPECT_FALSE(reader.wideScreen());
        EXPECT_EQ(reader.height(), layout.ntsc ? 480u : 576u);
        for (int32_t frame = 0; frame < 110; ++frame) {
            ASSERT_EQ(reader.ReadRawPictureData(frame, avi::FrameLoad::OnDemand), 1);
            EXPECT_EQ(reader.currentChunk().dataOffset, info.frameDataOffsets[frame]);
            scene::RecordingTime time = scene::kNoRecordingTime;
            scene::Timecode timecode{};
            avi::ReadDvDateTime(reader, time);
            avi::ReadDvTimecode(reader, timecode);
            ASSERT_EQ(time, fixtures::expectedRecordingTime(options, frame)) << layout.name << " frame " << frame;
            ASSERT_EQ(timecode, fixtures::expectedTimecode(options, frame)) << layout.name << " frame " << frame;
        }
    }
    // Spot checks of the expected values themselves.
    DvFixtureOptions pal = twoSessions(2, false);
    EXPECT_EQ(fixtures::expectedRecordingTime(pal, 39).seconds, 1);
    scene::RecordingTime crossing = fixtures::expectedRecordingTime(pal, 40 + 50);
    EXPECT_EQ(crossing.hours, 15);
    EXPECT_EQ(crossing.minutes, 0);
    EXPECT_EQ(crossing.seconds, 0);
    EXPECT_EQ(fixtures::expectedTimecode(pal, 39), (scene::Timecode{0, 0, 1, 14}));
    EXPECT_EQ(fixtures::expectedTimecode(pal, 41), (scene::Timecode{1, 0, 0, 1}));
}

TEST(DvFixture, FfprobeReadsTheStreamsAndFrameCounts) {
    if (!haveFfprobe()) GTEST_SKIP() << "ffprobe not installed";
    TempDir dir;
    for (const Layout& layout : kLayouts) {
        const std::string path = dir.file(std::string(layout.name) + ".avi");
        ASSERT_EQ(fixtures::writeDvAvi(path, optionsFor(layout)), 1);
        std::string out = run("ffprobe -v error -count_frames -show_entries "
                              "stream=codec_type,codec_name,width,height,nb_read_frames,sample_rate -of csv=p=0 '" +
                              path + "'");
        const std::string video = std::string("dvvideo,video,720,") + (layout.ntsc ? "480" : "576") + ",110";
        EXPECT_NE(out.find(video), std::string::npos) << layout.name << ":\n" << out;
        EXPECT_NE(out.find("pcm_s16le,audio,48000"), std::string::npos) << layout.name << ":\n" << out;
        // Real DV: the decoder takes every frame without complaint.
        std::string errors = run("ffmpeg -v error -i '" + path + "' -f null - 2>&1");
        EXPECT_EQ(errors, "") << layout.name;
    }
}

TEST(DvFixture, SameOptionsGiveTheSameBytes) {
    TempDir dir;
    DvFixtureOptions options = optionsFor(kLayouts[3]);
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("a.avi"), options), 1);
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("b.avi"), options), 1);
    EXPECT_TRUE(readTextFile(dir.file("a.avi")) == readTextFile(dir.file("b.avi")));
    // Sessions differ in their pictures, not only in their packs.
    std::vector<uint8_t> first = fixtures::makeDvFrame(options, 0);
    std::vector<uint8_t> second = fixtures::makeDvFrame(options, 45);
    ASSERT_EQ(first.size(), 120000u);
    EXPECT_NE(std::vector<uint8_t>(first.begin() + 20000, first.begin() + 30000),
              std::vector<uint8_t>(second.begin() + 20000, second.begin() + 30000));
}

TEST(DvFixture, VariantsOfPacksAndFlags) {
    TempDir dir;
    DvFixtureOptions options = twoSessions(2, false);
    options.wideScreen = true;
    options.framesWithoutPacks = {{5, 7}};
    options.framesWithLatePacks = {{10, 10}};
    options.nonKeyFrames = {3};
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("v.avi"), options), 1);
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(dir.file("v.avi"), "r"), 1);
    EXPECT_TRUE(reader.wideScreen());
    EXPECT_FALSE(reader.allKeyframes());
    ASSERT_EQ(reader.ReadRawPictureData(6), 1);
    avi::DvPack pack{};
    EXPECT_EQ(avi::FindDvPack(reader, avi::kPackRecordingDate, pack), -1);
    EXPECT_EQ(avi::FindDvPack(reader, avi::kPackVideoSourceControl, pack), 1);
    ASSERT_EQ(reader.ReadRawPictureData(10), 1);
    scene::Timecode timecode{};
    avi::ReadDvTimecode(reader, timecode);
    EXPECT_EQ(timecode, fixtures::expectedTimecode(options, 10));

    options.wideScreen = false;
    options.videoControlPc2 = 0x87;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("w.avi"), options), 1);
    ASSERT_EQ(reader.Open(dir.file("w.avi"), "r"), 1);
    EXPECT_TRUE(reader.wideScreen());

    options.videoControlPc2 = -1;
    options.wideScreen = true;
    options.videoControlAt453 = false;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("x.avi"), options), 1);
    ASSERT_EQ(reader.Open(dir.file("x.avi"), "r"), 1);
    EXPECT_FALSE(reader.wideScreen());
}

TEST(DvFixture, DamagedVariantsGiveTheirCodes) {
    TempDir dir;
    DvFixtureOptions options = twoSessions(1, false);
    options.streamHeader60 = true;
    avi::AviReader reader;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("strh.avi"), options), 1);
    EXPECT_EQ(reader.Open(dir.file("strh.avi"), "r"), -19);

    options = twoSessions(2, false);
    options.wrongSizeChunks = {{10, 143990}};
    options.junkChunks = true;
    options.oddSizeChunk = true;
    options.truncateInsideFrame = 100;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("damaged.avi"), options), 1);
    ASSERT_EQ(reader.Open(dir.file("damaged.avi"), "r"), 1);
    for (int32_t frame = 0; frame < 100; ++frame) {
        ASSERT_EQ(reader.ReadRawPictureData(frame, avi::FrameLoad::OnDemand), 1) << frame;
        scene::Timecode timecode{};
        avi::ReadDvTimecode(reader, timecode);
        EXPECT_EQ(timecode, fixtures::expectedTimecode(options, frame == 10 ? 9 : frame)) << frame;
    }
    // Frame 100 is cut by the end of the file: the file holds 100 frames.
    EXPECT_EQ(reader.GetFrameCount(), 100);
    EXPECT_GT(reader.headerFrameCount(), 100);
    EXPECT_EQ(reader.ReadRawPictureData(100), -12);
    EXPECT_EQ(reader.currentFrame(), 99);
}

TEST(MovieChunks, EveryStreamChunkInFileOrderOverAllSegments) {
    TempDir dir;
    DvFixtureOptions options = optionsFor(kLayouts[4]);
    options.junkChunks = true;
    fixtures::DvFixtureInfo info;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("s.avi"), options, &info), 1);
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(dir.file("s.avi"), "r"), 1);
    ASSERT_EQ(reader.streams().size(), 2u);
    EXPECT_GE(reader.streams()[0].superIndexOffset, 0);
    avi::MovieChunkWalker walker(reader);
    avi::MovieChunk chunk;
    std::vector<int64_t> videoOffsets;
    int audio = 0;
    int lastSegment = 0;
    int64_t lastOffset = 0;
    while (walker.next(chunk) == 1) {
        EXPECT_GT(chunk.dataOffset, lastOffset);
        lastOffset = chunk.dataOffset;
        EXPECT_GE(chunk.segment, lastSegment);
        lastSegment = chunk.segment;
        if (chunk.streamNumber == 0) videoOffsets.push_back(chunk.dataOffset);
        if (chunk.streamNumber == 1) {
            ++audio;
            EXPECT_EQ(chunk.size, 7680u);
        }
    }
    EXPECT_EQ(videoOffsets, info.frameDataOffsets);
    EXPECT_EQ(audio, info.frameCount);
    EXPECT_EQ(lastSegment, info.riffSegments - 1);
}

}  // namespace
}  // namespace klemora::test
