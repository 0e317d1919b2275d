#include "app/string_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "tests/support/temp_dir.h"

namespace klemora::app {
namespace {

TEST(StringTable, ParsesEscapesCommentsAndVersion) {
    StringMap table;
    std::string version;
    ASSERT_TRUE(parseStringTable("# c\r\nVERSION\t1.2.3.4\n7\ta\\nb\\t\\\\\\\"\n\n8\t\n", table, &version));
    EXPECT_EQ(version, "1.2.3.4");
    EXPECT_EQ(table.at(7), "a\nb\t\\\"");
    EXPECT_EQ(table.at(8), "");
    EXPECT_FALSE(parseStringTable("12 no tab\n", table));
    EXPECT_FALSE(parseStringTable("1x\tbad number\n", table));
}

TEST(StringTable, MissingNumberIsImpossibleToMiss) {
    EXPECT_EQ(loadString(99999), "[[string 99999 missing]]");
}

TEST(StringTable, GermanTableHoldsTheQuotedTexts) {
    const StringMap& de = germanStrings();
    EXPECT_EQ(de.at(140), "Mehr Szenen können nicht eingefügt werden!");
    EXPECT_EQ(de.at(114), "Mit der restlichen Bearbeitung fortfahren?");
    EXPECT_GT(de.size(), 200u);
}

std::set<int> numbersUsedInCode() {
    std::set<int> used;
    const std::regex call(R"((?:loadString|textOf)\((\d+)\))");
    for (const char* dir : {"app", "scene", "avi", "detect", "output", "media", "camera", "cli", "gui"}) {
        std::filesystem::path root = std::filesystem::path(KLEMORA_SOURCE_DIR) / dir;
        if (!std::filesystem::exists(root)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            std::string text = test::readTextFile(entry.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it)
                used.insert(std::stoi((*it)[1]));
        }
    }
    return used;
}

TEST(StringTable, EveryNumberUsedInCodeExistsInBothLanguages) {
    StringMap english;
    ASSERT_TRUE(parseStringTable(test::readTextFile(test::testBinFolder() + "/english.lang"), english));
    std::set<int> used = numbersUsedInCode();
    EXPECT_FALSE(used.empty());
    for (int id : used) {
        EXPECT_TRUE(germanStrings().count(id)) << "German table lacks " << id;
        EXPECT_TRUE(english.count(id)) << "English table lacks " << id;
    }
}

TEST(StringTable, EnglishHasTheSameNumbersAsGerman) {
    StringMap english;
    ASSERT_TRUE(parseStringTable(test::readTextFile(test::testBinFolder() + "/english.lang"), english));
    std::set<int> de, en;
    for (auto& [id, text] : germanStrings()) de.insert(id);
    for (auto& [id, text] : english) en.insert(id);
    EXPECT_EQ(de, en);
}

}  // namespace
}  // namespace klemora::app
