#include "output/stream_index.h"

#include <algorithm>

#include "avi/avi_format.h"

namespace klemora::output {
namespace {

constexpr uint32_t kIndexHeaderBytes = 24;  // the common head of 'indx' and 'ix##' data
constexpr uint32_t kSuperEntryBytes = 16;
constexpr uint32_t kStandardEntryBytes = 8;
constexpr uint32_t kStandardNonKey = 0x80000000u;
constexpr uint8_t kIndexOfIndexes = 0;
constexpr uint8_t kIndexOfChunks = 1;
constexpr int64_t kReadBlockEntries = 8192;
constexpr uint32_t kMaxSuperEntries = 65536;

// Reads `entries` records of `entryBytes` from `offset` in blocks and hands each to `visit`.
template <typename Visit>
bool forEachEntry(avi::AviReader& reader, int64_t offset, int64_t entries, uint32_t entryBytes, Visit&& visit) {
    std::vector<uint8_t> block;
    for (int64_t first = 0; first < entries; first += kReadBlockEntries) {
        int64_t count = std::min(kReadBlockEntries, entries - first);
        block.resize(static_cast<size_t>(count) * entryBytes);
        if (reader.ReadAt(offset + first * entryBytes, block.data(), block.size()) != 1) return false;
        for (int64_t e = 0; e < count; ++e)
            if (!visit(block.data() + e * entryBytes)) return true;
    }
    return true;
}

}  // namespace

const std::vector<IndexedChunk>* SourceIndex::stream(int streamNumber) const {
    if (streamNumber < 0 || streamNumber >= static_cast<int>(m_streams.size())) return nullptr;
    const auto& entries = m_streams[static_cast<size_t>(streamNumber)];
    return entries.empty() ? nullptr : &entries;
}

bool SourceIndex::allKeyFrames(int streamNumber) const {
    const auto* entries = stream(streamNumber);
    return !entries || std::all_of(entries->begin(), entries->end(), [](const IndexedChunk& c) { return c.keyFrame; });
}

bool SourceIndex::isKeyFrame(int streamNumber, int64_t chunk) const {
    const auto* entries = stream(streamNumber);
    if (!entries || chunk < 0 || chunk >= static_cast<int64_t>(entries->size())) return true;
    return (*entries)[static_cast<size_t>(chunk)].keyFrame;
}

void SourceIndex::build(avi::AviReader& reader, int64_t limit) {
    const auto& infos = reader.streams();
    m_streams.assign(infos.size(), {});
    std::vector<bool> legacy(infos.size(), false);
    bool anyLegacy = false;
    for (size_t i = 0; i < infos.size(); ++i) {
        if (infos[i].superIndexOffset >= 0 && readOpenDml(reader, infos[i], m_streams[i], limit)) continue;
        m_streams[i].clear();
        legacy[i] = true;
        anyLegacy = true;
    }
    if (anyLegacy) readLegacy(reader, legacy, limit);
}

bool SourceIndex::readOpenDml(avi::AviReader& reader, const avi::StreamInfo& info, std::vector<IndexedChunk>& out,
                              int64_t limit) {
    uint8_t head[kIndexHeaderBytes];
    if (info.superIndexSize < kIndexHeaderBytes || reader.ReadAt(info.superIndexOffset, head, sizeof head) != 1)
        return false;
    if (avi::readLe16(head) != 4 || head[3] != kIndexOfIndexes) return false;
    uint32_t entries = std::min({avi::readLe32(head + 4), (info.superIndexSize - kIndexHeaderBytes) / kSuperEntryBytes,
                                 kMaxSuperEntries});
    std::vector<std::pair<int64_t, uint32_t>> parts;
    bool read = forEachEntry(reader, info.superIndexOffset + kIndexHeaderBytes, entries, kSuperEntryBytes,
                             [&](const uint8_t* e) {
                                 parts.emplace_back(static_cast<int64_t>(avi::readLe64(e)), avi::readLe32(e + 8));
                                 return true;
                             });
    if (!read) return false;
    for (const auto& [offset, size] : parts)
        if (!readStandardIndex(reader, offset, size, out, limit)) return false;
    return !out.empty();
}

bool SourceIndex::readStandardIndex(avi::AviReader& reader, int64_t offset, uint32_t size,
                                    std::vector<IndexedChunk>& out, int64_t limit) {
    uint8_t head[8 + kIndexHeaderBytes];
    if (offset < 0 || size < sizeof head || offset + size > reader.fileSize() ||
        reader.ReadAt(offset, head, sizeof head) != 1)
        return false;
    const uint8_t* h = head + 8;
    if (avi::readLe16(h) != 2 || h[3] != kIndexOfChunks) return false;
    int64_t base = static_cast<int64_t>(avi::readLe64(h + 12));
    int64_t room = (std::min<int64_t>(avi::readLe32(head + 4), size - 8) - kIndexHeaderBytes) / kStandardEntryBytes;
    int64_t entries = std::min<int64_t>(avi::readLe32(h + 4), room);
    return forEachEntry(reader, offset + sizeof head, entries, kStandardEntryBytes, [&](const uint8_t* e) {
        if (static_cast<int64_t>(out.size()) >= limit) return false;
        uint32_t entrySize = avi::readLe32(e + 4);
        // The entry points at the chunk data; the header is the 8 bytes before.
        out.push_back({base + avi::readLe32(e) - 8, entrySize & ~kStandardNonKey, (entrySize & kStandardNonKey) == 0});
        return true;
    });
}

void SourceIndex::readLegacy(avi::AviReader& reader, const std::vector<bool>& wanted, int64_t limit) {
    // 'idx1' follows 'movi' inside the first RIFF.
    uint8_t riff[12];
    if (reader.ReadAt(0, riff, sizeof riff) != 1 || avi::readLe32(riff) != avi::kFccRiff) return;
    int64_t end = std::min<int64_t>(reader.fileSize(), 8 + int64_t{avi::readLe32(riff + 4)});
    int64_t position = 12;
    while (position + 8 <= end) {
        uint8_t header[8];
        if (reader.ReadAt(position, header, sizeof header) != 1) return;
        uint32_t id = avi::readLe32(header), size = avi::readLe32(header + 4);
        if (id == avi::kFccIdx1) break;
        position += 8 + int64_t{size} + (size & 1u);
    }
    if (position + 8 > end) return;
    uint8_t header[8];
    reader.ReadAt(position, header, sizeof header);
    int64_t entries = std::min<int64_t>(avi::readLe32(header + 4), end - position - 8) / avi::kIndexEntrySize;
    // Offsets count from the 'movi' type, or (in some files) from the file start.
    int64_t movi = reader.movieListOffset() - 4;
    int64_t base = -1;
    forEachEntry(reader, position + 8, entries, avi::kIndexEntrySize, [&](const uint8_t* e) {
        uint32_t id = avi::readLe32(e);
        int number = avi::chunkStreamNumber(id);
        if (number < 0 || number >= static_cast<int>(wanted.size()) || !wanted[static_cast<size_t>(number)])
            return true;
        int64_t offset = avi::readLe32(e + 8);
        if (base < 0) {
            uint8_t probe[4] = {};
            base = reader.ReadAt(movi + offset, probe, 4) == 1 && avi::readLe32(probe) == id ? movi : 0;
        }
        auto& out = m_streams[static_cast<size_t>(number)];
        if (static_cast<int64_t>(out.size()) < limit)
            out.push_back({base + offset, avi::readLe32(e + 12), (avi::readLe32(e + 4) & avi::kIndexKeyFrame) != 0});
        return true;
    });
}

}  // namespace klemora::output
