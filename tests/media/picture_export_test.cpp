#include "media/picture_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "app/file_io.h"
#include "avi/avi_format.h"
#include "media/media_probe.h"
#include "media/media_result.h"
#include "media/picture_grab.h"
#include "tests/media/media_fixture.h"

namespace klemora::media {
namespace {

class ExportTest : public test::MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        ::mkdir(dir.file("src").c_str(), 0755);
        ::mkdir(dir.file("pics").c_str(), 0755);
    }
    // Width and height of a written BMP; {-1, -1} when it is missing.
    static std::pair<int, int> bmpSize(const std::string& path) {
        auto bytes = app::readWholeFile(path);
        if (!bytes || bytes->size() < 58) return {-1, -1};
        const auto* p = reinterpret_cast<const uint8_t*>(bytes->data());
        EXPECT_EQ(avi::readLe32(p + 2), bytes->size());
        return {static_cast<int>(avi::readLe32(p + 18)), static_cast<int>(avi::readLe32(p + 22))};
    }
    static size_t fileCount(const std::string& folder) {
        size_t n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) n += entry.is_regular_file();
        return n;
    }
};

TEST_F(ExportTest, ExportFramePictureWritesTheExactFrameNamedFromOne) {
    std::string source = dvFile("src/clip.avi", dvOptions(2, false, 10));
    int32_t frames[] = {4};
    ASSERT_EQ(ExportFramePicture(source, dir.file("pics"), stored(), ui, frames, 0, 0), 1) << ui.allMessages();
    std::string written = dir.file("pics/clip_f00005.bmp");
    EXPECT_EQ(bmpSize(written), std::make_pair(720, 576));
    EXPECT_GT(ui.pumps(), 0);

    MediaInfo info;
    ASSERT_EQ(ProbeMedia(source, info, ui), 1);
    std::vector<uint8_t> picture(static_cast<size_t>(GetPictureBufferSize(0, 0, info)));
    ASSERT_EQ(GrabFrame(info, 4, picture, 0, 0, ui), 1);
    auto bytes = app::readWholeFile(written);
    ASSERT_EQ(bytes->size(), picture.size() + 18);
    EXPECT_TRUE(std::equal(picture.begin() + 40, picture.end(), reinterpret_cast<const uint8_t*>(bytes->data()) + 58));

    // Without a target folder the picture lands beside the source.
    ASSERT_EQ(ExportFramePicture(source, "", stored(), ui, frames, 360, 288), 1);
    EXPECT_EQ(bmpSize(dir.file("src/clip_f00005.bmp")), std::make_pair(360, 288));
    EXPECT_EQ(ExportFramePicture(dir.file("src/none.avi"), "", stored(), ui, frames, 0, 0),
              static_cast<int>(ExportResult::ProbeFailed));
    int32_t late[] = {10};
    EXPECT_EQ(ExportFramePicture(source, dir.file("pics"), stored(), ui, late, 0, 0),
              static_cast<int>(ExportResult::SaveFailed));
    EXPECT_FALSE(app::fileExists(dir.file("pics/clip_f00011.bmp")));
}

TEST_F(ExportTest, AspectCorrectionAndClippingFromTheSettings) {
    auto wideOptions = dvOptions(2, false, 3);
    wideOptions.wideScreen = true;
    std::string normal = dvFile("src/normal.avi", dvOptions(2, false, 3));
    std::string wide = dvFile("src/wide.avi", wideOptions);
    int32_t first[] = {0};
    struct Case {
        int as43;
        int clipping;
        const std::string& source;
        std::pair<int, int> size;
    } cases[] = {
        {1, 0, normal, {768, 576}},
        {1, 0, wide, {1024, 576}},
        {0, 10, normal, {648, 520}},
        {0, 150, normal, {8, 6}},  // limited to 99
    };
    for (const Case& c : cases) {
        app::settings().writeInt("As43", c.as43);
        app::settings().writeInt("PictureClipping", c.clipping);
        ASSERT_EQ(ExportFramePicture(c.source, dir.file("pics"), stored(), ui, first, 0, 0), 1) << ui.allMessages();
        std::string name = dir.file("pics/" + app::fileNameOf(c.source).substr(0, app::fileNameOf(c.source).size() - 4) +
                                    "_f00001.bmp");
        EXPECT_EQ(bmpSize(name), c.size) << c.as43 << " " << c.clipping;
    }
}

TEST_F(ExportTest, DateSuffixForDvFilesWithIncludeDS) {
    test::ScopedEnv tz("TZ", "Europe/Berlin");
    tzset();
    std::string source = dvFile("src/clip.avi", dvOptions(2, false, 60));  // from 2006-07-01 10:00:00
    app::settings().writeInt("includeDS", 1);
    int32_t frames[] = {52};
    ASSERT_EQ(ExportFramePicture(source, dir.file("pics"), stored(), ui, frames, 0, 0), 1);
    EXPECT_TRUE(app::fileExists(dir.file("pics/clip_f00053_2006-07-01_10-00-02.bmp")));

    MediaInfo info;
    ASSERT_EQ(ProbeMedia(source, info, ui), 1);
    EXPECT_EQ(SaveFrameAsBitmap(dir.file("pics/plain.bmp"), info, 0.01, 0, 0, PictureStyle{}, ui), 1);
    EXPECT_TRUE(app::fileExists(dir.file("pics/plain.bmp")));
}

TEST_F(ExportTest, SaveFrameAsBitmapCodes) {
    MediaInfo unprobed;
    EXPECT_EQ(SaveFrameAsBitmap(dir.file("x.bmp"), unprobed, 0.01, 0, 0, PictureStyle{}, ui),
              static_cast<int>(SaveBitmapResult::NotProbed));
    MediaInfo info;
    ASSERT_EQ(ProbeMedia(dvFile("src/clip.avi", dvOptions(2, false, 5)), info, ui), 1);
    EXPECT_EQ(SaveFrameAsBitmap(dir.file("nowhere/x.bmp"), info, 0.01, 0, 0, PictureStyle{}, ui),
              static_cast<int>(SaveBitmapResult::CannotCreate));
    EXPECT_EQ(SaveFrameAsBitmap(dir.file("pics/x.bmp"), info, 0.5, 0, 0, PictureStyle{}, ui),
              static_cast<int>(SaveBitmapResult::GrabFailed));
    EXPECT_EQ(SaveFrameAsBitmap(dir.file("pics/x.bmp"), info, 0.01, 0, 0, PictureStyle{100}, ui), 1);  // an empty picture
    EXPECT_EQ(bmpSize(dir.file("pics/x.bmp")), std::make_pair(0, 0));
    EXPECT_EQ(fileCount(dir.file("pics")), 1u);  // no temporary file left by the failures
}

TEST_F(ExportTest, SaveSceneAsBmpWritesEveryFrameFromZero) {
    std::string source = dvFile("src/clip.avi", dvOptions(1, false, 12));
    ASSERT_EQ(SaveSceneAsBMP(source, dir.file("pics"), stored(), ui), 1) << ui.allMessages();
    EXPECT_EQ(fileCount(dir.file("pics")), 12u);
    EXPECT_EQ(bmpSize(dir.file("pics/clip_f00000.bmp")), std::make_pair(720, 576));
    EXPECT_TRUE(app::fileExists(dir.file("pics/clip_f00011.bmp")));
    EXPECT_EQ(ui.progressMax(), 11);
    EXPECT_EQ(ui.progressPosition(), 11);
    EXPECT_EQ(ui.pumps(), 12);

    test::ScriptedUserInterface cancelling;
    cancelling.onPump = [](test::ScriptedUserInterface& self) {
        if (self.pumps() == 3) self.requestCancel();
    };
    ASSERT_EQ(SaveSceneAsBMP(source, dir.file("src"), stored(), cancelling), 1);
    EXPECT_EQ(fileCount(dir.file("src")), 1u + 3u);
    EXPECT_EQ(SaveSceneAsBMP(dir.file("src/none.avi"), dir.file("pics"), stored(), ui),
              static_cast<int>(ExportResult::SceneProbeFailed));
}

// A settings dialog changing the picture keys while a run goes on changes
// none of its pictures: the run took its settings when it started.
TEST_F(ExportTest, ARunKeepsTheSettingsOfItsStart) {
    test::ScopedEnv tz("TZ", "Europe/Berlin");
    tzset();
    std::string source = dvFile("src/clip.avi", dvOptions(2, false, 4));
    test::ScriptedUserInterface changing;
    changing.onPump = [](test::ScriptedUserInterface&) {
        app::settings().writeInt("As43", 1);
        app::settings().writeInt("PictureClipping", 50);
        app::settings().writeInt("includeDS", 1);
    };
    ASSERT_EQ(SaveSceneAsBMP(source, dir.file("pics"), stored(), changing), 1) << changing.allMessages();
    EXPECT_EQ(fileCount(dir.file("pics")), 4u);
    for (const char* name : {"clip_f00000.bmp", "clip_f00001.bmp", "clip_f00003.bmp"})
        EXPECT_EQ(bmpSize(dir.file(std::string("pics/") + name)), std::make_pair(720, 576)) << name;
}

}  // namespace
}  // namespace klemora::media
