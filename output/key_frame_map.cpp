#include "output/key_frame_map.h"

#include <algorithm>

#include "avi/avi_format.h"

namespace klemora::output {
namespace {

constexpr uint32_t kIndexHeaderBytes = 24;  // after the chunk header
constexpr uint32_t kSuperEntryBytes = 16;
constexpr uint32_t kStandardEntryBytes = 8;
constexpr uint32_t kStandardNonKey = 0x80000000u;
constexpr uint8_t kIndexOfChunks = 1;
constexpr uint8_t kIndexOfIndexes = 0;
constexpr int64_t kReadBlockEntries = 4096;

}  // namespace

bool KeyFrameMap::allKeyFrames() const {
    return std::all_of(m_keys.begin(), m_keys.end(), [](bool key) { return key; });
}

void KeyFrameMap::build(avi::AviReader& reader, int videoStream, int32_t frameCount) {
    m_keys.clear();
    const auto& streams = reader.streams();
    if (videoStream < 0 || videoStream >= static_cast<int>(streams.size()) || frameCount <= 0) return;
    const avi::StreamInfo& stream = streams[static_cast<size_t>(videoStream)];
    if (stream.superIndexOffset >= 0 && readOpenDml(reader, stream, frameCount)) return;
    m_keys.clear();
    if (!readLegacy(reader, videoStream, frameCount)) m_keys.clear();
}

bool KeyFrameMap::readOpenDml(avi::AviReader& reader, const avi::StreamInfo& stream, int32_t frameCount) {
    uint8_t header[kIndexHeaderBytes];
    if (stream.superIndexSize < kIndexHeaderBytes || reader.ReadAt(stream.superIndexOffset, header, sizeof header) != 1)
        return false;
    if (avi::readLe16(header) != 4 || header[3] != kIndexOfIndexes) return false;
    uint32_t entries = std::min(avi::readLe32(header + 4), (stream.superIndexSize - kIndexHeaderBytes) / kSuperEntryBytes);
    for (uint32_t i = 0; i < entries && static_cast<int32_t>(m_keys.size()) < frameCount; ++i) {
        uint8_t entry[kSuperEntryBytes];
        if (reader.ReadAt(stream.superIndexOffset + kIndexHeaderBytes + int64_t{i} * kSuperEntryBytes, entry,
                          sizeof entry) != 1)
            return false;
        int64_t offset = static_cast<int64_t>(avi::readLe64(entry));
        uint32_t size = avi::readLe32(entry + 8);
        if (!readStandardIndex(reader, offset, size, frameCount)) return false;
    }
    return !m_keys.empty();
}

bool KeyFrameMap::readStandardIndex(avi::AviReader& reader, int64_t offset, uint32_t size, int32_t frameCount) {
    uint8_t head[8 + kIndexHeaderBytes];
    if (offset < 0 || size < sizeof head || offset + size > reader.fileSize() ||
        reader.ReadAt(offset, head, sizeof head) != 1)
        return false;
    const uint8_t* h = head + 8;
    if (avi::readLe16(h) != 2 || h[3] != kIndexOfChunks) return false;
    uint32_t chunkBytes = avi::readLe32(head + 4);
    int64_t room = std::min<int64_t>(chunkBytes, size - 8) - kIndexHeaderBytes;
    int64_t entries = std::min<int64_t>(avi::readLe32(h + 4), room / kStandardEntryBytes);
    std::vector<uint8_t> block;
    for (int64_t first = 0; first < entries; first += kReadBlockEntries) {
        int64_t count = std::min(kReadBlockEntries, entries - first);
        block.resize(static_cast<size_t>(count * kStandardEntryBytes));
        if (reader.ReadAt(offset + sizeof head + first * kStandardEntryBytes, block.data(), block.size()) != 1)
            return false;
        for (int64_t e = 0; e < count && static_cast<int32_t>(m_keys.size()) < frameCount; ++e)
            m_keys.push_back((avi::readLe32(block.data() + e * kStandardEntryBytes + 4) & kStandardNonKey) == 0);
    }
    return true;
}

bool KeyFrameMap::readLegacy(avi::AviReader& reader, int videoStream, int32_t frameCount) {
    // 'idx1' follows 'movi' inside the first RIFF.
    int64_t fileSize = reader.fileSize();
    uint8_t riff[12];
    if (reader.ReadAt(0, riff, sizeof riff) != 1 || avi::readLe32(riff) != avi::kFccRiff) return false;
    int64_t end = std::min<int64_t>(fileSize, 8 + int64_t{avi::readLe32(riff + 4)});
    int64_t position = 12;
    while (position + 8 <= end) {
        uint8_t header[8];
        if (reader.ReadAt(position, header, sizeof header) != 1) return false;
        uint32_t id = avi::readLe32(header), size = avi::readLe32(header + 4);
        if (id == avi::kFccIdx1) {
            int64_t entries = std::min<int64_t>(size, end - position - 8) / avi::kIndexEntrySize;
            std::vector<uint8_t> block;
            for (int64_t first = 0; first < entries; first += kReadBlockEntries) {
                int64_t count = std::min(kReadBlockEntries, entries - first);
                block.resize(static_cast<size_t>(count * avi::kIndexEntrySize));
                if (reader.ReadAt(position + 8 + first * avi::kIndexEntrySize, block.data(), block.size()) != 1)
                    return false;
                for (int64_t e = 0; e < count && static_cast<int32_t>(m_keys.size()) < frameCount; ++e) {
                    const uint8_t* entry = block.data() + e * avi::kIndexEntrySize;
                    if (avi::chunkStreamNumber(avi::readLe32(entry)) != videoStream) continue;
                    m_keys.push_back((avi::readLe32(entry + 4) & avi::kIndexKeyFrame) != 0);
                }
            }
            return true;
        }
        position += 8 + size + (size & 1u);
    }
    return false;
}

}  // namespace klemora::output
