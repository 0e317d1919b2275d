#pragma once
// Owners of the libraw1394 and libiec61883 objects of the FireWire back-end.
#include <libiec61883/iec61883.h>
#include <libraw1394/raw1394.h>

#include <memory>
#include <type_traits>

namespace klemora::camera::firewire {

struct HandleDestroyer {
    void operator()(raw1394handle_t handle) const { raw1394_destroy_handle(handle); }
};
using Raw1394Handle = std::unique_ptr<std::remove_pointer_t<raw1394handle_t>, HandleDestroyer>;

struct DvReceiverCloser {
    void operator()(iec61883_dv_fb_t receiver) const { iec61883_dv_fb_close(receiver); }
};
using DvFrameReceiver = std::unique_ptr<std::remove_pointer_t<iec61883_dv_fb_t>, DvReceiverCloser>;

// A handle bound to `port`; null with *error (a negative errno value) when
// the kernel offers no FireWire access or the port is gone.
Raw1394Handle openPort(int port, int* error);

}  // namespace klemora::camera::firewire
