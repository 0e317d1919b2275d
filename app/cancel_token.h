#pragma once
// The Stop of a run. Only the user side requests and resets it (a Stop
// button, the command line's signal relay, a test); the core only reads it,
// from whichever thread the run is on. A run never clears it, so a Stop
// pressed at any moment of a run ends that run.
#include <atomic>

namespace klemora::app {

class CancelToken {
public:
    CancelToken() = default;
    CancelToken(const CancelToken&) = delete;
    CancelToken& operator=(const CancelToken&) = delete;

    // Any thread.
    void request() noexcept { m_requested.store(true, std::memory_order_release); }
    bool requested() const noexcept { return m_requested.load(std::memory_order_acquire); }
    // The user side, before it starts a run; never while one is going on.
    void reset() noexcept { m_requested.store(false, std::memory_order_release); }

private:
    std::atomic<bool> m_requested{false};
};

}  // namespace klemora::app
