#pragma once
// The seam for tests: records every message and progress call, answers each
// question from a script, and fails the test on a question nobody expected.
#include <functional>
#include <string>
#include <vector>

#include "app/ui.h"

namespace klemora::test {

class ScriptedUserInterface : public app::UserInterface {
public:
    struct Message {
        std::string text;
        app::Icon icon;
    };
    struct Question {
        std::string text;
        app::Buttons buttons;
        app::Answer answer;
    };

    ~ScriptedUserInterface() override;

    // The next question must contain `textPart`; it gets `answer`.
    void expectQuestion(std::string textPart, app::Answer answer);
    // Every further question containing textPart gets this answer.
    void alwaysAnswer(std::string textPart, app::Answer answer);
    void expectDirectory(std::string folder) { m_directories.push_back(std::move(folder)); }
    // Cancels once the progress position reaches `position`.
    void cancelAtPosition(int64_t position) { m_cancelAt = position; }
    // Called on every pump (e.g. to cancel after n pumps).
    std::function<void(ScriptedUserInterface&)> onPump;

    const std::vector<Message>& messages() const { return m_messages; }
    const std::vector<Question>& questions() const { return m_questions; }
    bool hasMessage(const std::string& textPart) const;
    std::string allMessages() const;
    int pumps() const { return m_pumps; }
    int beeps() const { return m_beeps; }
    std::string progressSource, progressDestination, progressLine1, progressLine2;
    int progressOpened = 0, progressClosed = 0;
    bool unansweredQuestionsLeft() const { return !m_script.empty(); }

    void showMessage(std::string_view text, app::Icon icon) override;
    app::Answer ask(std::string_view text, app::Buttons buttons, app::Icon icon) override;
    std::string chooseDirectory(std::string_view title, std::string_view startFolder) override;
    void openProgress() override { ++progressOpened; }
    void closeProgress() override { ++progressClosed; }
    void setProgressSource(std::string_view text) override { progressSource = text; }
    void setProgressDestination(std::string_view text) override { progressDestination = text; }
    void setProgressLine(int line, std::string_view text) override;
    void pump() override;
    void beep() override { ++m_beeps; }

protected:
    void progressChanged() override;

private:
    struct Scripted {
        std::string textPart;
        app::Answer answer;
        bool always;
    };
    std::vector<Scripted> m_script;
    std::vector<Message> m_messages;
    std::vector<Question> m_questions;
    std::vector<std::string> m_directories;
    int64_t m_cancelAt = -1;
    int m_pumps = 0;
    int m_beeps = 0;
};

}  // namespace klemora::test
