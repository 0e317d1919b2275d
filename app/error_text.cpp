#include "app/error_text.h"

#include <algorithm>

namespace klemora::app {

const char* DxErrorText(uint32_t code) {
    std::span<const DxErrorEntry> table = dxErrorTable();
    auto it = std::lower_bound(table.begin(), table.end(), code,
                               [](const DxErrorEntry& entry, uint32_t value) { return entry.code < value; });
    return it != table.end() && it->code == code ? it->name : "Unknown";
}

}  // namespace klemora::app
