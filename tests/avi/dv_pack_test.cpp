// DV pack search and decoding on hand-made frames.
#include <gtest/gtest.h>

#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "tests/avi/avi_bytes.h"
#include "tests/fixtures/dv_fixture.h"

namespace klemora::test {
namespace {

using avi::AviReader;

// Opens a one-frame DV file of the given frame (or a non-DV file of the size).
void openFrame(AviReader& reader, const std::vector<uint8_t>& frame, const char* handler = "dvsd",
               uint32_t width = 720, uint32_t height = 576) {
    SimpleAvi avi;
    avi.handler = handler;
    avi.main.totalFrames = 1;
    avi.main.width = width;
    avi.main.height = height;
    avi.frames = {frame};
    ASSERT_EQ(reader.OpenSource(std::make_unique<avi::MemorySource>(buildAvi(avi)), "x"), 1);
    ASSERT_EQ(reader.ReadRawPictureData(0), 1);
}

scene::RecordingTime dateOf(const std::vector<uint8_t>& frame) {
    AviReader reader;
    openFrame(reader, frame);
    scene::RecordingTime time = scene::kNoRecordingTime;
    EXPECT_EQ(avi::ReadDvDateTime(reader, time), 1);
    scene::RecordingTime fromSpan = scene::kNoRecordingTime;
    avi::ReadDvDateTime(frame, true, fromSpan);
    EXPECT_EQ(time, fromSpan);
    return time;
}

TEST(DvPack, RecordingDateWithMasksAndTheTwoDigitYearRule) {
    struct Case {
        uint8_t pc2, pc3, pc4;
        int day, month, yearsSince1900;
    };
    for (const Case& c : {Case{0x31, 0x12, 0x07, 31, 11, 107}, Case{0x01, 0x01, 0x24, 1, 0, 124},
                          Case{0x01, 0x01, 0x25, 1, 0, 25}, Case{0xC1, 0xE7, 0x99, 1, 6, 99},
                          Case{0x15, 0x06, 0x00, 15, 5, 100}}) {
        std::vector<uint8_t> frame = dvFrame(true, 0xFF);
        putPack(frame, subcodeOffset(0, 0, 1), 0x62, 0xFF, c.pc2, c.pc3, c.pc4);
        scene::RecordingTime t = dateOf(frame);
        EXPECT_EQ(t.dayOfMonth, c.day);
        EXPECT_EQ(t.month, c.month);
        EXPECT_EQ(t.yearsSince1900, c.yearsSince1900);
        EXPECT_EQ(t.hours, 0);  // no time pack: the time fields keep their values
        EXPECT_EQ(t.weekday, 0);
        EXPECT_EQ(t.dayOfYear, 0);
        EXPECT_EQ(t.daylightSaving, -1);
    }
}

TEST(DvPack, RecordingTimeAndTimecodeIgnoreFlagBits) {
    std::vector<uint8_t> frame = dvFrame(true, 0xFF);
    putPack(frame, subcodeOffset(0, 1, 2), 0x63, 0xFF, 0xD9, 0xD9, 0xE3);
    putPack(frame, subcodeOffset(0, 0, 0), 0x13, 0xE4, 0xD9, 0xB7, 0xC2);
    scene::RecordingTime t = dateOf(frame);
    EXPECT_EQ(t.seconds, 59);
    EXPECT_EQ(t.minutes, 59);
    EXPECT_EQ(t.hours, 23);
    EXPECT_EQ(t.dayOfMonth, 11);  // no date pack: the default stays
    AviReader reader;
    openFrame(reader, frame);
    uint8_t h = 0, m = 0, s = 0, f = 0;
    EXPECT_EQ(avi::ReadDvTimecode(reader, &h, &m, &s, &f), 1);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(m, 37);
    EXPECT_EQ(s, 59);
    EXPECT_EQ(f, 24);
    EXPECT_EQ(avi::ReadDvTimecode(reader, nullptr, nullptr, &s, nullptr), 1);
}

TEST(DvPack, MissingPacksKeepTheValues) {
    std::vector<uint8_t> frame = dvFrame(true, 0xFF);
    AviReader reader;
    openFrame(reader, frame);
    scene::RecordingTime t;
    t.hours = 7;
    t.dayOfMonth = 3;
    avi::ReadDvDateTime(reader, t);
    EXPECT_EQ(t.hours, 7);
    EXPECT_EQ(t.dayOfMonth, 3);
    scene::Timecode tc{1, 2, 3, 4};
    avi::ReadDvTimecode(reader, tc);
    EXPECT_EQ(tc, (scene::Timecode{1, 2, 3, 4}));
    avi::DvPack pack{};
    EXPECT_EQ(avi::FindDvPack(reader, 0x13, pack), -1);
}

TEST(DvPack, SearchOrderSequencesThenBlocksThenSyncBlocks) {
    std::vector<uint8_t> frame = dvFrame(true, 0xFF);
    putPack(frame, subcodeOffset(2, 1, 0), 0x62, 0xFF, 0x03, 0x03, 0x03);
    putPack(frame, subcodeOffset(2, 0, 5), 0x62, 0xFF, 0x02, 0x02, 0x02);
    putPack(frame, subcodeOffset(5, 0, 0), 0x62, 0xFF, 0x01, 0x01, 0x01);
    EXPECT_EQ(dateOf(frame).dayOfMonth, 2);  // the third sequence's packs, its first block's last sync block

    // Sequences 10 and 11 exist only in 625/50 frames.
    std::vector<uint8_t> late = dvFrame(true, 0xFF);
    putPack(late, subcodeOffset(11, 1, 5), 0x13, 0x01, 0x02, 0x03, 0x04);
    avi::DvPack pack{};
    EXPECT_EQ(avi::FindDvPack(late, true, 0x13, pack), 1);
    EXPECT_EQ(avi::FindDvPack(late, false, 0x13, pack), -1);
    // A span shorter than a frame never reads past its end.
    EXPECT_EQ(avi::FindDvPack(std::span<const uint8_t>(late.data(), 132210), true, 0x13, pack), -1);
}

TEST(DvPack, VideoSourceControlAtByte453BeforeTheSubcode) {
    std::vector<uint8_t> frame = dvFrame(true, 0xFF);
    putPack(frame, subcodeOffset(0, 0, 3), 0x61, 0xFF, 0x11, 0xFF, 0xFF);
    avi::DvPack pack{};
    EXPECT_EQ(avi::FindDvPack(frame, true, 0x61, pack), 1);
    EXPECT_EQ(pack[2], 0x11);
    putPack(frame, 453, 0x61, 0xFF, 0x22, 0xFF, 0xFF);
    EXPECT_EQ(avi::FindDvPack(frame, true, 0x61, pack), 1);
    EXPECT_EQ(pack[2], 0x22);
    // Byte 453 is only looked at for 0x61.
    putPack(frame, 453, 0x13, 0x01, 0x01, 0x01, 0x01);
    EXPECT_EQ(avi::FindDvPack(frame, true, 0x13, pack), -1);
}

TEST(DvPack, WideScreenRules) {
    struct Case {
        const char* what;
        const char* handler;
        int pc2;  // -1: no 0x61 pack
        uint32_t width, height;
        bool pal;
        bool wide;
    };
    for (const Case& c : {Case{"DV 0x87", "dvsd", 0x87, 720, 576, true, true},
                          Case{"DV 16:9 display mode 0xCA", "dvsd", 0xCA, 720, 576, true, true},
                          Case{"DV 0x02", "dvsd", 0x02, 720, 576, true, true},
                          Case{"DV 4:3 0xC8", "dvsd", 0xC8, 720, 576, true, false},
                          Case{"NTSC 0x07", "dvsd", 0x07, 720, 480, false, false},
                          Case{"DV without pack, 1920x1080", "dvsd", -1, 1920, 1080, true, false},
                          Case{"DV 0xC8 but 1920x1080", "dvsd", 0xC8, 1920, 1080, true, true},
                          Case{"1920x1080", "MJPG", -1, 1920, 1080, true, true},
                          Case{"1280x720", "MJPG", -1, 1280, 720, true, true},
                          Case{"720x576", "MJPG", -1, 720, 576, true, false},
                          Case{"no height", "MJPG", -1, 720, 0, true, false},
                          Case{"cfhd", "cfhd", -1, 720, 576, true, true},
                          Case{"CFHD", "CFHD", -1, 720, 576, true, true}}) {
        std::vector<uint8_t> frame = dvFrame(c.pal, 0xFF);
        if (c.pc2 >= 0) putPack(frame, 453, 0x61, 0xFF, static_cast<uint8_t>(c.pc2), 0xFF, 0xFF);
        AviReader reader;
        openFrame(reader, frame, c.handler, c.width, c.height);
        EXPECT_EQ(avi::IsWideScreen(reader), c.wide) << c.what;
        EXPECT_EQ(reader.wideScreen(), c.wide) << c.what;
    }
    AviReader closed;
    EXPECT_FALSE(avi::IsWideScreen(closed));
}

TEST(DvPack, FirstFrameFactsAtOpen) {
    std::vector<uint8_t> frame = dvFrame(false, 0xFF);
    putPack(frame, subcodeOffset(0, 0, 0), 0x13, 0x12, 0x34, 0x56, 0x21);
    putPack(frame, subcodeOffset(0, 0, 1), 0x62, 0xFF, 0x24, 0x12, 0x06);
    putPack(frame, subcodeOffset(0, 0, 2), 0x63, 0xFF, 0x09, 0x05, 0x18);
    AviReader reader;
    openFrame(reader, frame, "dvsd", 720, 480);
    EXPECT_FALSE(reader.isPal());
    EXPECT_EQ(reader.timecode(), (scene::Timecode{21, 56, 34, 12}));
    uint8_t h = 0, f = 0;
    EXPECT_EQ(reader.GetTimecode(&h, nullptr, nullptr, &f), 1);
    EXPECT_EQ(h, 21);
    EXPECT_EQ(f, 12);
    const scene::RecordingTime& t = reader.GetRecordingDateTime();
    EXPECT_EQ(t.yearsSince1900, 106);
    EXPECT_EQ(t.month, 11);
    EXPECT_EQ(t.dayOfMonth, 24);
    EXPECT_EQ(t.hours, 18);
    EXPECT_EQ(t.minutes, 5);
    EXPECT_EQ(t.seconds, 9);
}

std::vector<uint8_t> frameWithAudioSourcePack(int sequences, int sequence, int audioBlock, uint8_t pc4) {
    std::vector<uint8_t> frame(static_cast<size_t>(sequences) * 12000, 0xFF);
    size_t at = static_cast<size_t>(sequence) * 12000 + (6 + 16 * audioBlock) * 80 + 3;
    frame[at] = avi::kPackAudioSource;
    frame[at + 4] = pc4;
    return frame;
}

TEST(DvAudioPack, ReadsTheSamplingRate) {
    EXPECT_EQ(avi::dvAudioSampleRate(frameWithAudioSourcePack(12, 0, 3, 0xC0)), 48000);
    EXPECT_EQ(avi::dvAudioSampleRate(frameWithAudioSourcePack(12, 1, 0, 0xC0 | (2 << 3))), 32000);
    EXPECT_EQ(avi::dvAudioSampleRate(frameWithAudioSourcePack(10, 9, 8, 1 << 3)), 44100);
    EXPECT_EQ(avi::dvAudioSampleRate(frameWithAudioSourcePack(12, 0, 3, 5 << 3)), std::nullopt);
    std::vector<uint8_t> none(144000, 0xFF);
    EXPECT_EQ(avi::dvAudioSampleRate(none), std::nullopt);
    EXPECT_EQ(avi::dvAudioSampleRate(std::span<const uint8_t>(none).first(100)), std::nullopt);
}

TEST(DifHeader, TellsTheFrameStartAndItsSystem) {
    for (bool ntsc : {false, true}) {
        std::vector<uint8_t> frame = fixtures::makeDvFrame(fixtures::singleSessionOptions(1, 2, ntsc), 0);
        ASSERT_FALSE(frame.empty());
        EXPECT_TRUE(avi::isDifHeaderBlock(frame.data()));
        EXPECT_EQ(avi::difHeaderIsPal(frame.data()), !ntsc);
        // The second block is subcode, not a header.
        EXPECT_FALSE(avi::isDifHeaderBlock(frame.data() + avi::kDifBlockSize));
    }
}

TEST(DvBcd, EncodesAndDecodesTwoDigits) {
    for (int value : {0, 9, 10, 59, 99}) EXPECT_EQ(avi::bcdValue(avi::toBcd(value), 0xF), value);
    EXPECT_EQ(avi::toBcd(45), 0x45);
    EXPECT_EQ(avi::bcdValue(0xE3, 0x3), 23);  // flag bits above the tens are masked off
}

}  // namespace
}  // namespace klemora::test
