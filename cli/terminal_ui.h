#pragma once
// The seam for klemora-cli: questions are asked on the terminal when standard
// input is one; in batch mode (or without a terminal) every question takes
// its documented default and messages go to standard error.
#include <cstdio>
#include <string>

#include "app/ui.h"

namespace klemora::cli {

class TerminalUserInterface : public app::UserInterface {
public:
    explicit TerminalUserInterface(bool batch);

    bool interactive() const { return m_interactive; }
    // The answer a batch run gives: Yes for Yes/No questions (go on with the
    // rest, replace, search elsewhere), OK for OK/Cancel.
    static app::Answer batchAnswer(app::Buttons buttons);
    // Answer for the folder question of a batch run (--search-dir).
    void setBatchDirectory(std::string folder) { m_batchDirectory = std::move(folder); }
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // Error messages (stop icon) shown so far: a run that reported one has
    // failed, whatever its own result says.
    int errorsShown() const { return m_errorsShown; }

    void showMessage(std::string_view text, app::Icon icon) override;
    app::Answer ask(std::string_view text, app::Buttons buttons, app::Icon icon) override;
    std::string chooseDirectory(std::string_view title, std::string_view startFolder) override;
    void openProgress() override;
    void closeProgress() override;
    void setProgressSource(std::string_view text) override;
    void setProgressDestination(std::string_view text) override;
    void setProgressLine(int line, std::string_view text) override;
    // A Ctrl+C or SIGTERM caught since the run began is its Stop.
    void pump() override;
    void beep() override;

protected:
    void progressChanged() override;

private:
    void drawProgress();

    bool m_interactive = false;
    bool m_progressOpen = false;
    bool m_quiet = false;
    bool m_stderrTty = false;
    int m_lastPercent = -1;
    int m_errorsShown = 0;
    std::string m_source;
    std::string m_batchDirectory;
};

}  // namespace klemora::cli
