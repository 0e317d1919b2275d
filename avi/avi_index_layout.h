#pragma once
// The file form of the AVI indexes, shared by the index reader and the index
// writer: the legacy 'idx1' entries, the OpenDML super index ('indx') and
// the standard indexes ('ix##') it points to.
#include <cstdint>

namespace klemora::avi {

inline constexpr uint32_t kLegacyEntrySize = 16;    // ckid, dwFlags, dwOffset, dwSize
inline constexpr uint32_t kLegacyKeyFrame = 0x10;   // 'idx1' dwFlags: AVIIF_KEYFRAME
inline constexpr uint32_t kStandardEntrySize = 8;   // dwOffset, dwSize (bit 31: not a key frame)
inline constexpr uint32_t kStandardNotKeyFrame = 0x80000000u;
inline constexpr uint32_t kSuperEntrySize = 16;     // qwOffset, dwSize, dwDuration
inline constexpr uint32_t kIndexHeaderSize = 24;    // the common head of 'indx' and 'ix##'

// The head: wLongsPerEntry, bIndexSubType, bIndexType, nEntriesInUse,
// dwChunkId, then for 'ix##' qwBaseOffset.
inline constexpr uint16_t kSuperLongsPerEntry = kSuperEntrySize / 4;
inline constexpr uint16_t kStandardLongsPerEntry = kStandardEntrySize / 4;
inline constexpr uint8_t kIndexOfIndexes = 0;  // bIndexType of 'indx'
inline constexpr uint8_t kIndexOfChunks = 1;   // bIndexType of 'ix##'
inline constexpr uint32_t kIndexTypeOffset = 3;
inline constexpr uint32_t kIndexEntriesOffset = 4;
inline constexpr uint32_t kIndexChunkIdOffset = 8;
inline constexpr uint32_t kIndexBaseOffset = 12;

// "ix" and the two digits of the stream number.
constexpr uint32_t standardIndexFourcc(int stream) {
    return static_cast<uint32_t>('i') | static_cast<uint32_t>('x') << 8 |
           static_cast<uint32_t>('0' + stream / 10) << 16 | static_cast<uint32_t>('0' + stream % 10) << 24;
}

}  // namespace klemora::avi
