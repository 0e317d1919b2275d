#include "avi/dv_pack.h"

#include <algorithm>
#include <cmath>

#include "app/debug_log.h"
#include "avi/avi_reader.h"

namespace klemora::avi {
namespace {

// The subcode packs of one sequence lie in bytes 86 .. 86 + 80 + 40 + 5.
constexpr uint32_t kSubcodeSpan = 80 + 40 + 5;

template <typename Find>
void decodeDateTime(Find&& find, scene::RecordingTime& time, const app::DebugLog& log) {
    DvPack pack{};
    if (find(kPackRecordingDate, pack)) {
        time.dayOfMonth = bcdValue(pack[2], 0x3);
        time.month = bcdValue(pack[3], 0x1) - 1;
        int year = bcdValue(pack[4], 0xF);
        // Two digits: 00-24 are this century, 25-99 the last.
        time.yearsSince1900 = year < 25 ? year + 100 : year;
    } else if (log.tracing()) {
        log.write(" -----  |  #### Datestamp DMY-Paket fehlt");
    }
    if (find(kPackRecordingTime, pack)) {
        time.seconds = bcdValue(pack[2], 0x7);
        time.minutes = bcdValue(pack[3], 0x7);
        time.hours = bcdValue(pack[4], 0x3);
    } else if (log.tracing()) {
        log.write(" -----  |  #### Datestamp SMH-Paket fehlt");
    }
    time.weekday = 0;
    time.dayOfYear = 0;
    time.daylightSaving = -1;
}

template <typename Find>
bool decodeTimecode(Find&& find, const app::DebugLog& log, uint8_t* hours, uint8_t* minutes, uint8_t* seconds,
                    uint8_t* frames) {
    DvPack pack{};
    if (!find(kPackTimecode, pack)) {
        if (log.tracing()) log.write(" -----  |  #### Timecode-Paket fehlt");
        return false;
    }
    if (frames) *frames = static_cast<uint8_t>(bcdValue(pack[1], 0x3));
    if (seconds) *seconds = static_cast<uint8_t>(bcdValue(pack[2], 0x7));
    if (minutes) *minutes = static_cast<uint8_t>(bcdValue(pack[3], 0x7));
    if (hours) *hours = static_cast<uint8_t>(bcdValue(pack[4], 0x3));
    return true;
}

void timecodeFromBytes(scene::Timecode& timecode, const uint8_t (&bytes)[4]) {
    timecode.hours = static_cast<int8_t>(bytes[0]);
    timecode.minutes = static_cast<int8_t>(bytes[1]);
    timecode.seconds = static_cast<int8_t>(bytes[2]);
    timecode.frames = static_cast<int8_t>(bytes[3]);
}

template <typename Find>
int timecodeInto(Find&& find, scene::Timecode& timecode, const app::DebugLog& log) {
    uint8_t bytes[4] = {static_cast<uint8_t>(timecode.hours), static_cast<uint8_t>(timecode.minutes),
                        static_cast<uint8_t>(timecode.seconds), static_cast<uint8_t>(timecode.frames)};
    decodeTimecode(find, log, &bytes[0], &bytes[1], &bytes[2], &bytes[3]);
    timecodeFromBytes(timecode, bytes);
    return 1;
}

}  // namespace

int FindDvPack(AviReader& reader, uint8_t packId, DvPack& pack) {
    if (packId == kPackVideoSourceControl) {
        std::span<const uint8_t> bytes = reader.frameBytes(kVideoControlPackOffset, 5);
        if (bytes.size() == 5 && bytes[0] == packId) {
            std::copy(bytes.begin(), bytes.end(), pack.begin());
            return 1;
        }
    }
    const int sequences = reader.isPal() ? 12 : 10;
    for (int s = 0; s < sequences; ++s) {
        const uint32_t base = subcodePackOffset(s, 0, 0);
        std::span<const uint8_t> area = reader.frameBytes(base, kSubcodeSpan);
        for (int b = 0; b < 2; ++b)
            for (int k = 0; k < 6; ++k) {
                const uint32_t at = subcodePackOffset(s, b, k) - base;
                if (at + 5 <= area.size() && area[at] == packId) {
                    std::copy(area.begin() + at, area.begin() + at + 5, pack.begin());
                    return 1;
                }
            }
    }
    return -1;
}

int FindDvPack(std::span<const uint8_t> frame, bool pal, uint8_t packId, DvPack& pack) {
    auto byteAt = [&](uint32_t offset) -> int { return offset + 5 <= frame.size() ? frame[offset] : -1; };
    int64_t offset = -1;
    if (packId == kPackVideoSourceControl && byteAt(kVideoControlPackOffset) == packId)
        offset = kVideoControlPackOffset;
    else
        offset = findSubcodePack(byteAt, pal, packId);
    if (offset < 0) return -1;
    std::copy(frame.begin() + offset, frame.begin() + offset + 5, pack.begin());
    return 1;
}

int ReadDvDateTime(AviReader& reader, scene::RecordingTime& time) {
    decodeDateTime([&](uint8_t id, DvPack& pack) { return FindDvPack(reader, id, pack) == 1; }, time, reader.log());
    return 1;
}

int ReadDvDateTime(std::span<const uint8_t> frame, bool pal, scene::RecordingTime& time, const app::DebugLog& log) {
    decodeDateTime([&](uint8_t id, DvPack& pack) { return FindDvPack(frame, pal, id, pack) == 1; }, time, log);
    return 1;
}

int ReadDvTimecode(AviReader& reader, uint8_t* hours, uint8_t* minutes, uint8_t* seconds, uint8_t* frames) {
    decodeTimecode([&](uint8_t id, DvPack& pack) { return FindDvPack(reader, id, pack) == 1; }, reader.log(), hours,
                   minutes, seconds, frames);
    return 1;
}

int ReadDvTimecode(AviReader& reader, scene::Timecode& timecode) {
    return timecodeInto([&](uint8_t id, DvPack& pack) { return FindDvPack(reader, id, pack) == 1; }, timecode,
                        reader.log());
}

int ReadDvTimecode(std::span<const uint8_t> frame, bool pal, scene::Timecode& timecode, const app::DebugLog& log) {
    return timecodeInto([&](uint8_t id, DvPack& pack) { return FindDvPack(frame, pal, id, pack) == 1; }, timecode,
                        log);
}

std::optional<int32_t> dvAudioSampleRate(std::span<const uint8_t> frame) {
    uint32_t sequences = static_cast<uint32_t>(frame.size() / kDifSequenceSize);
    for (uint32_t s = 0; s < sequences; ++s) {
        for (uint32_t k = 0; k < kAudioBlocksPerSequence; ++k) {
            uint32_t at = aauxPackOffset(s, k);
            if (frame[at] != kPackAudioSource) continue;
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

bool isWideScreenVideoControl(uint8_t pc2) {
    // 0x87 is what the original test knew; the DV display-select mode 2
    // (16:9 full, written as 0xCA by most encoders) is wide as well.
    return pc2 == 0x87 || (pc2 & 0x07) == 0x02;
}

bool IsWideScreen(AviReader& reader) {
    if (!reader.isOpen()) return false;
    if (reader.isDv()) {
        DvPack pack{};
        if (FindDvPack(reader, kPackVideoSourceControl, pack) != 1) return false;
        if (isWideScreenVideoControl(pack[2])) return true;
    }
    if (reader.height() != 0) {
        double ratio = static_cast<double>(reader.width()) * 1000.0 / static_cast<double>(reader.height());
        if (ratio < 1e9 && static_cast<int64_t>(ratio) == 1777) return true;
    }
    std::string handler = reader.videoHandler();
    return handler == "CFHD" || handler == "cfhd";
}

}  // namespace klemora::avi
