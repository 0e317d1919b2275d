#pragma once
// The capture button of the camera dialog, without the dialog: the name
// rules, the overwrite question, camera control around the capture (pause,
// wait, the start question, play, capture, stop), and a normally ended
// capture handed to the captured-files list.
#include <functional>
#include <string>
#include <string_view>

#include "app/ui.h"
#include "camera/camera_clock.h"
#include "camera/capture_stop.h"
#include "camera/captured_files.h"
#include "camera/preview_window.h"

namespace klemora::camera {

class CameraIO;

struct CaptureRequest {
    std::string fileName;          // as typed
    int dvType = 1;                // 2 for "DV Type 2"
    bool preview = true;           // "Videovorschau aktivieren"
    bool cameraControl = true;     // "Kamerasteuerung aktivieren"; off by itself without a transport
    PreviewWindow* window = nullptr;
    bool restorePreview = true;    // rebuild the preview after a capture that did not fail
    const CaptureStop* stop = nullptr;  // the capture button's; without it every Stop aborts
};

// What the dialog shows while the sequence runs; each may be empty.
struct CaptureHooks {
    std::function<void(std::string_view)> showState;  // the camera state line
    std::function<void(bool)> statusTimer;            // start (true) / stop the 1-second status timer
    std::function<void()> refreshStatus;              // once more after a normal end
};

struct CaptureOutcome {
    std::string path;  // the name captured to (after the name rules)
    int result = 0;    // StartCapture's result; 0 when nothing was captured
    int listed = 0;    // the captured-files list's answer for a normal end
};

// StartCapture's result (1, 2, 3 or negative), or 0 when the name was
// refused, the overwrite was declined or the start question cancelled.
int RunCapture(CameraIO& io, const CaptureRequest& request, app::UserInterface& ui, Clock& clock,
               CapturedFiles& captured, const CaptureHooks& hooks = {}, CaptureOutcome* outcome = nullptr);

// Waits while letting the user interface run.
void waitPumping(Clock& clock, app::UserInterface& ui, int64_t microseconds);

}  // namespace klemora::camera
