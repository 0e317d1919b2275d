#include "output/split_file.h"

#include <algorithm>
#include <cmath>

#include "app/string_table.h"
#include "app/text_format.h"
#include "avi/avi_index_reader.h"
#include "avi/avi_reader.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "output/source_streams.h"
#include "output/write_messages.h"
#include "output/write_scenes.h"
#include "scene/list_failure.h"

namespace klemora::output {
namespace {

int code(SplitResult result) { return static_cast<int>(result); }

// One part as a scene with the facts the name templates use.
int appendPart(scene::SceneList& list, const std::string& file, const media::MediaInfo& info, int32_t first,
               int32_t last, app::UserInterface& ui) {
    int index = list.AddNewScene();
    if (index < 0) {
        scene::showListFailure(ui, index);
        if (list.count() >= scene::kMaxScenes) return code(SplitResult::ListFull);
        ui.showMessage(app::stringPrintf("%s AddNewScene()!\nCode: %d", app::loadString(113).c_str(), index),
                       app::Icon::Stop);
        return code(SplitResult::AppendFailed);
    }
    list.setSourceFile(index, file);
    list.setStartFrame(index, first);
    list.setStopFrame(index, last);
    list.setDefinedStart(index, first);
    list.setDefinedStop(index, last);
    list.setFileLastFrame(index, info.frameCount - 1);
    if (info.frameRate > 0) list.setFramesPerSecond(index, info.frameRate);
    list.setRecordingTime(index, &info.recordingTime);
    list.setTimecode(index, info.timecode);
    list.setDvType(index, media::GetDvType(info));
    list.setWideScreen(index, info.wideScreen);
    list.setAllKeyframes(index, info.allKeyframes);
    return 1;
}

// The key-frame flag of every frame; empty when all are key frames or the
// file's index does not say.
std::vector<bool> keyFramesOf(const std::string& file, int32_t frameCount, app::UserInterface& ui,
                              const app::DebugLog& log) {
    avi::AviReader reader(&ui);
    reader.setLog(log);
    SourceStreams streams;
    if (reader.Open(file, "r") != 1 || describeSource(reader, streams) != 1) return {};
    avi::AviIndex index;
    index.build(reader);
    if (index.allKeyFrames(streams.videoSource)) return {};
    std::vector<bool> keys(static_cast<size_t>(std::max(0, frameCount)));
    for (int32_t i = 0; i < frameCount; ++i) keys[static_cast<size_t>(i)] = index.isKeyFrame(streams.videoSource, i);
    return keys;
}

// The file's parts, on key frames where the video needs it.
std::vector<std::pair<int32_t, int32_t>> partsOf(const std::string& file, const media::MediaInfo& info,
                                                 int32_t length, app::UserInterface& ui) {
    std::vector<std::pair<int32_t, int32_t>> parts = splitParts(info.frameCount, length);
    if (parts.size() < 2) return parts;
    std::vector<std::pair<int32_t, int32_t>> aligned =
        alignPartsToKeyFrames(parts, keyFramesOf(file, info.frameCount, ui, info.log));
    if (aligned != parts) showFileMessage(ui, app::loadString(806), file, app::Icon::Warning);
    return aligned;
}

}  // namespace

std::vector<std::pair<int32_t, int32_t>> alignPartsToKeyFrames(const std::vector<std::pair<int32_t, int32_t>>& parts,
                                                               const std::vector<bool>& keyFrames) {
    if (parts.empty() || keyFrames.empty()) return parts;
    auto isKey = [&](int32_t frame) {
        return frame >= static_cast<int32_t>(keyFrames.size()) || keyFrames[static_cast<size_t>(frame)];
    };
    std::vector<std::pair<int32_t, int32_t>> aligned{parts.front()};
    const int32_t last = parts.back().second;
    for (size_t p = 1; p < parts.size(); ++p) {
        int32_t start = std::max(parts[p].first, aligned.back().first + 1);
        while (start <= last && !isKey(start)) ++start;
        if (start > last) break;
        aligned.back().second = start - 1;
        aligned.emplace_back(start, parts[p].second);
    }
    aligned.back().second = last;
    return aligned;
}

int32_t partLengthFrames(int32_t framesPerPart, int32_t secondsPerPart, float frameRate) {
    int32_t length = framesPerPart > 0 ? framesPerPart
                                       : static_cast<int32_t>(static_cast<float>(secondsPerPart) * frameRate);
    return std::max(1, length);
}

std::vector<std::pair<int32_t, int32_t>> splitParts(int32_t frameCount, int32_t partLength) {
    std::vector<std::pair<int32_t, int32_t>> parts;
    if (frameCount <= 0 || partLength <= 0) return parts;
    const int32_t last = frameCount - 1;
    for (int64_t first = 0; first <= last; first += partLength) {
        int64_t end = std::min<int64_t>(first + partLength - 1, last);
        parts.emplace_back(static_cast<int32_t>(first), static_cast<int32_t>(end));
    }
    return parts;
}

int buildSplitList(std::vector<std::string> files, const SplitRequest& request, scene::SceneList& list,
                   app::UserInterface& ui, const app::DebugLog& log) {
    std::sort(files.begin(), files.end());
    for (size_t f = 0; f < files.size(); ++f) {
        media::MediaInfo info(request.fixRatio, log);
        int rc = media::ProbeMedia(files[f], info, ui);
        if (rc != 1) {
            ui.showMessage(
                app::stringPrintf("%s\nFile: %s\nCode: %d)", app::loadString(107).c_str(), files[f].c_str(), rc),
                app::Icon::Stop);
            bool last = f + 1 == files.size();
            if (!last && ui.ask(app::loadString(114), app::Buttons::YesNo, app::Icon::Question) == app::Answer::No)
                return code(SplitResult::Stopped);
            continue;
        }
        int32_t length = partLengthFrames(request.framesPerPart, request.secondsPerPart, info.frameRate);
        for (auto [first, last] : partsOf(files[f], info, length, ui))
            if (int added = appendPart(list, files[f], info, first, last, ui); added != 1) return added;
    }
    return 1;
}

int checkSplitValues(int32_t framesPerPart, int32_t secondsPerPart, app::UserInterface& ui) {
    if (framesPerPart <= 0 && secondsPerPart <= 0) {
        ui.showMessage(app::loadString(210), app::Icon::Warning);
        return code(SplitResult::NothingToDo);
    }
    if (framesPerPart > 0 && secondsPerPart > 0) {
        ui.showMessage(app::loadString(211), app::Icon::Warning);
        return code(SplitResult::BothValues);
    }
    return 1;
}

int SplitFiles(const std::vector<std::string>& files, const SplitRequest& request, WriteContext& context) {
    app::UserInterface& ui = context.ui;
    if (int rc = checkSplitValues(request.framesPerPart, request.secondsPerPart, ui); rc != 1) return rc;
    scene::SceneList list;
    if (int rc = buildSplitList(files, request, list, ui, context.log()); rc != 1) return rc;
    list.setNameTemplate(request.nameTemplate.c_str());
    app::ProgressScope progress(ui);
    context.destinationDirectory = request.destinationDirectory;
    context.groupName.clear();
    context.nameFromSource = request.nameFromSource;
    context.setFileDates = false;
    context.okStatusOnly = false;
    return WriteScenes(context, list, 0);
}

}  // namespace klemora::output
