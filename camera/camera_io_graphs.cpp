// CameraIO: the preview and capture graphs, the preview window, removing
// the filters downstream of the camera.
#include <cerrno>
#include <new>

#include "app/debug_log.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "camera/camera_codes.h"
#include "camera/camera_filter.h"
#include "camera/camera_io.h"
#include "camera/dv_splitter.h"
#include "camera/preview_renderer.h"
#include "app/error_text.h"

namespace klemora::camera {

int CameraIO::renderPreview() {
    try {
        auto renderer = std::make_unique<PreviewRenderer>();
        PreviewRenderer* view = renderer.get();
        if (int rc = m_graph->addFilter(std::move(renderer)); rc != 0) return rc;
        m_renderer = view;
    } catch (const std::bad_alloc&) {
        return -ENOMEM;
    }
    return m_graph->connect(m_camera->previewPin(), m_renderer->input());
}

int CameraIO::AddPreviewGraph() {
    if (!m_baseGraphReady) {
        message(app::stringPrintf("%s AddPreviewGraph()!\nCode: -1", app::loadString(113).c_str()));
        return -1;
    }
    if (!m_cameraAdded || !m_camera) {
        message(app::stringPrintf("%s StartPreview()!\nCode: -2", app::loadString(113).c_str()));
        return -2;
    }
    int step = 0;
    int rc = renderPreview();
    if (rc != 0) {
        step = -3;
    } else if (!m_renderer) {  // the graph's video window
        step = -4;
        rc = -ENOENT;
    }
    if (step != 0) {
        failGraph("AddPreviewGraph", step, rc);
        m_previewGraphAdded = true;  // so that the release below takes what was built
        ReleasePreviewGraph();
        return step;
    }
    m_videoWindow = &m_renderer->videoWindow();
    m_previewGraphAdded = true;
    m_previewWanted = true;
    return 1;
}

int CameraIO::StartPreview() {
    if (!m_previewGraphAdded) {
        message(app::stringPrintf("%s StartPreview()!\nCode: -1", app::loadString(113).c_str()));
        return -1;
    }
    if (int rc = m_graph->run(); rc != 0) {
        m_graph->stop();
        failGraph("StartPreview", -2, rc);
        return -2;
    }
    m_running = true;
    return 1;
}

void CameraIO::removeDownstream(const char* operation) {
    if (!m_camera) return;
    if (int rc = DeleteFiltersFromGraph(m_camera, true); rc != 1)
        message(app::stringPrintf("%s %s()!\nCode: %d", app::loadString(113).c_str(), operation, rc));
}

void CameraIO::ReleasePreviewGraph() {
    if (m_videoWindow) m_videoWindow->detach();
    m_videoWindow = nullptr;
    removeDownstream("ReleasePreviewGraph");
    if (m_renderer && m_graph) m_graph->removeFilter(m_renderer);  // never connected
    m_renderer = nullptr;
    m_previewWanted = false;
    m_previewGraphAdded = false;
    m_running = false;
}

int CameraIO::AddCaptureGraph(int dvType, bool preview) {
    if (!m_baseGraphReady) {
        message(app::stringPrintf("%s AddCaptureGraph()!\nCode: -1", app::loadString(113).c_str()));
        return -1;
    }
    m_captureType = dvType == 2 ? 2 : 1;
    if (m_captureType == 2) {
        std::unique_ptr<DvSplitter> splitter;
        try {
            splitter = std::make_unique<DvSplitter>(m_log);
        } catch (const std::bad_alloc&) {
            failGraph("AddCaptureGraph", -2, -ENOMEM);
            return -2;
        }
        DvSplitter* view = splitter.get();
        if (int rc = m_graph->addFilter(std::move(splitter)); rc != 0) {
            failGraph("AddCaptureGraph", -3, rc);
            m_captureGraphAdded = true;
            ReleaseCaptureGraph();
            return -3;
        }
        m_splitter = view;
    }
    m_captureGraphAdded = true;
    if (preview) m_previewWanted = true;
    return 1;
}

void CameraIO::ReleaseCaptureGraph() {
    if (m_videoWindow) m_videoWindow->detach();
    m_videoWindow = nullptr;
    removeDownstream("ReleasePreviewGraph");
    // Filters that never got connected are not downstream of anything.
    if (m_splitter && m_graph) m_graph->removeFilter(m_splitter);
    if (m_renderer && m_graph) m_graph->removeFilter(m_renderer);
    m_splitter = nullptr;
    m_renderer = nullptr;
    m_previewWanted = false;
    m_captureGraphAdded = false;
    m_running = false;
}

int CameraIO::SetPreviewWindow(PreviewWindow* window) {
    if (!m_videoWindow) return -1;
    if (!window) return -2;
    int step = 0;
    int rc = m_videoWindow->setChild(window);
    if (rc != 0) step = -3;
    if (step == 0 && (rc = m_videoWindow->setOwner(window)) != 0) step = -4;
    if (step == 0) {
        int width = 0, height = 0;
        rc = window->clientSize(width, height);
        if (rc == 0) rc = m_videoWindow->setPosition(previewRectangle(width, height));
        if (rc != 0) step = -5;
    }
    if (step == 0 && (rc = m_videoWindow->setVisible(true)) != 0) step = -6;
    if (step == 0 && (rc = m_videoWindow->setForeground()) != 0) step = -7;
    if (step == 0) return 1;
    failGraph("SetPreviewWindow", step, rc);
    return step;
}

int CameraIO::DeleteFiltersFromGraph(Filter* filter, bool recursive) {
    if (!filter || !m_graph || !m_graph->contains(filter)) {
        m_log.write("CameraIO: DeleteFiltersFromGraph: EnumPins: %x %s", static_cast<unsigned>(-EINVAL),
                      app::DxErrorText(-EINVAL));
        return -1;
    }
    int result = 1;
    for (int i = 0; i < filter->pinCount(); ++i) {
        Pin* own = filter->pin(i);
        Pin* other = own->connected;
        if (!other) {
            m_log.write("CameraIO: DeleteFiltersFromGraph: ConnectTo: %x %s", static_cast<unsigned>(-ENOTCONN),
                          app::DxErrorText(-ENOTCONN));
            continue;
        }
        Filter* neighbour = other->owner;
        if (!neighbour) {
            m_log.write("CameraIO: DeleteFiltersFromGraph: QueryPinInfo: %x %s", static_cast<unsigned>(-ENOENT),
                          app::DxErrorText(-ENOENT));
            continue;
        }
        if (!recursive || other->direction != PinDirection::Input) continue;
        if (DeleteFiltersFromGraph(neighbour, true) != 1) {
            m_log.write("CameraIO: DeleteFiltersFromGraph: DFFG Error: %x %s", static_cast<unsigned>(-EIO),
                          app::DxErrorText(-EIO));
            result = -1;
        }
        m_graph->disconnect(*own);
        if (neighbour == m_camera) continue;
        if (neighbour == m_renderer) {
            m_renderer = nullptr;
            m_videoWindow = nullptr;
        }
        if (neighbour == m_splitter) m_splitter = nullptr;
        if (int rc = m_graph->removeFilter(neighbour); rc != 0 && rc != -ENOENT) {
            m_log.write("CameraIO: DeleteFiltersFromGraph: RemoveFilter: %x %s", static_cast<unsigned>(rc),
                          app::DxErrorText(rc));
            result = -1;
        }
    }
    return result;
}

void CameraIO::StopGraph() {
    if (m_graph) m_graph->stop();
    m_running = false;
}

void CameraIO::ServiceGraph(int64_t timeoutMicroseconds) {
    if (!m_graph || !m_graph->running()) return;
    GraphEventRecord event;
    const int got = m_graph->waitForEvent(timeoutMicroseconds, event);
    if (m_renderer) m_renderer->present();
    if (got != 1) return;
    m_log.write("CameraIO: Preview: DXEvent-Code: %x", static_cast<unsigned>(event.code));
    if (event.code == static_cast<int>(GraphEvent::DeviceLost)) StopGraph();
}

}  // namespace klemora::camera
