#include "camera/simulated_camera.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <mutex>

#include "app/file_io.h"
#include "camera/camera_codes.h"
#include "camera/timecode_text.h"

namespace klemora::camera {
namespace {

class SimulatedDevice : public CameraDevice,
                        private CameraTransport,
                        private TimecodeReader,
                        private DroppedFrameCounter,
                        private DeckOutput {
public:
    explicit SimulatedDevice(std::shared_ptr<SimulatedCamera> unit) : m_unit(std::move(unit)) {}
    ~SimulatedDevice() override { stopStream(); }

    CameraTransport* transport() override { return m_unit->spec().transport ? this : nullptr; }
    TimecodeReader* timecodeReader() override { return m_unit->spec().timecodeReader ? this : nullptr; }
    DroppedFrameCounter* droppedFrameCounter() override {
        return m_unit->spec().droppedFrameCounter ? this : nullptr;
    }

    int startStream() override {
        std::lock_guard lock(m_unit->mutex());
        if (!m_unit->plugged()) return -ENODEV;
        m_unit->deck().update();  // what went out before is not ours
        m_pending.clear();
        m_dropped = 0;
        m_delivered = 0;
        m_unit->deck().setOutput(this);
        m_streaming = true;
        return 0;
    }
    void stopStream() override {
        if (!m_streaming) return;
        std::lock_guard lock(m_unit->mutex());
        m_unit->deck().setOutput(nullptr);
        m_pending.clear();
        m_streaming = false;
    }
    bool streaming() const override { return m_streaming; }
    int receive(int64_t timeoutMicroseconds, FrameSink& sink) override;

private:
    int setMode(int mode) override {
        std::lock_guard lock(m_unit->mutex());
        return m_unit->plugged() ? m_unit->deck().setMode(mode) : -ENODEV;
    }
    int getMode(int& mode) override {
        std::lock_guard lock(m_unit->mutex());
        if (!m_unit->plugged()) return -ENODEV;
        mode = m_unit->deck().mode();
        return 0;
    }
    int mediumPresent(bool& present) override {
        std::lock_guard lock(m_unit->mutex());
        if (!m_unit->plugged()) return -ENODEV;
        present = m_unit->deck().mediumPresent();
        return 0;
    }
    int inputSignal(VideoSignal& signal) override {
        std::lock_guard lock(m_unit->mutex());
        if (!m_unit->plugged()) return -ENODEV;
        if (!m_unit->deck().mediumPresent()) return -ENOMEDIUM;
        signal = m_unit->tape().pal() ? VideoSignal::Line625Field50 : VideoSignal::Line525Field60;
        return 0;
    }
    int readTimecode(uint32_t& bcd) override {
        std::lock_guard lock(m_unit->mutex());
        if (!m_unit->plugged()) return -ENODEV;
        if (!m_unit->deck().mediumPresent()) return -ENOMEDIUM;
        std::optional<scene::Timecode> timecode = m_unit->tape().timecodeAt(m_unit->deck().position());
        if (!timecode) return -ENODATA;  // a blank stretch of tape
        bcd = bcdTimecode(*timecode);
        return 0;
    }
    int numDropped(int64_t& frames) override {
        std::lock_guard lock(m_unit->mutex());
        if (!m_unit->plugged()) return -ENODEV;
        frames = m_dropped;
        return 0;
    }
    int numNotDropped(int64_t& frames) override {
        std::lock_guard lock(m_unit->mutex());
        if (!m_unit->plugged()) return -ENODEV;
        frames = m_delivered;
        return 0;
    }
    void framePictured(int32_t frameIndex, int64_t) override {
        if (m_unit->takeDrop() || m_pending.size() >= m_unit->spec().receiveFrames) {
            ++m_dropped;
            return;
        }
        m_pending.push_back(frameIndex);
    }
    int deliverPending(FrameSink& sink);

    std::shared_ptr<SimulatedCamera> m_unit;
    std::deque<int32_t> m_pending;
    std::vector<uint8_t> m_frame;
    bool m_streaming = false;
    int64_t m_dropped = 0;
    int64_t m_delivered = 0;
};

int SimulatedDevice::deliverPending(FrameSink& sink) {
    int delivered = 0;
    while (!m_pending.empty() && m_unit->plugged()) {
        int32_t index = m_pending.front();
        m_pending.pop_front();
        if (m_unit->tape().readFrame(index, m_frame) != 0) {
            ++m_dropped;  // a tape that cannot be read is a damaged frame
            continue;
        }
        ++m_delivered;
        ++delivered;
        sink.frameArrived(m_frame);
    }
    return delivered;
}

int SimulatedDevice::receive(int64_t timeoutMicroseconds, FrameSink& sink) {
    Clock& clock = m_unit->clock();
    const int64_t deadline = clock.nowMicroseconds() + timeoutMicroseconds;
    if (!m_unit->plugged()) return -ENODEV;
    if (!m_streaming) {
        clock.sleepUntil(deadline);
        return 0;
    }
    int64_t nextTick = 0;
    {
        std::lock_guard lock(m_unit->mutex());
        m_unit->deck().update();
        if (deliverPending(sink) > 0) return 0;
        nextTick = m_unit->deck().nextTickTime();
    }
    // Wait for the next frame tick, or the end of the wait if it comes first.
    clock.sleepUntil(std::min(nextTick, deadline));
    std::lock_guard lock(m_unit->mutex());
    if (!m_unit->plugged()) return -ENODEV;
    m_unit->deck().update();
    deliverPending(sink);
    return m_unit->plugged() ? 0 : -ENODEV;
}

class SimulatedBus : public CameraBus {
public:
    explicit SimulatedBus(std::shared_ptr<SimulatedCameraSet> units) : m_units(std::move(units)) {}

    int enumerate(std::vector<DeviceProperties>& devices) override {
        for (const auto& unit : m_units->units())
            if (unit->plugged()) devices.push_back(unit->properties());
        return 0;
    }
    int open(const std::string& devicePath, std::unique_ptr<CameraDevice>& device) override {
        for (const auto& unit : m_units->units()) {
            DeviceProperties properties = unit->properties();
            if (!unit->plugged() || !properties.devicePath || *properties.devicePath != devicePath) continue;
            device = std::make_unique<SimulatedDevice>(unit);
            return 0;
        }
        return -ENODEV;
    }

private:
    std::shared_ptr<SimulatedCameraSet> m_units;
};

}  // namespace

SimulatedCamera::SimulatedCamera(Clock& clock, SimulatedCameraSpec spec) : m_clock(clock), m_spec(std::move(spec)) {
    if (!m_spec.tapePath.empty()) m_tapeResult = m_tape.load(m_spec.tapePath);
    const int32_t frames = m_tapeResult == 0 ? m_tape.frameCount() : 0;
    m_deck = std::make_unique<SimulatedDeck>(clock, frames, frames > 0 && !m_tape.pal());
    if (m_spec.startPlaying) m_deck->setMode(static_cast<int>(TransportMode::Play));
}

DeviceProperties SimulatedCamera::properties() const {
    DeviceProperties properties;
    properties.friendlyName = m_spec.friendlyName.value_or(kSimulatedCameraName);
    if (!m_spec.withoutDescription)
        properties.description = m_spec.description.value_or(
            m_spec.tapePath.empty() ? std::string("no cassette") : "DV tape " + app::fileNameOf(m_spec.tapePath));
    if (!m_spec.withoutDevicePath)
        properties.devicePath = m_spec.devicePath.value_or(kSimulatedPathPrefix + m_spec.tapePath);
    return properties;
}

void SimulatedCamera::unplug() {
    std::lock_guard lock(m_mutex);
    m_plugged = false;
    m_deck->setOutput(nullptr);
}

int SimulatedCamera::takeDrop() {
    if (m_framesToDrop <= 0) return 0;
    --m_framesToDrop;
    return 1;
}

std::shared_ptr<SimulatedCamera> SimulatedCameraSet::add(Clock& clock, SimulatedCameraSpec spec) {
    m_units.push_back(std::make_shared<SimulatedCamera>(clock, std::move(spec)));
    return m_units.back();
}

void SimulatedCameraSet::remove(const std::shared_ptr<SimulatedCamera>& unit) {
    m_units.erase(std::remove(m_units.begin(), m_units.end(), unit), m_units.end());
}

void SimulatedCameraSet::moveToFront(const std::shared_ptr<SimulatedCamera>& unit) {
    auto it = std::find(m_units.begin(), m_units.end(), unit);
    if (it != m_units.end()) std::rotate(m_units.begin(), it, it + 1);
}

std::unique_ptr<CameraBus> makeSimulatedBus(std::shared_ptr<SimulatedCameraSet> units) {
    return std::make_unique<SimulatedBus>(std::move(units));
}

}  // namespace klemora::camera
