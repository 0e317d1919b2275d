#pragma once
// What the benchmark programs share: a piece of work or a command line timed
// in a child process, so that the peak RSS reported is the work's own, and
// the median and maximum of repeated runs.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace klemora::bench {

struct Measurement {
    double seconds = 0;
    long peakRssKb = 0;
    int exitCode = 0;
};

template <typename Work>
Measurement inChild(Work&& work) {
    auto started = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) _exit(work());
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), usage.ru_maxrss,
            WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// A shell command line (a reference program) timed the same way.
inline Measurement commandInChild(const char* command) {
    return inChild([command] {
        ::execl("/bin/sh", "sh", "-c", command, static_cast<char*>(nullptr));
        return 127;
    });
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline long largest(const std::vector<long>& values) { return *std::max_element(values.begin(), values.end()); }

}  // namespace klemora::bench
