// Every save of user data (project, group project, CSV, EDL, AviSynth, BMP,
// HTML page) into a shared folder: a link planted at the name is replaced,
// never followed; the file gets a new file's mode, or keeps the mode of the
// file it replaces; no temporary is left beside it.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <vector>

#include "media/bmp_file.h"
#include "output/html_page_file.h"
#include "scene/avisynth_export.h"
#include "scene/csv_export.h"
#include "scene/edl_export.h"
#include "scene/group_file.h"
#include "scene/group_tree.h"
#include "scene/project_file.h"
#include "tests/scene/fake_probe.h"
#include "tests/support/file_facts.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

struct SaveCase {
    const char* name;
    const char* fileName;
    std::function<int(const std::string& path)> save;
};

std::ostream& operator<<(std::ostream& out, const SaveCase& c) { return out << c.name; }

scene::SceneList oneScene() {
    scene::SceneList list;
    int i = list.AddNewScene();
    list.setSourceFile(i, "/videos/holiday.avi");
    list.setStartFrame(i, 0);
    list.setStopFrame(i, 99);
    return list;
}

int saveBmp(const std::string& path) {
    std::array<uint8_t, media::kBitmapInfoHeaderSize> header{};
    std::vector<uint8_t> pixels(4 * 2 * 3, 0x80);
    return media::writeBmpFile(path, header, 4, 2, pixels);
}

int savePage(const std::string& path) {
    ScriptedUserInterface ui;
    output::PageFile page(path);
    if (int rc = page.open(ui); rc != 1) return rc;
    page.write("<html></html>\n");
    return page.commit(ui);
}

const SaveCase kSaves[] = {
    {"Project", "p.scn", [](const std::string& p) { auto list = oneScene(); return scene::writeFlatFile(p, list); }},
    {"GroupProject", "g.scn", [](const std::string& p) { scene::GroupTree tree; return scene::writeGroupFile(p, tree); }},
    {"Csv", "l.csv", [](const std::string& p) { auto list = oneScene(); return scene::exportCsv(list, p); }},
    {"Edl", "e.txt",
     [](const std::string& p) {
         auto list = oneScene();
         FakeProbe probe;
         probe.succeedForAll = true;
         ScriptedUserInterface ui;
         return scene::exportVegasEdl(list, p, scene::EdlVariant::Vegas56, probe, ui);
     }},
    {"AviSynth", "a.avs",
     [](const std::string& p) {
         auto list = oneScene();
         ScriptedUserInterface ui;
         return scene::exportAviSynth(list, p, scene::AviSynthFilter::AviSource, ui);
     }},
    {"Bmp", "f.bmp", saveBmp},
    {"HtmlPage", "i.htm", savePage},
};

class SaveIntoSharedFolder : public ::testing::TestWithParam<SaveCase> {
protected:
    void SetUp() override {
        ::chmod(dir.path().c_str(), 01777);
        writeTextFile(victim, "someone else's");
        ::chmod(victim.c_str(), 0600);
    }

    TempDir dir;
    TempDir elsewhere;
    std::string victim = elsewhere.file("victim");
};

TEST_P(SaveIntoSharedFolder, ReplacesAPlantedLinkAndKeepsAReplacedFilesMode) {
    ScopedUmask mask(027);
    std::string target = dir.file(GetParam().fileName);
    ASSERT_EQ(::symlink(victim.c_str(), target.c_str()), 0);
    ASSERT_EQ(GetParam().save(target), 1);
    EXPECT_FALSE(isSymlink(target));
    EXPECT_EQ(fileMode(target), 0640);
    EXPECT_EQ(readTextFile(victim), "someone else's");
    EXPECT_EQ(fileMode(victim), 0600);

    ::chmod(target.c_str(), 0604);
    ASSERT_EQ(GetParam().save(target), 1);
    EXPECT_EQ(fileMode(target), 0604);
    EXPECT_EQ(descriptorsOpenOn(target), 0);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{GetParam().fileName});
}

INSTANTIATE_TEST_SUITE_P(Saves, SaveIntoSharedFolder, ::testing::ValuesIn(kSaves),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace klemora::test
