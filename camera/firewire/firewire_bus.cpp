#include "camera/firewire/firewire_bus.h"

#include <libavc1394/avc1394.h>
#include <libavc1394/rom1394.h>

#include <cerrno>
#include <vector>

#include "app/debug_log.h"
#include "camera/firewire/avc_vcr.h"
#include "camera/firewire/firewire_device.h"
#include "camera/firewire/raw1394_handle.h"
#include "app/error_text.h"

namespace klemora::camera::firewire {

Raw1394Handle openPort(int port, int* error) {
    errno = 0;
    Raw1394Handle handle(raw1394_new_handle());
    if (!handle) {
        *error = errno ? -errno : -ENODEV;
        return nullptr;
    }
    if (raw1394_get_port_info(handle.get(), nullptr, 0) < 0 || raw1394_set_port(handle.get(), port) < 0) {
        *error = errno ? -errno : -ENODEV;
        return nullptr;
    }
    return handle;
}

namespace {

constexpr int kMaxPorts = 16;

struct NodeInfo {
    int port = 0;
    nodeid_t node = 0;
    uint64_t guid = 0;
    DeviceProperties properties;
};

// A unit with an AV/C tape-recorder subunit: a DV camera or deck.
bool isTapeUnit(raw1394handle_t handle, nodeid_t node, rom1394_directory& directory) {
    if (rom1394_get_directory(handle, node, &directory) < 0) return false;
    bool avc = rom1394_get_node_type(&directory) == ROM1394_NODE_TYPE_AVC;
    return avc && avc1394_check_subunit_type(handle, node, AVC1394_SUBUNIT_TYPE_VCR);
}

void scanPort(int port, std::vector<NodeInfo>& found, const app::DebugLog& log) {
    int error = 0;
    Raw1394Handle handle = openPort(port, &error);
    if (!handle) {
        log.write("CameraIO: FireWire: port %d not usable / %x / %s", port, static_cast<unsigned>(error),
                      app::DxErrorText(error));
        return;
    }
    const int nodes = raw1394_get_nodecount(handle.get());
    const nodeid_t local = raw1394_get_local_id(handle.get());
    for (int i = 0; i < nodes; ++i) {
        const nodeid_t node = static_cast<nodeid_t>(0xFFC0 | i);
        if (node == local) continue;
        rom1394_directory directory{};
        if (!isTapeUnit(handle.get(), node, directory)) {
            rom1394_free_directory(&directory);
            continue;
        }
        NodeInfo info;
        info.port = port;
        info.node = node;
        info.guid = rom1394_get_guid(handle.get(), node);
        // The unit's own name from its ROM; the description tells where it hangs.
        std::string label = directory.label ? directory.label : "";
        info.properties.friendlyName = label.empty() ? std::string("DV Camera") : label;
        char where[64];
        std::snprintf(where, sizeof where, "IEEE 1394 AV/C VCR, port %d node %d", port, i);
        info.properties.description = std::string(where);
        if (info.guid != 0) info.properties.devicePath = devicePathForGuid(info.guid);
        rom1394_free_directory(&directory);
        found.push_back(std::move(info));
    }
}

// 0 and the units, or the failure of the first handle (no FireWire at all).
int scanBus(std::vector<NodeInfo>& found, const app::DebugLog& log) {
    errno = 0;
    Raw1394Handle handle(raw1394_new_handle());
    if (!handle) {
        int error = errno ? -errno : -ENODEV;
        log.write("CameraIO: FireWire: raw1394_new_handle failed / %x / %s (no FireWire access)",
                      static_cast<unsigned>(error), app::DxErrorText(error));
        return error;
    }
    raw1394_portinfo ports[kMaxPorts];
    const int count = raw1394_get_port_info(handle.get(), ports, kMaxPorts);
    if (count < 0) {
        int error = errno ? -errno : -EIO;
        log.write("CameraIO: FireWire: raw1394_get_port_info failed / %x / %s", static_cast<unsigned>(error),
                      app::DxErrorText(error));
        return error;
    }
    if (count == 0) log.write("CameraIO: FireWire: no ports");
    handle.reset();
    for (int port = 0; port < count && port < kMaxPorts; ++port) scanPort(port, found, log);
    return 0;
}

class FireWireBus : public CameraBus {
public:
    FireWireBus(Clock& clock, app::DebugLog log) : m_clock(clock), m_log(std::move(log)) {}

    int enumerate(std::vector<DeviceProperties>& devices) override {
        std::vector<NodeInfo> found;
        int rc = scanBus(found, m_log);
        for (auto& info : found) devices.push_back(std::move(info.properties));
        return rc;
    }

    int open(const std::string& devicePath, std::unique_ptr<CameraDevice>& device) override {
        uint64_t guid = 0;
        if (!guidFromDevicePath(devicePath, guid)) return -ENODEV;
        std::vector<NodeInfo> found;
        if (int rc = scanBus(found, m_log); rc != 0) return rc;
        for (const auto& info : found) {
            if (info.guid != guid) continue;
            return openFireWireDevice(info.port, info.node, guid, m_clock, m_log, device);
        }
        return -ENODEV;
    }

private:
    Clock& m_clock;
    const app::DebugLog m_log;
};

}  // namespace

std::unique_ptr<CameraBus> makeFireWireBus(Clock& clock, app::DebugLog log) {
    return std::make_unique<FireWireBus>(clock, std::move(log));
}

}  // namespace klemora::camera::firewire
