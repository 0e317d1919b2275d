// The rules of the settings dialog and the information dialog's texts,
// without the widgets: what is read, what is written, when a restart is
// due, which file is shown and how its lines are cut.
#include <gtest/gtest.h>

#include <fstream>

#include "app/general_settings.h"
#include "app/readme_text.h"
#include "app/string_table.h"
#include "app/user_locale.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using app::UiLanguage;

TEST(UserLocale, GermanLocalesAndTheRest) {
    EXPECT_EQ(app::languageIdOfLocale("de_CH.UTF-8"), 2055);
    EXPECT_EQ(app::languageIdOfLocale("de_AT@euro"), 3079);
    EXPECT_EQ(app::languageIdOfLocale("de_BE.UTF-8"), 1031);  // German, region unknown
    EXPECT_EQ(app::languageIdOfLocale("C.UTF-8"), 1033);
    for (int id : {1031, 2055, 3079, 4103, 5127}) EXPECT_TRUE(app::isGermanLanguageId(id)) << id;
    for (int id : {1033, 2057, 1036, 1043}) EXPECT_FALSE(app::isGermanLanguageId(id)) << id;
}

class GeneralSettingsTest : public ::testing::Test {
protected:
    GeneralSettingsTest() : store(dir.file("Klemora.ini")) {}
    TempDir dir;
    app::SettingsStore store;
};

TEST_F(GeneralSettingsTest, AFreshStoreOnSwissGermanPicksGermanAndOkStoresItWithTheNotice) {
    app::GeneralSettings opened = app::readGeneralSettings(store, 2055);
    EXPECT_EQ(opened.language, UiLanguage::German);
    EXPECT_FALSE(opened.languageChosen);
    EXPECT_EQ(opened.sliderJump, 25);
    EXPECT_TRUE(opened.backup);
    EXPECT_EQ(opened.backupInterval, 1);
    EXPECT_TRUE(opened.respectAspect);
    EXPECT_FALSE(opened.appendDatestamp);
    EXPECT_TRUE(app::writeGeneralSettings(store, opened, opened));
    EXPECT_EQ(store.readText("Lang", "?"), "DE");
    // Chosen now: the same OK again needs no restart.
    app::GeneralSettings again = app::readGeneralSettings(store, 2055);
    EXPECT_FALSE(app::writeGeneralSettings(store, again, again));
}

TEST_F(GeneralSettingsTest, AStoredNlShowsEnglishAndIsStoredAsUs) {
    store.writeText("Lang", "NL");
    app::GeneralSettings opened = app::readGeneralSettings(store, 1031);
    EXPECT_EQ(opened.language, UiLanguage::English);
    EXPECT_TRUE(opened.languageChosen);
    EXPECT_FALSE(app::writeGeneralSettings(store, opened, opened));
    EXPECT_EQ(store.readText("Lang", "?"), "US");
}

TEST_F(GeneralSettingsTest, OnlyLanguageJumpAndBackupNeedARestart) {
    store.writeText("Lang", "DE");
    const app::GeneralSettings opened = app::readGeneralSettings(store, 1033);
    auto changed = [&](auto change) {
        app::GeneralSettings now = opened;
        change(now);
        return app::writeGeneralSettings(store, now, opened);
    };
    EXPECT_TRUE(changed([](app::GeneralSettings& s) { s.language = UiLanguage::English; }));
    EXPECT_TRUE(changed([](app::GeneralSettings& s) { s.sliderJump = 50; }));
    EXPECT_TRUE(changed([](app::GeneralSettings& s) { s.backup = false; }));
    EXPECT_TRUE(changed([](app::GeneralSettings& s) { s.backupInterval = 7; }));
    EXPECT_FALSE(changed([](app::GeneralSettings& s) { s.pictureClipping = 12; }));
    EXPECT_FALSE(changed([](app::GeneralSettings& s) { s.respectAspect = false; }));
    EXPECT_FALSE(changed([](app::GeneralSettings& s) { s.appendDatestamp = true; }));
    EXPECT_EQ(store.readInt("includeDS", -1), 1);
    EXPECT_EQ(store.readInt("BackupIntervall", -1), 1);  // the last write was the opened interval
}

TEST(RestartNotice, BothLanguagesWithAnEmptyLineBetween) {
    app::useGermanStrings();
    EXPECT_EQ(app::restartNoticeText(),
              "Klemora muss neu gestartet werden, damit die Änderungen wirksam werden.\n\n"
              "You have to restart Klemora to make the changes valid.");
}

TEST(ReadmeText, TheFileFollowsTheLanguage) {
    EXPECT_EQ(app::readmeFilesFor("").readme, "us_readme.txt");
    EXPECT_EQ(app::readmeFilesFor("US").license, "us_license.txt");
    EXPECT_EQ(app::readmeFilesFor("nl").readme, "nl_leesmij.txt");
    EXPECT_EQ(app::readmeFilesFor("DE").license, "de_lizenz.txt");
    EXPECT_TRUE(app::readmeFilesFor("de").german);
    EXPECT_EQ(app::readmeFilesFor("HU").readme, "hu_olvassel.txt");
    EXPECT_EQ(app::readmeFilesFor("FR").license, "fr_licensz.txt");
}

TEST(ReadmeText, MissingEmptyAndLongLines) {
    TempDir dir;
    EXPECT_EQ(app::readmeFieldText(dir.path(), "nl_leesmij.txt", false),
              "File 'nl_leesmij.txt' not found in program directory!");
    EXPECT_EQ(app::readmeFieldText(dir.path(), "de_liesmich.txt", true),
              "Datei 'de_liesmich.txt' nicht im Programmverzeichnis gefunden!");
    { std::ofstream(dir.file("us_readme.txt")); }
    EXPECT_EQ(app::readmeFieldText(dir.path(), "us_readme.txt", false), "");
    {
        std::ofstream out(dir.file("us_license.txt"));
        out << std::string(600, 'x') << "\nshort\r\nlast";
    }
    EXPECT_EQ(app::readmeFieldText(dir.path(), "us_license.txt", false),
              std::string(254, 'x') + "\r\n" + std::string(254, 'x') + "\r\n" + std::string(92, 'x') +
                  "\r\nshort\r\nlast\r\n");
}

}  // namespace
}  // namespace klemora::test
