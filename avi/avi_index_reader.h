#pragma once
// Where each stream's chunks lie, from the file's own indexes: the OpenDML
// standard indexes ('ix##') of a stream with a super index, the legacy
// 'idx1' for the others. The cursors use it to go straight to a scene's
// first chunk instead of walking every chunk before it, and the video's
// key-frame flags come from it. Entries are only hints: a cursor checks the
// chunk header at each one and walks the file when an entry is wrong.
#include <cstdint>
#include <vector>

#include "avi/avi_reader.h"
#include "avi/indexed_chunk.h"

namespace klemora::avi {

class AviIndex {
public:
    // Reads the indexes of every stream; streams without one stay empty.
    // Each stream keeps at most `limit` entries.
    void build(AviReader& reader, int64_t limit = INT32_MAX);
    // nullptr when the stream has no index entries.
    const std::vector<IndexedChunk>* stream(int streamNumber) const;
    bool allKeyFrames(int streamNumber) const;
    // The key-frame flag of one chunk; true where the index does not say.
    bool isKeyFrame(int streamNumber, int64_t chunk) const;
    // Every stream's entries in one list, in file order.
    std::vector<IndexedChunk> inFileOrder() const;

private:
    bool readOpenDml(AviReader& reader, const StreamInfo& info, std::vector<IndexedChunk>& out,
                     int64_t limit);
    bool readStandardIndex(AviReader& reader, int64_t offset, uint32_t size, std::vector<IndexedChunk>& out,
                           int64_t limit);
    void readLegacy(AviReader& reader, const std::vector<bool>& wanted, int64_t limit);

    std::vector<std::vector<IndexedChunk>> m_streams;
};

}  // namespace klemora::avi
