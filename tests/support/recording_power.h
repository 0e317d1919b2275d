#pragma once
// A power control for tests: counts the requests to switch off and accepts
// or refuses them, so no test ever powers the machine down.
#include "app/shutdown.h"

namespace klemora::test {

class RecordingPower : public app::PowerControl {
public:
    explicit RecordingPower(bool accept = true) : m_accept(accept) {}
    bool requestPowerOff() override {
        ++requests;
        return m_accept;
    }
    int requests = 0;

private:
    bool m_accept;
};

}  // namespace klemora::test
