#include "avi/header_prefetch.h"

#include <algorithm>

#include "avi/avi_reader.h"

namespace klemora::avi {

HeaderPrefetch::HeaderPrefetch(AviReader& reader, std::span<const IndexedChunk> entries)
    : m_reader(&reader), m_entries(entries) {}

void HeaderPrefetch::fill(size_t first) {
    m_first = first;
    m_count = std::min(kBatch, m_entries.size() - first);
    std::array<ReadRequest, kBatch> requests;
    for (size_t i = 0; i < m_count; ++i)
        requests[i] = {m_entries[first + i].headerOffset, m_headers[i].data(), 8, 0};
    m_reader->ReadMany(std::span(requests.data(), m_count));
    for (size_t i = 0; i < m_count; ++i) m_read[i] = requests[i].result == 8;
}

const uint8_t* HeaderPrefetch::header(size_t index) {
    if (!m_reader || index >= m_entries.size()) return nullptr;
    if (index < m_first || index >= m_first + m_count) fill(index);
    const size_t slot = index - m_first;
    return m_read[slot] ? m_headers[slot].data() : nullptr;
}

const uint8_t* HeaderPrefetch::headerAt(int64_t at) {
    auto byOffset = [](const IndexedChunk& entry, int64_t offset) { return entry.headerOffset < offset; };
    auto begin = m_entries.begin();
    // The walk mostly asks for the entry after the last one.
    if (m_count > 0 && m_entries[m_first].headerOffset <= at) begin += static_cast<std::ptrdiff_t>(m_first);
    auto found = std::lower_bound(begin, m_entries.end(), at, byOffset);
    if (found == m_entries.end() || found->headerOffset != at) return nullptr;
    return header(static_cast<size_t>(found - m_entries.begin()));
}

}  // namespace klemora::avi
