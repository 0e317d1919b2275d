#include "app/debug_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <forward_list>
#include <memory>
#include <mutex>

#include "app/paths.h"

namespace klemora::app {
namespace {

// Every log once set stays: a decoder thread may still hold the one it read.
std::atomic<const DebugLog*> g_processLog{nullptr};
std::mutex g_processLogsLock;
std::forward_list<DebugLog> g_processLogs;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

void writeLine(int level, const std::string& folderSetting, LogClock clock, const char* format, va_list args) {
    const char* name = level == 1 ? "/klemoradbg.log" : level == 2 ? "/findds.log" : nullptr;
    if (!name) return;
    std::string folder = folderSetting.empty() ? documentsFolder() : folderSetting;
    if (folder.empty()) return;
    std::unique_ptr<FILE, FileCloser> file(std::fopen((folder + name).c_str(), "a"));
    if (!file) return;
    bool dashed = format[0] == '-' || (format[0] != '\0' && format[1] == '-');
    if (level == 1 && !dashed) {
        std::time_t now = clock ? clock() : std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::fprintf(file.get(), "%02d:%02d:%02d: ", local.tm_hour, local.tm_min, local.tm_sec);
    }
    std::vfprintf(file.get(), format, args);
    std::fputc('\n', file.get());
}

}  // namespace

DebugLog::DebugLog(int level, std::string folder, LogClock clock)
    : m_level(level), m_folder(std::move(folder)), m_clock(clock) {}

void DebugLog::write(const char* format, ...) const {
    if (m_level != 1 && m_level != 2) return;
    va_list args;
    va_start(args, format);
    writeLine(m_level, m_folder, m_clock, format, args);
    va_end(args);
}

const DebugLog& DebugLog::off() {
    static const DebugLog log;
    return log;
}

void setProcessDebugLog(DebugLog log) {
    std::lock_guard lock(g_processLogsLock);
    g_processLogs.push_front(std::move(log));
    g_processLog.store(&g_processLogs.front(), std::memory_order_release);
}

const DebugLog& processDebugLog() {
    const DebugLog* log = g_processLog.load(std::memory_order_acquire);
    return log ? *log : DebugLog::off();
}

}  // namespace klemora::app
