#include "tests/support/shell_command.h"

#include <sys/wait.h>

#include <cstdio>
#include <memory>

namespace klemora::test {
namespace {

struct PipeCloser {
    void operator()(FILE* pipe) const { ::pclose(pipe); }
};

}  // namespace

ShellResult runShell(const std::string& command) {
    ShellResult result;
    FILE* raw = ::popen(command.c_str(), "r");
    if (!raw) return result;
    std::unique_ptr<FILE, PipeCloser> pipe(raw);
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, raw)) > 0) result.output.append(buffer, n);
    int status = ::pclose(pipe.release());
    result.exitCode = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace klemora::test
