#pragma once
#include "app/ui.h"

namespace klemora::app {

// Asks the system to power off; the tests put a recording fake in its place.
class PowerControl {
public:
    virtual ~PowerControl() = default;
    virtual bool requestPowerOff() = 0;
};

// systemd's "systemctl poweroff", which asks logind over D-Bus and honours
// its policy for the logged-in user.
class SystemPowerControl : public PowerControl {
public:
    bool requestPowerOff() override;
};

// 1 when the system accepted the request; -1 after message 126.
int ShutdownPc(PowerControl& power, UserInterface& ui);

}  // namespace klemora::app
