#pragma once
// The detection log of the picture-difference search, "KlemoraLog.txt" in
// the documents folder: opened afresh for each file, so it holds the trace
// of the last file searched.
#include <cstdio>
#include <memory>
#include <string>

namespace klemora::detect {

inline constexpr char kDetectionLogName[] = "KlemoraLog.txt";

class PictureDetectionLog {
public:
    // Replaces the log with one for `fileName`; false when it cannot be created.
    bool open(const std::string& fileName);
    void close();
    bool isOpen() const { return m_file != nullptr; }
    // printf-style; nothing when closed.
    void write(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Where the log goes: the documents folder, else the working folder.
    static std::string path();

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> m_file;
};

}  // namespace klemora::detect
