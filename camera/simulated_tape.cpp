#include "camera/simulated_tape.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/file_io.h"
#include "avi/avi_format.h"
#include "avi/avi_reader.h"
#include "avi/avi_stream_layout.h"
#include "avi/dv_pack.h"

namespace klemora::camera {

int SimulatedTape::load(const std::string& path) {
    m_frames.clear();
    m_path = path;
    m_fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!m_fd) return -ENOENT;
    uint8_t head[4] = {};
    if (!app::preadAll(m_fd.get(), head, sizeof head, 0)) return -EINVAL;
    int rc = std::memcmp(head, "RIFF", 4) == 0 ? loadAvi(path) : loadRawDv();
    if (rc == 0 && m_frames.empty()) rc = -ENODATA;
    if (rc != 0) m_frames.clear();
    return rc;
}

// The frame chunks are located once, so that search and rewind can read any
// frame at once instead of walking the file again.
int SimulatedTape::loadAvi(const std::string& path) {
    avi::AviReader reader;
    if (reader.Open(path, "r") != 1 || !reader.isDv()) return -EINVAL;
    m_pal = reader.isPal();
    m_frameSize = avi::dvFrameSize(m_pal);
    const int32_t count = reader.GetFrameCount();
    m_frames.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int32_t i = 0; i < count; ++i) {
        if (reader.ReadRawPictureData(i, avi::FrameLoad::OnDemand) != 1) break;
        const avi::FrameChunk& chunk = reader.currentChunk();
        if (reader.currentFrame() != i || chunk.dataOffset < 0) break;  // the file ended early
        m_frames.push_back({chunk.dataOffset, std::min(chunk.size, m_frameSize)});
    }
    return 0;
}

int SimulatedTape::loadRawDv() {
    uint8_t block[avi::kDifBlockSize];
    if (!app::preadAll(m_fd.get(), block, sizeof block, 0) || !avi::isDifHeaderBlock(block)) return -EINVAL;
    m_pal = avi::difHeaderIsPal(block);
    m_frameSize = avi::dvFrameSize(m_pal);
    struct stat info {};
    if (fstat(m_fd.get(), &info) != 0) return -errno;
    const int64_t count = info.st_size / m_frameSize;
    m_frames.reserve(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) m_frames.push_back({i * m_frameSize, m_frameSize});
    return 0;
}

int SimulatedTape::readFrame(int32_t index, std::vector<uint8_t>& frame) const {
    if (index < 0 || index >= frameCount()) return -ERANGE;
    const Extent& extent = m_frames[static_cast<size_t>(index)];
    frame.assign(m_frameSize, 0);
    if (!app::preadAll(m_fd.get(), frame.data(), extent.size, extent.offset)) return errno ? -errno : -EIO;
    return 0;
}

std::optional<scene::Timecode> SimulatedTape::timecodeAt(int32_t index) const {
    if (readFrame(index, m_scratch) != 0) return std::nullopt;
    avi::DvPack pack{};
    if (avi::FindDvPack(m_scratch, m_pal, avi::kPackTimecode, pack) != 1) return std::nullopt;
    scene::Timecode timecode;
    avi::ReadDvTimecode(m_scratch, m_pal, timecode);
    return timecode;
}

}  // namespace klemora::camera
