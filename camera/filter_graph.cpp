#include "camera/filter_graph.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace klemora::camera {

Pin* Filter::findPin(PinDirection direction, MediaKind kind) {
    for (auto& pin : m_pins)
        if (pin->direction == direction && pin->kind == kind) return pin.get();
    return nullptr;
}

Pin& Filter::addPin(std::string name, PinDirection direction, MediaKind kind) {
    auto pin = std::make_unique<Pin>();
    pin->name = std::move(name);
    pin->direction = direction;
    pin->kind = kind;
    pin->owner = this;
    m_pins.push_back(std::move(pin));
    return *m_pins.back();
}

void Filter::deliver(Pin& output, const MediaSample& sample) {
    if (output.connected) output.connected->owner->receive(*output.connected, sample);
}

FilterGraph::~FilterGraph() {
    if (m_running) stop();
    // Connections point into other filters; cut them all before any goes.
    for (auto& filter : m_filters)
        for (auto& pin : filter->m_pins) pin->connected = nullptr;
}

int FilterGraph::addFilter(std::unique_ptr<Filter> filter) {
    if (!filter) return -EINVAL;
    if (findFilter(filter->name())) return -EEXIST;
    filter->m_graph = this;
    m_filters.push_back(std::move(filter));
    return 0;
}

int FilterGraph::removeFilter(Filter* filter) {
    auto it = std::find_if(m_filters.begin(), m_filters.end(), [&](const auto& f) { return f.get() == filter; });
    if (it == m_filters.end()) return -ENOENT;
    for (auto& pin : filter->m_pins) disconnect(*pin);
    int rc = m_running ? filter->stop() : 0;
    m_filters.erase(it);
    return rc;
}

Filter* FilterGraph::findFilter(const std::string& name) const {
    for (const auto& filter : m_filters)
        if (filter->name() == name) return filter.get();
    return nullptr;
}

bool FilterGraph::contains(const Filter* filter) const {
    return std::any_of(m_filters.begin(), m_filters.end(), [&](const auto& f) { return f.get() == filter; });
}

int FilterGraph::connect(Pin& output, Pin& input) {
    if (output.direction != PinDirection::Output || input.direction != PinDirection::Input) return -EINVAL;
    if (output.kind != input.kind) return -EINVAL;
    if (!contains(output.owner) || !contains(input.owner)) return -ENOENT;
    if (output.connected || input.connected) return -EBUSY;
    output.connected = &input;
    input.connected = &output;
    return 0;
}

int FilterGraph::disconnect(Pin& pin) {
    if (!pin.connected) return -ENOTCONN;
    pin.connected->connected = nullptr;
    pin.connected = nullptr;
    return 0;
}

int FilterGraph::run() {
    if (m_running) return 0;
    std::vector<Filter*> started;
    auto startAll = [&](bool sources) {
        for (auto& filter : m_filters) {
            if (filter->isSource() != sources) continue;
            if (int rc = filter->run(); rc != 0) return rc;
            started.push_back(filter.get());
        }
        return 0;
    };
    int rc = startAll(false);
    if (rc == 0) rc = startAll(true);
    if (rc != 0) {
        for (auto it = started.rbegin(); it != started.rend(); ++it) (*it)->stop();
        return rc;
    }
    m_running = true;
    return 0;
}

int FilterGraph::stop() {
    if (!m_running) return 0;
    m_running = false;
    int first = 0;
    auto stopAll = [&](bool sources) {
        for (auto& filter : m_filters) {
            if (filter->isSource() != sources) continue;
            int rc = filter->stop();
            if (first == 0) first = rc;
        }
    };
    stopAll(true);  // no more samples, then the sinks finish what they have
    stopAll(false);
    return first;
}

void FilterGraph::postEvent(int code, int64_t param1, int64_t param2) {
    {
        std::lock_guard lock(m_eventMutex);
        m_events.push_back({code, param1, param2});
    }
    m_eventPosted.notify_all();
}

bool FilterGraph::takeEvent(GraphEventRecord& event) {
    std::lock_guard lock(m_eventMutex);
    if (m_events.empty()) return false;
    event = m_events.front();
    m_events.pop_front();
    return true;
}

int FilterGraph::serviceSources(int64_t timeoutMicroseconds) {
    bool serviced = false;
    for (size_t i = 0; i < m_filters.size(); ++i) {
        Filter* filter = m_filters[i].get();
        if (!filter->isSource()) continue;
        filter->service(timeoutMicroseconds);
        serviced = true;
    }
    return serviced ? 1 : 0;
}

int FilterGraph::waitForEvent(int64_t timeoutMicroseconds, GraphEventRecord& event) {
    if (takeEvent(event)) return 1;
    if (!m_running || serviceSources(timeoutMicroseconds) == 0) m_clock.sleepMicroseconds(timeoutMicroseconds);
    return takeEvent(event) ? 1 : 0;
}

int FilterGraph::waitForPostedEvent(int64_t timeoutMicroseconds, GraphEventRecord& event) {
    {
        std::unique_lock lock(m_eventMutex);
        m_eventPosted.wait_for(lock, std::chrono::microseconds(timeoutMicroseconds), [&] { return !m_events.empty(); });
    }
    return takeEvent(event) ? 1 : 0;
}

}  // namespace klemora::camera
