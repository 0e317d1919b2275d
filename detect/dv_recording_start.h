#pragma once
// The recording-start mark a DV camera sets on the first frame of every take:
// the REC ST bit of the AAUX source control pack (0x51), bit 7 of PC2, set to
// 0 for "this is a recording start point" (1: not one).
#include <cstdint>
#include <span>

#include "avi/dv_pack.h"

namespace klemora::avi {
class AviReader;
}

namespace klemora::detect {

inline constexpr uint8_t kRecordingStartBit = 0x80;  // in PC2 of pack 0x51; 0 marks a start

// The first AAUX pack `packId` of the first two DIF sequences (the audio
// blocks of one channel carry each pack once per pair), or -1 when none.
int findAauxPack(avi::AviReader& reader, uint8_t packId, avi::DvPack& pack);
int findAauxPack(std::span<const uint8_t> frame, uint8_t packId, avi::DvPack& pack);

// True when the frame's source control pack marks a recording start; false
// without such a pack.
bool isRecordingStart(avi::AviReader& reader);
bool isRecordingStart(std::span<const uint8_t> frame);

}  // namespace klemora::detect
