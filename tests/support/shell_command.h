#pragma once
// Runs a shell command line and collects what it prints, for checks with the
// ffmpeg/ffprobe programs and other tools in tests and benchmarks.
#include <string>

namespace klemora::test {

struct ShellResult {
    int exitCode = -1;   // -1 when the command could not be started or did not exit
    std::string output;  // standard output
};

ShellResult runShell(const std::string& command);

}  // namespace klemora::test
