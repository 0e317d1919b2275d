#pragma once
// A scripted seam whose Stop comes from another thread, as the desktop
// program's Stop button does while a run works on a worker. The run goes on
// a worker thread; when its progress first reaches `position`, the worker
// waits there until the calling thread has requested the Stop. So the Stop
// lands inside the run on every machine, and what follows it (the rest of
// the run) is the run's own reaction.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "tests/support/scripted_ui.h"

namespace klemora::test {

class CancelFromThread : public ScriptedUserInterface {
public:
    explicit CancelFromThread(int64_t position) : m_position(position) {}

    // Runs `run` on a worker thread and requests the Stop from this one once
    // the position is reached. Returns the time from the request to the
    // run's return (zero when the run ended before the position).
    std::chrono::nanoseconds runAndCancel(const std::function<void()>& run);
    bool stopArrived() const { return m_reached; }

protected:
    void progressChanged() override;

private:
    const int64_t m_position;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_reached = false;
    bool m_finished = false;
};

}  // namespace klemora::test
