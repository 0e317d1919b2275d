#include "camera/capture_sequence.h"

#include <algorithm>

#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "camera/camera_codes.h"
#include "camera/camera_io.h"
#include "camera/capture_name.h"

namespace klemora::camera {
namespace {

constexpr int64_t kPumpStep = 50000;
constexpr int64_t kPauseSettle = 1000000;  // the deck needs a moment to pause
constexpr int64_t kPlaySettle = 500000;    // and to run up to speed

void show(const CaptureHooks& hooks, TransportMode mode) {
    if (hooks.showState) hooks.showState(transportModeText(static_cast<int>(mode)));
}

void stopCamera(CameraIO& io, const CaptureHooks& hooks) {
    io.CameraStop();
    show(hooks, TransportMode::Stop);
}

// 0 to go on; otherwise the sequence ends here without a capture.
int confirmName(const CaptureRequest& request, app::UserInterface& ui, std::string& path) {
    if (int id = checkCaptureName(request.fileName, path); id != 0) {
        ui.showMessage(app::loadString(id), app::Icon::Stop);
        return id;
    }
    if (!app::fileExists(path)) return 0;
    std::string question = app::stringPrintf("%s\nFile: %s", app::loadString(139).c_str(), path.c_str());
    return ui.ask(question, app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes ? 0 : 139;
}

int captureWithControl(CameraIO& io, const CaptureRequest& request, const std::string& path, bool control,
                       app::UserInterface& ui, Clock& clock, const CaptureHooks& hooks) {
    if (control) {
        io.CameraPause();
        show(hooks, TransportMode::Freeze);
        waitPumping(clock, ui, kPauseSettle);
    }
    if (ui.ask(app::loadString(384), app::Buttons::OkCancel, app::Icon::Information) != app::Answer::Ok) {
        if (control) stopCamera(io, hooks);
        return 0;
    }
    if (hooks.statusTimer) hooks.statusTimer(true);
    if (control) {
        show(hooks, TransportMode::Play);
        io.CameraPlay();
        waitPumping(clock, ui, kPlaySettle);
    }
    int result = io.StartCapture(request.window, path);
    if (hooks.statusTimer) hooks.statusTimer(false);
    if (control) stopCamera(io, hooks);
    return result;
}

}  // namespace

void waitPumping(Clock& clock, app::UserInterface& ui, int64_t microseconds) {
    const int64_t until = clock.nowMicroseconds() + microseconds;
    while (clock.nowMicroseconds() < until) {
        clock.sleepMicroseconds(std::min(kPumpStep, until - clock.nowMicroseconds()));
        ui.pump();
    }
}

int RunCapture(CameraIO& io, const CaptureRequest& request, app::UserInterface& ui, Clock& clock,
               CapturedFiles& captured, const CaptureHooks& hooks, CaptureOutcome* outcome) {
    CaptureOutcome local;
    CaptureOutcome& out = outcome ? *outcome : local;
    out = {};
    if (confirmName(request, ui, out.path) != 0) return 0;

    // A camera whose transport cannot be driven is captured as it plays.
    const bool control = request.cameraControl && io.hasTransport();
    io.StopGraph();
    io.ReleasePreviewGraph();
    if (io.AddCaptureGraph(request.dvType == 2 ? 2 : 1, request.preview) == 1) {
        out.result = captureWithControl(io, request, out.path, control, ui, clock, hooks);
        if (out.result == 1) {
            if (hooks.refreshStatus) hooks.refreshStatus();
            out.listed = captured.add(out.path);
        }
    } else if (control) {
        stopCamera(io, hooks);
    }
    io.ReleaseCaptureGraph();
    if ((out.result == 1 || out.result == 2) && request.restorePreview && io.AddPreviewGraph() == 1) {
        if (request.window) io.SetPreviewWindow(request.window);
        io.StartPreview();
    }
    return out.result;
}

}  // namespace klemora::camera
