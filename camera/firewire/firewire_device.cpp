#include "camera/firewire/firewire_device.h"

#include <libavc1394/avc1394.h>
#include <libavc1394/rom1394.h>
#include <poll.h>

#include <cerrno>

#include "app/debug_log.h"
#include "camera/firewire/avc_vcr.h"
#include "camera/firewire/raw1394_handle.h"
#include "app/error_text.h"

namespace klemora::camera::firewire {
namespace {

constexpr int kRetries = 2;
constexpr int kBroadcastChannel = 63;  // what a camera without plug registers sends on

class FireWireDevice : public CameraDevice,
                       private CameraTransport,
                       private TimecodeReader,
                       private DroppedFrameCounter {
public:
    FireWireDevice(Raw1394Handle control, Raw1394Handle stream, nodeid_t node, uint64_t guid, Clock& clock,
                   app::DebugLog log)
        : m_control(std::move(control)),
          m_stream(std::move(stream)),
          m_node(node),
          m_guid(guid),
          m_clock(clock),
          m_log(std::move(log)) {}
    ~FireWireDevice() override { stopStream(); }

    CameraTransport* transport() override { return this; }
    TimecodeReader* timecodeReader() override { return this; }
    DroppedFrameCounter* droppedFrameCounter() override { return this; }

    int startStream() override;
    void stopStream() override;
    bool streaming() const override { return static_cast<bool>(m_receiver); }
    int receive(int64_t timeoutMicroseconds, FrameSink& sink) override;

private:
    int status(uint32_t query, uint32_t& response);
    int setMode(int mode) override;
    int getMode(int& mode) override;
    int mediumPresent(bool& present) override;
    int inputSignal(VideoSignal& signal) override;
    int readTimecode(uint32_t& bcd) override;
    int numDropped(int64_t& frames) override {
        frames = m_dropped;
        return m_lost ? -ENODEV : 0;
    }
    int numNotDropped(int64_t& frames) override {
        frames = m_delivered;
        return m_lost ? -ENODEV : 0;
    }

    static int frameArrived(unsigned char* data, int length, int complete, void* self);
    static int busReset(raw1394handle_t handle, unsigned int generation);
    bool unitStillThere();

    Raw1394Handle m_control;  // AV/C transactions
    Raw1394Handle m_stream;   // isochronous reception (its callbacks run inside receive only)
    DvFrameReceiver m_receiver;
    nodeid_t m_node;
    uint64_t m_guid;
    Clock& m_clock;
    const app::DebugLog m_log;
    FrameSink* m_sink = nullptr;
    int m_channel = -1;
    int m_outputPlug = -1;
    int m_inputPlug = -1;
    int m_bandwidth = 0;
    bool m_connected = false;
    bool m_lost = false;
    bool m_resetSeen = false;
    int64_t m_dropped = 0;
    int64_t m_delivered = 0;
};

int FireWireDevice::status(uint32_t query, uint32_t& response) {
    if (m_lost) return -ENODEV;
    response = avc1394_transaction(m_control.get(), m_node, query, kRetries);
    return responseResult(response);
}

int FireWireDevice::setMode(int mode) {
    std::optional<uint32_t> command = transportCommand(mode);
    if (!command) return -EINVAL;
    uint32_t response = 0;
    return status(*command, response);
}

int FireWireDevice::getMode(int& mode) {
    uint32_t response = 0;
    if (int rc = status(transportStateQuery(), response); rc != 0) return rc;
    mode = transportModeFromResponse(response);
    return 0;
}

int FireWireDevice::mediumPresent(bool& present) {
    uint32_t response = 0;
    if (int rc = status(mediumInfoQuery(), response); rc != 0) return rc;
    present = mediumPresentFromResponse(response);
    return 0;
}

int FireWireDevice::inputSignal(VideoSignal& signal) {
    uint32_t response = 0;
    if (int rc = status(outputSignalModeQuery(), response); rc != 0) return rc;
    signal = signalFromResponse(response);  // the camera's output is our input
    return 0;
}

int FireWireDevice::readTimecode(uint32_t& bcd) {
    if (m_lost) return -ENODEV;
    quadlet_t request[2] = {timecodeQuery(), 0xFFFFFFFF};
    quadlet_t* response = avc1394_transaction_block(m_control.get(), m_node, request, 2, kRetries);
    if (!response) return -EIO;
    int rc = responseResult(response[0]);
    std::optional<uint32_t> value = rc == 0 ? bcdTimecodeFromResponse(response[1]) : std::nullopt;
    avc1394_transaction_block_close(m_control.get());
    if (rc != 0) return rc;
    if (!value) return -ENODATA;
    bcd = *value;
    return 0;
}

int FireWireDevice::frameArrived(unsigned char* data, int length, int complete, void* self) {
    auto* device = static_cast<FireWireDevice*>(self);
    if (!complete) {
        ++device->m_dropped;  // packets were lost: a damaged frame is not written
        return 0;
    }
    ++device->m_delivered;
    if (device->m_sink) device->m_sink->frameArrived({data, static_cast<size_t>(length)});
    return 0;
}

int FireWireDevice::busReset(raw1394handle_t handle, unsigned int generation) {
    raw1394_update_generation(handle, generation);
    auto* device = static_cast<FireWireDevice*>(raw1394_get_userdata(handle));
    if (device) device->m_resetSeen = true;
    return 0;
}

// After a bus reset node numbers may change; the unit is found by its GUID.
bool FireWireDevice::unitStillThere() {
    const int nodes = raw1394_get_nodecount(m_control.get());
    for (int i = 0; i < nodes; ++i) {
        const nodeid_t node = static_cast<nodeid_t>(0xFFC0 | i);
        if (rom1394_get_guid(m_control.get(), node) != m_guid) continue;
        m_node = node;
        return true;
    }
    return false;
}

int FireWireDevice::startStream() {
    if (m_lost) return -ENODEV;
    if (m_receiver) return 0;
    m_dropped = 0;
    m_delivered = 0;
    m_outputPlug = -1;
    m_inputPlug = -1;
    m_bandwidth = 0;
    // The channel comes from the camera's output plug register when it has one.
    m_channel = iec61883_cmp_connect(m_stream.get(), m_node, &m_outputPlug, raw1394_get_local_id(m_stream.get()),
                                     &m_inputPlug, &m_bandwidth);
    m_connected = m_channel >= 0;
    if (!m_connected) m_channel = kBroadcastChannel;
    m_receiver.reset(iec61883_dv_fb_init(m_stream.get(), &FireWireDevice::frameArrived, this));
    if (!m_receiver) return errno ? -errno : -EIO;
    if (iec61883_dv_fb_start(m_receiver.get(), m_channel) != 0) {
        m_receiver.reset();
        return errno ? -errno : -EIO;
    }
    raw1394_set_bus_reset_handler(m_control.get(), &FireWireDevice::busReset);
    raw1394_set_userdata(m_control.get(), this);
    m_log.write("CameraIO: FireWire: receiving DV on channel %d (plug %s)", m_channel,
                  m_connected ? "connected" : "broadcast");
    return 0;
}

void FireWireDevice::stopStream() {
    if (!m_receiver) return;
    m_receiver.reset();  // stops and closes the reception
    if (m_connected)
        iec61883_cmp_disconnect(m_stream.get(), m_node, m_outputPlug, raw1394_get_local_id(m_stream.get()),
                                m_inputPlug, m_channel, m_bandwidth);
    m_connected = false;
}

int FireWireDevice::receive(int64_t timeoutMicroseconds, FrameSink& sink) {
    if (m_lost) return -ENODEV;
    if (!m_receiver) {
        m_clock.sleepMicroseconds(timeoutMicroseconds);
        return 0;
    }
    pollfd fds[2] = {{raw1394_get_fd(m_stream.get()), POLLIN | POLLPRI, 0},
                     {raw1394_get_fd(m_control.get()), POLLIN | POLLPRI, 0}};
    int ready = ::poll(fds, 2, static_cast<int>(timeoutMicroseconds / 1000));
    if (ready < 0) return errno == EINTR ? 0 : -errno;
    m_sink = &sink;
    int rc = 0;
    if (fds[0].revents && raw1394_loop_iterate(m_stream.get()) < 0) rc = errno ? -errno : -EIO;
    if (fds[1].revents) raw1394_loop_iterate(m_control.get());  // bus resets
    m_sink = nullptr;
    if (m_resetSeen) {
        m_resetSeen = false;
        if (!unitStillThere()) {
            m_lost = true;
            return -ENODEV;
        }
        if (m_connected)
            iec61883_cmp_reconnect(m_stream.get(), m_node, &m_outputPlug, raw1394_get_local_id(m_stream.get()),
                                   &m_inputPlug, &m_bandwidth, m_channel);
    }
    return rc;
}

}  // namespace

int openFireWireDevice(int port, nodeid_t node, uint64_t guid, Clock& clock, const app::DebugLog& log,
                       std::unique_ptr<CameraDevice>& device) {
    int error = 0;
    Raw1394Handle control = openPort(port, &error);
    if (!control) return error;
    Raw1394Handle stream = openPort(port, &error);
    if (!stream) return error;
    device = std::make_unique<FireWireDevice>(std::move(control), std::move(stream), node, guid, clock, log);
    return 0;
}

}  // namespace klemora::camera::firewire
