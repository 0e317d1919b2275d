#include "media/media_probe.h"

#include <gtest/gtest.h>

#include "app/string_table.h"
#include "avi/avi_reader.h"
#include "media/media_result.h"
#include "media/picture_grab.h"
#include "media/probe_facts.h"
#include "media/probe_rules.h"
#include "tests/media/media_fixture.h"

namespace klemora::media {
namespace {

using test::MediaTest;

struct Source {
    const char* name;
    int dvType;  // 0: MJPEG made by ffmpeg
    bool ntsc;
};

class ProbeAgreesWithFfprobe : public MediaTest, public ::testing::WithParamInterface<Source> {};

TEST_P(ProbeAgreesWithFfprobe, OnRateFramesAndDuration) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    const Source& source = GetParam();
    std::string path = dir.file("mjpeg.avi");
    if (source.dvType != 0) {
        path = dvFile("dv.avi", dvOptions(source.dvType, source.ntsc, 40));
    } else {
        ASSERT_TRUE(test::makeTestVideo(path, 320, 240, "25", 2.0, "-c:v mjpeg"));
    }
    test::FfprobeFacts reference = test::ffprobeVideo(path);
    ASSERT_GT(reference.frameCount, 0);

    MediaInfo info;
    ASSERT_EQ(ProbeMedia(path, info, ui), 1) << ui.allMessages();
    EXPECT_NEAR(info.frameRate, reference.frameRate, 1e-4);
    EXPECT_NEAR(info.frameDuration, 1 / reference.frameRate, 1e-6);
    EXPECT_EQ(info.frameCount, reference.frameCount);
    EXPECT_FLOAT_EQ(info.duration, durationFromLength(reference.duration));
    EXPECT_EQ(info.videoStream, 0);
    EXPECT_EQ(info.allKeyframes, 1);
    EXPECT_TRUE(ui.messages().empty()) << ui.allMessages();

    ASSERT_EQ(GetExtraData(info, true, ui), 1);
    EXPECT_EQ(info.isDv, source.dvType != 0);
    EXPECT_EQ(info.isDvType1, source.dvType == 1);
    EXPECT_EQ(info.isOpenDml, 0);
    if (source.dvType != 0) {
        EXPECT_EQ(info.recordingTime, fixtures::defaultSessionStart());
        EXPECT_EQ(GetVideoWidth(info), 720);
        EXPECT_EQ(GetVideoHeight(info), source.ntsc ? 480 : 576);
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, ProbeAgreesWithFfprobe,
                         ::testing::Values(Source{"DvType1Pal", 1, false}, Source{"DvType2Pal", 2, false},
                                           Source{"DvType1Ntsc", 1, true}, Source{"DvType2Ntsc", 2, true},
                                           Source{"Mjpeg", 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MediaTest, TwoVideoStreamsProbeWithOneInformationBox) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::string path = dir.file("two.avi");
    ASSERT_TRUE(test::runCommand("ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i "
                                 "testsrc2=size=176x144:rate=25 -t 1 -map 0 -map 1 -c:v mjpeg '" +
                                 path + "' </dev/null"));
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(path, info, ui), 1);
    EXPECT_EQ(info.streamCount, 2);
    EXPECT_EQ(info.videoStream, 0);
    EXPECT_EQ(info.audioStream, -1);
    EXPECT_EQ(GetVideoWidth(info), 160);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, app::loadString(129));
    EXPECT_EQ(ui.messages()[0].icon, app::Icon::Information);
}

TEST_F(MediaTest, FailuresShowTheirMessageAndLeaveNothingProbed) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    MediaInfo info;
    EXPECT_EQ(ProbeMedia(dir.file("missing.avi"), info, ui), static_cast<int>(ProbeResult::CannotOpenFile));
    // Not an internal error: the file is simply not there.
    EXPECT_TRUE(ui.hasMessage(app::loadString(880) + "\nFile: " + dir.file("missing.avi"))) << ui.allMessages();
    EXPECT_FALSE(ui.hasMessage("KLM-AF-1008")) << ui.allMessages();
    EXPECT_FALSE(info.probed);
    EXPECT_TRUE(info.fileName.empty());

    std::string text = dir.file("notes.avi");
    test::writeTextFile(text, "not a video at all\n");
    EXPECT_EQ(ProbeMedia(text, info, ui), static_cast<int>(ProbeResult::CannotOpenFile));
    EXPECT_TRUE(ui.hasMessage("KLM-AF-1008\nCode: AVERROR_INVALIDDATA")) << ui.allMessages();

    // An AviSynth script the installed FFmpeg cannot open fails the same way.
    std::string script = dir.file("clip.avs");
    test::writeTextFile(script, "AviSource(\"clip.avi\")\n");
    EXPECT_EQ(ProbeMedia(script, info, ui), static_cast<int>(ProbeResult::CannotOpenFile));

    std::string sound = dir.file("sound.wav");
    ASSERT_TRUE(test::runCommand("ffmpeg -v error -y -f lavfi -i sine -t 0.5 '" + sound + "' </dev/null"));
    EXPECT_EQ(ProbeMedia(sound, info, ui), static_cast<int>(ProbeResult::NoVideoStream));
    EXPECT_EQ(ui.messages().back().text, app::loadString(132));
    EXPECT_EQ(ui.messages().back().icon, app::Icon::Stop);
    EXPECT_EQ(GetAudioChannels(info), 0);
    EXPECT_EQ(GetExtraData(info, false, ui), static_cast<int>(ExtraDataResult::NotProbed));
}

TEST_F(MediaTest, SamePathIsNotProbedAgainAndReleaseKeepsFixRatio) {
    std::string first = dvFile("a.avi", dvOptions(2, false, 10));
    std::string second = dvFile("b.avi", dvOptions(2, true, 12));
    MediaInfo info(" 16 / 9");
    EXPECT_EQ(info.fixRatio, "16:9");
    ASSERT_EQ(ProbeMedia(first, info, ui), 1);
    MediaDetector* detector = info.detector.get();
    ASSERT_EQ(ProbeMedia(first, info, ui), 1);
    EXPECT_EQ(info.detector.get(), detector);
    ASSERT_EQ(ProbeMedia(second, info, ui), 1);
    EXPECT_EQ(info.fileName, second);
    EXPECT_EQ(info.frameCount, 12);

    ReleaseMedia(info);
    EXPECT_FALSE(info.probed);
    EXPECT_EQ(info.detector, nullptr);
    EXPECT_EQ(info.videoStream, -1);
    EXPECT_EQ(info.frameCount, 0);
    EXPECT_EQ(GetVideoWidth(info), 0);
    EXPECT_EQ(info.fixRatio, "16:9");
}

TEST_F(MediaTest, FixRatioOverridesTheFilesAspect) {
    auto wide = dvOptions(2, false, 5);
    wide.wideScreen = true;
    std::string widePath = dvFile("wide.avi", wide);
    std::string normalPath = dvFile("normal.avi", dvOptions(2, false, 5));
    struct Case {
        const char* fixRatio;
        const std::string& path;
        uint8_t wideScreen;
    } cases[] = {
        {"", widePath, 1}, {"", normalPath, 0}, {"16 / 9", normalPath, 1}, {"4:3", widePath, 0},
    };
    for (const Case& c : cases) {
        app::settings().writeText("FixRatio", c.fixRatio);
        MediaInfo info(stored().fixRatio);
        ASSERT_EQ(ProbeMedia(c.path, info, ui), 1);
        ASSERT_EQ(GetExtraData(info, false, ui), 1);
        EXPECT_EQ(info.wideScreen, c.wideScreen) << c.fixRatio << " " << c.path;
    }
}

TEST_F(MediaTest, ContainerFactsAndTheirWarnings) {
    auto options = dvOptions(1, false, 20);
    options.nonKeyFrames = {3, 4};
    options.openDml = fixtures::OpenDmlLayout::Single;
    std::string path = dvFile("facts.avi", options);
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(path, info, ui), 1);
    EXPECT_EQ(info.allKeyframes, 1);  // the DV media type is not temporally compressed
    ASSERT_EQ(GetExtraData(info, true, ui), 1);
    EXPECT_EQ(info.allKeyframes, 0);  // the index says otherwise
    EXPECT_EQ(info.isOpenDml, 1);
    EXPECT_EQ(info.isExtendedOpenDml, 0);
    EXPECT_STREQ(info.fourcc, "dvsd");
    EXPECT_TRUE(ui.hasMessage(app::loadString(124) + " " + app::loadString(137) + "\nFile: " + path))
        << ui.allMessages();
    size_t shown = ui.messages().size();
    EXPECT_EQ(GetExtraData(info, true, ui), 1);  // once per probe
    EXPECT_EQ(ui.messages().size(), shown);

    auto facts = ProbeFacts(info);
    ASSERT_EQ(facts.size(), 22u);
    EXPECT_EQ(facts.front().key, "streams");
    EXPECT_EQ(facts[5].key, "frameCount");
    EXPECT_EQ(facts[5].value, "20");
    EXPECT_EQ(facts[13].key, "isDv");
    EXPECT_EQ(facts[13].value, "true");
    EXPECT_EQ(facts.back().key, "timecode");
}

TEST_F(MediaTest, ExtraDataNeedsAnAviFile) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::string path = dir.file("clip.mkv");
    ASSERT_TRUE(test::makeTestVideo(path, 160, 120, "25", 1.0, "-c:v mjpeg"));
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(path, info, ui), 1);
    EXPECT_EQ(info.frameCount, 25);
    EXPECT_EQ(GetExtraData(info, true, ui), static_cast<int>(ExtraDataResult::NotAvi));
    EXPECT_EQ(info.isDv, 0);
}

// A 'strh' length of 0x20000000 frames: the demuxer believes it, the frame
// count of the probe is what the file holds, and a grab past it fails at once.
TEST_F(MediaTest, DamagedStreamLengthIsCutToTheFramesTheFileHolds) {
    const std::string path = dvFile("length.avi", dvOptions(2, false, 30));
    ASSERT_TRUE(test::setFirstStreamLength(path, 0x20000000u));
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(path, info, ui), 1);
    ASSERT_EQ(GetExtraData(info, true, ui), 1);
    EXPECT_EQ(info.frameCount, 30);
    std::vector<uint8_t> picture(static_cast<size_t>(GetPictureBufferSize(0, 0, info)));
    app::SilentUserInterface quiet;
    EXPECT_EQ(GrabFrame(info, 29, picture, 0, 0, quiet), 1);
    EXPECT_EQ(GrabFrame(info, 30, picture, 0, 0, quiet), AVERROR_EOF);
    EXPECT_EQ(GrabFrame(info, 1000000, picture, 0, 0, quiet), AVERROR_EOF);
}

TEST_F(MediaTest, DetectVideoDurationReadsTheHeaderTotals) {
    auto plain = dvOptions(2, false, 30);
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(dvFile("plain.avi", plain), info, ui), 1);
    EXPECT_DOUBLE_EQ(DetectVideoDuration(info, ui), 30 / 25.0);

    auto segments = dvOptions(2, false, 30);
    segments.openDml = fixtures::OpenDmlLayout::Segments;
    segments.riffSegmentBytes = 1'500'000;  // 'avih' counts the first RIFF only
    MediaInfo big;
    ASSERT_EQ(ProbeMedia(dvFile("odml.avi", segments), big, ui), 1);
    EXPECT_EQ(big.frameCount, 30);
    EXPECT_DOUBLE_EQ(DetectVideoDuration(big, ui), 30 / 25.0);

    big.fileName = dir.file("gone.avi");
    EXPECT_EQ(DetectVideoDuration(big, ui), 0);
    EXPECT_TRUE(ui.hasMessage(app::loadString(113) + " DetectVideoDuration()!\nCode: -1"));
}

// A DV file whose PCM audio is labelled 32 kHz and which mentions "iavs".
std::string thirtyTwoKilohertzDv(const test::TempDir& dir, const char* name, const char* title) {
    std::string path = dir.file(name);
    bool made = test::runCommand(
        "ffmpeg -v error -y -f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine=sample_rate=32000 -t 0.4 "
        "-ac 2 -c:v dvvideo -pix_fmt yuv420p -c:a pcm_s16le -metadata title=" +
        std::string(title) + " '" + path + "' </dev/null");
    return made ? path : std::string();
}

TEST_F(MediaTest, MislabelledDvAudioIsRelabelledUnlessThePackSays32k) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::string labelled = thirtyTwoKilohertzDv(dir, "iavs.avi", "iavs");
    std::string plain = thirtyTwoKilohertzDv(dir, "plain.avi", "holiday");
    ASSERT_FALSE(labelled.empty());
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(labelled, info, ui), 1);
    EXPECT_EQ(GetAudioSampleRate(info), 48000);
    EXPECT_EQ(info.streamTypes[info.audioStream].wave.avgBytesPerSecond, 192000);
    EXPECT_EQ(GetAudioChannels(info), 2);
    EXPECT_EQ(GetAudioBitsPerSample(info), 16);

    ASSERT_EQ(ProbeMedia(plain, info, ui), 1);
    EXPECT_EQ(GetAudioSampleRate(info), 32000);

    // The camera's audio source pack says 32 kHz: the rate is real and stays.
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(labelled, "rw"), 1);
    ASSERT_EQ(reader.ReadRawPictureData(0), 1);
    uint8_t pack[5] = {0x50, 0xD0, 0x30, 0xC0, 2 << 3};
    ASSERT_EQ(reader.WriteAt(reader.currentChunk().dataOffset + 6 * 80 + 3, pack, sizeof pack), 1);
    reader.Close();
    MediaInfo real;
    ASSERT_EQ(ProbeMedia(labelled, real, ui), 1);
    EXPECT_EQ(GetAudioSampleRate(real), 32000);
}

}  // namespace
}  // namespace klemora::media
