#pragma once
// The cut list of the manual cut dialog: the scene's start and stop frame
// and, between them, the cut marks set so far (each the first frame of a
// new scene), ascending, with room for 2000 entries. The split operation
// takes its entries as its cut points.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/ui.h"

namespace klemora::scene {

inline constexpr int kMaxCutEntries = 2000;
inline constexpr int32_t kMarkSearchFrames = 25;  // how far Del looks for a mark nearby

class CutList {
public:
    // [start, stop]; a stop before the start is taken as the start.
    CutList(int32_t start, int32_t stop);

    std::span<const int32_t> entries() const { return m_entries; }
    int32_t start() const { return m_entries.front(); }
    int32_t stop() const { return m_entries.back(); }
    bool hasMarks() const { return m_entries.size() > 2; }
    bool contains(int32_t frame) const;

    // A mark at `position`: 1 when set; -1 when the list is full (message
    // 140), -2 when the frame is in the list already (161), -3 outside the
    // scene (no message).
    int setMark(int32_t position, app::UserInterface& ui);
    // Removes the mark at `position`, or asks (162) about the nearest one
    // within 25 frames, earlier before later at the same distance: 1 when
    // one was removed; 0 at the start or stop, or when the answer was No;
    // -1 when none is near (163). The start and stop entries are never
    // offered, so that the pieces always cover the whole scene.
    int deleteMark(int32_t position, app::UserInterface& ui);

    // Alt+Left: the entry e[i] with e[i] < position <= e[i+1]; Alt+Right: the
    // entry e[i] with e[i-1] <= position < e[i]. `position` itself at the
    // start (before) or the stop (after).
    int32_t entryBefore(int32_t position) const;
    int32_t entryAfter(int32_t position) const;

private:
    std::vector<int32_t> m_entries;
};

// "Dauer: 00:00:02:05,    Bild: 11/55,    Zeit: 00:00:00:10": the scene's
// length, the position counted from 1 in the scene, and the time from the
// start; h:m:s:f at the frame rate truncated to a whole number.
std::string cutStatusText(int32_t position, int32_t start, int32_t stop, float frameRate);

}  // namespace klemora::scene
