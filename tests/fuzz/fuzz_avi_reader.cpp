#include <algorithm>
#include <vector>

#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "avi/movie_chunks.h"
#include "tests/fuzz/fuzz_entries.h"

namespace klemora::fuzz {
namespace {

// Enough to pass every kind of chunk and index without making one input slow.
constexpr int32_t kFramesRead = 8;
constexpr int kChunksWalked = 2000;

void readPacks(avi::AviReader& reader) {
    scene::RecordingTime time = scene::kNoRecordingTime;
    scene::Timecode timecode{};
    avi::ReadDvDateTime(reader, time);
    avi::ReadDvTimecode(reader, timecode);
    avi::IsWideScreen(reader);
    avi::DvPack pack{};
    avi::FindDvPack(reader, avi::kPackVideoSourceControl, pack);
}

}  // namespace

int fuzzAviReader(const uint8_t* data, size_t size) {
    avi::AviReader reader;
    auto source = std::make_unique<avi::MemorySource>(std::vector<uint8_t>(data, data + size));
    if (reader.OpenSource(std::move(source), "fuzz.avi") != 1) return 0;
    const int32_t frames = std::min(reader.GetFrameCount(), kFramesRead);
    for (int32_t frame = 0; frame <= frames; ++frame) {
        const avi::FrameLoad load = frame % 2 ? avi::FrameLoad::OnDemand : avi::FrameLoad::Whole;
        if (reader.ReadRawPictureData(frame, load) == 1) readPacks(reader);
    }
    // A lower frame rewinds: a second walk over the same chunks.
    if (frames > 1) reader.ReadRawPictureData(0);
    avi::MovieChunkWalker walker(reader);
    avi::MovieChunk chunk;
    for (int i = 0; i < kChunksWalked && walker.next(chunk) == 1; ++i) {
    }
    return 0;
}

}  // namespace klemora::fuzz
