#include "tests/support/scripted_ui.h"

#include <gtest/gtest.h>

namespace klemora::test {

ScriptedUserInterface::~ScriptedUserInterface() {
    for (const auto& s : m_script)
        if (!s.always) ADD_FAILURE() << "expected question never asked: " << s.textPart;
}

void ScriptedUserInterface::expectQuestion(std::string textPart, app::Answer answer) {
    m_script.push_back({std::move(textPart), answer, false});
}

void ScriptedUserInterface::alwaysAnswer(std::string textPart, app::Answer answer) {
    m_script.push_back({std::move(textPart), answer, true});
}

bool ScriptedUserInterface::hasMessage(const std::string& textPart) const {
    for (const auto& m : m_messages)
        if (m.text.find(textPart) != std::string::npos) return true;
    return false;
}

std::string ScriptedUserInterface::allMessages() const {
    std::string all;
    for (const auto& m : m_messages) all += "[" + std::string(app::iconName(m.icon)) + "] " + m.text + "\n";
    return all;
}

void ScriptedUserInterface::showMessage(std::string_view text, app::Icon icon) {
    m_messages.push_back({std::string(text), icon});
}

app::Answer ScriptedUserInterface::ask(std::string_view text, app::Buttons buttons, app::Icon) {
    for (size_t i = 0; i < m_script.size(); ++i) {
        if (text.find(m_script[i].textPart) == std::string_view::npos) {
            if (!m_script[i].always) break;  // one-shot answers come in order
            continue;
        }
        app::Answer answer = m_script[i].answer;
        if (!m_script[i].always) m_script.erase(m_script.begin() + static_cast<long>(i));
        m_questions.push_back({std::string(text), buttons, answer});
        return answer;
    }
    ADD_FAILURE() << "unexpected question: " << text;
    m_questions.push_back({std::string(text), buttons, app::Answer::Cancel});
    return buttons == app::Buttons::YesNo ? app::Answer::No : app::Answer::Cancel;
}

std::string ScriptedUserInterface::chooseDirectory(std::string_view, std::string_view) {
    if (m_directories.empty()) return {};
    std::string folder = m_directories.front();
    m_directories.erase(m_directories.begin());
    return folder;
}

void ScriptedUserInterface::setProgressLine(int line, std::string_view text) {
    (line == 1 ? progressLine1 : progressLine2) = text;
}

void ScriptedUserInterface::pump() {
    ++m_pumps;
    if (onPump) onPump(*this);
}

void ScriptedUserInterface::progressChanged() {
    if (m_cancelAt >= 0 && progressPosition() >= m_cancelAt) requestCancel();
}

}  // namespace klemora::test
