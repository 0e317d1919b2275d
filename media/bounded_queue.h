#pragma once
// A small first-in first-out queue between one producing thread and one
// consuming thread: the producer waits while it is full, the consumer never
// waits. Closing it releases a waiting producer for good.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace klemora::media {

template <typename T>
class BoundedQueue {
public:
    explicit BoundedQueue(size_t capacity) : m_capacity(capacity) {}

    // False when the queue was closed (the item is dropped).
    bool push(T item) {
        std::unique_lock lock(m_mutex);
        m_space.wait(lock, [&] { return m_closed || m_items.size() < m_capacity; });
        if (m_closed) return false;
        m_items.push_back(std::move(item));
        return true;
    }
    std::optional<T> tryPop() {
        std::lock_guard lock(m_mutex);
        if (m_items.empty()) return std::nullopt;
        T item = std::move(m_items.front());
        m_items.pop_front();
        m_space.notify_one();
        return item;
    }
    // The producer has nothing more to give.
    void finish() {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    // Nothing more will come out.
    bool drained() const {
        std::lock_guard lock(m_mutex);
        return (m_finished || m_closed) && m_items.empty();
    }
    void close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_items.clear();
        m_space.notify_all();
    }

private:
    const size_t m_capacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_space;
    std::deque<T> m_items;
    bool m_finished = false;
    bool m_closed = false;
};

}  // namespace klemora::media
