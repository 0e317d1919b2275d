#include "media/probe_rules.h"

#include <cmath>

namespace klemora::media {

float durationFromLength(double lengthSeconds) {
    return static_cast<float>(std::trunc((lengthSeconds + 0.005) * 100.0) / 100.0);
}

int32_t frameCountFor(float duration, float frameRate) {
    return static_cast<int32_t>(duration * frameRate + 0.5f);
}

std::string normalizeFixRatio(std::string_view setting) {
    std::string out;
    for (char c : setting) {
        if (c == ' ' || c == '\t') continue;
        out += c == '/' ? ':' : c;
    }
    return out;
}

bool wideScreenFor(std::string_view fixRatio, bool detected) {
    if (fixRatio.empty()) return detected;
    if (fixRatio.find('4') != std::string_view::npos) return false;
    if (fixRatio.find("16") != std::string_view::npos) return true;
    return detected;
}

double frameTime(int32_t frame, float frameDuration) {
    return static_cast<double>(static_cast<float>(frame) * frameDuration) + 0.01;
}

}  // namespace klemora::media
