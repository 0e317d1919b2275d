#pragma once
// The device side of the camera component: a bus lists camera units and
// opens one; a unit offers its tape transport, its timecode reader and its
// dropped-frame counter (each optional, as real cameras differ) and a DV
// stream. The FireWire back-end and the simulated camera implement these
// as equals. Every call returns 0 or a negative errno value (-ENODEV once
// the unit has gone), which the component logs with its name.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace klemora::camera {

// What a bus knows about one unit; a missing property is empty.
struct DeviceProperties {
    std::optional<std::string> friendlyName;
    std::optional<std::string> description;
    std::optional<std::string> devicePath;  // stable across re-enumeration
};

enum class VideoSignal { Unknown, Line625Field50, Line525Field60 };

class CameraTransport {
public:
    virtual ~CameraTransport() = default;
    // Modes are TransportMode values.
    virtual int setMode(int mode) = 0;
    virtual int getMode(int& mode) = 0;
    virtual int mediumPresent(bool& present) = 0;
    virtual int inputSignal(VideoSignal& signal) = 0;
};

class TimecodeReader {
public:
    virtual ~TimecodeReader() = default;
    // Four BCD bytes, hours highest.
    virtual int readTimecode(uint32_t& bcdTimecode) = 0;
};

// Counts since the stream last started.
class DroppedFrameCounter {
public:
    virtual ~DroppedFrameCounter() = default;
    virtual int numDropped(int64_t& frames) = 0;
    virtual int numNotDropped(int64_t& frames) = 0;
};

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // One complete DV frame (144000 or 120000 bytes), valid during the call.
    virtual void frameArrived(std::span<const uint8_t> frame) = 0;
};

class CameraDevice {
public:
    virtual ~CameraDevice() = default;
    virtual CameraTransport* transport() = 0;
    virtual TimecodeReader* timecodeReader() = 0;
    virtual DroppedFrameCounter* droppedFrameCounter() = 0;

    virtual int startStream() = 0;
    virtual void stopStream() = 0;
    virtual bool streaming() const = 0;
    // Waits up to `timeoutMicroseconds` for stream data and hands every
    // complete frame to the sink.
    virtual int receive(int64_t timeoutMicroseconds, FrameSink& sink) = 0;
};

class CameraBus {
public:
    virtual ~CameraBus() = default;
    // Appends the units present now.
    virtual int enumerate(std::vector<DeviceProperties>& devices) = 0;
    // -ENODEV when no unit of this bus has that path.
    virtual int open(const std::string& devicePath, std::unique_ptr<CameraDevice>& device) = 0;
};

using BusList = std::vector<std::unique_ptr<CameraBus>>;

}  // namespace klemora::camera
