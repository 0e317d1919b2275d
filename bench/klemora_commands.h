#pragma once
// The klemora-cli command lines the engine benches time, with the
// klemora-cli built beside them and a settings file of their own (so that no
// run reads or changes the user's), and the scene lists they hand to it.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace klemora::bench {

class KlemoraCommands {
public:
    KlemoraCommands()
        : m_program(std::filesystem::read_symlink("/proc/self/exe").parent_path() / "klemora-cli"),
          m_settings(std::filesystem::temp_directory_path() / ("klemora_bench_" + std::to_string(::getpid()) + ".ini")) {
        ::setenv("KLEMORA_INI", m_settings.c_str(), 1);
    }
    ~KlemoraCommands() { std::filesystem::remove(m_settings); }
    KlemoraCommands(const KlemoraCommands&) = delete;
    KlemoraCommands& operator=(const KlemoraCommands&) = delete;

    const std::string& program() const { return m_program; }
    std::vector<std::string> detectDates(const std::string& file) const {
        return {m_program, "detect", "--trim", "0", file};
    }
    std::vector<std::string> detectPictures(const std::string& file) const {
        return {m_program, "detect", "--type", "picture", "--trim", "0", file};
    }
    // The scene list of a detection into `list` instead of stdout.
    static std::vector<std::string> into(std::vector<std::string> detect, const std::string& list) {
        detect.insert(detect.end(), {"-o", list});
        return detect;
    }
    std::vector<std::string> write(const std::string& project, const std::string& folder) const {
        return {m_program, "--batch", "write", project, "--dest", folder};
    }
    std::vector<std::string> index(const std::string& project, const std::string& page) const {
        return {m_program, "--batch", "index", project, "--out", page};
    }

private:
    std::string m_program;
    std::string m_settings;
};

// A CSV scene list of frames `first`..`last` of `source`.
inline std::string oneSceneCsv(const std::string& source, int32_t first, int32_t last) {
    return "SRCFILE;DSTFILE;STARTFRAME;STOPFRAME;SPEEDFACTOR;COMMENT;STARTTIME;TIMECODE\n\"" + source + "\";\"\";" +
           std::to_string(first) + ";" + std::to_string(last) + ";1.000000;\"\";\"01-07-2006 / 10:00:00\";\"\"\n";
}

// `sync` of every file below `folder`: what a write left there, on disk.
inline std::vector<std::string> syncFilesIn(const std::string& folder) {
    std::vector<std::string> command = {"sync"};
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        if (entry.is_regular_file()) command.push_back(entry.path());
    return command;
}

// The one file a write left in `folder`; empty when there is none.
inline std::string onlyFileIn(const std::string& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
        if (entry.is_regular_file()) return entry.path();
    return {};
}

}  // namespace klemora::bench
