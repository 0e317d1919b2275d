#include "avi/avi_index_reader.h"

#include <algorithm>
#include <iterator>

#include "avi/avi_format.h"
#include "avi/avi_index_layout.h"

namespace klemora::avi {
namespace {

constexpr int64_t kReadBlockEntries = 8192;
constexpr uint32_t kMaxSuperEntries = 65536;

// Reads `entries` records of `entryBytes` from `offset` in blocks and hands each to `visit`.
template <typename Visit>
bool forEachEntry(AviReader& reader, int64_t offset, int64_t entries, uint32_t entryBytes, Visit&& visit) {
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

const std::vector<IndexedChunk>* AviIndex::stream(int streamNumber) const {
    if (streamNumber < 0 || streamNumber >= static_cast<int>(m_streams.size())) return nullptr;
    const auto& entries = m_streams[static_cast<size_t>(streamNumber)];
    return entries.empty() ? nullptr : &entries;
}

bool AviIndex::allKeyFrames(int streamNumber) const {
    const auto* entries = stream(streamNumber);
    return !entries || std::all_of(entries->begin(), entries->end(), [](const IndexedChunk& c) { return c.keyFrame; });
}

bool AviIndex::isKeyFrame(int streamNumber, int64_t chunk) const {
    const auto* entries = stream(streamNumber);
    if (!entries || chunk < 0 || chunk >= static_cast<int64_t>(entries->size())) return true;
    return (*entries)[static_cast<size_t>(chunk)].keyFrame;
}

std::vector<IndexedChunk> AviIndex::inFileOrder() const {
    auto byOffset = [](const IndexedChunk& a, const IndexedChunk& b) { return a.headerOffset < b.headerOffset; };
    std::vector<const std::vector<IndexedChunk>*> indexed;
    size_t total = 0;
    for (const std::vector<IndexedChunk>& entries : m_streams) {
        if (!entries.empty()) indexed.push_back(&entries);
        total += entries.size();
    }
    std::vector<IndexedChunk> all;
    all.reserve(total);
    // The usual file: one picture and one sound stream, each index in file
    // order already, merged in one linear pass.
    if (indexed.size() == 2 && std::is_sorted(indexed[0]->begin(), indexed[0]->end(), byOffset) &&
        std::is_sorted(indexed[1]->begin(), indexed[1]->end(), byOffset)) {
        std::merge(indexed[0]->begin(), indexed[0]->end(), indexed[1]->begin(), indexed[1]->end(),
                   std::back_inserter(all), byOffset);
        return all;
    }
    for (const std::vector<IndexedChunk>* entries : indexed) all.insert(all.end(), entries->begin(), entries->end());
    std::sort(all.begin(), all.end(), byOffset);
    return all;
}

void AviIndex::build(AviReader& reader, int64_t limit) {
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

bool AviIndex::readOpenDml(AviReader& reader, const StreamInfo& info, std::vector<IndexedChunk>& out,
                              int64_t limit) {
    uint8_t head[kIndexHeaderSize];
    if (info.superIndexSize < kIndexHeaderSize || reader.ReadAt(info.superIndexOffset, head, sizeof head) != 1)
        return false;
    if (readLe16(head) != kSuperLongsPerEntry || head[kIndexTypeOffset] != kIndexOfIndexes) return false;
    uint32_t entries = std::min({readLe32(head + kIndexEntriesOffset), (info.superIndexSize - kIndexHeaderSize) / kSuperEntrySize,
                                 kMaxSuperEntries});
    std::vector<std::pair<int64_t, uint32_t>> parts;
    bool read = forEachEntry(reader, info.superIndexOffset + kIndexHeaderSize, entries, kSuperEntrySize,
                             [&](const uint8_t* e) {
                                 parts.emplace_back(static_cast<int64_t>(readLe64(e)), readLe32(e + 8));
                                 return true;
                             });
    if (!read) return false;
    for (const auto& [offset, size] : parts)
        if (!readStandardIndex(reader, offset, size, out, limit)) return false;
    return !out.empty();
}

bool AviIndex::readStandardIndex(AviReader& reader, int64_t offset, uint32_t size,
                                    std::vector<IndexedChunk>& out, int64_t limit) {
    uint8_t head[8 + kIndexHeaderSize];
    if (offset < 0 || size < sizeof head || offset + size > reader.fileSize() ||
        reader.ReadAt(offset, head, sizeof head) != 1)
        return false;
    const uint8_t* h = head + 8;
    if (readLe16(h) != kStandardLongsPerEntry || h[kIndexTypeOffset] != kIndexOfChunks) return false;
    int64_t base = static_cast<int64_t>(readLe64(h + kIndexBaseOffset));
    int64_t room = (std::min<int64_t>(readLe32(head + 4), size - 8) - kIndexHeaderSize) / kStandardEntrySize;
    int64_t entries = std::min<int64_t>(readLe32(h + kIndexEntriesOffset), room);
    // One step per index segment instead of a doubling every few entries.
    const int64_t allowed = std::max<int64_t>(limit - static_cast<int64_t>(out.size()), 0);
    const size_t wanted = out.size() + static_cast<size_t>(std::clamp<int64_t>(entries, 0, allowed));
    if (wanted > out.capacity()) out.reserve(std::max(wanted, 2 * out.capacity()));
    return forEachEntry(reader, offset + sizeof head, entries, kStandardEntrySize, [&](const uint8_t* e) {
        if (static_cast<int64_t>(out.size()) >= limit) return false;
        uint32_t entrySize = readLe32(e + 4);
        // The entry points at the chunk data; the header is the 8 bytes before.
        out.push_back({base + readLe32(e) - 8, entrySize & ~kStandardNotKeyFrame, (entrySize & kStandardNotKeyFrame) == 0});
        return true;
    });
}

void AviIndex::readLegacy(AviReader& reader, const std::vector<bool>& wanted, int64_t limit) {
    // 'idx1' follows 'movi' inside the first RIFF.
    uint8_t riff[12];
    if (reader.ReadAt(0, riff, sizeof riff) != 1 || readLe32(riff) != kFccRiff) return;
    int64_t end = std::min<int64_t>(reader.fileSize(), 8 + int64_t{readLe32(riff + 4)});
    int64_t position = 12;
    while (position + 8 <= end) {
        uint8_t header[8];
        if (reader.ReadAt(position, header, sizeof header) != 1) return;
        uint32_t id = readLe32(header), size = readLe32(header + 4);
        if (id == kFccIdx1) break;
        position += 8 + int64_t{size} + (size & 1u);
    }
    if (position + 8 > end) return;
    uint8_t header[8];
    reader.ReadAt(position, header, sizeof header);
    int64_t entries = std::min<int64_t>(readLe32(header + 4), end - position - 8) / kLegacyEntrySize;
    // Offsets count from the 'movi' type, or (in some files) from the file start.
    int64_t movi = reader.movieListOffset() - 4;
    int64_t base = -1;
    forEachEntry(reader, position + 8, entries, kLegacyEntrySize, [&](const uint8_t* e) {
        uint32_t id = readLe32(e);
        int number = chunkStreamNumber(id);
        if (number < 0 || number >= static_cast<int>(wanted.size()) || !wanted[static_cast<size_t>(number)])
            return true;
        int64_t offset = readLe32(e + 8);
        if (base < 0) {
            uint8_t probe[4] = {};
            base = reader.ReadAt(movi + offset, probe, 4) == 1 && readLe32(probe) == id ? movi : 0;
        }
        auto& out = m_streams[static_cast<size_t>(number)];
        if (static_cast<int64_t>(out.size()) < limit)
            out.push_back({base + offset, readLe32(e + 12), (readLe32(e + 4) & kLegacyKeyFrame) != 0});
        return true;
    });
}

}  // namespace klemora::avi
