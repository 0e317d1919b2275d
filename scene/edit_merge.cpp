#include "scene/edit_merge.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "app/string_table.h"
#include "scene/trash.h"

namespace klemora::scene {
namespace {

EditResult fewerThanTwo(app::UserInterface& ui) {
    ui.showMessage(app::loadString(170), app::Icon::Stop);
    return EditResult::NothingSelected;
}

bool sameSource(const SceneList& list, const std::vector<int>& rows) {
    std::string_view first = list.sourceFile(rows.front());
    return std::all_of(rows.begin(), rows.end(), [&](int row) { return list.sourceFile(row) == first; });
}

// Start and stop of the merged scene, and the row whose recording time and
// timecode it takes (the first with the smallest start).
struct MergedRange {
    int32_t start;
    int32_t stop;
    int earliestRow;
};

MergedRange mergedRange(const SceneList& list, const std::vector<int>& rows) {
    MergedRange range{list.startFrame(rows.front()), list.stopFrame(rows.front()), rows.front()};
    for (int row : rows) {
        if (list.startFrame(row) < range.start) {
            range.start = list.startFrame(row);
            range.earliestRow = row;
        }
        range.stop = std::max(range.stop, list.stopFrame(row));
    }
    return range;
}

void becomeMerged(SceneRecord& merged, const MergedRange& range, const SceneRecord& earliest,
                  const SceneRecord& technical) {
    merged.startFrame = range.start;
    merged.stopFrame = range.stop;
    merged.definedStart = range.start;
    merged.definedStop = range.stop;
    merged.recordingTime = earliest.recordingTime;
    merged.timecode = earliest.timecode;
    merged.framesPerSecond = technical.framesPerSecond > 0 ? technical.framesPerSecond : 25.0f;
    merged.allKeyframes = technical.allKeyframes;
    merged.dvType = technical.dvType;
    merged.openDmlKind = technical.openDmlKind;
    merged.fileFirstFrame = technical.fileFirstFrame;
    merged.fileLastFrame = technical.fileLastFrame;
    merged.wideScreen = technical.wideScreen;
    std::memcpy(merged.videoFourcc, technical.videoFourcc, sizeof merged.videoFourcc);
    merged.speedFactor = 1.0f;
    assignField(merged.comment, "");
    assignField(merged.destName, "");
}

}  // namespace

int64_t longestUncoveredRun(const SceneList& list, std::span<const int> rows) {
    std::vector<std::pair<int64_t, int64_t>> covered;
    for (int row : rows)
        if (list.startFrame(row) <= list.stopFrame(row)) covered.emplace_back(list.startFrame(row), list.stopFrame(row));
    if (covered.empty()) return 0;
    std::sort(covered.begin(), covered.end());
    int64_t longest = 0;
    int64_t coveredTo = covered.front().second;
    for (const auto& [start, stop] : covered) {
        longest = std::max(longest, start - coveredTo - 1);
        coveredTo = std::max(coveredTo, stop);
    }
    return longest;
}

EditResult mergeScenes(SceneList& list, Selection selection, SceneList& trash, app::UserInterface& ui) {
    return guardMemory(ui, [&] {
        if (selection.size() < 2) return fewerThanTwo(ui);
        std::vector<int> rows;
        if (EditResult rc = readSelection(list, selection, "KLM-SL-1020", ui, rows); rc != EditResult::Ok) return rc;
        if (rows.size() < 2) return fewerThanTwo(ui);
        if (!sameSource(list, rows)) {
            ui.showMessage(app::loadString(172), app::Icon::Stop);
            return EditResult::DifferentSources;
        }
        if (longestUncoveredRun(list, rows) > kMergeGapWithoutQuestion &&
            ui.ask(app::loadString(173), app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes)
            return EditResult::Declined;

        MergedRange range = mergedRange(list, rows);
        SceneRecord earliest = *list.record(range.earliestRow);
        SceneRecord technical = *list.record(rows.back());
        keepInTrash(trash, list, rows, ui);
        SceneRecord merged = *list.record(rows.front());
        becomeMerged(merged, range, earliest, technical);
        list.replaceRecord(rows.front(), &merged);
        removeRows(list, std::span<const int>(rows).subspan(1));
        list.setModified(true);
        return EditResult::Ok;
    });
}

}  // namespace klemora::scene
