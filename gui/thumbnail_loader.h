#pragma once
// Pictures of frames for the scene stripes, decoded off the user-interface
// thread. A small pool of workers (at most as many as there are cores) takes
// the queued requests lowest priority number first, each worker keeping its
// files open between pictures; finished pictures land in a cache bounded in
// bytes (least recently used go first) and are announced with pictureReady
// on the user-interface thread. Asking never waits for a decode.
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>

namespace klemora::gui {

struct ThumbnailLoaderState;

struct ThumbnailKey {
    QString file;
    int32_t frame = 0;
    QSize size;  // the picture's size in pixels, letterbox already applied
    bool operator==(const ThumbnailKey&) const = default;
};
size_t qHash(const ThumbnailKey& key, size_t seed = 0);

class ThumbnailLoader : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kDefaultCacheBytes = 192LL << 20;

    // `threads` 0: one per core, at most 4.
    explicit ThumbnailLoader(int threads = 0, qint64 cacheBytes = kDefaultCacheBytes, QObject* parent = nullptr);
    ~ThumbnailLoader() override;  // drops the queue, waits for the running decodes

    // The cached picture, or a null image after queueing the request (once;
    // asking again only changes its priority, lower numbers first). A file
    // that failed to open or a frame that failed gives a null image at once
    // and is not queued again until forgetFailures().
    QImage picture(const ThumbnailKey& key, int priority);
    // Queued requests not asked for again since the last call are dropped;
    // a view calls it before it asks for what it paints now.
    void startRequestRound();
    bool failed(const ThumbnailKey& key) const;
    void forgetFailures();
    void clearCache();
    // While paused the workers take no new request (the decodes running
    // finish); asking still queues. A hidden view pauses its loader.
    void setPaused(bool paused);

    qint64 cacheBytes() const;
    int queuedRequests() const;
    int threads() const;

signals:
    void pictureReady(const klemora::gui::ThumbnailKey& key);
    // Once per file until forgetFailures(): the file could not be opened
    // (`code` the media layer's result) or one of its frames not decoded
    // (`frame` >= 0). The view shows its message for it.
    void pictureFailed(const QString& file, int32_t frame, int code);

private:
    Q_INVOKABLE void drainResults();  // the workers' finished pictures, on this thread

    std::shared_ptr<ThumbnailLoaderState> m_state;
};

}  // namespace klemora::gui
