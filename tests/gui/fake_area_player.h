#pragma once
// A dialog player for the tests: "plays" by reporting every frame of the
// range in turn, with the events in between processed, until the range is
// done or stop() was called; it paints nothing.
#include <QCoreApplication>
#include <functional>
#include <vector>

#include "gui/area_player.h"

namespace klemora::test {

class FakeAreaPlayer : public gui::AreaPlayer {
public:
    int play(const gui::AreaPlayRequest& request, const std::function<void(int32_t)>& onFrame) override {
        requests.push_back(request);
        if (request.to < request.from) return -14;
        m_playing = true;
        m_stop = false;
        for (int32_t frame = request.from; frame <= request.to && !m_stop; ++frame) {
            onFrame(frame);
            if (afterFrame) afterFrame(frame);
            QCoreApplication::processEvents();
        }
        m_playing = false;
        return 1;
    }
    void stop() override { m_stop = true; }
    bool isPlaying() const override { return m_playing; }

    std::vector<gui::AreaPlayRequest> requests;
    std::function<void(int32_t frame)> afterFrame;  // e.g. a key pressed while that frame is up

private:
    bool m_playing = false;
    bool m_stop = false;
};

}  // namespace klemora::test
