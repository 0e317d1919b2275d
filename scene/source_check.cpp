#include "scene/source_check.h"

#include <fcntl.h>
#include <unistd.h>

#include <map>

#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "app/unique_fd.h"

namespace klemora::scene {
namespace {

bool canOpen(const std::string& path) {
    app::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return fd.valid();
}

std::string withSlash(std::string folder) {
    if (folder.size() > 1 && folder.back() != '/') folder += '/';
    return folder;
}

bool tryAlternative(SceneList& list, int i, const SourceSearch& search) {
    if (search.alternativeFolder.empty()) return false;
    std::string candidate = search.alternativeFolder + app::fileNameOf(list.sourceFile(i));
    if (!canOpen(candidate)) return false;
    list.setSourceFile(i, candidate);
    return true;
}

void moveToFolder(SceneList& list, int first, int last, const std::string& folder) {
    for (int k = first; k <= last; ++k) list.setSourceFile(k, folder + app::fileNameOf(list.sourceFile(k)));
}

}  // namespace

SourceCheckResult checkSources(SceneList& list, SourceSearch& search, app::UserInterface& ui) {
    std::string lastChosenForScene;
    for (int i = 0; i < list.count(); ++i) {
        std::string path(list.sourceFile(i));
        if (path == search.lastFoundPath) continue;
        if (canOpen(path)) {
            search.lastFoundPath = path;
            lastChosenForScene.clear();
            continue;
        }
        if (tryAlternative(list, i, search)) {
            --i;  // the rewritten path is remembered as found on the next pass
            continue;
        }
        std::string group(list.groupName());
        std::string question =
            app::stringPrintf("%s\nGroup: %s\nFile: %s", app::loadString(330).c_str(), group.c_str(), path.c_str());
        app::Answer answer = ui.ask(question, app::Buttons::YesNoCancel, app::Icon::Question);
        if (answer == app::Answer::Cancel) return SourceCheckResult::Cancelled;
        if (answer == app::Answer::No) continue;
        std::string folder = ui.chooseDirectory("Directory selection", app::directoryOf(path));
        // Nothing chosen, or the same folder again without the file: go on,
        // so that a batch run cannot ask for ever.
        if (folder.empty() || withSlash(folder) == lastChosenForScene) {
            lastChosenForScene.clear();
            continue;
        }
        folder = withSlash(folder);
        lastChosenForScene = folder;
        search.alternativeFolder = folder;
        int last = i;
        if (i + 1 < list.count()) {
            std::string all = app::stringPrintf("%s\nGroup: %s\nPath: %s", app::loadString(331).c_str(), group.c_str(),
                                               folder.c_str());
            if (ui.ask(all, app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes) last = list.count() - 1;
        }
        moveToFolder(list, i, last, folder);
        --i;  // examine the same scene again
    }
    return SourceCheckResult::Completed;
}

void applySourceFacts(SceneList& list, int i, const SourceFacts& facts) {
    list.setFileFirstFrame(i, 0);
    list.setFileLastFrame(i, facts.frameCount - 1);
    list.setFramesPerSecond(i, facts.framesPerSecond);
    list.setAllKeyframes(i, facts.allKeyframes ? 1 : 0);
    list.setDvType(i, facts.dvType);
    list.setOpenDmlKind(i, facts.openDmlKind);
    list.setWideScreen(i, facts.wideScreen ? 1 : 0);
    list.setVideoFourcc(i, facts.videoFourcc.substr(0, kMaxFourccLength).c_str());
}

bool probeSources(SceneList& list, SourceProbe& probe, app::UserInterface& ui) {
    std::map<std::string, std::pair<int, SourceFacts>> seen;
    for (int i = 0; i < list.count(); ++i) {
        std::string path(list.sourceFile(i));
        auto it = seen.find(path);
        if (it == seen.end()) {
            SourceFacts facts;
            int rc = probe.probe(path, facts);
            it = seen.emplace(path, std::make_pair(rc, facts)).first;
        }
        auto& [rc, facts] = it->second;
        if (rc == 1) {
            applySourceFacts(list, i, facts);
            continue;
        }
        if (i + 1 == list.count()) {
            ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(107).c_str(), path.c_str(), rc),
                           app::Icon::Stop);
            return true;
        }
        std::string question = app::stringPrintf("%s %s\nFile: %s\nCode: %d", app::loadString(107).c_str(),
                                                 app::loadString(114).c_str(), path.c_str(), rc);
        if (ui.ask(question, app::Buttons::YesNo, app::Icon::Stop) == app::Answer::No) return false;
    }
    return true;
}

}  // namespace klemora::scene
