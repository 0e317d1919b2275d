#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

TEST(Cli, VersionAndHelp) {
    CliResult version = runCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "klemora-cli 3.0.6.0\n");
    CliResult help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--batch"), std::string::npos);
    EXPECT_NE(help.out.find("selfcheck"), std::string::npos);
}

TEST(Cli, SelfCheckFindsLanguageFileAndDvDecoder) {
    CliResult r = runCli({"--batch", "selfcheck"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("(3.0.6.0)"), std::string::npos);
    EXPECT_NE(r.out.find("DV decoder:     yes"), std::string::npos);
    EXPECT_NE(r.out.find("self-check:     OK"), std::string::npos);
}

TEST(Cli, GlobalOptionsWorkAfterTheCommandName) {
    TempDir dir;
    const std::string ini = dir.file("after.ini");
    CliResult r = runCli({"selfcheck", "--batch", "--ini", ini});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(ini), std::string::npos) << r.out;
    CliResult before = runCli({"--ini", ini, "selfcheck"});
    EXPECT_EQ(before.out, r.out);
    // --lang is read there too: an unknown language is refused wherever it stands.
    EXPECT_NE(runCli({"selfcheck", "--lang", "XX"}).exitCode, 0);
    EXPECT_NE(runCli({"selfcheck", "--no-such-option"}).exitCode, 0);
}

TEST(Cli, UnknownOptionFails) {
    CliResult r = runCli({"--no-such-option"});
    EXPECT_NE(r.exitCode, 0);
}

}  // namespace
}  // namespace klemora::test
