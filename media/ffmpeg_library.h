#pragma once
// klemora-cli reaches FFmpeg through forwarders (ffmpeg_forwarders.cpp) that
// load its libraries on their first call: a command that never decodes then
// starts without mapping FFmpeg and the hundred-odd libraries behind it. The
// GUI and the tests link FFmpeg as usual and never see this.
#include <string>

namespace klemora::media {

enum class FfmpegLibrary { AvUtil, AvCodec, AvFormat, SwScale };

// The file name the loader asks for: the SONAME of the FFmpeg built against,
// "libavcodec.so.59".
std::string ffmpegLibraryFile(FfmpegLibrary library);

// One library loaded with dlopen, closed again with the handle. It stays
// mapped after the close (RTLD_NODELETE): code FFmpeg handed out, a log
// callback or a thread still finishing at exit, must never vanish.
class SharedLibrary {
public:
    explicit SharedLibrary(const std::string& file);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool loaded() const { return m_handle != nullptr; }
    // Why the load failed (dlerror's text); empty when it did not.
    const std::string& error() const { return m_error; }
    // The address of `name`, or null with error() saying why.
    void* symbol(const char* name);

private:
    void* m_handle = nullptr;
    std::string m_error;
};

// The function `name` of `library`, loading the library on first use. When
// it cannot be had the program ends (exit status 2) with a message saying
// which library is missing and why: no caller could go on without it.
void* ffmpegFunction(FfmpegLibrary library, const char* name);

}  // namespace klemora::media
