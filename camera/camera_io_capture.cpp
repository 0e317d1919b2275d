// CameraIO: capturing the camera's stream into an AVI file.
#include <unistd.h>

#include <cerrno>
#include <new>
#include <system_error>

#include "app/debug_log.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "camera/avi_mux_filter.h"
#include "camera/camera_codes.h"
#include "camera/camera_filter.h"
#include "camera/camera_io.h"
#include "camera/capture_stop.h"
#include "camera/capture_worker.h"
#include "camera/dv_splitter.h"
#include "camera/preview_renderer.h"
#include "app/error_text.h"

namespace klemora::camera {
namespace {

constexpr int64_t kEventWaitMicroseconds = 40000;

// The loop's result for an event, 0 to go on waiting.
int resultForEvent(const GraphEventRecord& event, int& code) {
    switch (static_cast<GraphEvent>(event.code)) {
        case GraphEvent::UserAbort: return 2;
        case GraphEvent::StreamControlStopped: return 1;
        case GraphEvent::DeviceLost: return 3;
        case GraphEvent::ErrorAbort:
            // The file cannot take more; waiting on would only lose the rest.
            code = static_cast<int>(event.param1);
            return -8;
    }
    return 0;
}

}  // namespace

int CameraIO::connectCapturePath(AviMuxFilter& mux) {
    if (!m_splitter) return m_graph->connect(m_camera->capturePin(), mux.videoInput());
    if (int rc = m_graph->connect(m_camera->capturePin(), m_splitter->input()); rc != 0) return rc;
    return m_graph->connect(m_splitter->videoOutput(), mux.videoInput());
}

int CameraIO::captureLoop(int& code, const CaptureStop* stop) {
    m_running = true;
    try {
        m_worker = std::make_unique<CaptureWorker>(*m_graph, m_camera->device(), m_clock);
    } catch (const std::system_error& error) {  // no thread to be had: the graph cannot run
        code = -error.code().value();
        return -7;
    } catch (const std::bad_alloc&) {
        code = -ENOMEM;
        return -7;
    }
    for (;;) {
        GraphEventRecord event;
        if (m_graph->waitForPostedEvent(kEventWaitMicroseconds, event) == 1) {
            m_log.write("CameraIO: StartCapture: DXEvent-Code: %x", static_cast<unsigned>(event.code));
            if (int result = resultForEvent(event, code); result != 0) return result;
        }
        if (m_renderer) m_renderer->present();
        m_ui.pump();
        if (onCaptureWait) onCaptureWait(*this);
        // The seam's Stop: the capture button's is a normal end, any other
        // (the dialog or the program closing) an abort.
        if (m_ui.cancelled()) return stop && stop->normalEnd() ? 1 : 2;
    }
}

int64_t CameraIO::previewFramesDropped() const { return m_renderer ? m_renderer->framesDropped() : 0; }

int CameraIO::StartCapture(PreviewWindow* window, const std::string& fileName, const CaptureStop* stop) {
    if (!m_captureGraphAdded) {
        message(app::stringPrintf("%s StartCapture()!\nCode: -1", app::loadString(113).c_str()));
        return -1;
    }
    if (!m_cameraAdded || !m_camera) {
        message(app::stringPrintf("%s StartCapture()!\nCode: -2", app::loadString(113).c_str()));
        return -2;
    }
    if (fileName.empty()) {
        message(app::loadString(360));
        return -3;
    }
    if (::unlink(fileName.c_str()) != 0 && errno != ENOENT)
        m_log.write("CameraIO: StartCapture: cannot delete %s / %x / %s", fileName.c_str(),
                      static_cast<unsigned>(-errno), app::DxErrorText(-errno));

    AviMuxFilter* mux = nullptr;
    int step = 0, code = 0;
    try {
        auto owned = std::make_unique<AviMuxFilter>(fileName, m_captureType, m_videoFormat != kFormatNtsc,
                                                    m_writerOptions, m_log);
        if (m_freeSpaceProbe) owned->setFreeSpaceProbe(m_freeSpaceProbe);
        code = owned->prepare();
        if (code == 0) {
            mux = owned.get();
            code = m_graph->addFilter(std::move(owned));
            if (code != 0) mux = nullptr;
        }
    } catch (const std::bad_alloc&) {
        code = -ENOMEM;
    }
    if (code != 0) step = -4;
    if (step == 0 && (code = connectCapturePath(*mux)) != 0) step = -5;
    if (step == 0 && m_splitter && (code = m_graph->connect(m_splitter->audioOutput(), *mux->audioInput())) != 0)
        step = -6;
    if (step == 0 && m_previewWanted && !m_renderer) {
        if (renderPreview() == 0) {
            m_videoWindow = &m_renderer->videoWindow();
            if (window) SetPreviewWindow(window);
        }
    }
    if (step == 0 && (code = m_graph->run()) != 0) step = -7;
    int result = step != 0 ? step : captureLoop(code, stop);
    return finishCapture(result, code, mux, fileName);
}

int CameraIO::finishCapture(int result, int code, AviMuxFilter* mux, const std::string& fileName) {
    m_worker.reset();  // joined: the graph and the device are this thread's again
    if (int rc = m_graph->stop(); rc != 0)
        m_log.write("CameraIO: StartCapture: pControl->Stop: %x %s", static_cast<unsigned>(rc),
                      app::DxErrorText(rc));
    m_running = false;
    bool fileComplete = false;
    if (mux) {
        fileComplete = mux->finishResult() == 1;
        if (!fileComplete && result > 0) {
            // Every end must leave a complete file; one that is not is a failure.
            code = mux->failureErrno();
            result = -8;
        }
        if (int rc = m_graph->removeFilter(mux); rc != 0)
            m_log.write("CameraIO: StartCapture: RemoveFilter: %x %s", static_cast<unsigned>(rc),
                          app::DxErrorText(rc));
    } else {
        m_log.write("CameraIO: StartCapture: ppf == NULL!");
    }
    // A run that failed before any frame leaves no empty file behind.
    if (!fileComplete && result < 0 && result >= -7) ::unlink(fileName.c_str());
    if (result > 0) {
        m_log.write("CameraIO: StartCapture: Stopped because %d", result);
    } else {
        message(app::stringPrintf("DirectX %s StartCapture()!\nCode 1: %d\nCode 2: %x\nCode 3: %s\nCamera: %d",
                                  app::loadString(113).c_str(), result, static_cast<unsigned>(code),
                                  app::DxErrorText(code), m_currentDevice));
    }
    return result;
}

}  // namespace klemora::camera
