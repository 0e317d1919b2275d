#include "app/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "app/file_io.h"
#include "app/ini_text.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::app {
namespace {

using test::readTextFile;
using test::TempDir;
using test::writeTextFile;

TEST(SettingsStore, ReadsGiveTheDefaultUnlessAValueParses) {
    TempDir dir;
    SettingsStore store(dir.file("Klemora.ini"));
    EXPECT_EQ(store.readInt("SliderJump", 25), 25);  // no file yet
    writeTextFile(store.path(),
                  "[data]\r\nSliderJump=40frames\r\nEmpty=\r\nWord=abc\r\nNeg= -7\r\nText = \"quoted value\" \r\n");
    EXPECT_EQ(store.readInt("SLIDERJUMP", 25), 40);  // names ignore case, trailing garbage ignored
    EXPECT_EQ(store.readInt("Empty", 3), 3);
    EXPECT_EQ(store.readInt("Word", 3), 3);
    EXPECT_EQ(store.readInt("Neg", 3), -7);
    EXPECT_EQ(store.readText("text", "x"), "quoted value");
    EXPECT_EQ(store.readText("Missing", "fallback"), "fallback");
    EXPECT_EQ(store.readInt("Other", "SliderJump", 9), 9);  // other section
}

TEST(SettingsStore, WritesCreateTheFileAndKeepEveryOtherLine) {
    TempDir dir;
    SettingsStore store(dir.file("Klemora.ini"));
    ASSERT_TRUE(store.writeInt("WriteLogfile", 2));
    EXPECT_EQ(store.readInt("WriteLogfile", 0), 2);
    writeTextFile(store.path(), "; comment\r\n[Window]\r\nX=5\r\n[Data]\r\nLang=DE\r\nWriteLogfile=2\r\n");
    ASSERT_TRUE(store.writeText("lang", "US"));
    ASSERT_TRUE(store.writeInt("BackupIntervall", 5));
    EXPECT_EQ(readTextFile(store.path()),
              "; comment\r\n[Window]\r\nX=5\r\n[Data]\r\nLang=US\r\nWriteLogfile=2\r\nBackupIntervall=5\r\n");
}

TEST(SettingsStore, ValueWithLineBreakCannotInjectAKey) {
    std::string text = setIniValue("", "Data", "Comment", "a\nLang=XX");
    EXPECT_EQ(findIniValue(text, "Data", "Lang"), std::nullopt);
    EXPECT_EQ(findIniValue(text, "Data", "Comment"), "a Lang=XX");
}

TEST(SettingsStore, WriteIntoReadOnlyFolderFailsSilently) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0500);
    SettingsStore store(dir.file("Klemora.ini"));
    EXPECT_FALSE(store.writeInt("SliderJump", 3));
    EXPECT_EQ(store.readInt("SliderJump", 25), 25);
    ::chmod(dir.path().c_str(), 0700);
}

TEST(SettingsStore, WriteIntoMissingFolderFailsSilently) {
    SettingsStore store("/nonexistent-klemora-folder/Klemora.ini");
    EXPECT_FALSE(store.writeText("Lang", "DE"));
    EXPECT_EQ(store.readText("Lang", "none"), "none");
}

TEST(SettingsStore, InterleavedWritersLoseNoKey) {
    TempDir dir;
    const std::string path = dir.file("Klemora.ini");
    auto writer = [&path](const std::string& prefix) {
        SettingsStore store(path);
        for (int i = 0; i < 60; ++i) {
            store.writeInt(prefix + std::to_string(i), i);
            store.readInt(prefix + "0", -1);
        }
    };
    std::thread a(writer, "A"), b(writer, "B");
    a.join();
    b.join();
    SettingsStore store(path);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(store.readInt("A" + std::to_string(i), -1), i);
        EXPECT_EQ(store.readInt("B" + std::to_string(i), -1), i);
    }
}

// What --ini may be pointed at by mistake; none of it is read or written.
struct ForeignFile {
    const char* name;
    std::function<void(const std::string& path)> make;
};

std::ostream& operator<<(std::ostream& out, const ForeignFile& f) { return out << f.name; }

class NotASettingsFile : public ::testing::TestWithParam<ForeignFile> {};

TEST_P(NotASettingsFile, IsRefusedUntouchedAndReadsGiveDefaults) {
    TempDir dir;
    const std::string path = dir.file("target");
    GetParam().make(path);
    auto type = std::filesystem::status(path).type();
    // Only a regular file is read back: opening a FIFO would wait for a writer.
    auto content = [&] { return type == std::filesystem::file_type::regular ? readWholeFile(path) : std::nullopt; };
    std::optional<std::string> before = content();
    SettingsStore store(path);
    EXPECT_FALSE(store.isUsable());
    EXPECT_EQ(store.readInt("SliderJump", 25), 25);
    EXPECT_FALSE(store.writeInt("SliderJump", 3));
    EXPECT_FALSE(store.writeText("Lang", "DE"));
    EXPECT_EQ(std::filesystem::status(path).type(), type);
    EXPECT_EQ(content(), before);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);  // no temporary left beside it
}

const ForeignFile kForeignFiles[] = {
    {"DvVideo",
     [](const std::string& p) { ASSERT_EQ(fixtures::writeDvAvi(p, fixtures::singleSessionOptions(5)), 1); }},
    {"TextWithoutKeys", [](const std::string& p) { writeTextFile(p, "[Data]\nSliderJump=40\nJust a sentence.\n"); }},
    {"IniWithNulByte", [](const std::string& p) { writeTextFile(p, std::string("[Data]\nSliderJump=40\n\0", 22)); }},
    {"TooLarge", [](const std::string& p) { writeTextFile(p, std::string(kMaxSettingsFileBytes + 1, '\n')); }},
    {"Folder", [](const std::string& p) { std::filesystem::create_directory(p); }},
    {"Fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},  // must not hang
};

INSTANTIATE_TEST_SUITE_P(Files, NotASettingsFile, ::testing::ValuesIn(kForeignFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsStore, EmptyMissingAndIniTextAreSettingsFiles) {
    TempDir dir;
    EXPECT_TRUE(SettingsStore(dir.file("missing.ini")).isUsable());
    writeTextFile(dir.file("empty.ini"), "");
    EXPECT_TRUE(SettingsStore(dir.file("empty.ini")).isUsable());
    SettingsStore edited(dir.file("edited.ini"));
    writeTextFile(edited.path(), "\xEF\xBB\xBF; by hand\n# note\n\n [Data] \n Lang = DE\nEmpty=\n");
    EXPECT_TRUE(edited.isUsable());
    EXPECT_EQ(edited.readText("Lang", "US"), "DE");
    EXPECT_TRUE(edited.writeInt("SliderJump", 10));
    EXPECT_EQ(edited.readInt("SliderJump", 25), 10);
}

TEST(SettingsStore, LeadingIntegerRules) {
    int v = 0;
    EXPECT_TRUE(parseLeadingInt("  12x", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(parseLeadingInt("+3", v));
    EXPECT_EQ(v, 3);
    EXPECT_FALSE(parseLeadingInt("-", v));
    EXPECT_FALSE(parseLeadingInt("", v));
    EXPECT_TRUE(parseLeadingInt("99999999999", v));
    EXPECT_EQ(v, 2147483647);
}

}  // namespace
}  // namespace klemora::app
