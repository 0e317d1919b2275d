#pragma once
// What the seam's Stop means for a capture. The capture button ends it
// normally (1, the file goes to the captured-files list): its owner calls
// finish(), which marks the Stop as that and requests it. Any other Stop
// (the dialog or the program closing, a termination signal) aborts the
// capture (2). Only the user side writes it, from any thread; the capture
// reads it once the Stop is there.
#include <atomic>

#include "app/ui.h"

namespace klemora::camera {

class CaptureStop {
public:
    void finish(app::UserInterface& ui) {
        m_normalEnd.store(true, std::memory_order_release);
        ui.requestCancel();
    }
    bool normalEnd() const { return m_normalEnd.load(std::memory_order_acquire); }
    // The user side, before the next capture (with the seam's own reset).
    void clear() { m_normalEnd.store(false, std::memory_order_release); }

private:
    std::atomic<bool> m_normalEnd{false};
};

}  // namespace klemora::camera
