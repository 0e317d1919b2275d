#include "avi/avi_reader.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "app/debug_log.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "avi/avi_index_reader.h"
#include "avi/avi_reader_internal.h"
#include "avi/dv_pack.h"
#include "avi/walk_cache.h"

namespace klemora::avi {

AviReader::AviReader(app::UserInterface* ui) : m_ui(ui) {}

AviReader::~AviReader() = default;

int AviReader::Open(const std::string& fileName, const std::string& mode) {
    if (m_open && fileName == m_fileName) {
        m_chunkStatistics.clear();
        m_segmentsAhead.clear();
        return 1;
    }
    if (m_open) Close();
    m_chunkStatistics.clear();
    if (mode != "r" && mode != "rw") return static_cast<int>(OpenResult::CannotOpen);
    int error = 0;
    std::unique_ptr<ByteSource> source = openFileSource(fileName, mode == "rw", &error);
    if (!source) {
        m_log.write("AviReader: cannot open %s (%s)", fileName.c_str(), std::strerror(error));
        return static_cast<int>(OpenResult::CannotOpen);
    }
    return openWith(std::move(source), fileName);
}

int AviReader::OpenSource(std::unique_ptr<ByteSource> source, const std::string& name) {
    if (m_open && name == m_fileName) {
        m_chunkStatistics.clear();
        return 1;
    }
    if (m_open) Close();
    m_chunkStatistics.clear();
    if (!source) return static_cast<int>(OpenResult::CannotOpen);
    return openWith(std::move(source), name);
}

int AviReader::openWith(std::unique_ptr<ByteSource> source, const std::string& name) {
    resetState();
    m_source = std::move(source);
    m_fileName = name;  // for the log lines of the walk; Close empties it again
    m_position = 0;
    int rc = walkHeaders();
    if (rc == 1 && !seekTo(0, "Klemora AviSeek Error")) rc = static_cast<int>(OpenResult::RewindFailed);
    if (rc == 1) {
        readIndexAfterMovie();
        rc = allocateBuffer();
    }
    if (rc == 1) rc = collectFrames();
    if (rc != 1) {
        Close();
        return rc;
    }
    m_open = true;
    m_fileName = name;
    m_currentFrame = -1;
    if (!m_isDv) {
        m_firstRecordingTime = scene::kNoRecordingTime;
        // The size and handler rules need no frame; a 1920x1080 file is wide
        // whether or not it is DV.
        m_wideScreen = IsWideScreen(*this);
        return 1;
    }
    return readFirstDvFrame();
}

// Chunks walked between two looks at the Stop: a few milliseconds from disk.
constexpr size_t kChunksPerStopCheck = 512;
// Index entries per stream taken as hints for the walk: hours of DV; a
// longer or a hostile index only walks the rest without them.
constexpr int64_t kMaxHintsPerStream = int64_t{1} << 18;

// Where the frame chunks really are; the headers' count only caps them. A
// file opened again unchanged gets the frames of its last walk.
int AviReader::collectFrames() {
    const uint32_t claimed = m_openDml ? m_openDmlFrameCount : m_hasMainHeader ? mainHeaderTotalFrames() : 0;
    m_headerFrameCount = static_cast<int32_t>(std::min<uint32_t>(claimed, INT32_MAX));
    m_frameList.reset();
    m_frames = {};
    m_reusedWalk = false;
    // A traced open wants the chunk statistics of its own walk.
    const std::optional<FileIdentity> file = m_log.tracing() ? std::nullopt : identityOf(sourceDescriptor());
    if (std::optional<FrameWalk> kept = file ? keptWalk(*file, m_headerFrameCount) : std::nullopt) {
        m_frameList = std::move(kept->frames);
        m_walkDamage = kept->damage;
        m_reusedWalk = true;
    } else {
        const int rc = walkFrames();
        if (rc == static_cast<int>(OpenResult::Stopped)) return rc;
        if (rc >= 0 && file) keepWalk(*file, {m_headerFrameCount, m_frameList, m_walkDamage}, realTimeNs());
    }
    m_frames = *m_frameList;
    m_frameCount = static_cast<int32_t>(m_frames.size());
    logWalkDamage();
    return 1;
}

// The walk itself: the walker's last answer (1 when the headers' count
// ended it), or Stopped.
int AviReader::walkFrames() {
    std::vector<IndexedChunk> hints;
    {
        AviIndex index;
        index.build(*this, kMaxHintsPerStream);
        hints = index.inFileOrder();
    }
    MovieChunkWalker walker(*this);
    walker.expectHeaders(hints);
    // Room for as many frames as the index holds chunks: pages never
    // touched cost nothing, a list grown by doubling touches twice its size.
    std::vector<MovieChunk> frames;
    frames.reserve(m_headerFrameCount > 0 ? std::min<size_t>(hints.size(), static_cast<size_t>(m_headerFrameCount))
                                          : hints.size());
    int rc = 0;
    int64_t passedTo = 0;
    size_t walked = 0;
    for (MovieChunk chunk; (rc = walker.next(chunk)) == 1;) {
        if (m_openStop && ++walked % kChunksPerStopCheck == 0 && m_openStop->requested())
            return static_cast<int>(OpenResult::Stopped);
        if (m_log.tracing()) {
            countChunk(chunk.fourcc, -1);
            if (chunk.headerOffset - passedTo > 2147483645)
                m_log.write(" %05d  |  #### AviSeek: long limit!", static_cast<int>(frames.size()));
            passedTo = chunk.dataOffset + paddedSize(chunk.size);
        }
        if (!isFrameChunkId(chunk.fourcc)) continue;
        if (m_headerFrameCount > 0 && static_cast<int64_t>(frames.size()) >= m_headerFrameCount) break;
        frames.push_back(chunk);
    }
    m_walkDamage = walker.damage();
    if (rc < 0) m_log.write("AviReader: %s: the movie data cannot be read after %zu frames", m_fileName.c_str(),
                              frames.size());
    m_frameList = std::make_shared<const std::vector<MovieChunk>>(std::move(frames));
    return rc;
}

void AviReader::logWalkDamage() const {
    if (!m_walkDamage.any() && !frameCountClipped()) return;
    m_log.write("AviReader: %s holds %d frames (headers: %d); %d damaged chunks, %lld bytes skipped%s",
                  m_fileName.c_str(), m_frameCount, m_headerFrameCount, m_walkDamage.damagedChunks,
                  static_cast<long long>(m_walkDamage.skippedBytes), m_walkDamage.cutOff ? ", cut off" : "");
}

std::string walkDamageText(const AviReader& reader) {
    const WalkDamage& damage = reader.walkDamage();
    if (!damage.any() && !reader.frameCountClipped()) return {};
    return app::stringPrintf("%s\nFile: %s\nFrames (header): %d\nFrames (file): %d\nDamaged chunks: %d\nBytes skipped: %lld",
                             app::loadString(840).c_str(), reader.fileName().c_str(), reader.headerFrameCount(),
                             reader.GetFrameCount(), damage.damagedChunks, static_cast<long long>(damage.skippedBytes));
}

int AviReader::allocateBuffer() {
    uint32_t suggested = suggestedBufferSize();
    if (suggested > kMaxFrameBufferSize) suggested = kMaxFrameBufferSize;
    if (suggested > m_bufferSize) m_bufferSize = suggested;
    try {
        m_buffer.assign(m_bufferSize, 0);
        m_pending.assign(frameSegmentCount(), PendingRange{});
    } catch (const std::bad_alloc&) {
        if (m_ui) m_ui->showMessage(app::loadString(109), app::Icon::Stop);
        m_log.write("AviReader: no memory for a frame buffer of %u bytes", m_bufferSize);
        return static_cast<int>(OpenResult::OutOfMemory);
    }
    return 1;
}

int AviReader::readFirstDvFrame() {
    if (ReadRawPictureData(0, FrameLoad::OnDemand) != 1) {
        Close();
        return static_cast<int>(OpenResult::FirstFrameUnreadable);
    }
    ReadDvDateTime(*this, m_firstRecordingTime);
    ReadDvTimecode(*this, m_firstTimecode);
    m_wideScreen = IsWideScreen(*this);
    std::span<const uint8_t> header = frameBytes(3, 1);
    m_pal = !header.empty() && (header[0] & 0x80) != 0;
    if (!seekTo(0, "Klemora AviSeek Error")) {
        Close();
        return static_cast<int>(OpenResult::RewindAfterFirstFrameFailed);
    }
    m_currentFrame = -1;
    return 1;
}

void AviReader::resetState() {
    m_source.reset();
    m_knownSize = -1;
    m_open = false;
    m_fileName.clear();
    m_position = 0;
    std::memset(m_mainHeader, 0, sizeof m_mainHeader);
    m_hasMainHeader = false;
    m_videoStreamHeader.clear();
    m_audioStreamHeader.clear();
    m_videoFormat.clear();
    m_audioFormat.clear();
    m_audioFormatIsPcm = false;
    m_dvFormat.clear();
    m_streams.clear();
    m_streamListCount = 0;
    m_frameCount = 0;
    m_headerFrameCount = 0;
    m_frameList.reset();
    m_frames = {};
    m_legacyIndex = {};
    m_walkDamage = {};
    m_reusedWalk = false;
    m_openDmlFrameCount = 0;
    m_movieOffset = -1;
    m_movieEnd = -1;
    m_isDv = false;
    m_interleaved = false;
    m_openDml = false;
    m_extendedOpenDml = false;
    m_wideScreen = false;
    m_allKeyframes = true;
    m_firstRecordingTime = scene::kNoRecordingTime;
    m_firstTimecode = {};
    m_currentFrame = -1;
    m_chunk = {};
    m_segmentsAhead.clear();
}

void AviReader::Close() {
    m_chunkStatistics.clear();
    m_chunkStatistics.shrink_to_fit();
    std::vector<uint8_t>().swap(m_buffer);
    m_pending.clear();
    resetState();
}

float AviReader::GetFrameRate() const {
    if (m_videoStreamHeader.size() < 28) return 0.0f;
    uint32_t scale = readLe32(m_videoStreamHeader.data() + 20);
    uint32_t rate = readLe32(m_videoStreamHeader.data() + 24);
    if (scale == 0) return 0.0f;
    return static_cast<float>(rate) / static_cast<float>(scale);
}

int AviReader::GetDvType() const {
    if (!m_isDv) return static_cast<int>(DvType::None);
    return static_cast<int>(m_interleaved ? DvType::Type1 : DvType::Type2);
}

int AviReader::GetOpenDmlType() const {
    if (!m_openDml) return static_cast<int>(OpenDmlType::None);
    return static_cast<int>(m_extendedOpenDml ? OpenDmlType::Extended : OpenDmlType::OpenDml);
}

void AviReader::GetVideoHandler(char out[5]) const {
    std::memset(out, 0, 5);
    if (m_videoStreamHeader.size() >= 8) std::memcpy(out, m_videoStreamHeader.data() + 4, 4);
}

std::string AviReader::videoHandler() const {
    char handler[5];
    GetVideoHandler(handler);
    return std::string(handler, strnlen(handler, 4));
}

int AviReader::GetTimecode(uint8_t* hours, uint8_t* minutes, uint8_t* seconds, uint8_t* frames) const {
    if (hours) *hours = static_cast<uint8_t>(m_firstTimecode.hours);
    if (minutes) *minutes = static_cast<uint8_t>(m_firstTimecode.minutes);
    if (seconds) *seconds = static_cast<uint8_t>(m_firstTimecode.seconds);
    if (frames) *frames = static_cast<uint8_t>(m_firstTimecode.frames);
    return 1;
}

uint32_t AviReader::mainHeaderFlags() const { return readLe32(m_mainHeader + 12); }
uint32_t AviReader::mainHeaderTotalFrames() const { return readLe32(m_mainHeader + 16); }
uint32_t AviReader::suggestedBufferSize() const { return readLe32(m_mainHeader + 28); }
uint32_t AviReader::width() const { return pictureSide(readLe32(m_mainHeader + 32), 4, 720); }
uint32_t AviReader::height() const { return pictureSide(readLe32(m_mainHeader + 36), 8, m_pal ? 576 : 480); }

// A bitmap header's height is negative for top-down rows.
uint32_t AviReader::pictureSide(uint32_t mainHeaderValue, uint32_t formatOffset, uint32_t dvValue) const {
    auto held = [](int64_t side) { return side >= 1 && side <= kMaxPictureSide; };
    if (held(mainHeaderValue)) return mainHeaderValue;
    if (m_videoFormat.size() >= formatOffset + 4) {
        const int64_t side = std::abs(static_cast<int64_t>(static_cast<int32_t>(readLe32(m_videoFormat.data() + formatOffset))));
        if (held(side)) return static_cast<uint32_t>(side);
    }
    return m_isDv ? dvValue : 0;
}
uint32_t AviReader::microSecondsPerFrame() const { return readLe32(m_mainHeader + 0); }

// Raw access.

void AviReader::showError(const char* caption, int error) {
    std::string text = std::string(caption) + "\n" + std::strerror(error ? error : EIO);
    m_log.write("%s", text.c_str());
    if (m_ui) m_ui->showMessage(text, app::Icon::Stop);
}

bool AviReader::seekTo(int64_t position, const char* caption) {
    // Like a file pointer, the position may stand past the end; only a
    // position before the start is refused.
    if (position < 0) {
        showError(caption, EINVAL);
        return false;
    }
    m_position = position;
    return true;
}

bool AviReader::skip(int64_t distance) {
    if (m_log.tracing() && (distance > 2147483645 || distance < 0))
        m_log.write(" %05d  |  #### AviSeek: long limit!", m_currentFrame + 1);
    return seekTo(m_position + distance, "Klemora AviSeek Error");
}

int AviReader::AviSeek(int method, int32_t distance) {
    if (method < 0 || method > 2) return 1;
    if (!m_source) return -1;
    if (m_log.tracing() && distance < 0)
        m_log.write(" %05d  |  #### AviSeek: long limit!", m_currentFrame + 1);
    int64_t base = method == 0 ? 0 : method == 1 ? m_position : m_source->size();
    return seekTo(base + static_cast<int64_t>(distance), "Klemora AviSeek Error") ? 1 : -1;
}

int AviReader::AviWrite(const void* buffer, uint32_t size) {
    if (WriteAt(m_position, buffer, size) != 1) return -1;
    m_position += size;
    return 1;
}

int AviReader::WriteAt(int64_t offset, const void* buffer, size_t size) {
    if (!m_source || !m_source->writeAt(offset, buffer, size)) {
        showError("Klemora AviWrite Error", m_source ? m_source->lastError() : EBADF);
        return -1;
    }
    return 1;
}

int AviReader::ReadExact(void* buffer, uint32_t size) {
    if (!m_source) return -1;
    int64_t got = m_source->readAt(m_position, buffer, size);
    if (got > 0) m_position += got;
    return got == static_cast<int64_t>(size) ? 1 : -1;
}

int AviReader::ReadAt(int64_t offset, void* buffer, size_t size) {
    if (!m_source) return -1;
    return readExactAt(*m_source, offset, buffer, size) ? 1 : -1;
}

void AviReader::ReadMany(std::span<ReadRequest> requests) {
    if (m_source) return m_source->readMany(requests);
    for (ReadRequest& request : requests) request.result = -1;
}

int64_t AviReader::fileSize() const { return m_source ? m_source->size() : -1; }

int AviReader::sourceDescriptor() const { return m_source ? m_source->descriptor() : -1; }

bool AviReader::readHeader(uint32_t& id, uint32_t& size) {
    uint8_t header[8];
    if (!m_source || !readExactAt(*m_source, m_position, header, sizeof header)) return false;
    m_position += 8;
    id = readLe32(header);
    size = readLe32(header + 4);
    return true;
}

}  // namespace klemora::avi
