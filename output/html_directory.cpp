#include "output/html_directory.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "app/string_table.h"
#include "app/text_format.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "output/html_page_file.h"
#include "output/html_result.h"
#include "scene/list_failure.h"

namespace klemora::output {
namespace {

bool hasAviExtension(const std::string& name) {
    if (name.size() < 5) return false;
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    return tail == ".avi";
}

// The whole file as one scene, with the facts the cells show.
int addFileScene(scene::SceneList& list, const std::string& path, const media::MediaInfo& info,
                 app::UserInterface& ui) {
    int index = list.AddNewScene();
    if (index < 0) {
        scene::showListFailure(ui, index);
        ui.showMessage(app::stringPrintf("%s AddNewScene()!\nCode: %d", app::loadString(113).c_str(), index),
                       app::Icon::Stop);
        return code(HtmlIndexResult::AddSceneFailed);
    }
    if (list.setSourceFile(index, path) != 1) {  // a path beyond the record's 260 characters
        scene::showShrinkFailure(ui, list.removeRecord(index));
        showFileMessage(ui, app::loadString(138), path);
        return code(HtmlIndexResult::AddSceneFailed);
    }
    scene::SceneRecord& record = *list.mutableRecord(index);
    record.startFrame = 0;
    record.stopFrame = std::max(0, info.frameCount - 1);
    record.fileFirstFrame = 0;
    record.fileLastFrame = record.stopFrame;
    if (info.frameRate > 0) record.framesPerSecond = info.frameRate;
    record.allKeyframes = info.allKeyframes;
    record.dvType = info.isDv ? (info.isDvType1 ? 1 : 2) : 0;
    record.openDmlKind = info.isExtendedOpenDml ? 2 : info.isOpenDml ? 1 : 0;
    record.recordingTime = info.recordingTime;
    record.wideScreen = info.wideScreen;
    record.timecode = info.timecode;
    scene::assignField(record.videoFourcc, scene::fieldText(info.fourcc));
    return code(HtmlIndexResult::Ok);
}

int addFile(scene::SceneList& list, const std::string& path, std::string_view fixRatio, const app::DebugLog& log,
            app::UserInterface& ui) {
    media::MediaInfo info(fixRatio, log);
    if (media::ProbeMedia(path, info, ui) != 1) {
        showFileMessage(ui, app::loadString(107), path);
        return code(HtmlIndexResult::SourceUnreadable);
    }
    if (int rc = media::GetExtraData(info, false, ui); rc != 1) {
        ui.showMessage(app::stringPrintf("%s GetExtraData()!\nCode: %d\nFile: %s", app::loadString(113).c_str(), rc,
                                         path.c_str()),
                       app::Icon::Stop);
        media::ReleaseMedia(info);
        return code(HtmlIndexResult::ExtraDataFailed);
    }
    int rc = addFileScene(list, path, info, ui);
    media::ReleaseMedia(info);
    return rc;
}

}  // namespace

std::vector<std::string> aviFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (hasAviExtension(name) && it->is_regular_file(error)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int readAviFolder(const std::string& folder, scene::SceneList& list, app::UserInterface& ui, std::string_view fixRatio,
                  const app::DebugLog& log) {
    list.clear();
    std::vector<std::string> names = aviFilesIn(folder);
    if (names.empty()) {
        ui.showMessage(app::stringPrintf("%s FindFirstFile()! %s\nPath: %s", app::loadString(113).c_str(),
                                         app::loadString(201).c_str(), folder.c_str()),
                       app::Icon::Stop);
        return code(HtmlIndexResult::NoAviFiles);
    }
    std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const std::string& name : names)
        if (int rc = addFile(list, prefix + name, fixRatio, log, ui); rc != 1) return rc;
    return code(HtmlIndexResult::Ok);
}

}  // namespace klemora::output
