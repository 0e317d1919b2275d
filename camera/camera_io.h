#pragma once
// CameraIO: the camera component of the capture dialog. It lists the capture
// devices, binds one as the camera, builds the preview and capture graphs
// around it, drives the tape transport, reads the timecode and the dropped-
// frame counts, and captures the DV stream into an AVI file (DV type 1 or 2).
// Results: 1 success, negative the failing step. Every step is logged; graph
// building, preview start, window placement and capture failures are also
// shown through the seam.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/ui.h"
#include "avi/avi_writer.h"
#include "camera/camera_clock.h"
#include "camera/camera_device.h"
#include "camera/filter_graph.h"
#include "camera/preview_window.h"

namespace klemora::camera {

class AviMuxFilter;
class CameraFilter;
class CaptureStop;
class CaptureWorker;
class DvSplitter;
class PreviewRenderer;
class VideoWindow;

// Creates the buses of the device enumerator (0 or a negative errno value).
using BusFactory = std::function<int(BusList& buses)>;

// The system device enumerator: every bus's units in one list, a unit opened
// by its path on whichever bus knows it.
class DeviceEnumerator {
public:
    explicit DeviceEnumerator(BusList buses) : m_buses(std::move(buses)) {}
    // 0 when at least one bus answered (the list may be empty), else the first failure.
    int enumerate(std::vector<DeviceProperties>& devices);
    int open(const std::string& devicePath, std::unique_ptr<CameraDevice>& device);

private:
    BusList m_buses;
};

struct DeviceEntry {
    std::string friendlyName;
    std::string description;
    std::string devicePath;
};

class CameraIO {
public:
    // Every step is logged to `log`; without one nothing is.
    CameraIO(app::UserInterface& ui, Clock& clock, BusFactory buses, app::DebugLog log = {});
    ~CameraIO();
    CameraIO(const CameraIO&) = delete;
    CameraIO& operator=(const CameraIO&) = delete;

    int RestartBaseGraph();
    // Fills `list` with "name / description" entries (at most 50): 1, -1 without
    // a list, -3 without devices.
    int ListCaptureDevices(std::vector<std::string>* list);
    int AddCamera(int deviceIndex);
    void ReleaseCamera();
    int AddPreviewGraph();
    int StartPreview();
    void ReleasePreviewGraph();
    int AddCaptureGraph(int dvType, bool preview);
    // 1 normal end, 2 user abort, 3 device lost; -1..-7 the failing step,
    // -8 the file could not be written to its end. The seam's Stop ends the
    // capture: normally when `stop` says it was the capture button, else as
    // an abort. Reception, the file and its writes run on a capture thread;
    // this thread waits for its events, shows the preview and pumps.
    int StartCapture(PreviewWindow* window, const std::string& fileName, const CaptureStop* stop = nullptr);
    void ReleaseCaptureGraph();
    int SetPreviewWindow(PreviewWindow* window);

    // During a capture the unit belongs to the capture thread: only the
    // dropped-frame counts and the timecode are answered (from its latest
    // reading); the dialog leaves the transport alone meanwhile.
    int GetCameraState();
    int CameraPlay();
    int CameraPause();
    int CameraStop();
    int CameraForward();
    int CameraBackward();
    int CameraPlayFastForward();
    int CameraPlayFastBackward();
    int GetDroppedFramesInfo(int64_t* dropped, int64_t* notDropped);
    int GetTimecodeString(std::string* text);
    int DeleteFiltersFromGraph(Filter* filter, bool recursive);

    // Stops a running graph (the dialog before it rebuilds one).
    void StopGraph();
    // Lets the running preview fetch and show what the camera sent; events
    // are logged, a lost device clears the running flag.
    void ServiceGraph(int64_t timeoutMicroseconds);

    double frameRate() const { return m_frameRate; }
    int videoFormat() const { return m_videoFormat; }
    int currentDevice() const { return m_currentDevice; }
    bool running() const { return m_running; }
    // Preview frames left out while the caller was busy (never a file's).
    int64_t previewFramesDropped() const;
    const app::DebugLog& log() const { return m_log; }
    bool baseGraphReady() const { return m_baseGraphReady; }
    bool cameraAdded() const { return m_cameraAdded; }
    bool previewGraphAdded() const { return m_previewGraphAdded; }
    bool captureGraphAdded() const { return m_captureGraphAdded; }
    bool previewWanted() const { return m_previewWanted; }
    bool hasTransport() const { return m_transport != nullptr; }
    bool hasTimecodeReader() const { return m_timecodeReader != nullptr; }
    const std::vector<DeviceEntry>& deviceTable() const { return m_devices; }
    FilterGraph* graph() const { return m_graph.get(); }
    CameraFilter* cameraFilter() const { return m_camera; }

    // Releasing the camera stops its tape, as closing the dialog should; a
    // one-shot transport command from the command line must not undo itself.
    void setStopOnRelease(bool stop) { m_stopOnRelease = stop; }
    // Writer settings of the capture file (tests use small RIFF segments).
    void setWriterOptions(const avi::AviWriterOptions& options) { m_writerOptions = options; }
    // What the capture's free-space check sees (tests); null: the file system.
    using FreeSpaceProbe = std::optional<int64_t> (*)(const std::string& path);
    void setFreeSpaceProbe(FreeSpaceProbe probe) { m_freeSpaceProbe = probe; }
    // Called once per wait of the capture loop on the caller's thread, after
    // the pump (the command line's status and time limit; tests unplug the
    // camera or press the capture button here).
    std::function<void(CameraIO&)> onCaptureWait;

private:
    int buildBaseGraph(const char* caption);
    void tearDown();
    void releaseBaseGraph();
    int InitCaptureDevice(int deviceIndex, std::unique_ptr<CameraDevice>& device);
    int readSignal(int& step);
    int failAddCamera(int step, int code, int deviceIndex);
    int renderPreview();
    void failGraph(const char* operation, int step, int code);
    void message(const std::string& text);
    int transportCommand(int mode, const char* name);
    int connectCapturePath(AviMuxFilter& mux);
    int captureLoop(int& code, const CaptureStop* stop);
    int finishCapture(int result, int code, AviMuxFilter* mux, const std::string& fileName);
    void removeDownstream(const char* operation);

    app::UserInterface& m_ui;
    Clock& m_clock;
    const app::DebugLog m_log;
    BusFactory m_busFactory;
    avi::AviWriterOptions m_writerOptions;
    FreeSpaceProbe m_freeSpaceProbe = nullptr;

    bool m_baseGraphReady = false;
    bool m_previewGraphAdded = false;
    bool m_captureGraphAdded = false;
    bool m_cameraAdded = false;
    bool m_previewWanted = false;
    bool m_running = false;
    bool m_stopOnRelease = true;
    int m_currentDevice = -1;
    std::vector<DeviceEntry> m_devices;
    double m_frameRate = 25.0;
    int m_videoFormat = 0;
    int m_captureType = 1;

    // The base graph: the graph and its event and control sides, the
    // enumerator. The graph owns its filters; the pointers below are views.
    std::unique_ptr<FilterGraph> m_graph;
    std::unique_ptr<DeviceEnumerator> m_enumerator;
    CameraFilter* m_camera = nullptr;
    CameraTransport* m_transport = nullptr;
    TimecodeReader* m_timecodeReader = nullptr;
    PreviewRenderer* m_renderer = nullptr;
    VideoWindow* m_videoWindow = nullptr;
    DvSplitter* m_splitter = nullptr;
    // While a capture runs: the thread that owns the device and the file.
    std::unique_ptr<CaptureWorker> m_worker;
};

}  // namespace klemora::camera
