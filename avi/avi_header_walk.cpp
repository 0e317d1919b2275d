// The header walk of AviReader::Open: from the start of the file up to the
// first 'movi' list, keeping the headers the program needs.
#include <algorithm>
#include <new>

#include "app/debug_log.h"
#include "avi/avi_index_layout.h"
#include "avi/avi_reader.h"
#include "avi/avi_reader_internal.h"

namespace klemora::avi {
namespace {

// Stream formats are kept whole for writers; anything larger is not a format.
constexpr uint32_t kMaxKeptChunk = 1u << 20;
// 'idx1' after the movie list is looked for among this many chunks.
constexpr int kMaxChunksBeforeIndex = 16;
constexpr size_t kIndexEntriesPerRead = 4096;

constexpr int code(OpenResult result) { return static_cast<int>(result); }

}  // namespace

int AviReader::walkHeaders() {
    uint32_t lastStreamType = 0;
    for (;;) {
        uint32_t id = 0;
        uint32_t size = 0;
        if (!readHeader(id, size)) return code(OpenResult::HeaderUnreadable);
        if (paddedSize(size) == 0) continue;
        bool done = false;
        int rc = walkChunk(id, size, lastStreamType, done);
        if (rc != 1) return rc;
        if (done) return 1;
    }
}

int AviReader::walkChunk(uint32_t id, uint32_t size, uint32_t& lastStreamType, bool& done) {
    const int64_t dataOffset = m_position;
    const int64_t n = paddedSize(size);
    switch (id) {
        case kFccRiff:
        case kFccList:
            return enterList(n, done);
        case kFccStrh:
            return readStreamHeader(n, lastStreamType);
        case kFccStrf:
            keepWholeChunk(currentStream()->format, dataOffset, size);
            return readStreamFormat(n, lastStreamType);
        case kFccDmlh:
            return readOpenDmlHeader(n);
        case kFccIdx1:
            done = true;
            return readIndexChunk(n);
        case kFccJunk:
            return skip(n) ? 1 : code(OpenResult::JunkSkipFailed);
        case kFccStrd:
            keepWholeChunk(currentStream()->extra, dataOffset, size);
            break;
        case kFccStrn: {
            std::vector<uint8_t> name;
            keepWholeChunk(name, dataOffset, size);
            currentStream()->name.assign(name.begin(), std::find(name.begin(), name.end(), 0));
            break;
        }
        case kFccIndx:
            if (!m_streams.empty()) {
                m_streams.back().superIndexOffset = dataOffset;
                m_streams.back().superIndexSize = size;
            }
            break;
        default:
            break;
    }
    return skip(n) ? 1 : code(OpenResult::OtherChunkSkipFailed);
}

int AviReader::enterList(int64_t n, bool& done) {
    uint8_t typeBytes[4];
    if (!m_source || !readExactAt(*m_source, m_position, typeBytes, 4)) return code(OpenResult::ListTypeUnreadable);
    const int64_t dataOffset = m_position;
    m_position += 4;
    const uint32_t type = readLe32(typeBytes);
    if (type == kFccMovi) {
        m_movieOffset = m_position;
        m_movieEnd = dataOffset + n;
        done = true;
        return 1;
    }
    if (type == kFccHdrl) {
        uint8_t header[8 + kMainHeaderSize];
        if (!readExactAt(*m_source, m_position, header, sizeof header)) return code(OpenResult::MainHeaderUnreadable);
        m_position += sizeof header;
        std::copy(header + 8, header + sizeof header, m_mainHeader);
        m_hasMainHeader = true;
        m_frameCount = static_cast<int32_t>(mainHeaderTotalFrames());
    } else if (type == kFccStrl) {
        ++m_streamListCount;
        m_streams.emplace_back();
    }
    return 1;
}

StreamInfo* AviReader::currentStream() {
    if (m_streams.empty()) m_streams.emplace_back();
    return &m_streams.back();
}

int AviReader::readStreamHeader(int64_t n, uint32_t& lastStreamType) {
    if (n != kStreamHeaderSize && n != kStreamHeaderSizeLong) return code(OpenResult::StreamHeaderBadSize);
    std::vector<uint8_t> header(static_cast<size_t>(n));
    if (!readExactAt(*m_source, m_position, header.data(), header.size()))
        return code(n == kStreamHeaderSize ? OpenResult::StreamHeader56Unreadable
                                           : OpenResult::StreamHeader64Unreadable);
    m_position += n;
    const uint32_t type = readLe32(header.data());
    const uint32_t handler = readLe32(header.data() + 4);
    lastStreamType = type;
    StreamInfo* stream = currentStream();
    stream->type = type;
    stream->handler = handler;
    stream->header = header;
    if (type == kFccAuds) {
        m_audioStreamHeader = std::move(header);
    } else if (type == kFccVids || type == kFccIavs) {
        m_videoStreamHeader = std::move(header);
        m_interleaved = type == kFccIavs;
        m_isDv = isDvHandler(handler);
    }
    return 1;
}

int AviReader::readPart(std::vector<uint8_t>& into, uint32_t count, int64_t n, int readCode, int skipCode) {
    std::vector<uint8_t> bytes(count);
    if (!readExactAt(*m_source, m_position, bytes.data(), count)) return readCode;
    m_position += count;
    into = std::move(bytes);
    return skip(n - count) ? 1 : skipCode;
}

int AviReader::readStreamFormat(int64_t n, uint32_t lastStreamType) {
    if (lastStreamType == kFccAuds) {
        if (n == kPcmWaveFormatSize) {
            int rc = readPart(m_audioFormat, kPcmWaveFormatSize, n, code(OpenResult::PcmFormatUnreadable), 1);
            if (rc == 1) m_audioFormatIsPcm = true;
            return rc;
        }
        if (n >= kWaveFormatSize) {
            int rc = readPart(m_audioFormat, kWaveFormatSize, n, code(OpenResult::WaveFormatUnreadable),
                              code(OpenResult::WaveFormatRestSkipFailed));
            if (rc == 1) m_audioFormatIsPcm = false;
            return rc;
        }
        return skip(n) ? 1 : code(OpenResult::ShortAudioFormatSkipFailed);
    }
    if (lastStreamType == kFccVids) {
        if (n < kBitmapInfoSize) return skip(n) ? 1 : code(OpenResult::ShortVideoFormatSkipFailed);
        return readPart(m_videoFormat, kBitmapInfoSize, n, code(OpenResult::VideoFormatUnreadable),
                        code(OpenResult::VideoFormatRestSkipFailed));
    }
    if (lastStreamType == kFccIavs) {
        if (n < kDvInfoSize) return skip(n) ? 1 : code(OpenResult::ShortDvFormatSkipFailed);
        return readPart(m_dvFormat, kDvInfoSize, n, code(OpenResult::DvFormatUnreadable),
                        code(OpenResult::DvFormatRestSkipFailed));
    }
    return skip(n) ? 1 : code(OpenResult::OtherFormatSkipFailed);
}

int AviReader::readOpenDmlHeader(int64_t n) {
    std::vector<uint8_t> count;
    // The skip measures from the end of the 4 bytes read, so it lands at the
    // chunk's end even for a chunk shorter than 4 bytes.
    int rc = readPart(count, 4, n, code(OpenResult::OpenDmlCountUnreadable), code(OpenResult::OpenDmlRestSkipFailed));
    if (rc != 1) return rc;
    m_openDmlFrameCount = readLe32(count.data());
    m_openDml = true;
    if (mainHeaderTotalFrames() < m_openDmlFrameCount) m_extendedOpenDml = true;
    m_frameCount = static_cast<int32_t>(m_openDmlFrameCount);
    return 1;
}

int AviReader::readIndexChunk(int64_t n) {
    scanIndexEntries(m_position, n);
    return 1;
}

void AviReader::scanIndexEntries(int64_t dataOffset, int64_t size) {
    m_allKeyframes = true;
    m_legacyIndex = {dataOffset, size};
    std::vector<uint8_t> block;
    try {
        block.resize(kIndexEntriesPerRead * kLegacyEntrySize);
    } catch (const std::bad_alloc&) {
        return;
    }
    int64_t entries = size / kLegacyEntrySize;
    for (int64_t done = 0; done < entries;) {
        int64_t count = std::min<int64_t>(entries - done, kIndexEntriesPerRead);
        int64_t got = m_source->readAt(dataOffset + done * kLegacyEntrySize, block.data(),
                                       static_cast<size_t>(count * kLegacyEntrySize));
        if (got <= 0) break;
        count = got / kLegacyEntrySize;
        if (count == 0) break;
        for (int64_t i = 0; i < count; ++i) {
            const uint8_t* entry = block.data() + i * kLegacyEntrySize;
            if (isFrameChunkId(readLe32(entry)) && (readLe32(entry + 4) & kLegacyKeyFrame) == 0) m_allKeyframes = false;
        }
        done += count;
    }
}

// 'idx1' usually follows the movie list, where the walk never comes; when the
// main header says there is one, its key-frame flags are read from there.
void AviReader::readIndexAfterMovie() {
    if (!m_hasMainHeader || (mainHeaderFlags() & kMainHeaderHasIndex) == 0 || m_movieEnd < 0) return;
    int64_t position = m_movieEnd;
    for (int i = 0; i < kMaxChunksBeforeIndex; ++i) {
        uint8_t header[8];
        if (!readExactAt(*m_source, position, header, sizeof header)) return;
        uint32_t id = readLe32(header);
        int64_t n = paddedSize(readLe32(header + 4));
        if (id == kFccIdx1) {
            scanIndexEntries(position + 8, n);
            return;
        }
        if (id == kFccRiff || id == kFccList) return;  // the next segment or list: no 'idx1' here
        position += 8 + n;
    }
}

void AviReader::keepWholeChunk(std::vector<uint8_t>& into, int64_t dataOffset, uint32_t size) {
    into.clear();
    if (size == 0 || size > kMaxKeptChunk) return;
    std::vector<uint8_t> bytes(size);
    if (readExactAt(*m_source, dataOffset, bytes.data(), size)) into = std::move(bytes);
}

}  // namespace klemora::avi
