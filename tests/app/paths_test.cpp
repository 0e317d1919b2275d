#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "app/file_version.h"
#include "app/paths.h"
#include "tests/support/temp_dir.h"

namespace klemora::app {
namespace {

using test::ScopedEnv;
using test::TempDir;

class ProgramLayoutTest : public ::testing::Test {
protected:
    std::string folder(const std::string& relative) {
        std::filesystem::create_directories(root.file(relative));
        return root.file(relative);
    }
    TempDir root;
    ScopedEnv noIni{"KLEMORA_INI", nullptr};
    ScopedEnv config{"XDG_CONFIG_HOME", root.file("config").c_str()};
};

TEST_F(ProgramLayoutTest, BuildTreeKeepsEverythingBesideTheExecutable) {
    const std::string bin = folder("build/bin");
    folder("build/share/klemora");  // a stray share folder does not win over files beside the program
    test::writeTextFile(bin + "/" + kLanguageFileName, "VERSION\t3.0.6\n");
    ProgramLayout layout = programLayoutFor(bin);
    EXPECT_EQ(layout.programFolder, bin);
    EXPECT_TRUE(layout.filesBesideExecutable);
    EXPECT_EQ(settingsFilePathFor(layout), bin + "/Klemora.ini");

    // The help pages alone also mark a portable copy.
    const std::string portable = folder("portable");
    folder("portable/HtmlDoku");
    EXPECT_EQ(programLayoutFor(portable).programFolder, portable);
    EXPECT_TRUE(programLayoutFor(portable).filesBesideExecutable);
}

TEST_F(ProgramLayoutTest, PrefixTakesTheFilesFromShareAndTheSettingsFromTheConfigFolder) {
    const std::string bin = folder("usr/bin");
    const std::string share = folder("usr/share/klemora");
    ProgramLayout layout = programLayoutFor(bin);
    EXPECT_EQ(layout.executableFolder, bin);
    EXPECT_EQ(layout.programFolder, share);
    EXPECT_FALSE(layout.filesBesideExecutable);
    // Even a writable prefix, or one with a Klemora.ini lying in it, is not written.
    test::writeTextFile(share + "/Klemora.ini", "[Data]\n");
    EXPECT_EQ(settingsFilePathFor(layout), root.file("config/klemora/Klemora.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(root.file("config/klemora")));
}

TEST_F(ProgramLayoutTest, NoProgramFilesAnywhereFallsBackToTheExecutableFolderWithoutWritingThere) {
    const std::string bin = folder("lonely/bin");
    ProgramLayout layout = programLayoutFor(bin);
    EXPECT_EQ(layout.programFolder, bin);
    EXPECT_FALSE(layout.filesBesideExecutable);
    EXPECT_EQ(settingsFilePathFor(layout), root.file("config/klemora/Klemora.ini"));
}

TEST_F(ProgramLayoutTest, ReadOnlyPortableFolderUsesItsSettingsOnlyWhenTheyExist) {
    const std::string bin = folder("ro");
    folder("ro/HtmlDoku");
    ::chmod(bin.c_str(), 0555);
    struct Restore {
        std::string path;
        ~Restore() { ::chmod(path.c_str(), 0755); }
    } restore{bin};
    if (::access(bin.c_str(), W_OK) == 0) GTEST_SKIP() << "running with rights that ignore folder modes";
    ProgramLayout layout = programLayoutFor(bin);
    EXPECT_EQ(settingsFilePathFor(layout), root.file("config/klemora/Klemora.ini"));
    ::chmod(bin.c_str(), 0755);
    test::writeTextFile(bin + "/Klemora.ini", "[Data]\n");
    ::chmod(bin.c_str(), 0555);
    EXPECT_EQ(settingsFilePathFor(layout), bin + "/Klemora.ini");
}

TEST_F(ProgramLayoutTest, ExplicitPathAndEnvironmentComeFirst) {
    const std::string bin = folder("build/bin");
    folder("build/bin/HtmlDoku");
    ProgramLayout layout = programLayoutFor(bin);
    ScopedEnv ini("KLEMORA_INI", root.file("env.ini").c_str());
    EXPECT_EQ(settingsFilePathFor(layout), root.file("env.ini"));
    EXPECT_EQ(settingsFilePathFor(layout, root.file("given.ini")), root.file("given.ini"));
}

}  // namespace
}  // namespace klemora::app
