#pragma once
// The audio source pack (AAUX 0x50) of a DV frame: it tells the sampling
// rate the camera recorded with. It sits in the audio DIF blocks, which the
// subcode and VAUX search of the pack reader does not visit.
#include <cstdint>
#include <optional>
#include <span>

namespace klemora::media {

// The sampling rate of the first audio source pack of the frame (48000,
// 44100 or 32000); empty when the frame has none or names another rate.
std::optional<int32_t> dvAudioSampleRate(std::span<const uint8_t> frame);

}  // namespace klemora::media
