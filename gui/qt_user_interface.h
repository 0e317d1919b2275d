#pragma once
// The user-interface seam of the desktop program: message boxes with the
// seam's icons, questions, the folder picker and the progress window
// "Bearbeitungsfortschritt". It lives on the user-interface thread; a run on
// a worker thread may call it too, as the seam's header allows: messages,
// questions and the folder picker are carried over to the user-interface
// thread and wait for the answer, progress calls are queued and never wait.
#include <QObject>
#include <QPointer>
#include <atomic>
#include <memory>

#include "app/ui.h"

class QWidget;

namespace klemora::gui {

class ProgressWindow;

class QtUserInterface : public QObject, public app::UserInterface {
    Q_OBJECT

public:
    // Message boxes, the picker and the progress window open over `owner`.
    explicit QtUserInterface(QWidget* owner);
    ~QtUserInterface() override;

    void showMessage(std::string_view text, app::Icon icon) override;
    app::Answer ask(std::string_view text, app::Buttons buttons, app::Icon icon) override;
    std::string chooseDirectory(std::string_view title, std::string_view startFolder) override;
    void openProgress() override;
    void closeProgress() override;
    void setProgressSource(std::string_view text) override;
    void setProgressDestination(std::string_view text) override;
    void setProgressLine(int line, std::string_view text) override;
    // On the user-interface thread: lets pending events run (repaints, the
    // Stop button). On a worker there is nothing to do: the user-interface
    // thread serves its events meanwhile.
    void pump() override;
    void beep() override;

    // The open progress window, nullptr when none is open (user-interface thread).
    ProgressWindow* progressWindow() const;

protected:
    void progressChanged() override;

private:
    bool onUserInterfaceThread() const;
    // Runs `call` on the user-interface thread; `wait`: until it has returned.
    void onUserInterfaceThread(const std::function<void()>& call, bool wait);
    // A modal box with `buttons` (QMessageBox flags); the button clicked.
    int messageBox(std::string_view text, app::Icon icon, int buttons);

    QPointer<QWidget> m_owner;
    std::unique_ptr<ProgressWindow> m_progress;
    int m_progressOpen = 0;  // nested progress scopes share one window
    std::atomic<bool> m_barUpdateQueued{false};
};

}  // namespace klemora::gui
