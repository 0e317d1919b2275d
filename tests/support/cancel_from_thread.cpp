#include "tests/support/cancel_from_thread.h"

#include <thread>

namespace klemora::test {

std::chrono::nanoseconds CancelFromThread::runAndCancel(const std::function<void()>& run) {
    std::thread worker([&] {
        run();
        std::lock_guard lock(m_mutex);
        m_finished = true;
        m_changed.notify_all();
    });
    std::chrono::steady_clock::time_point requested;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_reached || m_finished; });
        requested = std::chrono::steady_clock::now();
        if (m_reached) requestCancel();
        m_changed.notify_all();
    }
    worker.join();
    if (!m_reached) return std::chrono::nanoseconds{0};
    return std::chrono::steady_clock::now() - requested;
}

void CancelFromThread::progressChanged() {
    ScriptedUserInterface::progressChanged();
    if (m_reached || progressPosition() < m_position) return;
    std::unique_lock lock(m_mutex);
    m_reached = true;
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return cancelled(); });
}

}  // namespace klemora::test
