#pragma once
// Ctrl+C and SIGTERM during a run: the first one is a Stop (the run ends the
// way its Stop button ends it: no temporary file left, nothing under a final
// name, no source deleted); a second one ends the process at once.
#include <csignal>

namespace klemora::cli {

class InterruptGuard {
public:
    InterruptGuard();   // catches SIGINT and SIGTERM
    ~InterruptGuard();  // the previous handlers again
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // The signal that asked for a Stop, 0 when none.
    static int signalReceived();
    // The exit status a shell gives a process ended by that signal.
    static int exitStatus() { return 128 + signalReceived(); }

private:
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

}  // namespace klemora::cli
