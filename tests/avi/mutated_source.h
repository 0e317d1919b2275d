#pragma once
// A byte source over a shared good file with a few bytes changed and an
// optional cut, so damaged-input loops need not copy the file each time.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "avi/byte_source.h"

namespace klemora::test {

class MutatedSource : public avi::ByteSource {
public:
    MutatedSource(std::shared_ptr<const std::vector<uint8_t>> base, int64_t length)
        : m_base(std::move(base)), m_length(std::min<int64_t>(length, static_cast<int64_t>(m_base->size()))) {}

    void flip(int64_t offset, uint8_t value) { m_changes[offset] = value; }

    int64_t size() const override { return m_length; }
    int64_t readAt(int64_t offset, void* data, size_t size) override {
        if (offset < 0) return -1;
        if (offset >= m_length) return 0;
        const int64_t n = std::min<int64_t>(static_cast<int64_t>(size), m_length - offset);
        auto* out = static_cast<uint8_t*>(data);
        std::copy(m_base->begin() + offset, m_base->begin() + offset + n, out);
        for (auto it = m_changes.lower_bound(offset); it != m_changes.end() && it->first < offset + n; ++it)
            out[it->first - offset] = it->second;
        return n;
    }
    bool writeAt(int64_t, const void*, size_t) override { return false; }
    bool writable() const override { return false; }

private:
    std::shared_ptr<const std::vector<uint8_t>> m_base;
    int64_t m_length;
    std::map<int64_t, uint8_t> m_changes;
};

}  // namespace klemora::test
