#include "cli/interrupt.h"

namespace klemora::cli {
namespace {

volatile std::sig_atomic_t g_signal = 0;

void onSignal(int number) { g_signal = number; }

struct sigaction stopAction() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the second signal takes its default action and ends the
    // process even when the run never looks at the flag again.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    return action;
}

}  // namespace

InterruptGuard::InterruptGuard() {
    g_signal = 0;
    const struct sigaction action = stopAction();
    sigaction(SIGINT, &action, &m_oldInt);
    sigaction(SIGTERM, &action, &m_oldTerm);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &m_oldInt, nullptr);
    sigaction(SIGTERM, &m_oldTerm, nullptr);
}

int InterruptGuard::signalReceived() { return g_signal; }

}  // namespace klemora::cli
