#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

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

TEST(Cli, UnknownOptionFails) {
    CliResult r = runCli({"--no-such-option"});
    EXPECT_NE(r.exitCode, 0);
}

}  // namespace
}  // namespace klemora::test
