#include "gui/thumbnail_loader.h"

#include <QCache>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "gui/open_media_files.h"

namespace klemora::gui {

size_t qHash(const ThumbnailKey& key, size_t seed) {
    return ::qHashMulti(seed, key.file, key.frame, key.size.width(), key.size.height());
}

namespace {

constexpr int kMaxThreads = 4;
constexpr int kMaxExplicitThreads = 16;

int threadCountFor(int threads) {
    if (threads > 0) return std::min(threads, kMaxExplicitThreads);
    int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, kMaxThreads);
}

// Lowest priority number first; among equals the one asked first.
using QueueOrder = std::pair<int, uint64_t>;

struct QueuedRequest {
    QueueOrder order;
    uint64_t round = 0;  // the request round it was last asked in
};

// A finished decode on its way to the user-interface thread.
struct Delivery {
    ThumbnailKey key;
    QImage image;
    bool tellFailure = false;
    int32_t failedFrame = -1;
    int code = 1;
};

}  // namespace

// Everything the workers and the user-interface thread share sits behind
// `mutex`; the cache belongs to the user-interface thread alone.
struct ThumbnailLoaderState {
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    bool paused = false;
    uint64_t round = 0;
    uint64_t asked = 0;
    std::map<QueueOrder, ThumbnailKey> queue;
    QHash<ThumbnailKey, QueuedRequest> queued;
    // Queued, being decoded, or decoded and not yet taken into the cache: never queued twice.
    QSet<ThumbnailKey> pending;
    QHash<QString, int> failedFiles;  // file -> the probe's code
    QSet<ThumbnailKey> failedFrames;
    QSet<QString> announced;  // files whose failure pictureFailed has told
    std::vector<Delivery> done;
    bool drainPosted = false;  // one queued call takes all that is done

    QCache<ThumbnailKey, QImage> cache;
    std::vector<std::thread> workers;

    bool hasFailed(const ThumbnailKey& key) const {
        return failedFiles.contains(key.file) || failedFrames.contains(key);
    }
    // A file that cannot be opened takes its queued frames with it.
    void unqueueFile(const QString& file) {
        for (auto it = queue.begin(); it != queue.end();) {
            if (it->second.file != file) {
                ++it;
                continue;
            }
            queued.remove(it->second);
            pending.remove(it->second);
            it = queue.erase(it);
        }
    }
};

namespace {

// What a finished decode means for the shared state; the caller holds the lock.
Delivery settle(ThumbnailLoaderState& state, const ThumbnailKey& key, DecodedPicture decoded) {
    Delivery delivery{key, std::move(decoded.image), false, -1, decoded.code};
    if (decoded.code == 1) return delivery;
    if (decoded.openFailed) {
        state.failedFiles.insert(key.file, decoded.code);
        state.unqueueFile(key.file);
    } else {
        state.failedFrames.insert(key);
        delivery.failedFrame = key.frame;
    }
    if (!state.announced.contains(key.file)) {
        state.announced.insert(key.file);
        delivery.tellFailure = true;
    }
    return delivery;
}

void work(ThumbnailLoader* loader, ThumbnailLoaderState* state) {
    OpenMediaFiles files;
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->wake.wait(lock, [&] { return state->stopping || (!state->paused && !state->queue.empty()); });
        if (state->stopping) return;
        ThumbnailKey key = state->queue.begin()->second;
        state->queue.erase(state->queue.begin());
        state->queued.remove(key);
        lock.unlock();
        DecodedPicture decoded = files.decode(key.file.toStdString(), key.frame, key.size);
        lock.lock();
        if (state->stopping) return;
        state->done.push_back(settle(*state, key, std::move(decoded)));
        if (state->drainPosted) continue;
        state->drainPosted = true;
        // Posted by name, so that nothing of ours crosses the threads outside
        // the mutex; a loader being destroyed drops the call with its other events.
        QMetaObject::invokeMethod(loader, "drainResults", Qt::QueuedConnection);
    }
}

}  // namespace

ThumbnailLoader::ThumbnailLoader(int threads, qint64 cacheBytes, QObject* parent)
    : QObject(parent), m_state(std::make_shared<ThumbnailLoaderState>()) {
    m_state->cache.setMaxCost(std::max<qint64>(cacheBytes, 0));
    int count = threadCountFor(threads);
    m_state->workers.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) m_state->workers.emplace_back(work, this, m_state.get());
}

ThumbnailLoader::~ThumbnailLoader() {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
        m_state->queue.clear();
        m_state->queued.clear();
    }
    m_state->wake.notify_all();
    for (std::thread& worker : m_state->workers) worker.join();
}

// On the user-interface thread: the pictures into the cache, then the news.
void ThumbnailLoader::drainResults() {
    std::vector<Delivery> done;
    {
        std::lock_guard lock(m_state->mutex);
        done.swap(m_state->done);
        m_state->drainPosted = false;
        for (const Delivery& delivery : done) m_state->pending.remove(delivery.key);
    }
    for (Delivery& delivery : done) {
        if (!delivery.image.isNull()) {
            qint64 bytes = delivery.image.sizeInBytes();
            // A picture larger than the whole cache is not kept; announcing it
            // would only make the view ask for it again and again.
            if (m_state->cache.insert(delivery.key, new QImage(std::move(delivery.image)), bytes))
                emit pictureReady(delivery.key);
        } else if (delivery.tellFailure) {
            emit pictureFailed(delivery.key.file, delivery.failedFrame, delivery.code);
        }
    }
}

QImage ThumbnailLoader::picture(const ThumbnailKey& key, int priority) {
    if (QImage* cached = m_state->cache.object(key)) return *cached;
    if (key.file.isEmpty() || key.frame < 0 || key.size.width() < 1 || key.size.height() < 1) return {};
    {
        std::lock_guard lock(m_state->mutex);
        ThumbnailLoaderState& state = *m_state;
        if (state.hasFailed(key)) return {};
        auto found = state.queued.find(key);
        if (found != state.queued.end()) {
            found->round = state.round;
            if (found->order.first == priority) return {};
            ThumbnailKey queuedKey = state.queue.extract(found->order).mapped();
            found->order = {priority, ++state.asked};
            state.queue.emplace(found->order, std::move(queuedKey));
            return {};
        }
        if (state.pending.contains(key)) return {};  // on its way
        QueueOrder order{priority, ++state.asked};
        state.queue.emplace(order, key);
        state.queued.insert(key, {order, state.round});
        state.pending.insert(key);
    }
    m_state->wake.notify_one();
    return {};
}

void ThumbnailLoader::startRequestRound() {
    std::lock_guard lock(m_state->mutex);
    ThumbnailLoaderState& state = *m_state;
    for (auto it = state.queued.begin(); it != state.queued.end();) {
        if (it->round == state.round) {
            ++it;
            continue;
        }
        state.queue.erase(it->order);
        state.pending.remove(it.key());
        it = state.queued.erase(it);
    }
    ++state.round;
}

bool ThumbnailLoader::failed(const ThumbnailKey& key) const {
    std::lock_guard lock(m_state->mutex);
    return m_state->hasFailed(key);
}

void ThumbnailLoader::forgetFailures() {
    std::lock_guard lock(m_state->mutex);
    m_state->failedFiles.clear();
    m_state->failedFrames.clear();
    m_state->announced.clear();
}

void ThumbnailLoader::clearCache() { m_state->cache.clear(); }

void ThumbnailLoader::setPaused(bool paused) {
    {
        std::lock_guard lock(m_state->mutex);
        m_state->paused = paused;
    }
    m_state->wake.notify_all();
}

qint64 ThumbnailLoader::cacheBytes() const { return m_state->cache.totalCost(); }

int ThumbnailLoader::queuedRequests() const {
    std::lock_guard lock(m_state->mutex);
    return static_cast<int>(m_state->queue.size());
}

int ThumbnailLoader::threads() const { return static_cast<int>(m_state->workers.size()); }

}  // namespace klemora::gui
