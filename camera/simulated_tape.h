#pragma once
// The cassette of the simulated camera: the DV frames of a DV AVI file (type
// 1 or 2) or of a raw DV file, read one frame at a time from the file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/unique_fd.h"
#include "scene/scene_record.h"

namespace klemora::camera {

class SimulatedTape {
public:
    // 0, or -ENOENT (cannot open), -EINVAL (neither DV AVI nor raw DV), -ENODATA (no frame).
    int load(const std::string& path);
    bool loaded() const { return frameCount() > 0; }
    int32_t frameCount() const { return static_cast<int32_t>(m_frames.size()); }
    bool pal() const { return m_pal; }
    uint32_t frameSize() const { return m_frameSize; }
    const std::string& path() const { return m_path; }

    // The whole frame (padded with zeros when its chunk was short): 0 or -errno.
    int readFrame(int32_t index, std::vector<uint8_t>& frame) const;
    // The frame's subcode timecode; empty when it has none (or cannot be read).
    std::optional<scene::Timecode> timecodeAt(int32_t index) const;

private:
    struct Extent {
        int64_t offset;
        uint32_t size;
    };
    int loadAvi(const std::string& path);
    int loadRawDv();

    std::string m_path;
    app::UniqueFd m_fd;
    std::vector<Extent> m_frames;
    uint32_t m_frameSize = 0;
    bool m_pal = true;
    mutable std::vector<uint8_t> m_scratch;
};

}  // namespace klemora::camera
