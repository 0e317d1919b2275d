#include "output/pcm_resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "avi/avi_format.h"

namespace klemora::output {
namespace {

constexpr uint16_t kPcm = 1, kFloat = 3, kAlaw = 6, kMulaw = 7;

int sampleBytes(const PcmLayout& layout) { return layout.blockAlign / layout.channels; }

double readSample(const PcmLayout& layout, const uint8_t* p) {
    int bytes = sampleBytes(layout);
    if (layout.formatTag == kFloat) {
        if (bytes == 4) {
            float value;
            std::memcpy(&value, p, 4);
            return value;
        }
        double value;
        std::memcpy(&value, p, 8);
        return value;
    }
    if (bytes == 1) return (p[0] - 128) / 128.0;  // 8-bit PCM is unsigned
    int64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<int64_t>(p[i]) << (8 * i);
    int bits = 8 * bytes;
    if (value & (int64_t{1} << (bits - 1))) value -= int64_t{1} << bits;  // sign extension
    return static_cast<double>(value) / static_cast<double>(int64_t{1} << (bits - 1));
}

void writeSample(const PcmLayout& layout, double value, uint8_t* p) {
    int bytes = sampleBytes(layout);
    if (layout.formatTag == kFloat) {
        if (bytes == 4) {
            float f = static_cast<float>(value);
            std::memcpy(p, &f, 4);
        } else {
            std::memcpy(p, &value, 8);
        }
        return;
    }
    value = std::clamp(value, -1.0, 1.0);
    if (bytes == 1) {
        p[0] = static_cast<uint8_t>(std::clamp<long>(std::lround(value * 128.0) + 128, 0, 255));
        return;
    }
    int bits = 8 * bytes;
    int64_t full = int64_t{1} << (bits - 1);
    int64_t integer = std::clamp<int64_t>(std::llround(value * static_cast<double>(full)), -full, full - 1);
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(static_cast<uint64_t>(integer) >> (8 * i));
}

}  // namespace

bool canResamplePcm(const PcmLayout& layout) {
    if (layout.channels == 0 || layout.blockAlign % layout.channels != 0) return false;
    int bytes = sampleBytes(layout);
    switch (layout.formatTag) {
        case kPcm: return bytes >= 1 && bytes <= 4;
        case kFloat: return bytes == 4 || bytes == 8;
        case kAlaw:
        case kMulaw: return bytes == 1;
        default: return false;
    }
}

void resamplePcm(const PcmLayout& layout, std::span<const uint8_t> source, double firstPosition, double step,
                 std::span<uint8_t> out) {
    const size_t block = layout.blockAlign;
    const int64_t frames = static_cast<int64_t>(source.size() / block);
    const int64_t outFrames = static_cast<int64_t>(out.size() / block);
    const int bytes = sampleBytes(layout);
    const bool companded = layout.formatTag == kAlaw || layout.formatTag == kMulaw;
    if (frames == 0) {
        fillPcmSilence(layout, out);
        return;
    }
    for (int64_t j = 0; j < outFrames; ++j) {
        double position = std::max(0.0, firstPosition + static_cast<double>(j) * step);
        int64_t left = std::min(static_cast<int64_t>(position), frames - 1);
        int64_t right = std::min(left + 1, frames - 1);
        double weight = std::clamp(position - static_cast<double>(left), 0.0, 1.0);
        uint8_t* target = out.data() + j * block;
        if (companded) {
            std::memcpy(target, source.data() + (weight < 0.5 ? left : right) * block, block);
            continue;
        }
        for (int c = 0; c < layout.channels; ++c) {
            double a = readSample(layout, source.data() + left * block + c * bytes);
            double b = readSample(layout, source.data() + right * block + c * bytes);
            writeSample(layout, a + (b - a) * weight, target + c * bytes);
        }
    }
}

void fillPcmSilence(const PcmLayout& layout, std::span<uint8_t> out) {
    uint8_t value = 0;
    if (layout.formatTag == kAlaw) value = 0xD5;
    else if (layout.formatTag == kMulaw) value = 0xFF;
    else if (layout.formatTag == kPcm && sampleBytes(layout) == 1) value = 0x80;
    std::memset(out.data(), value, out.size());
}

}  // namespace klemora::output
