#include "media/dv_audio_pack.h"

#include "avi/avi_format.h"
#include "avi/dv_pack.h"

namespace klemora::media {

std::optional<int32_t> dvAudioSampleRate(std::span<const uint8_t> frame) {
    uint32_t sequences = static_cast<uint32_t>(frame.size() / avi::kDifSequenceSize);
    for (uint32_t s = 0; s < sequences; ++s) {
        for (uint32_t k = 0; k < avi::kAudioBlocksPerSequence; ++k) {
            uint32_t at = avi::aauxPackOffset(s, k);
            if (frame[at] != avi::kPackAudioSource) continue;
            // PC4 bits 3-5: 0 = 48 kHz, 1 = 44.1 kHz, 2 = 32 kHz.
            switch ((frame[at + 4] >> 3) & 0x07) {
                case 0: return 48000;
                case 1: return 44100;
                case 2: return 32000;
                default: return std::nullopt;
            }
        }
    }
    return std::nullopt;
}

}  // namespace klemora::media
