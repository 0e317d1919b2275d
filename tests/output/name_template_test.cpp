#include "output/name_template.h"

#include <gtest/gtest.h>

#include "app/string_table.h"
#include "output/name_check.h"
#include "tests/support/scripted_ui.h"

namespace klemora::output {
namespace {

std::string preview(const std::string& nameTemplate, std::string_view group = "Gruppe") {
    scene::SceneList list;
    EXPECT_EQ(list.setNameTemplate(nameTemplate.c_str()), 1);
    std::string name;
    EXPECT_EQ(ExpandNameTemplate(list, -1, 0, group, name), 1) << nameTemplate;
    return name;
}

TEST(NameTemplate, PreviewSceneExamples) {
    struct Case {
        const char* nameTemplate;
        const char* expected;
    };
    const Case cases[] = {
        {"%N3_%Q", "001_SrcFile.avi"},
        {"%Q_%N3", "SrcFile_001.avi"},
        {"%S", "00025.avi"},
        {"%O", "00126.avi"},
        {"%S0", "25.avi"},
        {"%L", "00-00-04-02.avi"},
        {"%T", "01-12-00-05.avi"},
        {"%D", "1970-02-11_00-00-00.avi"},
        {"%%Q", "SrcFile.avi"},
        {"a%X", "a%X.avi"},
        {"%Q%", "SrcFile.avi"},
        {"%", ".avi"},
        {"%N12", "12.avi"},  // only one width digit is read
        {"%n2-%q-%z-%c-%g", "01-SrcFile-DstFile-Comment-Gruppe.avi"},
        {"%M", "001.avi"},
        {"Urlaub", "Urlaub.avi"},
    };
    for (const Case& c : cases) EXPECT_EQ(preview(c.nameTemplate), c.expected) << c.nameTemplate;
}

TEST(NameTemplate, ListScenesNumbersAndLimits) {
    scene::SceneList list;
    for (int i = 0; i < 3; ++i) ASSERT_GE(list.AddNewScene(), 0);
    list.setSourceFile(2, "/video/dir.with.dots/Ferien.2006.avi");
    list.setStartFrame(2, 0);
    list.setStopFrame(2, 90000 * 2 + 24);  // two hours and 25 frames
    list.setNameTemplate("%N_%M4_%Q_%L");
    std::string name;
    EXPECT_EQ(ExpandNameTemplate(list, 2, 3, "g", name), 1);
    EXPECT_EQ(name, "003_0006_Ferien.2006_02-00-01-00.avi");
    EXPECT_EQ(ExpandNameTemplate(list, 3, 0, "g", name), -1);

    std::string longComment(1000, 'c');
    list.setComment(0, longComment);
    list.setNameTemplate("%C%C");
    EXPECT_EQ(ExpandNameTemplate(list, 0, 0, "g", name), 1);
    EXPECT_EQ(name.size(), 2004u);
    list.setNameTemplate("%C%C_");
    EXPECT_EQ(ExpandNameTemplate(list, 0, 0, "g", name), -3);
}

TEST(NameTemplate, InvalidCharacters) {
    EXPECT_EQ(FindInvalidNameChar("001_SrcFile.avi"), 15u);
    EXPECT_EQ(FindInvalidNameChar(""), 0u);
    for (char c : std::string("\"*/:<>?\\|")) EXPECT_EQ(FindInvalidNameChar(std::string("ab") + c + "d"), 2u) << c;
}

class NameCheck : public ::testing::Test {
protected:
    void SetUp() override {
        app::useGermanStrings();
        ASSERT_GE(list.AddNewScene(), 0);
        list.setSourceFile(0, "/v/Src.avi");
    }
    scene::SceneList list;
    test::ScriptedUserInterface ui;
};

TEST_F(NameCheck, GoodNameIsJoinedToItsDirectory) {
    std::string path;
    EXPECT_EQ(makeSceneFileName(list, 0, 0, "g", "/out/2006", ui, &path), 1);
    EXPECT_EQ(path, "/out/2006/Src_001.avi");
    EXPECT_EQ(makeSceneFileName(list, 0, 0, "g", "/out/", ui, &path), 1);
    EXPECT_EQ(path, "/out/Src_001.avi");
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(NameCheck, FailuresNameTheirCause) {
    std::string path = "untouched";
    list.setComment(0, "a/b");
    list.setNameTemplate("x%C");
    EXPECT_EQ(makeSceneFileName(list, 0, 0, "g", "/out", ui, &path), -2);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, app::loadString(409) + "\nFilename: xa/b.avi\nPosition: 3\nChar:    /");

    EXPECT_EQ(makeSceneFileName(list, 5, 0, "g", "/out", ui, &path), -1);
    EXPECT_EQ(ui.messages().back().text, app::loadString(406) + "\nCode: -1");

    list.setNameTemplate("%Q");
    std::string dir = "/" + std::string(251, 'd');  // 252 + "/" + "Src.avi" = 260
    EXPECT_EQ(makeSceneFileName(list, 0, 0, "g", dir, ui, &path), 1);
    EXPECT_EQ(path.size(), 260u);
    EXPECT_EQ(makeSceneFileName(list, 0, 0, "g", dir + "d", ui, &path), -3);
    EXPECT_EQ(ui.messages().back().text, app::loadString(138) + "\nFile: " + dir + "d/Src.avi");
}

TEST_F(NameCheck, PreviewMarksInvalidTemplates) {
    TemplatePreview p = previewTemplate(list, "%N3_%G", ui);
    EXPECT_TRUE(p.valid);
    EXPECT_EQ(p.text, "001_Gruppe.avi");
    EXPECT_EQ(list.nameTemplate(), "%N3_%G");

    p = previewTemplate(list, "%Q:%T", ui);
    EXPECT_FALSE(p.valid);
    EXPECT_EQ(p.text, "ERROR");
    EXPECT_TRUE(p.invalidCharInTemplate);
    EXPECT_EQ(p.invalidCharAt, 2u);
    EXPECT_EQ(ui.messages().back().text, app::loadString(409) + "\nChar:    :");

    // Long, but only reported.
    p = previewTemplate(list, std::string(250, 'x'), ui);
    EXPECT_TRUE(p.valid);
    EXPECT_EQ(ui.messages().back().text, app::loadString(138) + "\nFile: " + std::string(250, 'x') + ".avi");
}

}  // namespace
}  // namespace klemora::output
