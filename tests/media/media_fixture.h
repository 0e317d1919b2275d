#pragma once
// A test's own folder, settings file, log folder and scripted seam.
#include <gtest/gtest.h>

#include <string>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "media/media_settings.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/media/media_test_support.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {

class MediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldSettings = app::settings().path();
        app::settings().setPath(dir.file("Klemora.ini"));
    }
    void TearDown() override {
        app::settings().setPath(m_oldSettings);
    }

    // A DV fixture file; fails the test when the generator fails.
    std::string dvFile(const std::string& name, fixtures::DvFixtureOptions options) {
        std::string path = dir.file(name);
        std::string error;
        EXPECT_EQ(fixtures::writeDvAvi(path, options, nullptr, &error), 1) << error;
        return path;
    }
    static fixtures::DvFixtureOptions dvOptions(int type, bool ntsc, int32_t frames = 30) {
        return fixtures::singleSessionOptions(frames, type, ntsc);
    }

    // What a run would take from the settings file now.
    static media::MediaSettings stored() { return media::readMediaSettings(app::settings()); }

    TempDir dir;
    ScriptedUserInterface ui;

private:
    std::string m_oldSettings;
};

// The ffmpeg command line serves as the independent check; tests skip without it.
inline bool haveFfmpeg() { return haveTool("ffmpeg") && haveTool("ffprobe"); }

}  // namespace klemora::test
