#pragma once
// A small filter graph in the manner of the platform's media graphs: filters
// with named input and output pins, connections between pins, samples pushed
// downstream along the connections, and an event queue the capture loop
// reads. The preview runs on the caller's thread: waitForEvent lets the
// source filters fetch what their devices have, which pushes it through the
// graph, before it looks at the queue. A capture services the sources on a
// thread of its own (serviceSources) while the caller only waits for events
// (waitForPostedEvent); the event queue is the one part both threads share.
#include <cstdint>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "avi/avi_stream_layout.h"
#include "camera/camera_clock.h"

namespace klemora::camera {

enum class MediaKind {
    InterleavedDv,  // whole DV frames, picture and sound ('iavs')
    DvVideo,        // whole DV frames as the video of a split stream
    PcmAudio,       // 16-bit PCM taken out of DV frames
};

struct MediaSample {
    MediaKind kind = MediaKind::InterleavedDv;
    std::span<const uint8_t> data;
    bool pal = true;            // DV kinds
    avi::PcmFormat audio;       // PcmAudio
};

enum class PinDirection { Input, Output };

class Filter;

struct Pin {
    std::string name;
    PinDirection direction = PinDirection::Input;
    MediaKind kind = MediaKind::InterleavedDv;
    Filter* owner = nullptr;
    Pin* connected = nullptr;
};

class FilterGraph;

class Filter {
public:
    explicit Filter(std::string name) : m_name(std::move(name)) {}
    virtual ~Filter() = default;
    Filter(const Filter&) = delete;
    Filter& operator=(const Filter&) = delete;

    const std::string& name() const { return m_name; }
    int pinCount() const { return static_cast<int>(m_pins.size()); }
    Pin* pin(int index) { return index >= 0 && index < pinCount() ? m_pins[index].get() : nullptr; }
    Pin* findPin(PinDirection direction, MediaKind kind);
    FilterGraph* graph() const { return m_graph; }

    // Run and stop return 0 or a negative errno value.
    virtual int run() { return 0; }
    virtual int stop() { return 0; }
    // Sources fetch from their device here (up to the timeout).
    virtual int service(int64_t /*timeoutMicroseconds*/) { return 0; }
    virtual bool isSource() const { return false; }
    // A sample reaching one of the input pins.
    virtual void receive(Pin& /*input*/, const MediaSample& /*sample*/) {}

protected:
    Pin& addPin(std::string name, PinDirection direction, MediaKind kind);
    // Pushes a sample out of an output pin to whatever is connected.
    void deliver(Pin& output, const MediaSample& sample);

private:
    friend class FilterGraph;
    std::string m_name;
    std::vector<std::unique_ptr<Pin>> m_pins;
    FilterGraph* m_graph = nullptr;
};

struct GraphEventRecord {
    int code = 0;
    int64_t param1 = 0;
    int64_t param2 = 0;
};

class FilterGraph {
public:
    explicit FilterGraph(Clock& clock) : m_clock(clock) {}
    ~FilterGraph();
    FilterGraph(const FilterGraph&) = delete;
    FilterGraph& operator=(const FilterGraph&) = delete;

    // The graph owns its filters; names are unique (-EEXIST otherwise).
    int addFilter(std::unique_ptr<Filter> filter);
    // Disconnects every pin, stops the filter if the graph runs, destroys it.
    int removeFilter(Filter* filter);
    Filter* findFilter(const std::string& name) const;
    bool contains(const Filter* filter) const;
    int filterCount() const { return static_cast<int>(m_filters.size()); }

    // Output to input of the same media kind, both free (-EINVAL, -EBUSY).
    int connect(Pin& output, Pin& input);
    int disconnect(Pin& pin);

    // Runs the filters downstream first, so every sink is ready before its
    // source delivers. A failing filter stops the ones already running.
    int run();
    // Stops every filter; the first failure is returned, all are stopped.
    int stop();
    bool running() const { return m_running; }

    // Any thread.
    void postEvent(int code, int64_t param1 = 0, int64_t param2 = 0);
    // 1 and the event, or 0 when none came within the timeout.
    int waitForEvent(int64_t timeoutMicroseconds, GraphEventRecord& event);
    // The same without servicing the sources: the wait of a thread other
    // than the one that services them, in wall time.
    int waitForPostedEvent(int64_t timeoutMicroseconds, GraphEventRecord& event);
    // Lets every source fetch from its device (up to the timeout); 0 when
    // the graph has no source. The graph must not change meanwhile.
    int serviceSources(int64_t timeoutMicroseconds);

private:
    bool takeEvent(GraphEventRecord& event);

    Clock& m_clock;
    std::vector<std::unique_ptr<Filter>> m_filters;
    std::mutex m_eventMutex;
    std::condition_variable m_eventPosted;
    std::deque<GraphEventRecord> m_events;
    bool m_running = false;
};

}  // namespace klemora::camera
