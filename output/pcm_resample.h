#pragma once
// Linear interpolation of interleaved PCM, for the sound of speed copies:
// the sound is played faster or slower with the pictures, as a tape run at
// another speed would (its pitch follows the speed), so it lasts exactly as
// long as the new video. Sample format and rate stay those of the source.
#include <cstdint>
#include <span>

#include "output/source_streams.h"

namespace klemora::output {

// True for the layouts resamplePcm can compute: integer PCM of 8 to 32 bits,
// IEEE float of 32 or 64 bits.
bool canResamplePcm(const PcmLayout& layout);

// Writes out.size() / blockAlign sample frames. Output frame j is the
// source at position `firstPosition` + j * `step`, measured in sample
// frames from the start of `source`; positions past its end repeat its last
// frame. A-law and mu-law are taken nearest-neighbour.
void resamplePcm(const PcmLayout& layout, std::span<const uint8_t> source, double firstPosition, double step,
                 std::span<uint8_t> out);

// Silence of the layout (0x80 bytes for 8-bit PCM, 0xD5/0xFF for A-/mu-law).
void fillPcmSilence(const PcmLayout& layout, std::span<uint8_t> out);

}  // namespace klemora::output
