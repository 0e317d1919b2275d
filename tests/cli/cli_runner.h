#pragma once
// Runs klemora-cli as a child process, the way a user or script does.
#include <string>
#include <vector>

namespace klemora::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs bin/klemora-cli with the arguments; KLEMORA_INI points into `iniFolder`
// when given, so no test touches a real settings file.
CliResult runCli(const std::vector<std::string>& args, const std::string& iniFolder = {});

}  // namespace klemora::test
