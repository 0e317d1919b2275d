#include "scene/cut_marks.h"

#include <algorithm>

#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/time_text.h"

namespace klemora::scene {
CutList::CutList(int32_t start, int32_t stop) : m_entries{start, std::max(start, stop)} {
    m_entries.reserve(kMaxCutEntries);
}

bool CutList::contains(int32_t frame) const {
    return std::binary_search(m_entries.begin(), m_entries.end(), frame);
}

int CutList::setMark(int32_t position, app::UserInterface& ui) {
    if (static_cast<int>(m_entries.size()) >= kMaxCutEntries) {
        ui.showMessage(app::loadString(140), app::Icon::Stop);
        return -1;
    }
    if (contains(position)) {
        ui.showMessage(app::loadString(161), app::Icon::Stop);
        return -2;
    }
    if (position < start() || position > stop()) return -3;
    m_entries.insert(std::lower_bound(m_entries.begin(), m_entries.end(), position), position);
    return 1;
}

int CutList::deleteMark(int32_t position, app::UserInterface& ui) {
    if (position == start() || position == stop()) return 0;
    auto isMark = [this](int32_t frame) { return frame > start() && frame < stop() && contains(frame); };
    auto remove = [this](int32_t frame) { m_entries.erase(std::lower_bound(m_entries.begin(), m_entries.end(), frame)); };
    if (isMark(position)) {
        remove(position);
        return 1;
    }
    for (int32_t d = 1; d <= kMarkSearchFrames; ++d) {
        for (int32_t candidate : {position - d, position + d}) {
            if (!isMark(candidate)) continue;
            std::string question = app::stringPrintf("%s\nActual: %d\nPossible: %d", app::loadString(162).c_str(),
                                                     position + 1, candidate + 1);
            if (ui.ask(question, app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes) return 0;
            remove(candidate);
            return 1;
        }
    }
    ui.showMessage(app::loadString(163), app::Icon::Stop);
    return -1;
}

int32_t CutList::entryBefore(int32_t position) const {
    auto next = std::lower_bound(m_entries.begin(), m_entries.end(), position);  // first >= position
    return next == m_entries.begin() ? position : *(next - 1);
}

int32_t CutList::entryAfter(int32_t position) const {
    auto next = std::upper_bound(m_entries.begin(), m_entries.end(), position);  // first > position
    return next == m_entries.end() ? position : *next;
}

std::string cutStatusText(int32_t position, int32_t start, int32_t stop, float frameRate) {
    int rate = static_cast<int>(frameRate);
    if (rate < 1) rate = 25;  // no rate known: PAL, so that the text stays readable
    int32_t length = stop - start + 1;
    TimeParts total = wholeRateParts(length, rate);
    TimeParts time = wholeRateParts(position - start, rate);
    return app::stringPrintf("%s: %02d:%02d:%02d:%02d,    %s: %d/%d,    %s: %02d:%02d:%02d:%02d",
                             app::loadString(122).c_str(), total.hours, total.minutes, total.seconds, total.frames,
                             app::loadString(155).c_str(), position - start + 1, length, app::loadString(159).c_str(),
                             time.hours, time.minutes, time.seconds, time.frames);
}

}  // namespace klemora::scene
