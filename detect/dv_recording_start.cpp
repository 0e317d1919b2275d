#include "detect/dv_recording_start.h"

#include <algorithm>

#include "avi/avi_reader.h"

namespace klemora::detect {
namespace {

// Pack 0x51 sits in audio block 4 of even and block 1 of odd sequences
// (IEC 61834); there it is looked for first, as the reader fetches that block
// alone. Writers differ, so the other blocks of the first two sequences follow.
constexpr uint32_t kSearchedSequences = 2;
constexpr uint32_t kControlBlockOfFirstSequence = 4;

template <typename BytesAt>
int findIn(BytesAt&& bytesAt, uint8_t packId, avi::DvPack& pack) {
    auto takeAt = [&](uint32_t sequence, uint32_t block) {
        std::span<const uint8_t> bytes = bytesAt(avi::aauxPackOffset(sequence, block));
        if (bytes.size() != pack.size() || bytes[0] != packId) return false;
        std::copy(bytes.begin(), bytes.end(), pack.begin());
        return true;
    };
    if (packId == avi::kPackAudioControl && takeAt(0, kControlBlockOfFirstSequence)) return 1;
    for (uint32_t s = 0; s < kSearchedSequences; ++s)
        for (uint32_t k = 0; k < avi::kAudioBlocksPerSequence; ++k)
            if (takeAt(s, k)) return 1;
    return -1;
}

bool marksStart(int found, const avi::DvPack& pack) { return found == 1 && (pack[2] & kRecordingStartBit) == 0; }

}  // namespace

int findAauxPack(avi::AviReader& reader, uint8_t packId, avi::DvPack& pack) {
    return findIn([&](uint32_t at) { return reader.frameBytes(at, 5); }, packId, pack);
}

int findAauxPack(std::span<const uint8_t> frame, uint8_t packId, avi::DvPack& pack) {
    return findIn([&](uint32_t at) { return at + 5 <= frame.size() ? frame.subspan(at, 5) : std::span<const uint8_t>{}; },
                  packId, pack);
}

bool isRecordingStart(avi::AviReader& reader) {
    avi::DvPack pack{};
    return marksStart(findAauxPack(reader, avi::kPackAudioControl, pack), pack);
}

bool isRecordingStart(std::span<const uint8_t> frame) {
    avi::DvPack pack{};
    return marksStart(findAauxPack(frame, avi::kPackAudioControl, pack), pack);
}

}  // namespace klemora::detect
