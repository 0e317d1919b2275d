// The in-place rewrite of the recording date and time of every DV frame.
// Only the bytes of the two packs change, written in one piece per frame, so
// a frame is either rewritten or untouched and the file keeps its size; and
// the whole file is checked first, so a file that cannot be finished is not
// begun.
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

void setPack(std::span<uint8_t> pack, int first, int second, int third) {
    pack[2] = toBcd(first);
    pack[3] = toBcd(second);
    pack[4] = toBcd(third);
}

// Writes t into the frame buffer and the loaded part of the chunk in the file.
int stampFrame(AviReader& reader, const std::tm& t) {
    const int64_t dateAt = subcodePackOffset(reader, kPackRecordingDate);
    const int64_t timeAt = subcodePackOffset(reader, kPackRecordingTime);
    if (dateAt < 0 || timeAt < 0) return code(DatestampResult::PackMissing);
    const int twoDigitYear = t.tm_year >= 100 ? t.tm_year - 100 : t.tm_year;
    setPack(reader.mutableFrameBytes(static_cast<uint32_t>(dateAt), 5), t.tm_mday, t.tm_mon + 1, twoDigitYear % 100);
    setPack(reader.mutableFrameBytes(static_cast<uint32_t>(timeAt), 5), t.tm_sec, t.tm_min, t.tm_hour);

    // Bytes past what was loaded belong to an older frame: they stay out of the file.
    const int64_t loaded = reader.currentChunk().bytesLoaded;
    const int64_t from = std::min(dateAt, timeAt);
    const int64_t to = std::min<int64_t>(std::max(dateAt, timeAt) + 5, loaded);
    if (to <= from) return 1;
    std::span<uint8_t> bytes = reader.mutableFrameBytes(static_cast<uint32_t>(from), static_cast<uint32_t>(to - from));
    if (reader.WriteAt(reader.currentChunk().dataOffset + from, bytes.data(), bytes.size()) != 1)
        return code(DatestampResult::WriteFailed);
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
    if (rc != 1) app::DebugLog("WriteDvDatestamp %s: code %d at frame %d", fileName.c_str(), rc, k);
    return rc;
}

}  // namespace klemora::avi
