#include "camera/avi_mux_filter.h"

#include <sys/statvfs.h>

#include <cerrno>

#include "app/debug_log.h"
#include "app/unique_fd.h"
#include "avi/avi_index_layout.h"
#include "avi/avi_stream_layout.h"
#include "camera/camera_codes.h"

namespace klemora::camera {
namespace {

// Free-space checks cost a system call; one per second of video is plenty
// against a reserve of several seconds.
constexpr int64_t kSpaceCheckInterval = 25;
// What one more chunk costs in the indexes: an 'idx1' and an 'ix##' entry at most.
constexpr int64_t kIndexBytesPerChunk = avi::kLegacyEntrySize + avi::kStandardEntrySize;

std::optional<int64_t> statvfsFreeBytes(const std::string& path) {
    struct statvfs info {};
    if (statvfs(path.c_str(), &info) != 0) return std::nullopt;
    return static_cast<int64_t>(info.f_bavail) * static_cast<int64_t>(info.f_frsize);
}

}  // namespace

AviMuxFilter::AviMuxFilter(std::string path, int dvType, bool pal, const avi::AviWriterOptions& options,
                           const app::DebugLog& log)
    : Filter(kMuxFilterName),
      m_path(std::move(path)),
      m_dvType(dvType),
      m_pal(pal),
      m_options(options),
      m_log(log),
      m_file(m_path) {
    if (m_dvType == 2) {
        addPin("Input 01", PinDirection::Input, MediaKind::DvVideo);
        addPin("Input 02", PinDirection::Input, MediaKind::PcmAudio);
    } else {
        addPin("Input 01", PinDirection::Input, MediaKind::InterleavedDv);
    }
    m_freeSpaceProbe = statvfsFreeBytes;
}

int AviMuxFilter::prepare() { return m_file.open() ? 0 : -m_file.lastError(); }

int AviMuxFilter::run() {
    m_failed = false;
    m_stoppedForSpace = false;
    m_finishResult = 0;
    m_failureErrno = 0;
    m_framesWritten = 0;
    m_heldFrame.clear();
    return 0;
}

int AviMuxFilter::openWriter(bool pal, std::span<const uint8_t> firstFrame, std::optional<avi::PcmFormat> audio) {
    avi::DvInfo info = avi::dvInfoFromFrame(firstFrame, pal);
    avi::AviLayout layout = m_dvType == 2 ? avi::dvType2Layout(pal, info, audio) : avi::dvType1Layout(pal, info);
    return m_writer.open(m_file.fd(), m_path, std::move(layout), m_options);
}

void AviMuxFilter::fail(int code) {
    if (m_failed) return;
    m_failed = true;
    if (m_writer.lastErrno() != 0) m_failureErrno = -m_writer.lastErrno();
    else m_failureErrno = code == static_cast<int>(avi::WriterResult::DiskFull) ? -ENOSPC : -EIO;
    m_log.write("CameraIO: AVI Mux: writing %s failed / %d / %s", m_path.c_str(), code,
                  std::string(avi::writerResultName(code)).c_str());
    if (graph()) graph()->postEvent(static_cast<int>(GraphEvent::ErrorAbort), m_failureErrno);
}

bool AviMuxFilter::roomForMore() {
    if (m_framesWritten % kSpaceCheckInterval != 0 || !m_freeSpaceProbe) return true;
    std::optional<int64_t> free = m_freeSpaceProbe(m_path);
    if (!free) return true;  // nothing known: the writer reports a real failure
    int64_t needed = kFreeSpaceReserveBytes + kIndexBytesPerChunk * (m_framesWritten + 1) * 2;
    if (*free >= needed) return true;
    m_stoppedForSpace = true;
    m_log.write("CameraIO: AVI Mux: disk nearly full (%lld bytes free), capture ends after %lld frames",
                  static_cast<long long>(*free), static_cast<long long>(m_framesWritten));
    fail(static_cast<int>(avi::WriterResult::DiskFull));
    return false;
}

void AviMuxFilter::writeChunk(int stream, std::span<const uint8_t> data) {
    int rc = m_writer.writeChunk(stream, data, true);
    if (rc != 1) fail(rc);
}

void AviMuxFilter::receive(Pin& input, const MediaSample& sample) {
    if (m_failed) return;
    const bool video = &input == &videoInput();
    if (video && !roomForMore()) return;
    if (video) {
        if (!m_writer.isOpen()) {
            if (m_dvType == 2) {
                m_heldFrame.assign(sample.data.begin(), sample.data.end());
                m_heldPal = sample.pal;
                return;
            }
            if (int rc = openWriter(sample.pal, sample.data, std::nullopt); rc != 1) return fail(rc);
        }
        writeChunk(avi::kDvVideoStream, sample.data);
        ++m_framesWritten;
        return;
    }
    if (!m_writer.isOpen()) {
        if (m_heldFrame.empty()) return;  // sound without its picture
        if (int rc = openWriter(m_heldPal, m_heldFrame, sample.audio); rc != 1) return fail(rc);
        writeChunk(avi::kDvVideoStream, m_heldFrame);
        ++m_framesWritten;
        m_heldFrame.clear();
    }
    if (!m_failed) writeChunk(avi::kDvAudioStream, sample.data);
}

// The outcome of the file is finishResult(); stopping the filter itself
// cannot fail.
int AviMuxFilter::stop() {
    m_finishResult = finishFile();
    if (m_finishResult != 1 && m_failureErrno == 0)
        m_failureErrno = m_writer.lastErrno() != 0 ? -m_writer.lastErrno() : -EIO;
    return 0;
}

int AviMuxFilter::finishFile() {
    const bool writerBroken = m_failed && !m_stoppedForSpace;
    if (!m_writer.isOpen() && !writerBroken) {
        // No frame came (or the disk was full at once): still a valid, empty file.
        std::optional<avi::PcmFormat> audio;
        if (m_dvType == 2) audio = avi::PcmFormat{};
        if (int rc = openWriter(m_pal, {}, audio); rc != 1) return rc;
    }
    if (!m_writer.isOpen())
        return m_writer.result() < 0 ? m_writer.result() : static_cast<int>(avi::WriterResult::BadState);
    if (int rc = m_writer.finish(); rc != 1) return rc;  // the temporary goes with the filter
    if (m_file.commit()) return 1;
    m_failureErrno = -m_file.lastError();
    return m_failureErrno;
}

}  // namespace klemora::camera
