#include "media/file_scan.h"

#include <fcntl.h>

#include <algorithm>
#include <vector>

#include "app/file_io.h"
#include "app/unique_fd.h"

namespace klemora::media {
namespace {

// Reads up to `size` bytes at `offset`, retrying short reads; the count read.
int64_t readBlock(int fd, uint8_t* data, size_t size, int64_t offset) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd, data + done, size - done, offset + static_cast<int64_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

}  // namespace

bool scanFileBlocks(const std::string& path, int maxBlocks, const BlockVisitor& visit) {
    app::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return false;
    std::vector<uint8_t> raw(kScanBlockSize);
    std::string text(kScanBlockSize, '\0');
    for (int block = 0; block < maxBlocks; ++block) {
        int64_t n = readBlock(fd.get(), raw.data(), raw.size(), static_cast<int64_t>(block) * kScanBlockSize);
        std::span<const uint8_t> bytes(raw.data(), static_cast<size_t>(n));
        std::transform(bytes.begin(), bytes.end(), text.begin(),
                       [](uint8_t b) { return static_cast<char>(b == 0 ? 255 : b); });
        if (visit(bytes, std::string_view(text.data(), bytes.size()))) break;
        if (static_cast<size_t>(n) < kScanBlockSize) break;
    }
    return true;
}

bool fileMentionsIavs(const std::string& path) {
    bool found = false;
    scanFileBlocks(path, 10, [&](std::span<const uint8_t>, std::string_view text) {
        found = text.find("iavs") != std::string_view::npos;
        return found;
    });
    return found;
}

}  // namespace klemora::media
