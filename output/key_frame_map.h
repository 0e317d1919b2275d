#pragma once
// The key-frame flags of a source's video chunks, from its indexes: the
// OpenDML standard indexes when the stream has a super index, else the
// legacy 'idx1'. Only needed for sources whose frames are not all key
// frames; without a usable index every frame counts as a key frame.
#include <cstdint>
#include <vector>

#include "avi/avi_reader.h"

namespace klemora::output {

class KeyFrameMap {
public:
    // Reads the flags of the first `frameCount` chunks of `videoStream`.
    void build(avi::AviReader& reader, int videoStream, int32_t frameCount);
    bool isKeyFrame(int64_t chunkIndex) const {
        return chunkIndex < 0 || chunkIndex >= static_cast<int64_t>(m_keys.size()) || m_keys[chunkIndex];
    }
    // True when the index marks every frame as a key frame.
    bool allKeyFrames() const;

private:
    bool readOpenDml(avi::AviReader& reader, const avi::StreamInfo& stream, int32_t frameCount);
    bool readStandardIndex(avi::AviReader& reader, int64_t offset, uint32_t size, int32_t frameCount);
    bool readLegacy(avi::AviReader& reader, int videoStream, int32_t frameCount);

    std::vector<bool> m_keys;
};

}  // namespace klemora::output
