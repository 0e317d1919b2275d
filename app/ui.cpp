#include "app/ui.h"

#include <algorithm>

namespace klemora::app {

std::string_view iconName(Icon icon) {
    switch (icon) {
    case Icon::None: return "none";
    case Icon::Stop: return "stop";
    case Icon::Information: return "information";
    case Icon::Question: return "question";
    case Icon::Warning: return "warning";
    }
    return "none";
}

std::string_view answerName(Answer answer) {
    switch (answer) {
    case Answer::Ok: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
    }
    return "OK";
}

void UserInterface::setProgressRange(int64_t max) {
    if (max <= 0) return;
    m_progressMax.store(max, std::memory_order_relaxed);
    m_progressPosition.store(std::clamp<int64_t>(progressPosition(), 0, max), std::memory_order_relaxed);
    progressChanged();
}

void UserInterface::setProgressPosition(int64_t position) {
    m_progressPosition.store(std::clamp<int64_t>(position, 0, progressMax()), std::memory_order_relaxed);
    progressChanged();
}

Answer SilentUserInterface::ask(std::string_view, Buttons buttons, Icon) {
    return (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) ? Answer::Yes : Answer::Ok;
}

}  // namespace klemora::app
