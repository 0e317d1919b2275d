// GetExtraData: the facts only the AVI container tells, once per probe.
#include <algorithm>

#include "app/string_table.h"
#include "avi/container_facts.h"
#include "media/media_probe.h"
#include "media/media_result.h"
#include "app/text_format.h"
#include "media/probe_rules.h"

namespace klemora::media {
namespace {

void copyFacts(const avi::ContainerFacts& facts, MediaInfo& info) {
    std::fill(std::begin(info.fourcc), std::end(info.fourcc), '\0');
    std::copy_n(facts.videoHandler.begin(), std::min<size_t>(facts.videoHandler.size(), 4), info.fourcc);
    info.isDv = facts.dvType != 0;
    info.isDvType1 = facts.dvType == 1;
    info.isOpenDml = facts.openDmlType != 0;
    info.isExtendedOpenDml = facts.openDmlType == 2;
    info.allKeyframes = facts.allKeyframes;
    info.recordingTime = facts.recordingTime;
    info.timecode = facts.timecode;
    info.wideScreen = wideScreenFor(info.fixRatio, facts.wideScreen);
    // The demuxer believes the headers' lengths; the reader counted the frames the file holds.
    if (facts.frameCount < info.frameCount) {
        info.frameCount = facts.frameCount;
        if (info.frameRate > 0) info.duration = durationFromLength(facts.frameCount / static_cast<double>(info.frameRate));
    }
}

void reportProblems(const MediaInfo& info, const avi::ContainerFacts& facts, app::UserInterface& ui) {
    const int32_t readerFrames = facts.frameCount;
    if (!facts.damage.empty()) ui.showMessage(facts.damage, app::Icon::Warning);
    if (info.isExtendedOpenDml && readerFrames > info.frameCount + 1) {
        ui.showMessage(app::stringPrintf("%s\nFile: %s\nFrame No. (A): %d\nFrame No. (B): %d", app::loadString(212).c_str(),
                                   info.fileName.c_str(), info.frameCount, readerFrames),
                       app::Icon::Warning);
    }
    if (!info.allKeyframes) {
        ui.showMessage(app::stringPrintf("%s %s\nFile: %s", app::loadString(124).c_str(), app::loadString(137).c_str(),
                                   info.fileName.c_str()),
                       app::Icon::Warning);
    }
}

}  // namespace

int GetExtraData(MediaInfo& info, bool report, app::UserInterface& ui) {
    if (info.extraDataRead) return 1;
    if (!info.probed) return static_cast<int>(ExtraDataResult::NotProbed);
    if (info.videoStream < 0) return static_cast<int>(ExtraDataResult::NoVideoStream);
    std::string lower = info.fileName;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    if (lower.find(".avi") == std::string::npos) return static_cast<int>(ExtraDataResult::NotAvi);

    avi::ContainerFacts facts;
    int rc = avi::readContainerFacts(info.fileName, facts, info.log);
    if (rc != 1) {
        ui.showMessage(app::stringPrintf("%s GetExtraData()!\nCode1: -4\nCode2: %d", app::loadString(113).c_str(), rc),
                       app::Icon::Stop);
        return static_cast<int>(ExtraDataResult::ReaderFailed);
    }
    copyFacts(facts, info);
    if (report) reportProblems(info, facts, ui);
    info.extraDataRead = 1;
    return 1;
}

}  // namespace klemora::media
