// Ctrl+C, SIGTERM and SIGKILL during a real write, sent while the first
// scene is being written (its temporary file exists).
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "avi/avi_reader.h"
#include "tests/cli/cli_runner.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace klemora::test {
namespace {

namespace fs = std::filesystem;

struct FolderContents {
    int temporaries = 0;
    std::vector<std::string> finals;
};

FolderContents contents(const std::string& folder) {
    FolderContents out;
    if (!fs::is_directory(folder)) return out;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("new_avi-") && name.ends_with(".tmp")) ++out.temporaries;
        else if (name.ends_with(".avi")) out.finals.push_back(entry.path().string());
    }
    return out;
}

int32_t framesOf(const std::string& path) {
    avi::AviReader reader;
    return reader.Open(path, "r") == 1 ? reader.GetFrameCount() : -1;
}

// A stopped or killed run leaves only whole scenes under final names (a scene
// whose frames were all written may still be finished), never all of them.
void expectOnlyWholeScenes(const FolderContents& left) {
    EXPECT_LT(left.finals.size(), 2u);
    for (const std::string& file : left.finals) EXPECT_EQ(framesOf(file), 900) << file;
}

class CliInterrupt : public ::testing::Test {
protected:
    void SetUp() override {
        // Two long takes: the run is still in its first scene when the signal comes.
        fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(900);
        options.sessions.push_back({scene::recordingTimeOf(2006, 7, 2, 9, 0, 0), 900, std::nullopt});
        ASSERT_EQ(fixtures::writeDvAvi(source, options), 1);
        ASSERT_EQ(runCli({"--batch", "detect", source, "-o", project}, dir.path()).exitCode, 0);
        sourceBytes = fs::file_size(source);
    }

    // Starts the write, sends `signal` once a temporary file stands in the
    // destination, and returns the exit status (128 + n when killed by n).
    int writeAndSignal(int signal) {
        const std::string cli = testBinFolder() + "/klemora-cli";
        const std::string ini = "KLEMORA_INI=" + dir.file("Klemora.ini");
        std::vector<std::string> args = {cli,     "--batch", "write",       project, "--dest",
                                         dest,    "--set-dates", "--delete-sources"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<char*> env;
        std::string iniVar = ini;
        env.push_back(iniVar.data());
        for (char** e = environ; *e; ++e) env.push_back(*e);
        env.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, cli.c_str(), nullptr, nullptr, argv.data(), env.data()) != 0) return -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (contents(dest).temporaries == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    TempDir dir;
    const std::string source = dir.file("tape.avi");
    const std::string project = dir.file("tape.scn");
    const std::string dest = dir.file("out");
    uintmax_t sourceBytes = 0;
};

TEST_F(CliInterrupt, CtrlCAndTermStopTheWriteLikeItsStopButton) {
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        EXPECT_EQ(writeAndSignal(signal), 128 + signal);
        const FolderContents left = contents(dest);
        EXPECT_EQ(left.temporaries, 0);
        expectOnlyWholeScenes(left);
        ASSERT_TRUE(fs::exists(source)) << "a stopped run deletes no source";
        EXPECT_EQ(fs::file_size(source), sourceBytes);
        fs::remove_all(dest);
    }
}

TEST_F(CliInterrupt, AfterAKillNoFinalNameAndTheNextWriteClearsWhatWasLeft) {
    EXPECT_EQ(writeAndSignal(SIGKILL), 128 + SIGKILL);
    expectOnlyWholeScenes(contents(dest));
    ASSERT_TRUE(fs::exists(source));
    // What a killed run leaves, whether or not this one was killed in time
    // (aged, as by the time a user writes again: a temporary no writer holds
    // may be one being created only in its first moments); a file of the
    // user's that only looks alike stays.
    fs::create_directories(dest);
    writeTextFile(dest + "/new_avi-Xy12Ab.tmp", "");
    for (const auto& entry : fs::directory_iterator(dest))
        fs::last_write_time(entry.path(), fs::last_write_time(entry.path()) - std::chrono::minutes(1));
    writeTextFile(dest + "/notes.tmp", "mine");
    CliResult again = runCli({"--batch", "write", project, "--dest", dest, "--overwrite", "replace"}, dir.path());
    EXPECT_EQ(again.exitCode, 0) << again.err;
    const FolderContents left = contents(dest);
    EXPECT_EQ(left.temporaries, 0);
    EXPECT_EQ(left.finals.size(), 2u);
    EXPECT_TRUE(fs::exists(dest + "/notes.tmp"));
}

}  // namespace
}  // namespace klemora::test
