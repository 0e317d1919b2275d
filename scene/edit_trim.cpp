#include "scene/edit_trim.h"

namespace klemora::scene {

EditResult applyTrim(SceneList& list, Selection selection, const SceneRecord& trimmed, app::UserInterface& ui) {
    int row = -1;
    if (EditResult rc = readSingleSelection(list, selection, "KLM-SL-1017-2", app::Icon::Stop, ui, row);
        rc != EditResult::Ok)
        return rc;
    if (trimmed.startFrame < 0 || trimmed.stopFrame < trimmed.startFrame) {
        showInternalError(ui, "KLM-SL-1017-2");
        return EditResult::BadInput;
    }
    list.setStartFrame(row, trimmed.startFrame);
    list.setStopFrame(row, trimmed.stopFrame);
    list.setRecordingTime(row, &trimmed.recordingTime);
    list.setTimecode(row, trimmed.timecode);
    list.setOkStatus(row, trimmed.okStatus);
    return EditResult::Ok;
}

}  // namespace klemora::scene
