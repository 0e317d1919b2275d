// The slider line and the information panel as the main window shows them,
// for DV type 1 and 2, OpenDML and files without DV, each with its sound.
#include "media/scene_info_text.h"

#include <gtest/gtest.h>

#include "app/string_table.h"
#include "media/media_probe.h"
#include "tests/media/media_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::media {
namespace {

class SceneInfoTextTest : public test::MediaTest {
protected:
    void SetUp() override {
        test::MediaTest::SetUp();
        app::useGermanStrings();
    }

    // A scene over the whole probed file, as adding an AVI file makes it.
    void addWholeFile(MediaInfo& info) {
        ASSERT_EQ(GetExtraData(info, false, ui), 1) << ui.allMessages();
        int row = list.AddNewScene();
        ASSERT_GE(row, 0);
        list.setSourceFile(row, info.fileName);
        list.setStopFrame(row, info.frameCount - 1);
        list.setFramesPerSecond(row, info.frameRate);
        list.setDvType(row, GetDvType(info));
        list.setOpenDmlKind(row, GetOpenDmlKind(info));
        list.setRecordingTime(row, &info.recordingTime);
        list.setTimecode(row, info.timecode);
        list.setVideoFourcc(row, info.fourcc);
    }

    std::string infoOf(const std::string& path) {
        MediaInfo info;
        EXPECT_EQ(ProbeMedia(path, info, ui), 1) << ui.allMessages();
        list = scene::SceneList();
        addWholeFile(info);
        return sceneInfoText(list, 0, info);
    }

    // An ffmpeg-made MJPEG AVI of one second with `channels` channels of sound.
    std::string mjpegWithSound(const std::string& name, int channels) {
        std::string path = dir.file(name);
        EXPECT_TRUE(test::runCommand(
            "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=sample_rate=32000 -t 1 "
            "-ac " + std::to_string(channels) + " -c:a pcm_s16le -c:v mjpeg '" + path + "' </dev/null"));
        return path;
    }

    test::ScopedEnv tz{"TZ", "Europe/Berlin"};
    scene::SceneList list;
};

TEST_F(SceneInfoTextTest, SliderLineCountsInTheSceneAndInTheSourceClamped) {
    int row = list.AddNewScene();
    list.setStopFrame(row, 99);
    list.setStartFrame(row, 40);
    EXPECT_EQ(sliderLineText(list, row, 40), "Bild 1 von 60 (Bild 41 in Quelldatei)");
    EXPECT_EQ(sliderLineText(list, row, 52), "Bild 13 von 60 (Bild 53 in Quelldatei)");
    EXPECT_EQ(sliderLineText(list, row, 3), "Bild 1 von 60 (Bild 41 in Quelldatei)");
    EXPECT_EQ(sliderLineText(list, row, 500), "Bild 60 von 60 (Bild 100 in Quelldatei)");
    EXPECT_EQ(sliderLineText(list, 1, 50), "");
}

TEST_F(SceneInfoTextTest, DvType2OpenDmlPanelHasEveryLine) {
    auto options = dvOptions(2, false, 50);
    options.openDml = fixtures::OpenDmlLayout::Single;
    std::string path = dvFile("dv2.avi", options);
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(path, info, ui), 1) << ui.allMessages();
    addWholeFile(info);
    list.setStartFrame(0, 10);
    list.setDestName(0, "Urlaub_001");
    list.setComment(0, "Am Strand\nmit Hund");
    EXPECT_EQ(sceneInfoText(list, 0, info),
              "Video:\t\tdvsd, DV-Type2, OpenDML, FpS: 25.00\n"
              "Bitmap:\t\tX: 720 , Y: 576 , Bit/Pixel: 24\n"
              "Audio:\t\tStereo , 48000 Hz , 16 Bit\n"
              "\n"
              "Datestamp:\t01-07-2006 / 10:00:00\n"
              "Timecode:\t00:00:00:00 -> 00:00:01:15 (Bilder: 40)\n"
              "Zieldatei:\tUrlaub_001\n"
              "\n"
              "Kommentar:\nAm Strand\nmit Hund");
}

TEST_F(SceneInfoTextTest, StreamKindAndSoundFollowTheFile) {
    if (!test::haveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    auto firstLines = [](const std::string& text) { return text.substr(0, text.find("\n\n")); };
    std::string type1 = infoOf(dvFile("dv1.avi", dvOptions(1, true)));
    EXPECT_EQ(type1.substr(0, type1.find('\n')), "Video:\t\tdvsd, DV-Type1, No OpenDML, FpS: 29.97");
    EXPECT_NE(type1.find("\nAudio:\t\tStereo , 48000 Hz , 16 Bit\n"), std::string::npos) << type1;
    EXPECT_EQ(firstLines(infoOf(mjpegWithSound("mono.avi", 1))),
              "Video:\t\tMJPG, No DV, No OpenDML, FpS: 25.00\n"
              "Bitmap:\t\tX: 320 , Y: 240 , Bit/Pixel: 24\n"
              "Audio:\t\tMono , 32000 Hz , 16 Bit");
    EXPECT_NE(infoOf(mjpegWithSound("four.avi", 4)).find("Audio:\t\t4 Channels , 32000 Hz , 16 Bit\n"),
              std::string::npos);
}

TEST_F(SceneInfoTextTest, EnglishLabels) {
    std::string path = dvFile("dv2.avi", dvOptions(2, false, 25));
    ASSERT_TRUE(app::loadLanguageFile(KLEMORA_SOURCE_DIR "/resources/strings/english.lang"));
    std::string text = infoOf(path);
    app::useGermanStrings();
    EXPECT_NE(text.find("\nDestination file:\t\n\nComment:\n"), std::string::npos) << text;
    EXPECT_NE(text.find("(Frames: 25)"), std::string::npos) << text;
}

}  // namespace
}  // namespace klemora::media
