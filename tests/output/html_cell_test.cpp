#include "output/html_cell.h"

#include <gtest/gtest.h>

#include <utility>

#include "output/html_page.h"
#include "output/name_template.h"

namespace klemora::output {
namespace {

class RecordingPictures : public CellPictureWriter {
public:
    void writePicture(const std::string& path, int32_t frame) override { written.emplace_back(path, frame); }
    std::vector<std::pair<std::string, int32_t>> written;
};

class HtmlCell : public ::testing::Test {
protected:
    void SetUp() override {
        int i = list.AddNewScene();
        list.setSourceFile(i, "/video/Urlaub 2006.avi");
        list.setStartFrame(i, 100);
        list.setStopFrame(i, 149);  // 50 frames
        list.setFramesPerSecond(i, 25.0f);
        list.setSpeedFactor(i, 2.0f);
        list.setTimecode(i, scene::Timecode{1, 2, 3, 4});
        scene::RecordingTime t{5, 4, 3, 24, 11, 106};
        list.setRecordingTime(i, &t);
        context.list = &list;
        context.index = 0;
        context.scenesBefore = 7;
        context.groupName = "Tag 1";
        context.nameTemplate = "%G_%M3";
        context.file = {720, 576, 25.0f, 200, 2, 48000, 16};
        context.pictureWidth = 96;
        context.pictureHeight = 72;
        context.pictureFolderPath = "/web/img_index_Tag 1/";
        context.pictureFolderName = "img_index_Tag 1";
        context.pictures = &pictures;
    }

    scene::SceneList list;
    RecordingPictures pictures;
    CellContext context;
};

TEST_F(HtmlCell, SceneAndFilePlaceholders) {
    struct Case {
        const char* line;
        const char* expected;
    } cases[] = {
        {"#SCENENUMBER/#FRAMECOUNT", "1/50"},
        {"#SRCFILENAME|#PURESRCFILENAME", "/video/Urlaub 2006.avi|Urlaub 2006.avi"},
        {"#STARTTIMEINFILE-#STOPTIMEINFILE", "00:00:04:00-00:00:05:24"},
        {"#DVDATESTAMP", "24-12-2006 / 03:04:05"},
        {"#STARTTIMECODE..#STOPTIMECODE", "01:02:03:04..01:02:05:04"},
        {"#DSTFILENAME", "Tag 1_008.avi"},
        {"#PREVIEWPICSIZEXx#PREVIEWPICSIZEY #RESOLUTIONXx#RESOLUTIONY", "96x72 720x576"},
        {"#FPS fps, x#SPEEDFACTOR", "25.000 fps, x2.000"},
        {"#PLAYTIME / #SFPLAYTIME", "00:00:02:00 / 00:00:01:00"},
        {"#COMMENT", "--"},
        {"#AUDIOCHANNELCOUNT ch #AUDIOFREQUNCE Hz #AUDIOBITCOUNT bit", "2 ch 48000 Hz 16 bit"},
        {"# #X #SCENENUMBERS ##FPS", "# #X 1S #25.000"},
    };
    for (const Case& c : cases) EXPECT_EQ(expandCellLine(c.line, context), c.expected) << c.line;
    EXPECT_TRUE(pictures.written.empty());
}

TEST_F(HtmlCell, InsertedTextIsEscapedAndNeverExpandedAgain) {
    list.setComment(0, "Tom & Jerry <live> #FPS #FRAMEBYNUMBER3");
    list.setSourceFile(0, "/video/#FRAMEBYNUMBER1.avi");
    EXPECT_EQ(expandCellLine("#COMMENT", context), "Tom &amp; Jerry &lt;live&gt; #FPS #FRAMEBYNUMBER3");
    EXPECT_EQ(expandCellLine("#PURESRCFILENAME", context), "#FRAMEBYNUMBER1.avi");
    EXPECT_TRUE(pictures.written.empty());
    // The picture of a file with such a name is written once and named as it is.
    EXPECT_EQ(expandCellLine("#FRAMEBYNUMBER0", context),
              "<img src=\"./img_index_Tag%201/%23FRAMEBYNUMBER1_00100.bmp\" border=1 width=96 height=72 "
              "alt=\"#FRAMEBYNUMBER1_00100.bmp\">");
    EXPECT_EQ(pictures.written.size(), 1u);

    context.nameTemplate = std::string(kMaxGeneratedNameLength + 1, 'x');
    EXPECT_EQ(expandCellLine("#DSTFILENAME", context), "Error while generating filename!");
}

TEST_F(HtmlCell, PicturesOfPercentAndNumberTokens) {
    list.setDestName(0, "/out/Strand.avi");  // the destination name gives the pictures their name
    std::string line = expandCellLine("<p>#FRAMEBYPERCENT0 #FRAMEBYPERCENT50<br>#FRAMEBYNUMBER10x_y</p>", context);
    EXPECT_EQ(line,
              "<p><img src=\"./img_index_Tag%201/Strand_00100.bmp\" border=1 width=96 height=72 "
              "alt=\"Strand_00100.bmp\"> "
              "<img src=\"./img_index_Tag%201/Strand_00125.bmp\" border=1 width=96 height=72 "
              "alt=\"Strand_00125.bmp\"><br>"
              "<img src=\"./img_index_Tag%201/Strand_00110.bmp\" border=1 width=96 height=72 "
              "alt=\"Strand_00110.bmp\">_y</p>");
    ASSERT_EQ(pictures.written.size(), 3u);
    EXPECT_EQ(pictures.written[0], std::make_pair(std::string("/web/img_index_Tag 1/Strand_00100.bmp"), 100));
    EXPECT_EQ(pictures.written[1].second, 125);
    EXPECT_EQ(pictures.written[2].second, 110);
}

TEST_F(HtmlCell, PictureFramesAreHeldInsideTheFile) {
    const scene::SceneRecord& s = *list.record(0);  // 100..149, file of 200 frames
    EXPECT_EQ(frameByPercent(s, 0, 200), 100);
    EXPECT_EQ(frameByPercent(s, 100, 200), 150);  // the frame after the stop frame
    EXPECT_EQ(frameByPercent(s, 250, 200), 150);
    EXPECT_EQ(frameByPercent(s, -5, 200), 100);
    EXPECT_EQ(frameByPercent(s, 33, 200), 116);
    EXPECT_EQ(frameByPercent(s, 100, 150), 149);  // a scene up to the file's end: its last frame
    EXPECT_EQ(frameByNumber(s, 500, 200), 199);
    EXPECT_EQ(frameByNumber(s, -500, 200), 0);
    EXPECT_EQ(frameByNumber(s, 3, 0), 0);
}

TEST(HtmlTimes, DurationAndSpeedTexts) {
    EXPECT_EQ(durationText(0, 25.0f), "00:00:00:00");
    EXPECT_EQ(durationText(90, 25.0f), "00:00:03:15");
    EXPECT_EQ(durationText(25 * 3661 + 7, 25.0f), "01:01:01:07");
    EXPECT_EQ(durationText(90, 0.0f), "00:00:03:15");       // no rate: 25
    EXPECT_EQ(durationText(100, 29.97f), "00:00:03:10");     // frames mod trunc(29.97 + 0.9) = 30
    EXPECT_EQ(durationText(25LL * 3600 * 30, 25.0f), "30:00:00:00");
    EXPECT_EQ(speedPlayTimeText(100, 0.5f, 25.0f), "00:00:08:00");
    EXPECT_EQ(speedPlayTimeText(101, 1.0f, 25.0f), "00:00:04:01");
    EXPECT_EQ(speedPlayTimeText(101, 1.0f, 0.5f), "00:03:22:00");  // no whole frames per second
}

}  // namespace
}  // namespace klemora::output
