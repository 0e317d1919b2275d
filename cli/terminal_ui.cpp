#include "cli/terminal_ui.h"

#include <unistd.h>

#include <iostream>

#include "app/string_table.h"
#include "cli/interrupt.h"

namespace klemora::cli {
namespace {

// The labels in the language of the messages they stand before.
std::string iconLabel(app::Icon icon) {
    if (icon == app::Icon::Stop) return app::loadString(884) + ": ";
    if (icon == app::Icon::Warning) return app::loadString(885) + ": ";
    return {};
}

const std::string& answerText(app::Answer answer) {
    switch (answer) {
    case app::Answer::Yes: return app::loadString(886);
    case app::Answer::No: return app::loadString(317);
    case app::Answer::Cancel: return app::loadString(887);
    case app::Answer::Ok: break;
    }
    return app::loadString(888);
}

const char* buttonPrompt(app::Buttons buttons) {
    switch (buttons) {
    case app::Buttons::Ok: return "[Enter]";
    case app::Buttons::OkCancel: return "[o]k / [c]ancel";
    case app::Buttons::YesNo: return "[y]es / [n]o";
    case app::Buttons::YesNoCancel: return "[y]es / [n]o / [c]ancel";
    }
    return "";
}

bool parseAnswer(const std::string& line, app::Buttons buttons, app::Answer& answer) {
    char c = line.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    bool yesNo = buttons == app::Buttons::YesNo || buttons == app::Buttons::YesNoCancel;
    bool cancel = buttons == app::Buttons::OkCancel || buttons == app::Buttons::YesNoCancel;
    if (buttons == app::Buttons::Ok) return answer = app::Answer::Ok, true;
    if (yesNo && (c == 'y' || c == 'j')) return answer = app::Answer::Yes, true;
    if (yesNo && c == 'n') return answer = app::Answer::No, true;
    if (cancel && c == 'c') return answer = app::Answer::Cancel, true;
    if (!yesNo && c == 'o') return answer = app::Answer::Ok, true;
    return false;
}

}  // namespace

TerminalUserInterface::TerminalUserInterface(bool batch)
    : m_interactive(!batch && ::isatty(STDIN_FILENO)), m_stderrTty(::isatty(STDERR_FILENO)) {}

void TerminalUserInterface::pump() {
    if (InterruptGuard::signalReceived() != 0 && !cancelled()) requestCancel();
}

app::Answer TerminalUserInterface::batchAnswer(app::Buttons buttons) {
    return (buttons == app::Buttons::YesNo || buttons == app::Buttons::YesNoCancel) ? app::Answer::Yes
                                                                                    : app::Answer::Ok;
}

void TerminalUserInterface::showMessage(std::string_view text, app::Icon icon) {
    if (m_progressOpen && m_stderrTty) std::cerr << '\n';
    if (icon == app::Icon::Stop) ++m_errorsShown;
    std::cerr << "klemora: " << iconLabel(icon) << text << '\n';
    m_lastPercent = -1;
}

app::Answer TerminalUserInterface::ask(std::string_view text, app::Buttons buttons, app::Icon) {
    if (!m_interactive) {
        app::Answer answer = batchAnswer(buttons);
        std::cerr << "klemora: " << text << " -> " << answerText(answer) << " (" << app::loadString(889) << ")\n";
        return answer;
    }
    for (;;) {
        std::cerr << text << ' ' << buttonPrompt(buttons) << ' ' << std::flush;
        std::string line;
        if (!std::getline(std::cin, line)) return batchAnswer(buttons);
        app::Answer answer;
        if (parseAnswer(line, buttons, answer)) return answer;
    }
}

std::string TerminalUserInterface::chooseDirectory(std::string_view title, std::string_view) {
    if (!m_interactive) return m_batchDirectory;
    std::cerr << title << ": " << std::flush;
    std::string line;
    std::getline(std::cin, line);
    return line;
}

void TerminalUserInterface::openProgress() {
    m_progressOpen = true;
    m_lastPercent = -1;
}

void TerminalUserInterface::closeProgress() {
    if (m_progressOpen && m_stderrTty && !m_quiet && m_lastPercent >= 0) std::cerr << '\n';
    m_progressOpen = false;
}

void TerminalUserInterface::setProgressSource(std::string_view text) { m_source = std::string(text); }
void TerminalUserInterface::setProgressDestination(std::string_view) {}
void TerminalUserInterface::setProgressLine(int, std::string_view) {}

void TerminalUserInterface::beep() {
    if (m_stderrTty) std::cerr << '\a' << std::flush;
}

void TerminalUserInterface::progressChanged() {
    if (m_progressOpen && m_stderrTty && !m_quiet) drawProgress();
}

void TerminalUserInterface::drawProgress() {
    int percent = progressMax() > 0 ? static_cast<int>(progressPosition() * 100 / progressMax()) : 0;
    if (percent == m_lastPercent) return;
    m_lastPercent = percent;
    constexpr int kWidth = 40;
    std::string bar(static_cast<size_t>(percent * kWidth / 100), '#');
    bar.resize(kWidth, '.');
    std::string name = m_source.size() > 30 ? "..." + m_source.substr(m_source.size() - 27) : m_source;
    std::cerr << "\r[" << bar << "] " << percent << "% " << name << std::flush;
}

}  // namespace klemora::cli
