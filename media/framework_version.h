#pragma once
#include <string>

#include "app/framework_check.h"

namespace klemora::media {

struct FrameworkReport {
    app::FrameworkVersion version;  // packed from libavformat; 0 without a DV decoder
    std::string libraries;          // "libavformat 59.27.100, libavcodec 59.37.100, ..."
    bool dvDecoder = false;
};

// The run-time versions of the FFmpeg libraries in use and whether the DV
// decoder is there, which every picture function needs.
FrameworkReport GetMediaFrameworkVersion();

}  // namespace klemora::media
