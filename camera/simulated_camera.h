#pragma once
// The simulated camera: a DV file played as a tape in a deck with a
// transport, a timecode reader and a dropped-frame counter, on a bus of its
// own. Tests build the units they need (without a cassette, without a
// transport, without a device path, NTSC), re-order them, drop frames and
// unplug them; users get one only when they name a tape file, so nobody
// sees a fake camera by accident.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "camera/camera_clock.h"
#include "camera/camera_device.h"
#include "camera/simulated_deck.h"
#include "camera/simulated_tape.h"

namespace klemora::camera {

inline constexpr const char* kSimulatedCameraName = "Simulated DV Camera";
inline constexpr const char* kSimulatedPathPrefix = "simulated:";
// Frames the unit holds for a reader that is late before it drops them, as
// the receive buffers of a real bus do.
inline constexpr size_t kSimulatedReceiveFrames = 100;

struct SimulatedCameraSpec {
    std::string tapePath;  // empty: no cassette in the deck
    // Unset properties get defaults from the tape: the name above, "DV tape "
    // and the file name, "simulated:" and the tape path.
    std::optional<std::string> friendlyName;
    std::optional<std::string> description;
    std::optional<std::string> devicePath;
    bool withoutDescription = false;
    bool withoutDevicePath = false;
    bool transport = true;
    bool timecodeReader = true;
    bool droppedFrameCounter = true;
    // The deck plays from the start by itself, as a camcorder in camera mode
    // sends its picture without being told (for units without a transport).
    bool startPlaying = false;
    // Frames the unit holds for a late reader before it drops them.
    size_t receiveFrames = kSimulatedReceiveFrames;
};

// One unit: its properties, its deck and its cassette. Shared by the bus and
// the device opened on it, so the deck keeps its state between uses. The
// capture thread receives from it while a test may unplug it: the device
// holds mutex() around every use of the deck.
class SimulatedCamera {
public:
    SimulatedCamera(Clock& clock, SimulatedCameraSpec spec);

    const SimulatedCameraSpec& spec() const { return m_spec; }
    DeviceProperties properties() const;
    Clock& clock() { return m_clock; }
    SimulatedDeck& deck() { return *m_deck; }
    const SimulatedTape& tape() const { return m_tape; }
    int tapeResult() const { return m_tapeResult; }  // 0, or why the cassette could not be loaded

    bool plugged() const { return m_plugged.load(); }
    void unplug();
    void plug() { m_plugged = true; }
    // The next `frames` pictured frames of a running stream get lost.
    void dropFrames(int frames) { m_framesToDrop += frames; }
    int takeDrop();
    std::mutex& mutex() { return m_mutex; }

private:
    Clock& m_clock;
    SimulatedCameraSpec m_spec;
    SimulatedTape m_tape;
    int m_tapeResult = 0;
    std::unique_ptr<SimulatedDeck> m_deck;
    std::mutex m_mutex;
    std::atomic<bool> m_plugged{true};
    std::atomic<int> m_framesToDrop{0};
};

// The units on the simulated bus, in enumeration order.
class SimulatedCameraSet {
public:
    std::shared_ptr<SimulatedCamera> add(Clock& clock, SimulatedCameraSpec spec);
    void remove(const std::shared_ptr<SimulatedCamera>& unit);
    void moveToFront(const std::shared_ptr<SimulatedCamera>& unit);
    const std::vector<std::shared_ptr<SimulatedCamera>>& units() const { return m_units; }

private:
    std::vector<std::shared_ptr<SimulatedCamera>> m_units;
};

// A bus over the set (which outlives any number of buses made on it).
std::unique_ptr<CameraBus> makeSimulatedBus(std::shared_ptr<SimulatedCameraSet> units);

}  // namespace klemora::camera
