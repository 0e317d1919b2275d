#include <gtest/gtest.h>

#include "app/file_version.h"
#include "app/framework_check.h"
#include "app/language_setup.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "app/string_table.h"
#include "tests/support/recording_power.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::app {
namespace {

using test::ScriptedUserInterface;
using test::RecordingPower;
using test::TempDir;

class LanguageSetupTest : public ::testing::Test {
protected:
    void TearDown() override { useGermanStrings(); }
    void writeLanguageFile(const std::string& version) {
        test::writeTextFile(dir.file(kLanguageFileName), "VERSION\t" + version + "\n140\tNo more scenes!\n");
    }
    TempDir dir;
    SettingsStore store{dir.file("Klemora.ini")};
    ScriptedUserInterface ui;
};

TEST_F(LanguageSetupTest, EmptyLanguageIsTheFirstStart) {
    EXPECT_EQ(setupLanguage(store, ui, dir.path()), LanguageOutcome::FirstStart);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(LanguageSetupTest, GermanUsesTheBuiltInTable) {
    store.writeText("Lang", "de");
    EXPECT_EQ(setupLanguage(store, ui, dir.path()), LanguageOutcome::German);
    EXPECT_TRUE(usingGerman());
    EXPECT_EQ(loadString(140), germanStrings().at(140));
}

TEST_F(LanguageSetupTest, UnsupportedLanguageBecomesEnglish) {
    writeLanguageFile("3.0.6.0");
    store.writeText("Lang", "nl");
    EXPECT_EQ(setupLanguage(store, ui, dir.path()), LanguageOutcome::English);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text,
              "Klemora does not support your selected language in this version. Sorry.\nThe selected language will be "
              "changed to 'English' for now.");
    EXPECT_EQ(ui.messages()[0].icon, Icon::Stop);
    EXPECT_EQ(store.readText("Lang", ""), "US");
    EXPECT_EQ(loadString(140), "No more scenes!");
}

struct FailureCase {
    const char* lang;
    const char* fileContent;  // nullptr: no language file
    const char* first;
    const char* second;
};

class LanguageFailureTest : public LanguageSetupTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LanguageFailureTest, ShowsBothMessagesAndClearsTheLanguage) {
    const FailureCase& c = GetParam();
    if (c.fileContent) test::writeTextFile(dir.file(kLanguageFileName), c.fileContent);
    store.writeText("Lang", c.lang);
    EXPECT_EQ(setupLanguage(store, ui, dir.path()), LanguageOutcome::EndProgram);
    ASSERT_EQ(ui.messages().size(), 2u) << ui.allMessages();
    EXPECT_EQ(ui.messages()[0].text, c.first);
    EXPECT_EQ(ui.messages()[1].text, c.second);
    EXPECT_EQ(store.readText("Lang", "unset"), "");
    EXPECT_TRUE(usingGerman());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LanguageFailureTest,
    ::testing::Values(
        FailureCase{"US", nullptr,
                    "Can't get the VersionInfo for the language DLL 'US'! Perhaps the language DLL file does not exist?",
                    "Please restart Klemora and use another language."},
        FailureCase{"US", "VERSION\t3.0.5.0\n1\tx\n", "The language DLL for 'US' has not the correct version!",
                    "Please restart Klemora and use another language or install the correct DLL version."},
        FailureCase{"US", "VERSION\t3.0.6.0\nbroken line without tab\n",
                    "Error while loading the language DLL for 'US'!",
                    "Please restart Klemora and use another language."},
        FailureCase{"xx", nullptr, "Error while loading the language DLL for 'XX'!",
                    "Please restart Klemora and use another language."}));

TEST(ReadFileVersion, ReadsFourPartsOrFails) {
    TempDir dir;
    std::string version;
    EXPECT_EQ(ReadFileVersion(dir.file("none"), version), -1);
    test::writeTextFile(dir.file("a"), "# c\nVERSION\t3.0.6.0\n");
    EXPECT_EQ(ReadFileVersion(dir.file("a"), version), 1);
    EXPECT_EQ(version, "3.0.6.0");
    test::writeTextFile(dir.file("b"), "1\tx\n");
    EXPECT_EQ(ReadFileVersion(dir.file("b"), version), -2);
    test::writeTextFile(dir.file("c"), "VERSION\t3.0.70000.0\n");
    EXPECT_EQ(ReadFileVersion(dir.file("c"), version), -2);
}

TEST(ShippedLanguageFile, CarriesTheExpectedVersion) {
    std::string version;
    ASSERT_EQ(ReadFileVersion(test::testBinFolder() + "/" + kLanguageFileName, version), 1);
    EXPECT_EQ(version, kLanguageFileVersion);
}

class FrameworkCheckTest : public ::testing::Test {
protected:
    TempDir dir;
    SettingsStore store{dir.file("Klemora.ini")};
    ScriptedUserInterface ui;
};

TEST_F(FrameworkCheckTest, ReportsEachCase) {
    EXPECT_TRUE(checkMediaFramework({false, 0, ""}, store, ui));
    EXPECT_EQ(ui.messages().back().text, loadString(322));
    EXPECT_EQ(ui.messages().back().icon, Icon::Information);

    EXPECT_FALSE(checkMediaFramework({true, 0, ""}, store, ui));
    EXPECT_EQ(ui.messages().back().text, loadString(320));
    EXPECT_EQ(ui.messages().back().icon, Icon::Stop);

    EXPECT_TRUE(checkMediaFramework({true, (57u * 256 + 83) * 256 + 100, "57.83.100"}, store, ui));
    EXPECT_EQ(ui.messages().back().text, loadString(321) + "\nInstalled DX version: 57.83.100");
    EXPECT_EQ(store.readInt("dxTested", 0), 0);

    size_t shown = ui.messages().size();
    EXPECT_TRUE(checkMediaFramework({true, (59u * 256 + 27) * 256 + 100, "59.27.100"}, store, ui));
    EXPECT_EQ(ui.messages().size(), shown);
    EXPECT_EQ(store.readInt("dxTested", 0), 1);
    // Once passed, even a broken report is not checked again.
    EXPECT_TRUE(checkMediaFramework({true, 0, ""}, store, ui));
    EXPECT_EQ(ui.messages().size(), shown);
}

class StartupTest : public LanguageSetupTest {
protected:
    StartupTest() {
        facts.programFolder = dir.path();
        facts.framework = {true, (59u * 256 + 27) * 256 + 100, "59.27.100"};
        facts.screenWidth = 800;
        facts.screenHeight = 600;
    }
    StartupResult start() {
        return startUp(store, facts, ui, [this] { ++firstStarts; });
    }
    StartupFacts facts;
    int firstStarts = 0;
};

TEST_F(StartupTest, AFreshInstallationOpensTheSettingsAndEnds) {
    StartupResult result = start();
    EXPECT_FALSE(result.runMainWindow);
    EXPECT_EQ(firstStarts, 1);
    EXPECT_TRUE(ui.messages().empty());
}

TEST_F(StartupTest, TheScreenMustBeAtLeast800By600) {
    store.writeText("Lang", "DE");
    store.writeInt("WriteLogfile", 2);
    StartupResult result = start();
    EXPECT_TRUE(result.runMainWindow);
    EXPECT_EQ(result.log.level(), 2);
    facts.screenWidth = 799;
    EXPECT_FALSE(start().runMainWindow);
    EXPECT_EQ(ui.messages().back().text, loadString(362));
    EXPECT_EQ(ui.messages().back().icon, Icon::Information);
    facts.screenWidth = 1024;
    facts.screenHeight = 599;
    EXPECT_FALSE(start().runMainWindow);
    EXPECT_EQ(firstStarts, 0);
}

TEST_F(StartupTest, NoMediaFrameworkEndsBeforeTheScreenCheck) {
    store.writeText("Lang", "DE");
    facts.framework = {true, 0, ""};
    facts.screenWidth = 100;
    EXPECT_FALSE(start().runMainWindow);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, loadString(320));
}

TEST_F(StartupTest, ALowerCaseNlIsReportedAndRunsInEnglish) {
    store.writeText("Lang", "nl");
    writeLanguageFile(kLanguageFileVersion);
    EXPECT_TRUE(start().runMainWindow);
    EXPECT_EQ(store.readText("Lang", ""), "US");
    EXPECT_EQ(loadString(140), "No more scenes!");
    EXPECT_TRUE(ui.hasMessage("does not support your selected language"));
}

TEST(ShutdownPc, AcceptedOrRefusedWithMessage) {
    ScriptedUserInterface ui;
    RecordingPower yes(true), no(false);
    EXPECT_EQ(ShutdownPc(yes, ui), 1);
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(ShutdownPc(no, ui), -1);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].text, loadString(126));
    EXPECT_EQ(yes.requests + no.requests, 2);
}

}  // namespace
}  // namespace klemora::app
