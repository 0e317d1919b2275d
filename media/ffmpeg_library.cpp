#include "media/ffmpeg_library.h"

#include <dlfcn.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

extern "C" {
#include <libavcodec/version.h>
#include <libavformat/version.h>
#include <libavutil/version.h>
#include <libswscale/version.h>
}

namespace klemora::media {
namespace {

constexpr size_t kLibraries = 4;

[[noreturn]] void endWithoutFfmpeg(const std::string& why) {
    std::fflush(stdout);
    std::fprintf(stderr, "klemora-cli: FFmpeg is needed for this and cannot be loaded: %s\n", why.c_str());
    std::fflush(nullptr);
    // No exit handlers: other threads may be inside the caller's work.
    std::_Exit(2);
}

}  // namespace

std::string ffmpegLibraryFile(FfmpegLibrary library) {
    switch (library) {
    case FfmpegLibrary::AvUtil: return "libavutil.so." + std::to_string(LIBAVUTIL_VERSION_MAJOR);
    case FfmpegLibrary::AvCodec: return "libavcodec.so." + std::to_string(LIBAVCODEC_VERSION_MAJOR);
    case FfmpegLibrary::AvFormat: return "libavformat.so." + std::to_string(LIBAVFORMAT_VERSION_MAJOR);
    case FfmpegLibrary::SwScale: return "libswscale.so." + std::to_string(LIBSWSCALE_VERSION_MAJOR);
    }
    return {};
}

SharedLibrary::SharedLibrary(const std::string& file) : m_handle(::dlopen(file.c_str(), RTLD_LAZY | RTLD_NODELETE)) {
    if (!m_handle) m_error = ::dlerror();
}

SharedLibrary::~SharedLibrary() {
    if (m_handle) ::dlclose(m_handle);
}

void* SharedLibrary::symbol(const char* name) {
    if (!m_handle) return nullptr;
    ::dlerror();
    void* address = ::dlsym(m_handle, name);
    if (!address) {
        const char* why = ::dlerror();
        m_error = why ? why : std::string(name) + " is null";
    }
    return address;
}

void* ffmpegFunction(FfmpegLibrary library, const char* name) {
    // Each forwarder looks its function up once, so a lock here costs nothing.
    static std::mutex mutex;
    static std::array<std::unique_ptr<SharedLibrary>, kLibraries> libraries;
    std::lock_guard lock(mutex);
    std::unique_ptr<SharedLibrary>& slot = libraries[static_cast<size_t>(library)];
    if (!slot) slot = std::make_unique<SharedLibrary>(ffmpegLibraryFile(library));
    if (!slot->loaded()) endWithoutFfmpeg(slot->error());
    void* address = slot->symbol(name);
    if (!address) endWithoutFfmpeg(slot->error());
    return address;
}

}  // namespace klemora::media
