#include "output/scene_writer.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "app/debug_log.h"
#include "app/string_table.h"
#include "avi/avi_index_reader.h"
#include "avi/avi_reader.h"
#include "output/output_steps.h"
#include "output/scene_copy.h"
#include "output/source_streams.h"
#include "output/write_messages.h"
#include "output/write_result.h"

namespace klemora::output {
namespace {

int code(WriteSceneResult result) { return static_cast<int>(result); }

// The too-short rules and the file's end: 1 (after a warning when the
// scene was cut to the frames that exist) or TooShort after the messages.
int checkLength(const std::string& sourcePath, const SourceStreams& source, int32_t startFrame, int32_t stopFrame,
                float speedFactor, const SceneRange& range, app::UserInterface& ui) {
    float length = sceneLengthSeconds(startFrame, stopFrame, static_cast<float>(source.frameRate()), source.frameCount);
    bool withSpeed = !speedCountsAsOne(speedFactor);
    float timeline = withSpeed ? length / speedFactor : length;
    if (timeline < kMinimumSceneSeconds) {
        showTooShort(ui, withSpeed, timeline);
        return code(WriteSceneResult::TooShort);
    }
    return checkSceneInFile(ui, sourcePath, startFrame, stopFrame, source.frameCount, range);
}

int writeScene(const std::string& sourcePath, const std::string& destinationPath, WriteContext& context,
               int32_t startFrame, int32_t stopFrame, float speedFactor) {
    app::UserInterface& ui = context.ui;
    context.sources.add(sourcePath);
    if (refuseSourceAsDestination(context, destinationPath)) return code(WriteSceneResult::DestinationIsSource);
    speedFactor = clampSpeedFactor(speedFactor);
    avi::AviReader& reader = context.sourceReader();
    reader.setLog(context.log());
    if (int rc = reader.Open(sourcePath, "r"); rc != 1) {  // the same file as the last scene stays open
        showOpenFailure(ui, sourcePath, rc);
        return code(WriteSceneResult::SourceUnreadable);
    }
    SourceStreams source;
    if (int rc = describeSource(reader, source); rc != 1) {
        showStepFailure(ui, "WriteScene", rc, 0);
        return rc;
    }
    SceneRange range = sceneRangeIn(startFrame, stopFrame, source.frameCount, effectiveSpeed(speedFactor));
    if (int rc = checkLength(sourcePath, source, startFrame, stopFrame, speedFactor, range, ui); rc != 1) return rc;
    avi::AviIndex index;
    index.build(reader);
    if (range.speed != 1.0 && !(source.allKeyframes && index.allKeyFrames(source.videoSource))) {
        showFileMessage(ui, app::loadString(720), sourcePath, app::Icon::Stop);
        return code(WriteSceneResult::SpeedNeedsKeyFrames);
    }
    // Frames before the next key frame need pictures the scene leaves out.
    if (!index.isKeyFrame(source.videoSource, range.firstFrame)) {
        showNotKeyFrame(ui, sourcePath, range.firstFrame);
        return code(WriteSceneResult::StartNotKeyFrame);
    }

    TemporaryOutput output(destinationPath);
    avi::AviWriter writer;
    if (int rc = beginOutput(output, writer, source.layout, context, "WriteScene"); rc != 1) return rc;
    SceneCopier copier(writer, source, context, range.outputFrames, false);
    CopyOutcome outcome = copier.append(reader, source, index, range);
    if (outcome.status == CopyStatus::SourceFailed || outcome.status == CopyStatus::WriteFailed)
        return failCopy(writer, outcome, context, "WriteScene");
    if (outcome.status == CopyStatus::SourceEnded)
        return failShortSource(writer, sourcePath, copier.framesWritten(), range.outputFrames, context);
    if (copier.framesWritten() == 0) {  // stopped before the first frame
        writer.discard();
        showTooShort(ui, false, 0.0);
        return code(WriteSceneResult::TooShort);
    }
    if (outcome.status == CopyStatus::Cancelled && !context.keepStoppedPart) {
        writer.discard();  // as a Stop, but the part written so far goes with the temporary file
        return 1;
    }
    if (outcome.status == CopyStatus::Cancelled)
        context.log().write("WriteScene: stopped after %lld of %lld frames", static_cast<long long>(copier.framesWritten()),
                      static_cast<long long>(range.outputFrames));
    return completeOutput(output, writer, context, "WriteScene");
}

}  // namespace

float clampSpeedFactor(float speedFactor) { return speedFactor < 0.001f ? 0.001f : speedFactor; }

bool speedCountsAsOne(float speedFactor) { return speedFactor >= 0.998f && speedFactor <= 1.002f; }

double effectiveSpeed(float speedFactor) {
    speedFactor = clampSpeedFactor(speedFactor);
    if (speedCountsAsOne(speedFactor)) return 1.0;
    return std::round(static_cast<double>(speedFactor) * 1e6) / 1e6;
}

float sceneLengthSeconds(int32_t startFrame, int32_t stopFrame, float frameRate, int32_t frameCount) {
    float d = frameRate > 0 ? 1.0f / frameRate : 0.0f;
    float startTime = startFrame < 0 ? 0.0f : 0.015f + d * static_cast<float>(startFrame);
    float stopTime = stopFrame < 0 ? d * static_cast<float>(frameCount) : 0.015f + d * static_cast<float>(stopFrame + 1);
    return stopTime - startTime + 0.01f;
}

int WriteScene(const std::string& sourcePath, const std::string& destinationPath, WriteContext& context,
               int32_t startFrame, int32_t stopFrame, float speedFactor) {
    try {
        return writeScene(sourcePath, destinationPath, context, startFrame, stopFrame, speedFactor);
    } catch (const std::bad_alloc&) {
        context.ui.showMessage(app::loadString(109), app::Icon::Stop);
        return code(WriteSceneResult::OutOfMemory);
    }
}

}  // namespace klemora::output
