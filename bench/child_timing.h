#pragma once
// What the benchmark programs share: a piece of work or a command line timed
// in a child process, so that the peak RSS reported is the work's own, and
// the median and maximum of repeated runs.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace klemora::bench {

struct Measurement {
    double seconds = 0;
    long peakRssKb = 0;
    int exitCode = 0;
    double cpuSeconds = 0;  // user + system

    // One run after another: times add up, the peak is the larger one.
    Measurement& operator+=(const Measurement& next) {
        seconds += next.seconds;
        cpuSeconds += next.cpuSeconds;
        peakRssKb = std::max(peakRssKb, next.peakRssKb);
        if (exitCode == 0) exitCode = next.exitCode;
        return *this;
    }
};

inline double timevalSeconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Waits for the child `pid` started at `started`: its wall and CPU time,
// peak memory and exit code.
inline Measurement waitForChild(pid_t pid, std::chrono::steady_clock::time_point started) {
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), usage.ru_maxrss,
            WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            timevalSeconds(usage.ru_utime) + timevalSeconds(usage.ru_stime)};
}

template <typename Work>
Measurement inChild(Work&& work) {
    auto started = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) _exit(work());
    return waitForChild(pid, started);
}

// A shell command line (a reference program) timed the same way.
inline Measurement commandInChild(const char* command) {
    return inChild([command] {
        ::execl("/bin/sh", "sh", "-c", command, static_cast<char*>(nullptr));
        return 127;
    });
}

// A program run without a shell, its output (and messages) to /dev/null
// unless `keepOutput`. Its peak memory comes from /usr/bin/time when that is
// there: the kernel counts the spawning process's own memory (the bench's,
// tens of MiB with FFmpeg mapped) into a child's peak, and time's is small.
inline Measurement programInChild(const std::vector<std::string>& args, bool keepOutput = false) {
    const bool timed = ::access("/usr/bin/time", X_OK) == 0;
    const std::string peakFile = "/tmp/klemora_bench_peak_" + std::to_string(::getpid());
    std::vector<std::string> line;
    if (timed) line = {"/usr/bin/time", "-f", "%M", "-o", peakFile};
    line.insert(line.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (const std::string& a : line) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    ::posix_spawn_file_actions_init(&quiet);
    ::posix_spawn_file_actions_addopen(&quiet, 0, "/dev/null", O_RDONLY, 0);
    if (!keepOutput) {
        ::posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    }
    Measurement m;
    m.exitCode = 127;
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ) == 0) {
        m = waitForChild(pid, started);
        if (timed) {
            std::ifstream peak(peakFile);
            long kib = 0;
            // The last line: time puts a note about a failed command before it.
            for (std::string text; std::getline(peak, text);) kib = std::atol(text.c_str());
            if (kib > 0) m.peakRssKb = kib;
            ::unlink(peakFile.c_str());
        }
    }
    ::posix_spawn_file_actions_destroy(&quiet);
    return m;
}

// "0.52 0.58 0.59 1/123 4567": the machine's load, for the record.
inline std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string line;
    std::getline(in, line);
    return line;
}

// Reads the whole file once, so that every timed run finds it in the page cache.
inline void warmPageCache(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return;
    std::vector<char> buffer(1 << 20);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline long largest(const std::vector<long>& values) { return *std::max_element(values.begin(), values.end()); }

}  // namespace klemora::bench
