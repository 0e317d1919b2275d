#include "output/joined_writer.h"

#include <memory>
#include <new>
#include <vector>

#include "app/string_table.h"
#include "app/text_format.h"
#include "avi/avi_index_reader.h"
#include "avi/avi_reader.h"
#include "output/file_dates.h"
#include "output/output_steps.h"
#include "output/scene_copy.h"
#include "output/scene_writer.h"
#include "output/source_streams.h"
#include "output/write_messages.h"
#include "output/write_result.h"

namespace klemora::output {
namespace {

constexpr std::string_view kOperation = "WriteScenesToOneFile";

struct PlannedScene {
    std::string sourcePath;
    SourceStreams streams;
    std::shared_ptr<const avi::AviIndex> index;  // shared by the scenes of one source
    SceneRange range;
};

bool qualifies(const WriteContext& context, const scene::SceneList& list, int i) {
    return !list.sourceFile(i).empty() && (!context.okStatusOnly || list.okStatus(i) == 1);
}

// The scene's frames in its file; a scene with none is an error, one that
// reaches past the end is cut there with a warning. 1 or TooShort.
int rangeOf(const scene::SceneList& list, int i, const PlannedScene& planned, SceneRange& range,
            app::UserInterface& ui) {
    int32_t start = list.startFrame(i), stop = list.stopFrame(i), count = planned.streams.frameCount;
    range = sceneRangeIn(start, stop, count, effectiveSpeed(list.speedFactor(i)));
    return checkSceneInFile(ui, planned.sourcePath, start, stop, count, range);
}

// Checks one scene against the reference; 1, 0 after a message that ends
// the operation quietly, or a negative code.
int planScene(const scene::SceneList& list, int i, const SourceStreams* reference, const PlannedScene* previous,
              PlannedScene& planned, app::UserInterface& ui, const app::DebugLog& log) {
    planned.sourcePath = std::string(list.sourceFile(i));
    avi::AviReader reader(&ui);
    reader.setLog(log);
    if (int rc = reader.Open(planned.sourcePath, "r"); rc != 1) {
        showOpenFailure(ui, planned.sourcePath, rc);
        return 0;
    }
    if (int rc = describeSource(reader, planned.streams); rc != 1) {
        showOpenFailure(ui, planned.sourcePath, rc);
        return 0;
    }
    if (reference) {
        int mismatch = !sameFrameRate(*reference, planned.streams) ? 308
                       : !sameVideoType(*reference, planned.streams) ? 309
                       : !sameAudioTypes(*reference, planned.streams) ? 310
                                                                      : 0;
        if (mismatch == 308) showFileMessage(ui, app::loadString(308), planned.sourcePath, app::Icon::Stop);
        if (mismatch == 309) showFileMessage(ui, app::loadString(309), planned.sourcePath, app::Icon::Stop);
        if (mismatch == 310) showFileMessage(ui, app::loadString(310), planned.sourcePath, app::Icon::Stop);
        if (mismatch != 0) return 0;
    }
    if (int rc = rangeOf(list, i, planned, planned.range, ui); rc != 1) return rc;
    if (previous && previous->sourcePath == planned.sourcePath) {
        planned.index = previous->index;
    } else {
        auto index = std::make_shared<avi::AviIndex>();
        index->build(reader);
        planned.index = std::move(index);
    }
    if (planned.range.speed != 1.0 &&
        !(planned.streams.allKeyframes && planned.index->allKeyFrames(planned.streams.videoSource))) {
        showFileMessage(ui, app::loadString(720), planned.sourcePath, app::Icon::Stop);
        return static_cast<int>(WriteSceneResult::SpeedNeedsKeyFrames);
    }
    if (!planned.index->isKeyFrame(planned.streams.videoSource, planned.range.firstFrame)) {
        showNotKeyFrame(ui, planned.sourcePath, planned.range.firstFrame);
        return static_cast<int>(WriteSceneResult::StartNotKeyFrame);
    }
    return 1;
}

int writeJoined(WriteContext& context, const std::vector<PlannedScene>& plan, int64_t totalFrames,
                const std::string& destinationPath) {
    TemporaryOutput output(destinationPath);
    avi::AviWriter writer;
    if (int rc = beginOutput(output, writer, plan.front().streams.layout, context, kOperation); rc != 1) return rc;
    SceneCopier copier(writer, plan.front().streams, context, totalFrames, true);
    avi::AviReader reader(&context.ui);
    reader.setLog(context.log());
    for (const PlannedScene& scene : plan) {
        if (int rc = reader.Open(scene.sourcePath, "r"); rc != 1) {  // the same name again keeps it open
            writer.discard();
            showOpenFailure(context.ui, scene.sourcePath, rc);
            return static_cast<int>(WriteSceneResult::SourceUnreadable);
        }
        int64_t before = copier.framesWritten();
        CopyOutcome outcome = copier.append(reader, scene.streams, *scene.index, scene.range);
        if (outcome.status == CopyStatus::SourceFailed || outcome.status == CopyStatus::WriteFailed)
            return failCopy(writer, outcome, context, kOperation);
        if (outcome.status == CopyStatus::SourceEnded)
            return failShortSource(writer, scene.sourcePath, copier.framesWritten() - before, scene.range.outputFrames,
                                   context);
        if (outcome.status == CopyStatus::Cancelled) break;
    }
    if (context.droppedStoppedPart()) {
        writer.discard();
        return 1;
    }
    return completeOutput(output, writer, context, kOperation);
}

int writeScenesToOneFile(WriteContext& context, const scene::SceneList& list, const std::string& destinationPath) {
    app::UserInterface& ui = context.ui;
    for (int i = 0; i < list.count(); ++i) context.sources.add(std::string(list.sourceFile(i)));
    if (refuseSourceAsDestination(context, destinationPath)) return static_cast<int>(WriteSceneResult::DestinationIsSource);
    std::vector<PlannedScene> plan;
    int firstScene = -1;
    int64_t totalFrames = 0;
    for (int i = 0; i < list.count(); ++i) {
        if (!qualifies(context, list, i)) continue;
        PlannedScene planned;
        int rc = planScene(list, i, plan.empty() ? nullptr : &plan.front().streams, plan.empty() ? nullptr : &plan.back(),
                           planned, ui, context.log());
        if (rc != 1) return rc == 0 ? 1 : rc;
        if (firstScene < 0) firstScene = i;
        totalFrames += planned.range.outputFrames;
        plan.push_back(std::move(planned));
    }
    if (plan.empty()) return 1;

    if (int rc = writeJoined(context, plan, totalFrames, destinationPath); rc != 1) return rc;
    if (context.setFileDates) {
        scene::RecordingTime date = list.recordingTime(firstScene);
        int rc = SetCreationDate(date, destinationPath, context.log());
        if (rc != 1 && rc != static_cast<int>(FileDateResult::NoDate))
            ui.showMessage(app::stringPrintf("%s SetCreationDate()!\nFile: %s\nCode: %d", app::loadString(113).c_str(),
                                             destinationPath.c_str(), rc),
                           app::Icon::Stop);
    }
    return 1;
}

}  // namespace

int WriteScenesToOneFile(WriteContext& context, const scene::SceneList& list, const std::string& destinationPath) {
    try {
        return writeScenesToOneFile(context, list, destinationPath);
    } catch (const std::bad_alloc&) {
        context.ui.showMessage(app::loadString(109), app::Icon::Stop);
        return static_cast<int>(WriteSceneResult::OutOfMemory);
    }
}

}  // namespace klemora::output
