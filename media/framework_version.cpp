#include "media/framework_version.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswscale/swscale.h>
}

#include <cstdio>

namespace klemora::media {
namespace {

std::string versionText(unsigned v) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u.%u", AV_VERSION_MAJOR(v), AV_VERSION_MINOR(v), AV_VERSION_MICRO(v));
    return text;
}

}  // namespace

FrameworkReport GetMediaFrameworkVersion() {
    FrameworkReport report;
    unsigned format = avformat_version();
    report.dvDecoder = avcodec_find_decoder(AV_CODEC_ID_DVVIDEO) != nullptr;
    report.version.determinable = format != 0;
    unsigned micro = AV_VERSION_MICRO(format) > 255 ? 255 : AV_VERSION_MICRO(format);
    uint32_t packed = (AV_VERSION_MAJOR(format) * 256u + AV_VERSION_MINOR(format)) * 256u + micro;
    report.version.packed = report.dvDecoder ? packed : 0;
    report.version.text = versionText(format);
    report.libraries = "libavformat " + versionText(format) + ", libavcodec " + versionText(avcodec_version()) +
                       ", libavutil " + versionText(avutil_version()) + ", libswscale " +
                       versionText(swscale_version());
    return report;
}

}  // namespace klemora::media
