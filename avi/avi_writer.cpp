#include "avi/avi_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "app/debug_log.h"
#include "avi/avi_format.h"

namespace klemora::avi {
namespace {

constexpr int kOk = 1;

int code(WriterResult result) { return static_cast<int>(result); }

uint32_t headerField(const std::vector<uint8_t>& header, uint32_t offset) {
    return header.size() >= offset + 4 ? readLe32(header.data() + offset) : 0;
}

uint32_t clampTo32(int64_t value) {
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, UINT32_MAX));
}

uint32_t makeChunkId(int stream, const char suffix[2]) {
    return static_cast<uint32_t>('0' + stream / 10) | static_cast<uint32_t>('0' + stream % 10) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(suffix[0])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(suffix[1])) << 24;
}

bool printable(char c) { return c > 0x20 && c < 0x7F; }

}  // namespace

uint32_t AviStreamSpec::type() const { return headerField(header, kStrhType); }
uint32_t AviStreamSpec::sampleSize() const { return headerField(header, kStrhSampleSize); }

AviWriter::AviWriter() = default;

AviWriter::~AviWriter() {
    if (m_open && !m_finished) discard();
}

int AviWriter::result() const { return m_out.result(); }

int64_t AviWriter::chunkCount(int stream) const {
    if (stream < 0 || stream >= static_cast<int>(m_streams.size())) return 0;
    return m_streams[static_cast<size_t>(stream)].chunks;
}

int64_t AviWriter::frameCount() const { return chunkCount(m_layout.frameStream); }

int AviWriter::validate(const AviLayout& layout, const AviWriterOptions& options) const {
    if (options.segmentLimitBytes < kMinSegmentBytes || options.segmentLimitBytes > kMaxSegmentBytes ||
        options.superIndexEntries < 1 || options.superIndexEntries > 65536)
        return code(WriterResult::BadOptions);
    int streams = static_cast<int>(layout.streams.size());
    if (streams < 1 || streams > kMaxStreams) return code(WriterResult::BadStream);
    if (layout.frameStream < -1 || layout.frameStream >= streams) return code(WriterResult::BadStream);
    for (const AviStreamSpec& spec : layout.streams) {
        if (spec.header.size() < kStrhMinimumSize || spec.header.size() > UINT32_MAX)
            return code(WriterResult::BadStream);
        if (spec.format.size() > UINT32_MAX || spec.extra.size() > UINT32_MAX) return code(WriterResult::BadStream);
        if (!printable(spec.chunkSuffix[0]) || !printable(spec.chunkSuffix[1])) return code(WriterResult::BadStream);
    }
    return kOk;
}

int AviWriter::open(const std::string& path, AviLayout layout, const AviWriterOptions& options) {
    return start(path, -1, std::move(layout), options);
}

int AviWriter::open(int fd, const std::string& name, AviLayout layout, const AviWriterOptions& options) {
    if (fd < 0) return code(WriterResult::BadState);
    return start(name, fd, std::move(layout), options);
}

int AviWriter::start(const std::string& path, int fd, AviLayout layout, const AviWriterOptions& options) {
    if (m_open || m_finished) return code(WriterResult::BadState);
    if (int rc = validate(layout, options); rc != kOk) return rc;
    m_layout = std::move(layout);
    m_options = options;
    try {
        m_streams = std::vector<StreamState>(m_layout.streams.size());
    } catch (const std::bad_alloc&) {
        return code(WriterResult::OutOfMemory);
    }
    for (size_t i = 0; i < m_streams.size(); ++i) {
        m_streams[i].chunkId = makeChunkId(static_cast<int>(i), m_layout.streams[i].chunkSuffix);
        m_streams[i].sampleSize = m_layout.streams[i].sampleSize();
    }
    m_out.setCopyCalls(m_options.copyCall, m_options.sendCall);
    int rc = fd >= 0 ? m_out.attach(fd, m_options.bufferBytes) : m_out.create(path, m_options.bufferBytes);
    if (rc != kOk) return rc;
    m_ownsFile = fd < 0;
    m_path = path;
    m_open = true;
    if (writeHeaders() != kOk) return failAndRemove();
    return kOk;
}

int AviWriter::writeHeaders() {
    m_riff = m_out.openList(kFccRiff, kFccAvi);
    ChunkScope hdrl = m_out.openList(kFccList, kFccHdrl);
    writeMainHeader();
    for (int i = 0; i < static_cast<int>(m_streams.size()); ++i) writeStreamList(i);
    // Room for 'odml'/'dmlh', kept as 'JUNK' until a second RIFF exists.
    m_odmlOffset = m_out.position();
    ChunkScope odml = m_out.openChunk(kFccJunk);
    m_out.appendLe32(kFccOdml);
    m_out.appendLe32(kFccDmlh);
    m_out.appendLe32(kOpenDmlHeaderSize);
    m_out.appendZeros(kOpenDmlHeaderSize);
    odml.finish();
    hdrl.finish();
    m_riffStart = m_riff.headerOffset();
    m_movi = m_out.openList(kFccList, kFccMovi);
    m_moviOffset = m_movi.dataOffset();
    return m_out.result();
}

int AviWriter::writeMainHeader() {
    uint8_t avih[kMainHeaderSize] = {};
    if (m_layout.frameStream >= 0) {
        const auto& header = m_layout.streams[static_cast<size_t>(m_layout.frameStream)].header;
        uint32_t scale = headerField(header, kStrhScale), rate = headerField(header, kStrhRate);
        if (rate != 0) writeLe32(avih + kAvihMicroSecPerFrame, clampTo32(std::llround(1e6 * scale / rate)));
    }
    writeLe32(avih + kAvihFlags, kMainHeaderHasIndex | kAvifIsInterleaved | kAvifTrustChunkType);
    writeLe32(avih + kAvihStreams, static_cast<uint32_t>(m_streams.size()));
    writeLe32(avih + kAvihWidth, m_layout.width);
    writeLe32(avih + kAvihHeight, m_layout.height);
    m_avihOffset = m_out.position() + 8;
    return m_out.writeChunk(kFccAvih, avih);
}

int AviWriter::writeStreamList(int stream) {
    const AviStreamSpec& spec = m_layout.streams[static_cast<size_t>(stream)];
    StreamState& state = m_streams[static_cast<size_t>(stream)];
    ChunkScope strl = m_out.openList(kFccList, kFccStrl);
    state.headerOffset = m_out.position() + 8;
    m_out.writeChunk(kFccStrh, spec.header);
    m_out.patchLe32(state.headerOffset + kStrhLength, 0);  // both filled in by finish()
    m_out.patchLe32(state.headerOffset + kStrhSuggestedBufferSize, 0);
    m_out.writeChunk(kFccStrf, {spec.format.data(), spec.format.size()});
    if (!spec.extra.empty()) m_out.writeChunk(kFccStrd, spec.extra);
    if (!spec.name.empty())
        m_out.writeChunk(kFccStrn, {reinterpret_cast<const uint8_t*>(spec.name.c_str()), spec.name.size() + 1});
    // Room for the super index, kept as 'JUNK' until a second RIFF exists.
    state.superIndexOffset = m_out.position();
    ChunkScope room = m_out.openChunk(kFccJunk);
    m_out.appendZeros(superIndexDataBytes(m_options.superIndexEntries));
    room.finish();
    return strl.finish();
}

bool AviWriter::wouldPassLimit(uint32_t size) const {
    int64_t chunkEnd = m_out.position() + 8 + size + (size % 2);
    // Whatever closes the segment must fit as well: the 'ix##' of every
    // stream and, in the first RIFF, 'idx1' (each with this chunk's entry).
    int64_t indexes = static_cast<int64_t>(m_streams.size()) * standardIndexChunkBytes(0) +
                      (m_segmentEntries + 1) * kStandardEntrySize;
    if (m_segment == 0) indexes += legacyIndexChunkBytes(static_cast<int64_t>(m_legacyEntries.count()) + 1);
    return chunkEnd + indexes - m_riffStart > static_cast<int64_t>(m_options.segmentLimitBytes);
}

int AviWriter::addIndexEntries(int stream, int64_t headerOffset, uint32_t size, bool keyFrame) {
    StreamState& state = m_streams[static_cast<size_t>(stream)];
    try {
        addStandardEntry(state.segmentEntries, m_moviOffset, headerOffset + 8, size, keyFrame);
        if (m_segment == 0) addLegacyEntry(m_legacyEntries, state.chunkId, m_moviOffset, headerOffset, size, keyFrame);
    } catch (const std::bad_alloc&) {
        return m_out.fail(WriterResult::OutOfMemory, ENOMEM);
    }
    ++m_segmentEntries;
    return kOk;
}

// The checks, the segment change and the index entries of a chunk about to
// be appended; 1 when its header may follow.
int AviWriter::placeChunk(int stream, size_t size, bool keyFrame) {
    if (!m_open || m_finished) return code(WriterResult::BadState);
    if (m_out.result() != kOk) return m_out.result();
    if (stream < 0 || stream >= static_cast<int>(m_streams.size())) return code(WriterResult::BadStream);
    if (size > kMaxChunkBytes) return code(WriterResult::SizeOverflow);
    uint32_t size32 = static_cast<uint32_t>(size);
    if (m_segmentChunks > 0 && wouldPassLimit(size32) && startNextSegment() != kOk) return m_out.result();
    return addIndexEntries(stream, m_out.position(), size32, keyFrame);
}

int AviWriter::countChunk(int stream, uint32_t size) {
    if (m_out.result() != kOk) return m_out.result();
    StreamState& state = m_streams[static_cast<size_t>(stream)];
    ++state.chunks;
    state.bytes += size;
    state.segmentBytes += size;
    state.largestChunk = std::max(state.largestChunk, size);
    ++m_segmentChunks;
    return kOk;
}

int AviWriter::writeChunk(int stream, std::span<const uint8_t> data, bool keyFrame) {
    if (int rc = placeChunk(stream, data.size(), keyFrame); rc != kOk) return rc;
    m_out.writeChunk(m_streams[static_cast<size_t>(stream)].chunkId, data);
    return countChunk(stream, static_cast<uint32_t>(data.size()));
}

int AviWriter::copyChunk(int stream, const SourceChunk& source, bool keyFrame) {
    if (source.descriptor < 0 || source.dataOffset < 8) return code(WriterResult::BadState);
    if (int rc = placeChunk(stream, source.size, keyFrame); rc != kOk) return rc;
    const uint32_t id = m_streams[static_cast<size_t>(stream)].chunkId;
    if (source.headerFourcc == id && source.size % 2 == 0) {
        // The source's header is the one we would write: it goes with the data.
        m_out.appendCopy(source.descriptor, source.dataOffset - 8, uint64_t{source.size} + 8);
    } else {
        m_out.appendLe32(id);
        m_out.appendLe32(source.size);
        m_out.appendCopy(source.descriptor, source.dataOffset, source.size);
        if (source.size % 2 != 0) m_out.appendZeros(1);
    }
    return countChunk(stream, source.size);
}

int AviWriter::flushCopies() {
    if (!m_open || m_finished) return code(WriterResult::BadState);
    return m_out.flush();
}

int AviWriter::startNextSegment() {
    // The super index was reserved up front; it cannot grow now.
    if (m_segment + 1 >= m_options.superIndexEntries) return m_out.fail(WriterResult::IndexFull);
    if (closeSegment(true) != kOk) return m_out.result();
    ++m_segment;
    return openSegment(kFccAvix);
}

int AviWriter::openSegment(uint32_t riffType) {
    m_riff = m_out.openList(kFccRiff, riffType);
    m_riffStart = m_riff.headerOffset();
    m_movi = m_out.openList(kFccList, kFccMovi);
    m_moviOffset = m_movi.dataOffset();
    m_segmentChunks = 0;
    m_segmentEntries = 0;
    for (StreamState& state : m_streams) {
        state.segmentEntries.clear();
        state.segmentBytes = 0;
    }
    return m_out.result();
}

int AviWriter::closeSegment(bool standardIndexes) {
    if (standardIndexes) {
        for (int i = 0; i < static_cast<int>(m_streams.size()); ++i) {
            StreamState& state = m_streams[static_cast<size_t>(i)];
            SuperIndexEntry described;
            writeStandardIndex(m_out, i, state.chunkId, m_moviOffset, state.segmentEntries, described);
            described.duration = state.sampleSize > 0 ? clampTo32(state.segmentBytes / state.sampleSize)
                                                      : static_cast<uint32_t>(state.segmentEntries.count());
            state.segments.push_back(described);
        }
    }
    m_movi.finish();
    if (m_segment == 0) {
        // 'idx1' covers the first RIFF only; later segments are found through 'indx'.
        writeLegacyIndex(m_out, m_legacyEntries);
        m_legacyEntries = EntryBlocks(kLegacyEntrySize);
        m_firstRiffFrames = frameCount();
    }
    return m_riff.finish();
}

uint32_t AviWriter::streamLength(const StreamState& stream) const {
    return stream.sampleSize > 0 ? clampTo32(stream.bytes / stream.sampleSize) : clampTo32(stream.chunks);
}

// The data rate with every stream at its peak: the largest chunk once per
// time unit, or the sample size times the rate for sample-based streams.
uint32_t AviWriter::maxBytesPerSecond() const {
    double total = 0;
    for (size_t i = 0; i < m_streams.size(); ++i) {
        const auto& header = m_layout.streams[i].header;
        uint32_t scale = headerField(header, kStrhScale), rate = headerField(header, kStrhRate);
        if (scale == 0) continue;
        uint32_t unit = m_streams[i].sampleSize > 0 ? m_streams[i].sampleSize : m_streams[i].largestChunk;
        total += static_cast<double>(unit) * rate / scale;
    }
    return clampTo32(static_cast<int64_t>(std::ceil(std::min(total, 4294967295.0))));
}

int AviWriter::patchCounts() {
    uint32_t largest = 0;
    for (const StreamState& state : m_streams) {
        m_out.patchLe32(state.headerOffset + kStrhLength, streamLength(state));
        m_out.patchLe32(state.headerOffset + kStrhSuggestedBufferSize, state.largestChunk);
        largest = std::max(largest, state.largestChunk);
    }
    m_out.patchLe32(m_avihOffset + kAvihMaxBytesPerSec, maxBytesPerSecond());
    // 'avih' counts the frames of the first RIFF, 'dmlh' those of the whole file.
    m_out.patchLe32(m_avihOffset + kAvihTotalFrames, clampTo32(m_firstRiffFrames));
    return m_out.patchLe32(m_avihOffset + kAvihSuggestedBufferSize, largest);
}

int AviWriter::patchOpenDml() {
    for (const StreamState& state : m_streams) {
        uint32_t room = superIndexDataBytes(m_options.superIndexEntries);
        std::vector<uint8_t> data = superIndexData(state.chunkId, state.segments, room);
        m_out.patchLe32(state.superIndexOffset, kFccIndx);
        m_out.patch(state.superIndexOffset + 8, data);
    }
    m_out.patchLe32(m_odmlOffset, kFccList);  // the 'JUNK' becomes LIST 'odml'
    return m_out.patchLe32(m_odmlOffset + 20, clampTo32(frameCount()));
}

int AviWriter::finish() {
    if (!m_open || m_finished) return code(WriterResult::BadState);
    if (m_out.result() == kOk) {
        closeSegment(openDmlActive());
        patchCounts();
        if (openDmlActive()) patchOpenDml();
        if (m_options.syncOnFinish) m_out.sync();
        m_out.close();
    }
    if (m_out.result() != kOk) return failAndRemove();
    m_finished = true;
    m_open = false;
    m_options.log.write("AviWriter: %s written, %lld frames, %d RIFF segment(s)", m_path.c_str(),
                  static_cast<long long>(frameCount()), segmentCount());
    return kOk;
}

int AviWriter::failAndRemove() {
    int rc = m_out.result();
    m_options.log.write("AviWriter: %s failed (%d %s, errno %d)", m_path.c_str(), rc,
                  std::string(writerResultName(rc)).c_str(), m_out.lastErrno());
    discard();
    return rc;
}

void AviWriter::discard() {
    if (!m_open) return;
    m_movi = ChunkScope();
    m_riff = ChunkScope();
    if (m_out.isOpen()) m_out.close();
    if (m_ownsFile) ::unlink(m_path.c_str());
    m_open = false;
}

}  // namespace klemora::avi
