#include "output/output_steps.h"

#include <cerrno>

#include "app/debug_log.h"
#include "app/string_table.h"
#include "output/write_messages.h"
#include "output/write_result.h"

namespace klemora::output {
namespace {

int code(WriteSceneResult result) { return static_cast<int>(result); }

}  // namespace

int beginOutput(TemporaryOutput& output, avi::AviWriter& writer, const avi::AviLayout& layout,
                const WriteContext& context, std::string_view operation) {
    if (!output.create()) {
        context.log().write("%s: no temporary file beside %s (errno %d)", std::string(operation).c_str(),
                      output.destination().c_str(), output.lastError());
        showStepFailure(context.ui, operation, code(WriteSceneResult::CreateFailed), output.lastError());
        return code(WriteSceneResult::CreateFailed);
    }
    if (int rc = writer.open(output.fd(), output.path(), layout, context.writerOptions); rc != 1) {
        context.log().write("%s: %s cannot be begun (%d %s)", std::string(operation).c_str(), output.path().c_str(), rc,
                      std::string(avi::writerResultName(rc)).c_str());
        showStepFailure(context.ui, operation, code(WriteSceneResult::CreateFailed), writer.lastErrno());
        output.remove();
        return code(WriteSceneResult::CreateFailed);
    }
    return 1;
}

int failCopy(avi::AviWriter& writer, const CopyOutcome& outcome, WriteContext& context, std::string_view operation) {
    context.log().write("%s: copy failed (%s, writer %d %s, errno %d)", std::string(operation).c_str(),
                  outcome.status == CopyStatus::SourceFailed ? "reading the source" : "writing",
                  outcome.writerCode, std::string(avi::writerResultName(outcome.writerCode)).c_str(), outcome.error);
    writer.discard();
    int error = outcome.error;
    if (error == 0 && outcome.status == CopyStatus::SourceFailed) error = EIO;
    showStepFailure(context.ui, operation, code(WriteSceneResult::CopyFailed), error);
    context.ui.setProgressPosition(0);
    return code(WriteSceneResult::CopyFailed);
}

int failShortSource(avi::AviWriter& writer, const std::string& sourcePath, int64_t delivered, int64_t wanted,
                    WriteContext& context) {
    context.log().write("WriteScene: %s delivered %lld of %lld frames; nothing kept", sourcePath.c_str(),
                  static_cast<long long>(delivered), static_cast<long long>(wanted));
    writer.discard();
    showShortSource(context.ui, sourcePath, delivered, wanted);
    context.ui.setProgressPosition(0);
    return code(WriteSceneResult::SourceShort);
}

int checkSceneInFile(app::UserInterface& ui, const std::string& sourcePath, int32_t startFrame, int32_t stopFrame,
                     int32_t frameCount, const SceneRange& range) {
    if (range.outputFrames <= 0) {
        showSceneBeyondEnd(ui, sourcePath, startFrame, stopFrame, frameCount);
        return code(WriteSceneResult::TooShort);
    }
    if (reachesPastEnd(startFrame, stopFrame, frameCount))
        showClippedScene(ui, sourcePath, startFrame, stopFrame, frameCount, range.firstFrame, range.lastFrame);
    return 1;
}

bool refuseSourceAsDestination(const WriteContext& context, const std::string& destination) {
    if (!context.sources.contains(destination)) return false;
    context.log().write("write: %s is a source of the run; not overwritten", destination.c_str());
    showFileMessage(context.ui, app::loadString(800), destination, app::Icon::Stop);
    return true;
}

int completeOutput(TemporaryOutput& output, avi::AviWriter& writer, WriteContext& context, std::string_view operation) {
    context.ui.setProgressPosition(context.ui.progressMax());
    int rc = writer.finish();
    context.ui.setProgressPosition(0);
    if (rc != 1) {
        showStepFailure(context.ui, operation, code(WriteSceneResult::FinishFailed), writer.lastErrno());
        output.remove();
        return code(WriteSceneResult::FinishFailed);
    }
    std::string from = output.path();
    if (!output.commit()) {
        showRenameFailure(context.ui, from, output.destination(), output.lastError());
        return code(WriteSceneResult::RenameFailed);
    }
    context.writtenFiles.push_back(output.destination());
    return 1;
}

}  // namespace klemora::output
