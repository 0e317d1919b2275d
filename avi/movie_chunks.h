#pragma once
// The chunks of the movie data in file order, over every RIFF segment: what a
// writer needs to copy streams unchanged (stream number, identifier, 64-bit
// offset, size). Index chunks, 'JUNK' and lists are not reported.
#include <cstdint>
#include <vector>

namespace klemora::avi {

class AviReader;

struct MovieChunk {
    int64_t headerOffset = 0;  // the 8-byte chunk header
    int64_t dataOffset = 0;
    uint32_t fourcc = 0;
    uint32_t size = 0;         // as in the header, without the pad byte
    int streamNumber = -1;     // "NNxx"
    int segment = 0;           // 0 in the first RIFF, 1.. in the 'AVIX' ones
};

class MovieChunkWalker {
public:
    // Starts at the beginning of the reader's file; the reader must be open
    // and must not be closed while walking. The reader's own position is not
    // touched.
    explicit MovieChunkWalker(AviReader& reader);

    // 1 and the next chunk; 0 at the end of the file (or of the last complete
    // chunk); -1 when a chunk header cannot be read.
    int next(MovieChunk& chunk);

private:
    struct OpenList {
        int64_t end;
        uint32_t type;
    };
    bool insideMovie() const;

    AviReader& m_reader;
    int64_t m_position = 0;
    int64_t m_fileSize = 0;
    int m_segment = -1;
    std::vector<OpenList> m_lists;
};

}  // namespace klemora::avi
