#pragma once
// The AVI multiplexer and file writer of a capture: DV type 1 takes the
// interleaved frames on one input ('iavs', chunks "00__"), DV type 2 the
// split video and audio on two ('vids' "00dc" + 'auds' "01wb"). The file's
// stream formats come from the first frame (system, DVINFO packs, sampling
// rate), so the writer opens when it arrives. The file grows under a
// temporary name beside the destination and takes the destination's name
// only once it is complete. Stopping always leaves a complete AVI: the
// frames so far, or none at all. When the disk is about to
// run full the mux stops taking frames and posts an error-abort event, so the
// indexes still fit and the file stays valid.
#include <optional>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/file_io.h"
#include "avi/avi_writer.h"
#include "camera/filter_graph.h"

namespace klemora::camera {

inline constexpr const char* kMuxFilterName = "AVI Mux";

// Room kept free on the destination's file system for what a finish still
// writes (buffered data, indexes, headers), on top of the index bytes per chunk.
inline constexpr int64_t kFreeSpaceReserveBytes = int64_t{16} << 20;

class AviMuxFilter : public Filter {
public:
    // `pal` is the camera's signal, used only for a file that got no frame.
    AviMuxFilter(std::string path, int dvType, bool pal, const avi::AviWriterOptions& options,
                 const app::DebugLog& log);

    // Creates the (empty) temporary beside the destination, so that a bad
    // name or folder shows at once: 0 or a negative errno value.
    int prepare();

    Pin& videoInput() { return *pin(0); }
    Pin* audioInput() { return pin(1); }
    int dvType() const { return m_dvType; }
    const std::string& path() const { return m_path; }

    int run() override;
    int stop() override;
    void receive(Pin& input, const MediaSample& sample) override;

    // After stop: 1 when the file is complete, else the writer's code
    // (WriterResult) or a negative errno value.
    int finishResult() const { return m_finishResult; }
    int64_t framesWritten() const { return m_framesWritten; }
    // The system's reason for the first failure (-ENOSPC, -EIO, ...), 0 without one.
    int failureErrno() const { return m_failureErrno; }
    bool stoppedForSpace() const { return m_stoppedForSpace; }
    // Test hook: what the free-space check sees (bytes), instead of statvfs.
    void setFreeSpaceProbe(std::optional<int64_t> (*probe)(const std::string& path)) { m_freeSpaceProbe = probe; }

private:
    int openWriter(bool pal, std::span<const uint8_t> firstFrame, std::optional<avi::PcmFormat> audio);
    void writeChunk(int stream, std::span<const uint8_t> data);
    int finishFile();
    bool roomForMore();
    void fail(int code);

    std::string m_path;
    int m_dvType;
    bool m_pal;
    avi::AviWriterOptions m_options;
    const app::DebugLog m_log;
    app::AtomicFileWriter m_file;  // before the writer, which writes through its descriptor
    avi::AviWriter m_writer;
    std::vector<uint8_t> m_heldFrame;  // type 2: the first video frame, until its audio says the format
    bool m_heldPal = true;
    bool m_failed = false;
    bool m_stoppedForSpace = false;
    int m_finishResult = 0;
    int m_failureErrno = 0;
    int64_t m_framesWritten = 0;
    std::optional<int64_t> (*m_freeSpaceProbe)(const std::string& path) = nullptr;
};

}  // namespace klemora::camera
