#pragma once
// The seam between the core libraries and whoever talks to the user: the Qt GUI,
// the terminal of klemora-cli, or a scripted fake in the tests. Every message,
// question, progress display and cancel request of a long operation goes through
// it, so the core never includes a widget toolkit.
//
// Threads. A run (detection, a write, an additional function, the HTML index,
// capture) calls the seam from the thread it runs on: the user-interface
// thread of the command line, or a worker thread the desktop program started
// for it. One run uses one seam object at a time. An implementation keeps
// these promises, so the core needs no locks of its own:
// - showMessage, ask and chooseDirectory may come from a worker thread. They
//   are carried over to the user-interface thread and block the run until
//   the user has answered; the run holds no lock the user-interface thread
//   could need while it waits.
// - openProgress, closeProgress, setProgressSource/Destination/Line,
//   setProgressRange/Position and beep are fire-and-forget: they may come
//   from a worker thread, never block on the user-interface thread, and the
//   latest value wins. progressMax/progressPosition read back what the run
//   last set, from any thread.
// - pump may come from any thread. On the user-interface thread it lets
//   pending events (repaints, the Stop button) run; elsewhere it may do
//   nothing. It never starts another run or re-enters this one: the program
//   disables its commands while a run goes on.
// - cancelled() may be read from any thread. requestCancel() belongs to the
//   user side and may come from any thread; resetCancel() belongs to the
//   user side too, before it starts a run. The core never resets the token.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/cancel_token.h"

namespace klemora::app {

enum class Icon { None, Stop, Information, Question, Warning };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

std::string_view iconName(Icon icon);
std::string_view answerName(Answer answer);

class UserInterface {
public:
    virtual ~UserInterface() = default;

    virtual void showMessage(std::string_view text, Icon icon) = 0;
    virtual Answer ask(std::string_view text, Buttons buttons, Icon icon) = 0;
    // Folder picker with a title ("Directory selection"); empty when cancelled.
    virtual std::string chooseDirectory(std::string_view title, std::string_view startFolder) = 0;

    // The progress window "Bearbeitungsfortschritt" with "Quelle:", "Ziel:",
    // "Fortschritt:" and two free lines.
    virtual void openProgress() = 0;
    virtual void closeProgress() = 0;
    virtual void setProgressSource(std::string_view text) = 0;
    virtual void setProgressDestination(std::string_view text) = 0;
    virtual void setProgressLine(int line, std::string_view text) = 0;  // line 1 or 2

    // Range 0..max (ignored when max <= 0); the position is clamped to it.
    void setProgressRange(int64_t max);
    void setProgressPosition(int64_t position);
    int64_t progressMax() const { return m_progressMax.load(std::memory_order_relaxed); }
    int64_t progressPosition() const { return m_progressPosition.load(std::memory_order_relaxed); }

    // Lets pending user-interface work run inside a long operation.
    virtual void pump() = 0;
    virtual void beep() {}

    // The Stop of the run in progress (see Threads above).
    bool cancelled() const { return m_cancel.requested(); }
    void requestCancel() { m_cancel.request(); }
    void resetCancel() { m_cancel.reset(); }
    CancelToken& cancelToken() { return m_cancel; }
    const CancelToken& cancelToken() const { return m_cancel; }

protected:
    virtual void progressChanged() {}

private:
    // Written by the run, read by whoever draws the bar.
    std::atomic<int64_t> m_progressMax{100};
    std::atomic<int64_t> m_progressPosition{0};
    CancelToken m_cancel;
};

// Shows nothing and answers every question with its first button; for code paths
// that run without a person (e.g. an autobackup save).
class SilentUserInterface : public UserInterface {
public:
    void showMessage(std::string_view, Icon) override {}
    Answer ask(std::string_view, Buttons buttons, Icon) override;
    std::string chooseDirectory(std::string_view, std::string_view) override { return {}; }
    void openProgress() override {}
    void closeProgress() override {}
    void setProgressSource(std::string_view) override {}
    void setProgressDestination(std::string_view) override {}
    void setProgressLine(int, std::string_view) override {}
    void pump() override {}
};

// Opens the progress window for a scope and closes it on every way out.
class ProgressScope {
public:
    explicit ProgressScope(UserInterface& ui) : m_ui(ui) { m_ui.openProgress(); }
    ~ProgressScope() { m_ui.closeProgress(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    UserInterface& m_ui;
};

}  // namespace klemora::app
