#include "scene/scene_sort.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/selection.h"
#include "scene/time_text.h"

namespace klemora::scene {
namespace {

template <typename T>
int compareValues(T a, T b) {
    return a < b ? -1 : b < a ? 1 : 0;
}

int compareTimecodes(Timecode a, Timecode b) {
    if (int c = compareValues(a.hours, b.hours)) return c;
    if (int c = compareValues(a.minutes, b.minutes)) return c;
    if (int c = compareValues(a.seconds, b.seconds)) return c;
    return compareValues(a.frames, b.frames);
}

// A record with its recording time as calendar seconds, worked out once
// rather than in every comparison.
struct SortEntry {
    SceneRecord record;
    std::time_t seconds;
};

// A NaN would break the ordering the sort relies on; it counts as unusable.
float comparableSpeed(float speed) { return speed == speed ? speed : -1.0f; }

class SceneComparison {
public:
    explicit SceneComparison(SortKey key) : m_key(key) {}

    int operator()(const SortEntry& a, const SortEntry& b) {
        int c = m_key == SortKey::RecordingTime ? compareValues(a.seconds, b.seconds) : primary(a.record, b.record);
        return c != 0 ? c : tieBreak(a.record, b.record);
    }
    bool keyMissing() const { return m_keyMissing; }

private:
    int numeric(int64_t a, int64_t b) {
        if (a < 0 || b < 0) m_keyMissing = true;
        return compareValues(a, b);
    }
    int text(std::string_view a, std::string_view b) {
        if (a.empty() || b.empty()) m_keyMissing = true;
        return app::compareAsciiNoCase(a, b);
    }

    int primary(const SceneRecord& a, const SceneRecord& b) {
        switch (m_key) {
        case SortKey::SourceFile: return text(fieldText(a.sourceFile), fieldText(b.sourceFile));
        case SortKey::DestName: return text(fieldText(a.destName), fieldText(b.destName));
        case SortKey::Start: return numeric(a.startFrame, b.startFrame);
        case SortKey::Stop: return numeric(a.stopFrame, b.stopFrame);
        case SortKey::Length: return numeric(a.lengthFrames(), b.lengthFrames());
        case SortKey::SpeedFactor: {
            float sa = comparableSpeed(a.speedFactor), sb = comparableSpeed(b.speedFactor);
            if (sa < 0 || sb < 0) m_keyMissing = true;
            return compareValues(sa, sb);
        }
        case SortKey::RecordingTime: return 0;  // compared on the entries' calendar seconds
        case SortKey::Timecode: return compareTimecodes(a.timecode, b.timecode);
        case SortKey::Status: return numeric(a.okStatus, b.okStatus);
        }
        return 0;
    }

    int tieBreak(const SceneRecord& a, const SceneRecord& b) {
        if (m_key == SortKey::SourceFile) return numeric(a.startFrame, b.startFrame);
        return app::compareAsciiNoCase(fieldText(a.sourceFile), fieldText(b.sourceFile));
    }

    SortKey m_key;
    bool m_keyMissing = false;
};

}  // namespace

SortKey sortKeyFromDialogIndex(int index) {
    if (index < 0 || index > 8) return SortKey::SourceFile;
    return static_cast<SortKey>(index + static_cast<int>(SortKey::SourceFile));
}

void sortScenes(SceneList& list, SortKey key, SortDirection direction, bool* keyMissing) {
    std::vector<SortEntry> entries;
    entries.reserve(static_cast<size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i) {
        const SceneRecord& record = *list.record(i);
        entries.push_back({record, key == SortKey::RecordingTime ? calendarSeconds(record.recordingTime) : 0});
    }
    SceneComparison compare(key);
    bool descending = direction == SortDirection::Descending;
    // Stable, so that scenes equal in key and tie-break keep their order.
    std::stable_sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) {
        return descending ? compare(b, a) < 0 : compare(a, b) < 0;
    });
    for (int i = 0; i < list.count(); ++i) list.replaceRecord(i, &entries[static_cast<size_t>(i)].record);
    list.setModified(true);
    if (keyMissing) *keyMissing = compare.keyMissing();
}

EditResult sortShownList(SceneList& list, SortKey key, SortDirection direction, app::UserInterface& ui) {
    return guardMemory(ui, [&] {
        if (list.count() == 0) {
            ui.showMessage(app::loadString(174), app::Icon::Stop);
            return EditResult::NothingSelected;
        }
        bool keyMissing = false;
        sortScenes(list, key, direction, &keyMissing);
        if (keyMissing) ui.showMessage(app::loadString(332), app::Icon::Information);
        return EditResult::Ok;
    });
}

}  // namespace klemora::scene
