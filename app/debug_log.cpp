#include "app/debug_log.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <ctime>

#include "app/paths.h"

namespace klemora::app {
namespace {

int g_debugLevel = 0;
std::string g_logFolder;
LogClock g_clock = nullptr;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

int debugLevel() { return g_debugLevel; }
void setDebugLevel(int level) { g_debugLevel = level; }
void setLogFolder(std::string folder) { g_logFolder = std::move(folder); }
void setLogClock(LogClock clock) { g_clock = clock; }
std::string logFolder() { return g_logFolder.empty() ? documentsFolder() : g_logFolder; }

void DebugLog(const char* format, ...) {
    const char* name = g_debugLevel == 1 ? "/klemoradbg.log" : g_debugLevel == 2 ? "/findds.log" : nullptr;
    if (!name) return;
    std::string folder = logFolder();
    if (folder.empty()) return;
    std::unique_ptr<FILE, FileCloser> file(std::fopen((folder + name).c_str(), "a"));
    if (!file) return;
    bool dashed = format[0] == '-' || (format[0] != '\0' && format[1] == '-');
    if (g_debugLevel == 1 && !dashed) {
        std::time_t now = g_clock ? g_clock() : std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::fprintf(file.get(), "%02d:%02d:%02d: ", local.tm_hour, local.tm_min, local.tm_sec);
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(file.get(), format, args);
    va_end(args);
    std::fputc('\n', file.get());
}

}  // namespace klemora::app
