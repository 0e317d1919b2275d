// The in-place rewrite of the recording date/time.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "tests/avi/avi_bytes.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using avi::AviReader;

scene::RecordingTime at(int year, int month, int day, int h, int m, int s) {
    return scene::recordingTimeOf(year, month, day, h, m, s);
}

fixtures::DvFixtureOptions oneSession(int frames, bool ntsc = false) {
    return fixtures::singleSessionOptions(frames, 2, ntsc);
}

std::vector<scene::RecordingTime> readTimes(const std::string& path) {
    AviReader reader;
    std::vector<scene::RecordingTime> times;
    if (reader.Open(path, "r") != 1) return times;
    for (int32_t frame = 0; frame < reader.GetFrameCount(); ++frame) {
        if (reader.ReadRawPictureData(frame, avi::FrameLoad::OnDemand) != 1 || reader.currentFrame() != frame) break;
        scene::RecordingTime t = scene::kNoRecordingTime;
        avi::ReadDvDateTime(reader, t);
        times.push_back(t);
    }
    return times;
}

// Where a frame may carry a pack: every subcode sync block and every VAUX pack.
std::vector<int64_t> packCopyOffsets(bool pal) {
    std::vector<int64_t> out;
    for (int seq = 0; seq < (pal ? 12 : 10); ++seq) {
        for (int block = 0; block < 2; ++block)
            for (int sync = 0; sync < 6; ++sync) out.push_back(avi::subcodePackOffset(seq, block, sync));
        for (uint32_t block = 0; block < avi::kVauxBlocksPerSequence; ++block)
            for (uint32_t pack = 0; pack < avi::kPacksPerVauxBlock; ++pack)
                out.push_back(avi::vauxPackOffset(seq, block, pack));
    }
    return out;
}

// Offsets where two files differ.
std::vector<size_t> differences(const std::string& a, const std::string& b) {
    std::string x = readTextFile(a), y = readTextFile(b);
    std::vector<size_t> out;
    for (size_t i = 0; i < std::min(x.size(), y.size()); ++i)
        if (x[i] != y[i]) out.push_back(i);
    return out;
}

class Datestamp : public ::testing::Test {
protected:
    ScopedEnv tz{"TZ", "Europe/Berlin"};
    TempDir dir;
};

TEST_F(Datestamp, SixtyFramesFromTenOClock) {
    const std::string path = dir.file("a.avi");
    fixtures::DvFixtureInfo info;
    ASSERT_EQ(fixtures::writeDvAvi(path, oneSession(60), &info), 1);
    const std::string original = dir.file("orig.avi");
    ASSERT_EQ(fixtures::writeDvAvi(original, oneSession(60)), 1);
    AviReader reader;
    scene::RecordingTime end;
    ASSERT_EQ(avi::WriteDvDatestamp(at(2005, 3, 27, 10, 0, 0), path, reader, end), 1);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_EQ(end.hours, 10);
    EXPECT_EQ(end.minutes, 0);
    EXPECT_EQ(end.seconds, 2);
    EXPECT_EQ(end.dayOfMonth, 27);
    std::vector<scene::RecordingTime> times = readTimes(path);
    ASSERT_EQ(times.size(), 60u);
    for (int frame = 0; frame < 60; ++frame) {
        EXPECT_EQ(times[frame].seconds, frame / 25) << frame;
        EXPECT_EQ(times[frame].hours, 10);
        EXPECT_EQ(times[frame].yearsSince1900, 105);
        EXPECT_EQ(times[frame].month, 2);
    }
    // Every copy of both packs changes, in the subcode and in VAUX; nothing
    // else does, PC1 and the flag bits above the digits included.
    const std::string stamped = readTextFile(path);
    std::set<int64_t> packBytes;
    for (size_t frame = 0; frame < info.frameDataOffsets.size(); ++frame) {
        int dates = 0, times = 0;
        for (int64_t at : packCopyOffsets(true)) {
            const int64_t offset = info.frameDataOffsets[frame] + at;
            const auto* pack = reinterpret_cast<const uint8_t*>(stamped.data() + offset);
            if (pack[0] == avi::kPackRecordingDate) {
                ++dates;
                EXPECT_EQ(pack[1], 0xFF);
                EXPECT_EQ(pack[2], 0xC0 | 0x27) << frame << " " << at;
                EXPECT_EQ(pack[3], 0x03) << "March, and Sunday in the week bits";
                EXPECT_EQ(pack[4], 0x05);
            } else if (pack[0] == avi::kPackRecordingTime) {
                ++times;
                EXPECT_EQ(pack[2], 0x80 | (frame / 25)) << frame << " " << at;
                EXPECT_EQ(pack[3], 0x80);
                EXPECT_EQ(pack[4], 0xC0 | 0x10);
            } else {
                continue;
            }
            for (int i = 2; i < 5; ++i) packBytes.insert(offset + i);
        }
        EXPECT_EQ(dates, 12 * 10) << frame;  // four subcode and six VAUX copies per sequence
        EXPECT_EQ(times, 12 * 10) << frame;
    }
    for (size_t offset : differences(original, path))
        EXPECT_TRUE(packBytes.count(static_cast<int64_t>(offset))) << "byte " << offset;
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, info.fileSize);
}

TEST_F(Datestamp, YearBytesAndNtscSecondsOf30Frames) {
    for (int year : {2005, 1999}) {
        const std::string path = dir.file("y.avi");
        fixtures::DvFixtureInfo info;
        ASSERT_EQ(fixtures::writeDvAvi(path, oneSession(31, true), &info), 1);
        AviReader reader;
        scene::RecordingTime end;
        ASSERT_EQ(avi::WriteDvDatestamp(at(year, 12, 31, 23, 59, 59), path, reader, end), 1);
        const std::string bytes = readTextFile(path);
        const size_t date = static_cast<size_t>(info.frameDataOffsets[0]) + 94;
        EXPECT_EQ(static_cast<uint8_t>(bytes[date + 2]), 0xC0 | 0x31);  // the flag bits stay
        // December, and in the week bits Saturday (2005) or Friday (1999).
        EXPECT_EQ(static_cast<uint8_t>(bytes[date + 3]), (year == 2005 ? 6 << 5 : 5 << 5) | 0x12);
        EXPECT_EQ(static_cast<uint8_t>(bytes[date + 4]), year == 2005 ? 0x05 : 0x99);
        EXPECT_EQ(static_cast<uint8_t>(bytes[date + 1]), 0xFF);  // PC1 stays
        // 29.97 frames/s counts 30 frames per second: frame 30 is in the new year.
        std::vector<scene::RecordingTime> times = readTimes(path);
        ASSERT_EQ(times.size(), 31u);
        EXPECT_EQ(times[29].yearsSince1900, year - 1900);
        EXPECT_EQ(times[30].yearsSince1900, year == 2005 ? 106 : 100);
        EXPECT_EQ(times[30].month, 0);
        EXPECT_EQ(end.yearsSince1900, times[30].yearsSince1900);
        EXPECT_EQ(end.hours, 0);
    }
}

TEST_F(Datestamp, RefusesWhatItCannotStamp) {
    AviReader reader;
    scene::RecordingTime end;
    const scene::RecordingTime start = at(2006, 7, 1, 10, 0, 0);
    EXPECT_EQ(avi::WriteDvDatestamp(start, dir.file("missing.avi"), reader, end), -2);
    EXPECT_EQ(end, start);

    SimpleAvi mjpeg;
    mjpeg.handler = "MJPG";
    mjpeg.main.totalFrames = 1;
    mjpeg.frames = {std::vector<uint8_t>(10, 0)};
    std::vector<uint8_t> bytes = buildAvi(mjpeg);
    writeTextFile(dir.file("mjpeg.avi"), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(avi::WriteDvDatestamp(start, dir.file("mjpeg.avi"), reader, end), -3);
    EXPECT_FALSE(reader.isOpen());

    SimpleAvi noRate;
    noRate.scale = 0;
    noRate.main.totalFrames = 1;
    noRate.frames = {dvFrame(true, 0xFF)};
    bytes = buildAvi(noRate);
    writeTextFile(dir.file("rate.avi"), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(avi::WriteDvDatestamp(start, dir.file("rate.avi"), reader, end), -4);

    ASSERT_EQ(fixtures::writeDvAvi(dir.file("ok.avi"), oneSession(3)), 1);
    ASSERT_EQ(reader.Open(dir.file("ok.avi"), "r"), 1);
    EXPECT_EQ(avi::WriteDvDatestamp(start, dir.file("ok.avi"), reader, end), -1);
    EXPECT_TRUE(reader.isOpen());
    reader.Close();
    AviReader holder;
    ASSERT_EQ(holder.Open(dir.file("ok.avi"), "r"), 1);
    EXPECT_EQ(avi::WriteDvDatestamp(start, dir.file("ok.avi"), reader, end), -2);  // "rw" shares with nobody
}

TEST_F(Datestamp, DamagedFilesAreLeftAsTheyWere) {
    struct Case {
        const char* what;
        fixtures::DvFixtureOptions options;
        int code;
    };
    fixtures::DvFixtureOptions cut = oneSession(30);
    cut.truncateInsideFrame = 20;
    fixtures::DvFixtureOptions missing = oneSession(30);
    missing.framesWithoutPacks = {{12, 12}};
    fixtures::DvFixtureOptions shortFile = oneSession(30);
    fixtures::DvFixtureInfo probe;
    ASSERT_EQ(fixtures::writeDvAvi(dir.file("probe.avi"), shortFile, &probe), 1);
    shortFile.truncateToBytes = probe.frameDataOffsets[25] - 8;  // ends at a chunk boundary
    for (const Case& c : {Case{"cut inside frame 20", cut, -9}, Case{"frame 12 lacks its packs", missing, -10},
                          Case{"ends before frame 25", shortFile, -5}}) {
        const std::string path = dir.file("d.avi");
        fixtures::DvFixtureInfo info;
        ASSERT_EQ(fixtures::writeDvAvi(path, c.options, &info), 1) << c.what;
        const std::string before = readTextFile(path);
        AviReader reader;
        scene::RecordingTime end;
        EXPECT_EQ(avi::WriteDvDatestamp(at(2001, 2, 3, 4, 5, 6), path, reader, end), c.code) << c.what;
        EXPECT_FALSE(reader.isOpen());
        EXPECT_TRUE(readTextFile(path) == before) << c.what;  // checked first, nothing written
        EXPECT_EQ(end, at(2001, 2, 3, 4, 5, 6)) << c.what;
    }
}

}  // namespace
}  // namespace klemora::test
