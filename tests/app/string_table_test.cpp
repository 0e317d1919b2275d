#include "app/string_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string_view>
#include <thread>
#include <vector>

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

// Readers keep every reference they got while the language is switched back
// and forth; the sanitizer build sees any freed text or racing read.
TEST(StringTable, ReferencesStayValidWhileALanguageIsLoaded) {
    test::TempDir dir;
    std::string path = dir.file("test.lang");
    test::writeTextFile(path, "140\tno more scenes\n114\tgo on?\n");
    std::atomic<int> finished{0};
    std::vector<std::thread> readers;
    std::vector<std::vector<const std::string*>> seen(3);
    for (auto& got : seen) {
        readers.emplace_back([&finished, &got] {
            for (int i = 0; i < 20000; ++i) got.push_back(&loadString(i % 2 ? 140 : 114));
            ++finished;
        });
    }
    while (finished.load() < static_cast<int>(readers.size())) {
        ASSERT_TRUE(loadLanguageFile(path));
        useGermanStrings();
    }
    ASSERT_TRUE(loadLanguageFile(path));
    for (auto& reader : readers) reader.join();
    for (const auto& got : seen) {
        for (const std::string* text : got) EXPECT_TRUE(*text == "no more scenes" || *text == germanStrings().at(140) ||
                                                        *text == "go on?" || *text == germanStrings().at(114));
    }
    EXPECT_EQ(loadString(140), "no more scenes");
    EXPECT_FALSE(usingGerman());
    useGermanStrings();
    EXPECT_TRUE(usingGerman());
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
