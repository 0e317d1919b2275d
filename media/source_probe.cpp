#include "media/source_probe.h"

#include <algorithm>
#include <cctype>

#include "avi/avi_format.h"
#include "avi/avi_reader.h"
#include "media/media_info.h"
#include "media/media_probe.h"

namespace klemora::media {
namespace {

bool namesAnAvi(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
    return path.find(".avi") != std::string::npos;
}

int probeAvi(const std::string& path, scene::SourceFacts& facts, app::UserInterface& ui, const app::DebugLog& log) {
    avi::AviReader reader(&ui);
    reader.setLog(log);
    reader.stopOpeningOn(&ui.cancelToken());
    int rc = reader.Open(path, "r");
    if (rc != 1) return rc;
    facts.frameCount = reader.GetFrameCount();
    facts.framesPerSecond = reader.GetFrameRate();
    facts.frameDuration = facts.framesPerSecond > 0 ? 1.0f / facts.framesPerSecond : 0;
    facts.allKeyframes = reader.allKeyframes();
    facts.dvType = reader.GetDvType();
    facts.openDmlKind = reader.GetOpenDmlType();
    facts.wideScreen = reader.wideScreen();
    facts.videoFourcc = reader.videoHandler();
    facts.firstRecordingTime = reader.GetRecordingDateTime();
    facts.firstTimecode = reader.timecode();
    const auto& streams = reader.streams();
    auto has = [&](uint32_t type) {
        return std::any_of(streams.begin(), streams.end(), [type](const avi::StreamInfo& s) { return s.type == type; });
    };
    // A type-1 'iavs' stream carries picture and sound in one.
    facts.hasVideo = has(avi::kFccVids) || has(avi::kFccIavs);
    facts.hasAudio = has(avi::kFccAuds) || has(avi::kFccIavs);
    return 1;
}

int probeOther(const std::string& path, scene::SourceFacts& facts, std::string_view fixRatio,
               const app::DebugLog& log, app::UserInterface& ui) {
    MediaInfo info(fixRatio, log);
    int rc = ProbeMedia(path, info, ui);
    if (rc != 1) return rc;
    facts.frameCount = info.frameCount;
    facts.framesPerSecond = info.frameRate > 0 ? info.frameRate : 25.0f;
    facts.frameDuration = info.frameDuration;
    facts.allKeyframes = info.allKeyframes;
    facts.dvType = GetDvType(info);
    facts.openDmlKind = GetOpenDmlKind(info);
    facts.wideScreen = info.wideScreen;
    facts.videoFourcc = info.fourcc;
    facts.hasVideo = info.videoStream >= 0;
    facts.hasAudio = info.audioStream >= 0;
    facts.firstRecordingTime = info.recordingTime;
    facts.firstTimecode = info.timecode;
    ReleaseMedia(info);
    return 1;
}

}  // namespace

int MediaSourceProbe::probe(const std::string& path, scene::SourceFacts& facts) {
    facts = scene::SourceFacts{};
    return namesAnAvi(path) ? probeAvi(path, facts, m_ui, m_log)
                             : probeOther(path, facts, m_fixRatio, m_log, m_ui);
}

}  // namespace klemora::media
