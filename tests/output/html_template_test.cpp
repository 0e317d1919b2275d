#include "output/html_template.h"

#include <gtest/gtest.h>

#include "app/string_table.h"
#include "output/html_index.h"
#include "output/html_result.h"
#include "output/html_settings.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::output {
namespace {

TEST(HtmlTemplate, ColumnsLineWithTheNumberRightAfterTheKeyword) {
    HtmlTemplate t;
    ASSERT_EQ(parseTemplate("#DEFAULTCOLUMNS4\n<b>#SCENENUMBER</b>\n", t), 1);
    EXPECT_EQ(t.defaultColumns, 4);
    EXPECT_EQ(t.lines, std::vector<std::string>{"<b>#SCENENUMBER</b>"});

    // A blank ends the number before it starts: 0 columns, which generating refuses.
    ASSERT_EQ(parseTemplate("#DEFAULTCOLUMNS 4\nx\n", t), 1);
    EXPECT_EQ(t.defaultColumns, 0);
    EXPECT_EQ(t.lines.size(), 1u);
    app::useGermanStrings();
    test::ScriptedUserInterface ui;
    EXPECT_EQ(checkIndexRequest(*t.defaultColumns, "a.tpl", ui), code(HtmlIndexResult::TooFewColumns));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, "Die Anzahl der Spalten muss mindestens '1' sein!");
    EXPECT_EQ(checkIndexRequest(3, "", ui), code(HtmlIndexResult::NoTemplate));
    EXPECT_EQ(ui.messages().back().text, "Es ist keine Template-Datei angegeben!");

    // Only the first such line counts; a commented one not at all.
    ASSERT_EQ(parseTemplate("#REM #DEFAULTCOLUMNS9\n<p>#DEFAULTCOLUMNS2</p>\n#DEFAULTCOLUMNS7\n", t), 1);
    EXPECT_EQ(t.defaultColumns, 2);
    EXPECT_TRUE(t.lines.empty());
    ASSERT_EQ(parseTemplate("a\n", t), 1);
    EXPECT_FALSE(t.defaultColumns.has_value());
}

TEST(HtmlTemplate, CommentAndEmptyLinesNeverReachTheCell) {
    HtmlTemplate t;
    std::string text =
        "\xEF\xBB\xBF#REM header\r\n"
        "<td>\r\n"
        "\r\n"
        "\n"
        "text #REM in the middle\n"
        "  \n"
        "tail#REM\n"
        "last line without end";
    ASSERT_EQ(parseTemplate(text, t), 1);
    EXPECT_EQ(t.lines, (std::vector<std::string>{"<td>", "  ", "last line without end"}));

    // A file that is not UTF-8 is Windows-1252.
    ASSERT_EQ(parseTemplate("Gr\xFC\xDF" "e\n", t), 1);
    EXPECT_EQ(t.lines, std::vector<std::string>{"Gr\xC3\xBC\xC3\x9F" "e"});
}

TEST(HtmlTemplate, LimitsOfLinesAndLineLength) {
    HtmlTemplate t;
    std::string lines;
    for (int i = 0; i < kMaxTemplateLines; ++i) lines += "line\n#REM not counted\n\n";
    EXPECT_EQ(parseTemplate(lines, t), 1);
    EXPECT_EQ(t.lines.size(), static_cast<size_t>(kMaxTemplateLines));
    EXPECT_EQ(parseTemplate(lines + "one more\n", t), code(HtmlIndexResult::TemplateTooLarge));
    EXPECT_EQ(parseTemplate(std::string(kMaxTemplateLineLength, 'x') + "\r\n", t), 1);
    EXPECT_EQ(parseTemplate(std::string(kMaxTemplateLineLength + 1, 'x'), t), code(HtmlIndexResult::TemplateTooLarge));

    app::useGermanStrings();
    test::TempDir dir;
    test::ScriptedUserInterface ui;
    test::writeTextFile(dir.file("big.tpl"), lines + "one more\n");
    EXPECT_EQ(readTemplateFile(dir.file("big.tpl"), t, ui), code(HtmlIndexResult::TemplateTooLarge));
    EXPECT_EQ(readTemplateFile(dir.file("none.tpl"), t, ui), code(HtmlIndexResult::TemplateUnreadable));
    EXPECT_EQ(readTemplateFile(dir.path(), t, ui), code(HtmlIndexResult::TemplateUnreadable));
    ASSERT_EQ(ui.messages().size(), 3u);
    EXPECT_EQ(ui.messages()[1].text, "Fehler beim Öffnen der Datei!\nFile: " + dir.file("none.tpl"));
}

TEST(HtmlTemplate, NumberAfterAPlaceholder) {
    struct Case {
        const char* text;
        int value;
        size_t length;
    } cases[] = {
        {"50<br>", 50, 2}, {"7 ", 7, 1},     {"12.5", 12, 2},  {"3_x", 3, 1}, {"9&nbsp;", 9, 1},
        {"", 0, 0},        {"abc def", 0, 3}, {"12ab<", 12, 4}, {"-3 ", -3, 2}, {"99999999999 ", 2147483647, 11},
    };
    for (const Case& c : cases) {
        PlaceholderNumber n = readPlaceholderNumber(c.text);
        EXPECT_EQ(n.value, c.value) << c.text;
        EXPECT_EQ(n.tokenLength, c.length) << c.text;
    }
}

TEST(HtmlSettings, DialogValuesAndTheCommentsLineBreaks) {
    test::TempDir dir;
    app::SettingsStore store(dir.file("Klemora.ini"));
    HtmlIndexSettings values = loadHtmlIndexSettings(store);
    EXPECT_EQ(values.pictureWidth, 192);
    EXPECT_EQ(values.pictureHeight, 144);
    EXPECT_EQ(values.presetIndex, 2);
    EXPECT_EQ(values.columns, 1);
    EXPECT_TRUE(values.comment.empty());
    EXPECT_EQ(values.templateFolder, defaultTemplateFolder());

    values.comment = "Urlaub 2006\r\n<b>Teil 1</b>\nEnde";
    values.presetIndex = kCustomPreset;
    values.pictureWidth = 200;
    values.columns = 4;
    storeDialogSettings(store, values);
    EXPECT_EQ(store.readText("HtmlComment", ""), "Urlaub 2006+nr+<b>Teil 1</b>+nr+Ende");
    HtmlIndexSettings back = loadHtmlIndexSettings(store);
    EXPECT_EQ(back.comment, "Urlaub 2006\r\n<b>Teil 1</b>\r\nEnde");
    EXPECT_EQ(back.presetIndex, kCustomPreset);
    EXPECT_EQ(back.pictureWidth, 200);
    EXPECT_EQ(back.columns, 4);

    store.writeInt("HtmlPresetNr", 7);
    EXPECT_EQ(loadHtmlIndexSettings(store).presetIndex, 2);
    storeGenerationSettings(store, back, "/data/web/index.htm");
    EXPECT_EQ(store.readInt("HtmlPreset", 99), kCustomPreset);
    EXPECT_EQ(store.readText("HtmlDstPath", ""), "/data/web");
    storeTemplateChoice(store, "/data/tpl/a.tpl");
    EXPECT_EQ(store.readText("HtmlTemplatePath", ""), "/data/tpl/");
    EXPECT_EQ(store.readText("HtmlTemplateName", ""), "/data/tpl/a.tpl");

    EXPECT_EQ(presetIndexOf(48, 36), 0);
    EXPECT_EQ(presetIndexOf(768, 576), 4);
    EXPECT_EQ(presetIndexOf(768, 577), kCustomPreset);
}

}  // namespace
}  // namespace klemora::output
