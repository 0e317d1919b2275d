// The in-place rewrite of the recording date and time of every DV frame.
// Only the date and time fields of the two packs change, in every copy the
// frame carries, and the file keeps its size; the whole file is checked
// first, so a file that cannot be finished is not begun.
#include <climits>
#include <cmath>
#include <ctime>
#include <optional>

#include "app/debug_log.h"
#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "scene/time_text.h"

namespace klemora::avi {
namespace {

constexpr int code(DatestampResult result) { return static_cast<int>(result); }

class CloseOnExit {
public:
    explicit CloseOnExit(AviReader& reader) : m_reader(reader) {}
    ~CloseOnExit() { m_reader.Close(); }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    AviReader& m_reader;
};

// The first 0x62/0x63 of the subcode search, as offsets into the frame.
int64_t subcodePackOffset(AviReader& reader, uint8_t packId) {
    return findSubcodePack(
        [&](uint32_t offset) -> int {
            std::span<const uint8_t> byte = reader.frameBytes(offset, 5);
            return byte.size() == 5 ? byte[0] : -1;
        },
        reader.isPal(), packId);
}

// A BCD field of a pack byte: the bits outside it (reserved, or the week in
// the month byte) keep what the camera wrote.
uint8_t withBcd(uint8_t old, int value, uint8_t tensMask) {
    const uint8_t field = static_cast<uint8_t>((tensMask << 4) | 0x0F);
    return static_cast<uint8_t>((old & ~field) | (toBcd(value) & field));
}

void setDatePack(std::span<uint8_t> pack, const std::tm& t) {
    const int twoDigitYear = (t.tm_year >= 100 ? t.tm_year - 100 : t.tm_year) % 100;
    pack[2] = withBcd(pack[2], t.tm_mday, 0x3);
    // The week (bits 5-7 of the month byte) follows the new day.
    pack[3] = static_cast<uint8_t>((withBcd(pack[3], t.tm_mon + 1, 0x1) & 0x1F) | (t.tm_wday << 5));
    pack[4] = withBcd(pack[4], twoDigitYear, 0xF);
}

void setTimePack(std::span<uint8_t> pack, const std::tm& t) {
    pack[2] = withBcd(pack[2], t.tm_sec, 0x7);
    pack[3] = withBcd(pack[3], t.tm_min, 0x7);
    pack[4] = withBcd(pack[4], t.tm_hour, 0x3);
}

// Every copy of the two packs in one DIF sequence: the subcode sync blocks
// and the VAUX packs. Other readers take the date from any of them.
void stampSequence(std::span<uint8_t> sequence, uint32_t base, const std::tm& t) {
    auto stamp = [&](uint32_t offset) {
        if (offset < base || offset - base + 5 > sequence.size()) return;
        offset -= base;
        std::span<uint8_t> pack = sequence.subspan(offset, 5);
        if (pack[0] == kPackRecordingDate) setDatePack(pack, t);
        if (pack[0] == kPackRecordingTime) setTimePack(pack, t);
    };
    const int s = static_cast<int>(base / kDifSequenceSize);
    for (int block = 0; block < 2; ++block)
        for (int sync = 0; sync < 6; ++sync) stamp(avi::subcodePackOffset(s, block, sync));
    for (uint32_t block = 0; block < kVauxBlocksPerSequence; ++block)
        for (uint32_t pack = 0; pack < kPacksPerVauxBlock; ++pack) stamp(vauxPackOffset(s, block, pack));
}

// Writes t into every copy of the packs, in the frame buffer and in the file:
// one write per DIF sequence, over its subcode and VAUX blocks. A frame
// without the first copies of both packs in the subcode is left alone.
int stampFrame(AviReader& reader, const std::tm& t) {
    if (subcodePackOffset(reader, kPackRecordingDate) < 0 || subcodePackOffset(reader, kPackRecordingTime) < 0)
        return code(DatestampResult::PackMissing);
    const int sequences = reader.isPal() ? 12 : 10;
    // Bytes past what was loaded belong to an older frame: they stay out of the file.
    const uint32_t loaded = reader.currentChunk().bytesLoaded;
    for (int s = 0; s < sequences; ++s) {
        const uint32_t from = static_cast<uint32_t>(s) * kDifSequenceSize + kDifBlockSize;  // block 1
        const uint32_t to = std::min<uint32_t>(from + 5 * kDifBlockSize, loaded);          // up to block 5
        if (to <= from) break;
        std::span<uint8_t> bytes = reader.mutableFrameBytes(from, to - from);
        if (bytes.size() != to - from) break;
        stampSequence(bytes, from, t);
        if (reader.WriteAt(reader.currentChunk().dataOffset + from, bytes.data(), bytes.size()) != 1)
            return code(DatestampResult::WriteFailed);
    }
    return 1;
}

void setEndTime(scene::RecordingTime& end, std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    end.seconds = local.tm_sec;
    end.minutes = local.tm_min;
    end.hours = local.tm_hour;
    end.dayOfMonth = local.tm_mday;
    end.month = local.tm_mon;
    end.yearsSince1900 = local.tm_year;
}

struct StampWalk {
    AviReader& reader;
    std::time_t t0;
    int64_t framesPerSecond;
    std::optional<std::time_t> lastWritten;
};

bool hasBothPacks(AviReader& reader) {
    return subcodePackOffset(reader, kPackRecordingDate) >= 0 && subcodePackOffset(reader, kPackRecordingTime) >= 0;
}

// Whether the rewrite can finish: the file holds every frame its headers
// count, and each frame chunk carries both packs. 1 or the code the rewrite
// would have ended with, before anything is written.
int checkFrames(AviReader& reader) {
    if (reader.walkDamage().cutOff) return code(DatestampResult::ShortFrameRead);
    if (reader.frameCountClipped()) return code(DatestampResult::ChunkHeaderUnreadable);
    for (int32_t k = 0; k < reader.GetFrameCount(); ++k) {
        if (reader.frameChunks()[static_cast<size_t>(k)].size == 0) continue;
        if (reader.loadFrameChunk(k, FrameLoad::OnDemand) != 1) return code(DatestampResult::ShortFrameRead);
        if (!hasBothPacks(reader)) return code(DatestampResult::PackMissing);
    }
    return 1;
}

// Frame k gets t0 + k / frames per second; a chunk of size 0 is passed.
int stampFrameChunk(StampWalk& walk, int32_t k) {
    AviReader& reader = walk.reader;
    if (reader.frameChunks()[static_cast<size_t>(k)].size == 0) return 1;
    if (reader.loadFrameChunk(k, FrameLoad::OnDemand) != 1) return code(DatestampResult::ShortFrameRead);
    const std::time_t t = walk.t0 + k / walk.framesPerSecond;
    std::tm local{};
    localtime_r(&t, &local);
    int rc = stampFrame(reader, local);
    if (rc == 1) walk.lastWritten = t;
    return rc;
}

}  // namespace

int WriteDvDatestamp(const scene::RecordingTime& start, const std::string& fileName, AviReader& reader,
                     scene::RecordingTime& end) {
    end = start;
    if (reader.isOpen()) return code(DatestampResult::ReaderAlreadyOpen);
    if (reader.Open(fileName, "rw") != 1) return code(DatestampResult::OpenFailed);
    CloseOnExit closer(reader);
    if (!reader.isDv()) return code(DatestampResult::NotDv);
    const float rate = reader.GetFrameRate();
    if (rate == 0.0f) return code(DatestampResult::NoFrameRate);

    std::tm startTm = scene::toTm(start);
    StampWalk walk{reader, std::mktime(&startTm),
                   static_cast<int64_t>(std::min<double>(std::ceil(static_cast<double>(rate)), INT_MAX))};
    int rc = checkFrames(reader);
    int32_t k = 0;
    for (; rc == 1 && k < reader.GetFrameCount(); ++k) rc = stampFrameChunk(walk, k);
    if (walk.lastWritten) setEndTime(end, *walk.lastWritten);
    if (rc != 1) reader.log().write("WriteDvDatestamp %s: code %d at frame %d", fileName.c_str(), rc, k);
    return rc;
}

}  // namespace klemora::avi
