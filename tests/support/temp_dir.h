#pragma once
#include <string>

namespace klemora::test {

// A fresh folder under $TMPDIR, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

void writeTextFile(const std::string& path, const std::string& content);
std::string readTextFile(const std::string& path);
// Folder of the built programs and runtime files (english.lang, Templates).
std::string testBinFolder();

// Sets an environment variable for a scope and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();

private:
    std::string m_name;
    std::string m_old;
    bool m_had = false;
};

}  // namespace klemora::test
