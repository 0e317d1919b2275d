#include "avi/avi_format.h"

#include <algorithm>
#include <array>

namespace klemora::avi {
namespace {

constexpr std::array<uint32_t, 12> kDvHandlers = {
    makeFourcc("dvsd"), makeFourcc("DVSD"), makeFourcc("dsvd"), makeFourcc("dv25"),
    makeFourcc("dv50"), makeFourcc("dvh1"), makeFourcc("dvhd"), makeFourcc("dvsl"),
    makeFourcc("dvs1"), makeFourcc("CDVC"), makeFourcc("cdvc"), makeFourcc("DVCS"),
};

constexpr std::array<uint32_t, 5> kFrameChunkIds = {
    makeFourcc("00db"), makeFourcc("00dc"), makeFourcc("01db"), makeFourcc("01dc"), makeFourcc("00__"),
};

bool isDigit(uint32_t c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string fourccText(uint32_t fourcc) {
    std::string text(4, '?');
    for (int i = 0; i < 4; ++i) {
        char c = static_cast<char>((fourcc >> (8 * i)) & 0xFF);
        if (c >= 0x20 && c < 0x7F) text[i] = c;
    }
    return text;
}

std::span<const uint32_t> dvHandlers() { return kDvHandlers; }

bool isDvHandler(uint32_t handler) {
    return std::find(kDvHandlers.begin(), kDvHandlers.end(), handler) != kDvHandlers.end();
}

bool isFrameChunkId(uint32_t fourcc) {
    return std::find(kFrameChunkIds.begin(), kFrameChunkIds.end(), fourcc) != kFrameChunkIds.end();
}

int chunkStreamNumber(uint32_t fourcc) {
    uint32_t tens = fourcc & 0xFF;
    uint32_t units = (fourcc >> 8) & 0xFF;
    if (!isDigit(tens) || !isDigit(units)) return -1;
    return static_cast<int>((tens - '0') * 10 + (units - '0'));
}

std::string_view dvTypeName(int dvType) {
    switch (dvType) {
        case 0: return "No DV, ";
        case 1: return "DV-Type1, ";
        case 2: return "DV-Type2, ";
        default: return "Unknown Type, ";
    }
}

std::string_view openDmlTypeName(int openDmlType) {
    switch (openDmlType) {
        case 0: return "No OpenDML";
        case 1: return "OpenDML";
        case 2: return "Strict OpenDML";
        default: return "Unknown Type";
    }
}

}  // namespace klemora::avi
