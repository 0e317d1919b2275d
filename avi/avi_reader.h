#pragma once
// The program's own AVI reader. It walks the RIFF chunks, keeps the header
// facts the rest of the program needs and delivers the raw data of one video
// frame at a time into its frame buffer. Frames are counted in file order:
// Open walks the movie data once (getting past damaged chunks, see
// movie_chunks.h) and keeps where each frame chunk lies, so the frame count
// is what the file really holds and a frame is found without another walk.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/debug_log.h"
#include "app/ui.h"
#include "avi/avi_format.h"
#include "avi/avi_result.h"
#include "avi/byte_source.h"
#include "avi/movie_chunks.h"
#include "avi/segment_read_ahead.h"
#include "scene/scene_record.h"

namespace klemora::avi {

inline constexpr uint32_t kDefaultFrameBufferSize = 144000;
// A damaged 'avih' may ask for a buffer of gigabytes; larger frames are read
// up to this size and the rest is skipped, as for any chunk above the buffer.
inline constexpr uint32_t kMaxFrameBufferSize = 32u << 20;
// No picture side above this is believed from a header.
inline constexpr uint32_t kMaxPictureSide = 16384;

// How much of a frame chunk ReadRawPictureData fetches at once.
enum class FrameLoad {
    Whole,     // min(chunk size, buffer size) bytes, at once
    OnDemand,  // nothing yet: the bytes are fetched when frameBytes() asks for
               // them, so the DV pack reads touch a few hundred bytes of each
               // frame; every byte seen is the one a whole read would give
};

// One stream list as found in the headers, kept byte for byte so that a writer
// can copy the stream unchanged.
struct StreamInfo {
    uint32_t type = 0;      // fccType: 'vids', 'iavs', 'auds', ...
    uint32_t handler = 0;   // fccHandler
    std::vector<uint8_t> header;  // 'strh' data (56 or 64 bytes)
    std::vector<uint8_t> format;  // 'strf' data, whole
    std::vector<uint8_t> extra;   // 'strd' data, when present
    std::string name;             // 'strn' text, when present
    int64_t superIndexOffset = -1;  // data offset of its OpenDML 'indx', -1 when none
    uint32_t superIndexSize = 0;
};

// The frame chunk reached by the last ReadRawPictureData.
struct FrameChunk {
    int64_t dataOffset = -1;  // file offset of the chunk data
    uint32_t fourcc = 0;
    uint32_t size = 0;        // as in the chunk header
    uint32_t bytesLoaded = 0; // min(size made even, buffer size); 0 when the buffer kept the previous frame
};

class AviReader {
public:
    explicit AviReader(app::UserInterface* ui = nullptr);
    ~AviReader();
    AviReader(const AviReader&) = delete;
    AviReader& operator=(const AviReader&) = delete;

    // Seek and write failures and the out-of-memory case are shown here;
    // without one they are only logged.
    void setUserInterface(app::UserInterface* ui) { m_ui = ui; }
    // The run's debug log; none (off) unless given. The DV pack reads of
    // this reader write their trace lines to it too.
    void setLog(app::DebugLog log) { m_log = std::move(log); }
    // Opening walks every chunk of the movie data, seconds for a large file
    // read from disk; with a token, a Stop ends the walk and the open fails
    // with OpenResult::Stopped. Without one (the default) the open runs through.
    void stopOpeningOn(const app::CancelToken* token) { m_openStop = token; }
    const app::DebugLog& log() const { return m_log; }

    // Mode "r" or "rw"; OpenResult codes. The same name again returns 1 at
    // once and keeps the position.
    int Open(const std::string& fileName, const std::string& mode);
    // The same walk over any byte source (memory in tests); `name` plays the
    // part of the file name.
    int OpenSource(std::unique_ptr<ByteSource> source, const std::string& name);
    void Close();

    // ReadResult codes. An invalid DV chunk leaves the buffer as it was and
    // still returns 1; a frame the file does not hold is FrameOutOfRange.
    int ReadRawPictureData(int32_t frame, FrameLoad load = FrameLoad::Whole);
    // Loads min(size made even, buffer size) bytes of frame chunk `frame`
    // whatever its size (the date rewrite): 1, FrameOutOfRange or ShortRead.
    int loadFrameChunk(int32_t frame, FrameLoad load);

    // The frame buffer (always at least 144000 bytes). The views fetch any
    // bytes an OnDemand read has left pending; they stay valid until the next
    // read or Close.
    std::span<const uint8_t> frameBuffer();
    std::span<uint8_t> mutableFrameBuffer();
    // `size` bytes from `offset`, clipped to the buffer; empty when outside.
    std::span<const uint8_t> frameBytes(uint32_t offset, uint32_t size);
    uint32_t bufferSize() const { return m_bufferSize; }
    const FrameChunk& currentChunk() const { return m_chunk; }
    int32_t currentFrame() const { return m_currentFrame; }

    // The frame chunks the file holds (never more than its headers claim
    // when they claim any).
    int32_t GetFrameCount() const { return m_frameCount; }
    // What 'avih' or 'dmlh' claim; larger than GetFrameCount for a cut or
    // damaged file.
    int32_t headerFrameCount() const { return m_headerFrameCount; }
    bool frameCountClipped() const { return m_headerFrameCount > m_frameCount; }
    // What the walk of the movie data had to get past.
    const WalkDamage& walkDamage() const { return m_walkDamage; }
    // The frames came from the last walk of the same, unchanged file (avi/walk_cache.h).
    bool reusedWalk() const { return m_reusedWalk; }
    // Every frame chunk in file order.
    std::span<const MovieChunk> frameChunks() const { return m_frames; }
    float GetFrameRate() const;
    int GetDvType() const;
    int GetOpenDmlType() const;
    void GetVideoHandler(char out[5]) const;
    std::string videoHandler() const;  // the same four characters as text ("" when closed)
    int GetTimecode(uint8_t* hours, uint8_t* minutes, uint8_t* seconds, uint8_t* frames) const;
    const scene::Timecode& timecode() const { return m_firstTimecode; }
    const scene::RecordingTime& GetRecordingDateTime() const { return m_firstRecordingTime; }

    bool isOpen() const { return m_open; }
    const std::string& fileName() const { return m_fileName; }
    bool wideScreen() const { return m_wideScreen; }
    bool allKeyframes() const { return m_allKeyframes; }
    bool isPal() const { return m_pal; }
    bool isDv() const { return m_isDv; }
    bool isInterleaved() const { return m_interleaved; }
    bool isOpenDml() const { return m_openDml; }
    bool isExtendedOpenDml() const { return m_extendedOpenDml; }

    // Header copies (data bytes without the chunk header; empty when absent).
    std::span<const uint8_t> mainHeader() const { return {m_mainHeader, m_hasMainHeader ? kMainHeaderSize : 0u}; }
    uint32_t mainHeaderFlags() const;
    uint32_t mainHeaderTotalFrames() const;
    uint32_t suggestedBufferSize() const;
    // The picture size of 'avih'; a side no file holds (0, or above 16384)
    // is taken from the video 'strf', else from the DV system, else 0.
    uint32_t width() const;
    uint32_t height() const;
    uint32_t microSecondsPerFrame() const;
    std::span<const uint8_t> videoStreamHeader() const { return m_videoStreamHeader; }
    std::span<const uint8_t> audioStreamHeader() const { return m_audioStreamHeader; }
    std::span<const uint8_t> videoFormat() const { return m_videoFormat; }
    std::span<const uint8_t> audioFormat() const { return m_audioFormat; }
    bool audioFormatIsPcm() const { return m_audioFormatIsPcm; }
    std::span<const uint8_t> dvFormat() const { return m_dvFormat; }
    int32_t streamListCount() const { return m_streamListCount; }
    uint32_t openDmlFrameCount() const { return m_openDmlFrameCount; }
    // Every stream list in file order (index = the stream number of its chunks).
    const std::vector<StreamInfo>& streams() const { return m_streams; }
    // Where the 'idx1' entries are (dataOffset -1 when the file has none).
    struct IndexPlace {
        int64_t dataOffset = -1;
        int64_t size = 0;
    };
    const IndexPlace& legacyIndex() const { return m_legacyIndex; }
    // Data offset of the first 'movi' list (after its type), -1 when not met.
    int64_t movieListOffset() const { return m_movieOffset; }

    // Debug statistics of the chunk identifiers passed (debug level 2).
    struct ChunkCount {
        uint32_t fourcc;
        int64_t count;
    };
    const std::vector<ChunkCount>& chunkStatistics() const { return m_chunkStatistics; }

    // Raw access at the reader's own position (used by the date rewrite).
    int AviSeek(int method, int32_t distance);  // 0 start, 1 current, 2 end
    int AviWrite(const void* buffer, uint32_t size);
    int ReadExact(void* buffer, uint32_t size);
    int64_t position() const { return m_position; }
    // Reads at an absolute offset without moving the position; 1 or -1.
    int ReadAt(int64_t offset, void* buffer, size_t size);
    // Many reads at absolute offsets in few system calls (ByteSource::readMany).
    void ReadMany(std::span<ReadRequest> requests);
    // Writes at an absolute offset inside the file (never past its end); 1 or -1.
    int WriteAt(int64_t offset, const void* buffer, size_t size);
    int64_t fileSize() const;
    // The source file's descriptor (ByteSource::descriptor); -1 when closed or in memory.
    int sourceDescriptor() const;

    std::span<uint8_t> mutableFrameBytes(uint32_t offset, uint32_t size);

private:
    struct PendingRange;
    static size_t frameSegmentCount();
    int openWith(std::unique_ptr<ByteSource> source, const std::string& name);
    int walkHeaders();
    int walkChunk(uint32_t id, uint32_t size, uint32_t& lastStreamType, bool& done);
    int enterList(int64_t n, bool& done);
    int readStreamHeader(int64_t n, uint32_t& lastStreamType);
    int readStreamFormat(int64_t n, uint32_t lastStreamType);
    int readPart(std::vector<uint8_t>& into, uint32_t count, int64_t n, int readCode, int skipCode);
    int readOpenDmlHeader(int64_t n);
    int readIndexChunk(int64_t n);
    StreamInfo* currentStream();
    void keepWholeChunk(std::vector<uint8_t>& into, int64_t dataOffset, uint32_t size);
    void readIndexAfterMovie();
    void scanIndexEntries(int64_t dataOffset, int64_t size);
    int allocateBuffer();
    int readFirstDvFrame();
    int collectFrames();
    int walkFrames();
    void logWalkDamage() const;
    uint32_t pictureSide(uint32_t mainHeaderValue, uint32_t formatOffset, uint32_t dvValue) const;
    const MovieChunk& standOn(int32_t frame);
    int loadFrame(int32_t frame, const MovieChunk& chunk, FrameLoad load);
    int loadChunkData(uint32_t id, uint32_t size, FrameLoad load);
    bool skip(int64_t distance);
    bool seekTo(int64_t position, const char* caption);
    bool readHeader(uint32_t& id, uint32_t& size);
    void countChunk(uint32_t id, int32_t wantedFrame);
    void resetState();
    void materialize(uint32_t from, uint32_t to);
    void fetchSegment(size_t segment, const PendingRange& range);
    void forgetPending(uint32_t loadedLength);
    void markPending(uint32_t loadedLength, int64_t dataOffset);
    void showError(const char* caption, int error);

    app::UserInterface* m_ui = nullptr;
    const app::CancelToken* m_openStop = nullptr;
    app::DebugLog m_log;
    std::unique_ptr<ByteSource> m_source;
    bool m_open = false;
    std::string m_fileName;
    int64_t m_position = 0;

    uint8_t m_mainHeader[kMainHeaderSize] = {};
    bool m_hasMainHeader = false;
    std::vector<uint8_t> m_videoStreamHeader;
    std::vector<uint8_t> m_audioStreamHeader;
    std::vector<uint8_t> m_videoFormat;
    std::vector<uint8_t> m_audioFormat;
    bool m_audioFormatIsPcm = false;
    std::vector<uint8_t> m_dvFormat;
    std::vector<StreamInfo> m_streams;
    int32_t m_streamListCount = 0;
    int32_t m_frameCount = 0;
    int32_t m_headerFrameCount = 0;
    uint32_t m_openDmlFrameCount = 0;
    FrameList m_frameList;                 // shared with the walk cache
    std::span<const MovieChunk> m_frames;  // *m_frameList
    IndexPlace m_legacyIndex;
    WalkDamage m_walkDamage;
    bool m_reusedWalk = false;
    int64_t m_movieOffset = -1;
    int64_t m_movieEnd = -1;

    bool m_isDv = false;
    bool m_interleaved = false;
    bool m_openDml = false;
    bool m_extendedOpenDml = false;
    bool m_allKeyframes = true;
    bool m_wideScreen = false;
    bool m_pal = true;
    scene::RecordingTime m_firstRecordingTime = scene::kNoRecordingTime;
    scene::Timecode m_firstTimecode{};

    std::vector<uint8_t> m_buffer;
    uint32_t m_bufferSize = kDefaultFrameBufferSize;
    // The file's length when last asked; asked again only for a frame that
    // reaches past it, so a frame read costs no fstat.
    int64_t m_knownSize = -1;
    int32_t m_currentFrame = -1;
    FrameChunk m_chunk;
    // Ranges of the buffer an OnDemand read has not fetched yet.
    std::vector<PendingRange> m_pending;
    // The same part of the next frames, read in one batch (read-only files).
    SegmentReadAhead m_segmentsAhead{frameSegmentCount()};
    std::vector<ChunkCount> m_chunkStatistics;
};

// The warning about a file that holds fewer frames than its headers claim or
// whose movie data had to be got past damaged chunks; empty when neither.
std::string walkDamageText(const AviReader& reader);

}  // namespace klemora::avi
