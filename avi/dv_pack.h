#pragma once
// The 5-byte packs of a DV frame (timecode, recording date and time, video
// source control): where they are looked for in the raw frame, how they are
// decoded, the wide-screen decision, and the in-place rewrite of the
// recording date of every frame of a DV AVI file.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/debug_log.h"
#include "avi/avi_format.h"
#include "scene/scene_record.h"

namespace klemora::avi {

class AviReader;

inline constexpr uint8_t kPackTimecode = 0x13;
inline constexpr uint8_t kPackAudioSource = 0x50;
inline constexpr uint8_t kPackAudioControl = 0x51;
inline constexpr uint8_t kPackVideoSource = 0x60;
inline constexpr uint8_t kPackVideoSourceControl = 0x61;
inline constexpr uint8_t kPackRecordingDate = 0x62;
inline constexpr uint8_t kPackRecordingTime = 0x63;
// Where the first sequence's VAUX carries the video source control pack.
inline constexpr uint32_t kVideoControlPackOffset = 453;

using DvPack = std::array<uint8_t, 5>;  // pack ID, PC1..PC4

// DIF blocks of 80 bytes, 150 to a sequence of 12000 bytes: 0 header, 1-2
// subcode, 3-5 VAUX, then one audio block before every 15 video blocks.
// VAUX and AAUX packs start at byte 3 of their block.
inline constexpr uint32_t kVauxBlocksPerSequence = 3;
inline constexpr uint32_t kPacksPerVauxBlock = 15;
inline constexpr uint32_t kAudioBlocksPerSequence = 9;

// The DIF header block that opens a DV frame (section type 0, DIF sequence
// 0); bit 7 of its fourth byte is set for the 625/50 system.
constexpr bool isDifHeaderBlock(const uint8_t* block) { return (block[0] & 0xE0) == 0 && (block[1] & 0xF0) == 0; }
constexpr bool difHeaderIsPal(const uint8_t* block) { return (block[3] & 0x80) != 0; }

// Offset of VAUX pack p (0-14) of VAUX block b (0-2) in sequence s.
constexpr uint32_t vauxPackOffset(uint32_t sequence, uint32_t block, uint32_t pack) {
    return sequence * kDifSequenceSize + (3 + block) * kDifBlockSize + 3 + pack * 5;
}
// Offset of the AAUX pack of audio block b (0-8) in sequence s.
constexpr uint32_t aauxPackOffset(uint32_t sequence, uint32_t audioBlock) {
    return sequence * kDifSequenceSize + (6 + 16 * audioBlock) * kDifBlockSize + 3;
}
// Offset of sync block k (0-5) of subcode block b (0-1) in sequence s.
constexpr uint32_t subcodePackOffset(int sequence, int block, int syncBlock) {
    return static_cast<uint32_t>(sequence * 12000 + 86 + 80 * block + 8 * syncBlock);
}
// The subcode search order: sequences 0..11 (PAL) or 0..9, blocks 0-1, sync blocks 0-5.
// The first offset of that order whose byte is `packId`; -1 when none.
// `byteAt` returns the frame byte at an offset (-1 when outside the frame).
template <typename ByteAt>
int64_t findSubcodePack(ByteAt&& byteAt, bool pal, uint8_t packId) {
    const int sequences = pal ? 12 : 10;
    for (int s = 0; s < sequences; ++s)
        for (int b = 0; b < 2; ++b)
            for (int k = 0; k < 6; ++k) {
                uint32_t offset = subcodePackOffset(s, b, k);
                if (byteAt(offset) == packId) return offset;
            }
    return -1;
}

// 1 and the pack, or -1 when not found. Pack 0x61 is first taken from byte
// 453; every ID is then searched in the subcode. The reader's PAL flag
// decides the number of sequences.
int FindDvPack(AviReader& reader, uint8_t packId, DvPack& pack);
// The same over a frame in memory (camera frames, tests); bytes beyond the
// span count as absent.
int FindDvPack(std::span<const uint8_t> frame, bool pal, uint8_t packId, DvPack& pack);

// BCD with a mask on the tens: (b & 0x0F) + ((b >> 4) & tensMask) * 10.
constexpr int bcdValue(uint8_t b, uint8_t tensMask) { return (b & 0x0F) + ((b >> 4) & tensMask) * 10; }
// Two BCD digits of 0..99.
constexpr uint8_t toBcd(int value) { return static_cast<uint8_t>((value / 10) * 16 + value % 10); }

// The sampling rate of the first audio source pack (AAUX 0x50) of the frame
// (48000, 44100 or 32000); empty when the frame has none or names another
// rate. The audio blocks are not part of the subcode and VAUX search.
std::optional<int32_t> dvAudioSampleRate(std::span<const uint8_t> frame);

// Always 1: the date fields from pack 0x62 and the time fields from 0x63,
// each only when found; weekday 0, day of year 0, DST flag -1.
int ReadDvDateTime(AviReader& reader, scene::RecordingTime& time);
int ReadDvDateTime(std::span<const uint8_t> frame, bool pal, scene::RecordingTime& time,
                   const app::DebugLog& log = app::DebugLog::off());

// Always 1: outputs (each optional) from pack 0x13 when found, else unchanged.
int ReadDvTimecode(AviReader& reader, uint8_t* hours, uint8_t* minutes, uint8_t* seconds, uint8_t* frames);
int ReadDvTimecode(AviReader& reader, scene::Timecode& timecode);
int ReadDvTimecode(std::span<const uint8_t> frame, bool pal, scene::Timecode& timecode,
                   const app::DebugLog& log = app::DebugLog::off());

// Wide screen: a DV frame whose pack 0x61 has PC2 0x87 or the 16:9 display
// mode (low three bits 2, e.g. 0xCA); width x 1000 / height == 1777; handler
// "CFHD"/"cfhd". False when the reader is not open.
bool IsWideScreen(AviReader& reader);
// The DV part of the decision alone (pack 0x61 of one frame).
bool isWideScreenVideoControl(uint8_t pc2);

// Writes date and time from `start` (local time), advancing one second per
// ceil(frame rate) frames, into every copy of packs 0x62 and 0x63 (subcode
// and VAUX) of every frame of `fileName`, in place; a frame needs the first
// subcode copy of both. The reader must be closed; it is opened "rw" and
// closed again. `end` gets the time of the last frame written (`start` when
// none). DatestampResult codes. The whole file is checked before the first
// write, and it keeps its size.
int WriteDvDatestamp(const scene::RecordingTime& start, const std::string& fileName, AviReader& reader,
                     scene::RecordingTime& end);

}  // namespace klemora::avi
