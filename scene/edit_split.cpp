#include "scene/edit_split.h"

#include <cstring>
#include <string>

#include "app/string_table.h"
#include "scene/time_text.h"
#include "scene/trash.h"

namespace klemora::scene {
namespace {

// Every piece must hold at least one frame and stay inside the scene.
bool validCutPoints(const SceneRecord& scene, std::span<const int32_t> points) {
    if (points.size() < 2 || points.front() != scene.startFrame || points.back() != scene.stopFrame) return false;
    for (size_t j = 1; j + 1 < points.size(); ++j)
        if (points[j] <= points[j - 1]) return false;
    return points[points.size() - 2] <= points.back();
}

std::string pieceComment(std::string_view comment, int pieceNumber) {
    if (comment.empty()) return {};
    std::string text = std::string(comment) + " - " + std::to_string(pieceNumber);
    // A comment at its full length has no room for the number; it is cut to fit.
    if (text.size() > static_cast<size_t>(kMaxCommentLength)) text.resize(kMaxCommentLength);
    return text;
}

}  // namespace

SceneRecord splitPiece(const SceneRecord& scene, int32_t start, int32_t stop, int pieceNumber) {
    SceneRecord piece;
    piece.startFrame = start;
    piece.stopFrame = stop;
    piece.definedStart = start;
    piece.definedStop = stop;
    std::memcpy(piece.sourceFile, scene.sourceFile, sizeof piece.sourceFile);
    piece.framesPerSecond = scene.framesPerSecond > 0 ? scene.framesPerSecond : 25.0f;
    piece.allKeyframes = scene.allKeyframes;
    piece.dvType = scene.dvType;
    piece.openDmlKind = scene.openDmlKind;
    piece.fileFirstFrame = scene.fileFirstFrame;
    piece.fileLastFrame = scene.fileLastFrame;
    piece.wideScreen = scene.wideScreen;
    piece.speedFactor = scene.speedFactor > 0 ? scene.speedFactor : 1.0f;
    std::memcpy(piece.videoFourcc, scene.videoFourcc, sizeof piece.videoFourcc);
    int32_t advance = start - scene.startFrame;
    piece.recordingTime = addFramesToRecordingTime(scene.recordingTime, advance, piece.framesPerSecond);
    piece.timecode = addFramesToTimecode(scene.timecode, advance, piece.framesPerSecond);
    assignField(piece.comment, pieceComment(fieldText(scene.comment), pieceNumber));
    return piece;
}

EditResult splitScene(SceneList& list, Selection selection, std::span<const int32_t> cutPoints, SceneList& trash,
                      app::UserInterface& ui) {
    return guardMemory(ui, [&] {
        int row = -1;
        if (EditResult rc = readSingleSelection(list, selection, "KLM-SL-1017", app::Icon::Stop, ui, row);
            rc != EditResult::Ok)
            return rc;
        const SceneRecord scene = *list.record(row);
        if (!validCutPoints(scene, cutPoints)) {
            showInternalError(ui, "KLM-SL-1018");
            return EditResult::BadInput;
        }
        int pieces = static_cast<int>(cutPoints.size()) - 1;
        if (pieces == 1) return EditResult::Ok;
        // Checked before anything changes, so that a full list never loses the scene.
        if (list.count() - 1 + pieces > kMaxScenes) {
            ui.showMessage(app::loadString(140), app::Icon::Stop);
            return EditResult::TooManyScenes;
        }
        keepInTrash(trash, list, std::span<const int>(&row, 1), ui);
        list.removeRecord(row);
        for (int j = 1; j <= pieces; ++j) {
            int32_t stop = j == pieces ? cutPoints[j] : cutPoints[j] - 1;
            SceneRecord piece = splitPiece(scene, cutPoints[j - 1], stop, j);
            int slot = list.InsertNewScene(row + j - 1);
            if (slot < 0) {
                showCallFailure(ui, "AddNewScene()/InsertNewScene()", slot);
                return EditResult::InsertFailed;
            }
            list.replaceRecord(slot, &piece);
        }
        return EditResult::Ok;
    });
}

}  // namespace klemora::scene
