#pragma once
// The AVI writer: RIFF 'AVI ' with 'hdrl' ('avih', one 'strl' per stream with
// the caller's 'strh'/'strf' bytes), 'movi' and the legacy 'idx1'; past the
// segment limit it goes on in RIFF 'AVIX' segments with OpenDML indexes
// ('ix##' per stream and segment, 'indx' per stream, 'odml'/'dmlh' with the
// total frame count). The OpenDML room is reserved as 'JUNK' and only turned
// into 'indx' and 'odml' when a second segment exists, so short files stay
// plain AVI. The writer copies what it is given: chunk data, key-frame flags
// and stream headers come from the caller; only lengths, buffer sizes and
// counts are its own.
//
// A file is complete only after finish() returned 1. A writer that fails, is
// discarded or is destroyed unfinished closes and removes the file it
// created; a file it was handed as a descriptor is left to its owner.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "avi/avi_index_writer.h"
#include "avi/riff_writer.h"

namespace klemora::avi {

// Byte positions in 'strh' data.
inline constexpr uint32_t kStrhType = 0;
inline constexpr uint32_t kStrhHandler = 4;
inline constexpr uint32_t kStrhInitialFrames = 16;
inline constexpr uint32_t kStrhScale = 20;
inline constexpr uint32_t kStrhRate = 24;
inline constexpr uint32_t kStrhStart = 28;
inline constexpr uint32_t kStrhLength = 32;
inline constexpr uint32_t kStrhSuggestedBufferSize = 36;
inline constexpr uint32_t kStrhQuality = 40;
inline constexpr uint32_t kStrhSampleSize = 44;
inline constexpr uint32_t kStrhFrame = 48;  // rcFrame: left, top, right, bottom (16 bit each)
inline constexpr uint32_t kStrhMinimumSize = 48;

// Byte positions in 'avih' data.
inline constexpr uint32_t kAvihMicroSecPerFrame = 0;
inline constexpr uint32_t kAvihMaxBytesPerSec = 4;
inline constexpr uint32_t kAvihFlags = 12;
inline constexpr uint32_t kAvihTotalFrames = 16;
inline constexpr uint32_t kAvihStreams = 24;
inline constexpr uint32_t kAvihSuggestedBufferSize = 28;
inline constexpr uint32_t kAvihWidth = 32;
inline constexpr uint32_t kAvihHeight = 36;

inline constexpr uint32_t kAvifIsInterleaved = 0x100;
inline constexpr uint32_t kAvifTrustChunkType = 0x800;

inline constexpr uint32_t kOpenDmlHeaderSize = 248;  // 'dmlh' data: dwTotalFrames and reserved room
inline constexpr int kMaxStreams = 100;              // two digits in "NNdc" and "ixNN"
inline constexpr uint32_t kMaxChunkBytes = 0x7FFFFFFF;  // 'ix##' uses bit 31 as the key-frame flag
inline constexpr uint64_t kMinSegmentBytes = 64 * 1024;
inline constexpr uint64_t kMaxSegmentBytes = uint64_t{1} << 31;

// One stream as it goes into the file.
struct AviStreamSpec {
    // 'strh' data (at least 48 bytes) as the source has it: type, handler,
    // scale, rate, sample size. dwLength and dwSuggestedBufferSize are
    // filled in by the writer; every other byte is written unchanged.
    std::vector<uint8_t> header;
    std::vector<uint8_t> format;  // 'strf' data, unchanged
    std::vector<uint8_t> extra;   // 'strd' data; none when empty
    std::string name;             // 'strn' text; none when empty
    // The chunk identifier is the stream number and these two characters
    // ("dc", "db", "wb", "__").
    char chunkSuffix[2] = {'d', 'c'};
    int sourceStream = -1;        // the source's stream number when copied, else -1

    uint32_t type() const;        // fccType
    uint32_t sampleSize() const;  // dwSampleSize
};

struct AviLayout {
    std::vector<AviStreamSpec> streams;
    int frameStream = 0;  // whose chunks are the frames of 'avih' and 'dmlh'; -1: none
    uint32_t width = 0;   // 'avih' dwWidth, dwHeight
    uint32_t height = 0;
};

// A chunk's data as it lies in an open source file, to be copied from there.
struct SourceChunk {
    int descriptor = -1;
    int64_t dataOffset = 0;
    uint32_t size = 0;
    // When the 8 bytes before the data are this chunk identifier and `size`
    // (as checked by whoever read them), they are copied too, so that chunks
    // lying back to back in the source go over in one run; 0: not known.
    uint32_t headerFourcc = 0;
};

struct AviWriterOptions {
    uint64_t segmentLimitBytes = uint64_t{1} << 30;  // no RIFF grows past this (unless one chunk alone does)
    int superIndexEntries = 256;   // room for this many RIFF segments per stream
    bool alwaysOpenDml = false;    // 'odml', 'indx' and 'ix##' even with one RIFF
    bool syncOnFinish = true;      // fsync before finish() reports success
    size_t bufferBytes = RiffWriter::kDefaultBufferBytes;
    // Chunks of a source file go over as copies from it (copyChunk); false
    // is the plain path, where the callers read them and hand them over.
    bool copyFromSource = true;
    // How those copies are made (RiffWriter::setCopyCalls); tests put in ones that refuse.
    CopyRangeCall copyCall = systemCopyRange();
    SendFileCall sendCall = systemSendFile();
    app::DebugLog log;  // the run's debug log: every file written or failed
};

class AviWriter {
public:
    AviWriter();
    ~AviWriter();  // unfinished: closes and removes the file; never reports
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Creates the file and writes the headers. WriterResult codes: BadOptions,
    // BadStream (layout not usable), CannotCreate, a write failure, or 1.
    int open(const std::string& path, AviLayout layout, const AviWriterOptions& options = {});
    // The same into `fd`, an empty file the caller owns and keeps open (a
    // temporary it renames when finish() returned 1, and removes otherwise);
    // the writer never closes, reopens or removes it. `name` is for the log.
    int open(int fd, const std::string& name, AviLayout layout, const AviWriterOptions& options = {});

    // One chunk of `stream`, in file order. A chunk larger than kMaxChunkBytes
    // (SizeOverflow) or for a stream that does not exist (BadStream) is
    // refused without harm to the file; any write failure sticks.
    int writeChunk(int stream, std::span<const uint8_t> data, bool keyFrame);
    // The same chunk copied from its source file (options.copyFromSource);
    // the written file is byte for byte what writeChunk would make of it.
    // The source must stay open until flushCopies() or finish().
    int copyChunk(int stream, const SourceChunk& source, bool keyFrame);
    bool copiesFromSource() const { return m_options.copyFromSource; }
    // Makes the copies still pending, e.g. before their source is closed.
    int flushCopies();

    // Writes the indexes, fills in the counts, flushes (and fsyncs), closes.
    // 1: the file is complete. Otherwise a created file has been removed.
    int finish();
    // Closes and removes a created file (a failed or abandoned run).
    void discard();

    int result() const;
    int lastErrno() const { return m_out.lastErrno(); }
    bool isOpen() const { return m_open; }
    const std::string& path() const { return m_path; }
    int64_t bytesWritten() const { return m_out.position(); }
    int segmentCount() const { return m_segment + 1; }
    int64_t chunkCount(int stream) const;
    int64_t frameCount() const;  // chunks of the frame stream so far

private:
    struct StreamState {
        uint32_t chunkId = 0;
        uint32_t sampleSize = 0;
        int64_t headerOffset = -1;      // 'strh' data
        int64_t superIndexOffset = -1;  // header of the reserved 'JUNK'
        EntryBlocks segmentEntries{kStandardEntrySize};
        int64_t segmentBytes = 0;
        std::vector<SuperIndexEntry> segments;
        int64_t chunks = 0;
        int64_t bytes = 0;
        uint32_t largestChunk = 0;
    };

    int validate(const AviLayout& layout, const AviWriterOptions& options) const;
    int start(const std::string& path, int fd, AviLayout layout, const AviWriterOptions& options);
    int writeHeaders();
    int writeMainHeader();
    int writeStreamList(int stream);
    int openSegment(uint32_t riffType);
    int closeSegment(bool standardIndexes);
    int startNextSegment();
    bool wouldPassLimit(uint32_t size) const;
    int placeChunk(int stream, size_t size, bool keyFrame);
    int countChunk(int stream, uint32_t size);
    int addIndexEntries(int stream, int64_t headerOffset, uint32_t size, bool keyFrame);
    bool openDmlActive() const { return m_segment > 0 || m_options.alwaysOpenDml; }
    int patchCounts();
    int patchOpenDml();
    uint32_t streamLength(const StreamState& stream) const;
    uint32_t maxBytesPerSecond() const;
    int failAndRemove();

    // The writer comes first: the scopes below refer to it.
    RiffWriter m_out;
    ChunkScope m_riff;
    ChunkScope m_movi;

    std::string m_path;
    AviLayout m_layout;
    AviWriterOptions m_options;
    std::vector<StreamState> m_streams;
    EntryBlocks m_legacyEntries{kLegacyEntrySize};
    bool m_open = false;
    bool m_finished = false;
    bool m_ownsFile = false;       // created by path, so removed by path on failure
    int m_segment = 0;             // 0: the RIFF 'AVI ', 1..: 'AVIX'
    int64_t m_riffStart = 0;
    int64_t m_moviOffset = 0;      // the current segment's 'movi' type
    int64_t m_segmentChunks = 0;
    int64_t m_segmentEntries = 0;  // 'ix##' entries over all streams in this segment
    int64_t m_avihOffset = -1;
    int64_t m_odmlOffset = -1;     // header of the reserved 'JUNK'
    int64_t m_firstRiffFrames = -1;
};

}  // namespace klemora::avi
