#include "tests/cli/cli_runner.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

std::string quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

CliResult runCli(const std::vector<std::string>& args, const std::string& iniFolder) {
    TempDir scratch;
    std::string command = "KLEMORA_INI=" + quote((iniFolder.empty() ? scratch.path() : iniFolder) + "/Klemora.ini") +
                          " " + quote(testBinFolder() + "/klemora-cli");
    for (const auto& a : args) command += " " + quote(a);
    command += " </dev/null >" + quote(scratch.file("out")) + " 2>" + quote(scratch.file("err"));
    int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readTextFile(scratch.file("out"));
    result.err = readTextFile(scratch.file("err"));
    return result;
}

}  // namespace klemora::test
