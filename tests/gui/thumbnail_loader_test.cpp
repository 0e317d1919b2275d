// The stripe pictures' loader: a picture is the grabbed frame at the asked
// size; one worker takes the queue lowest number first and a request asked
// again moves; a new request round drops what was not asked again; the cache
// keeps to its bytes, dropping what was used longest ago; a missing file or
// a frame past the end fails once and is not tried again; destroying the
// loader with a long queue returns and nothing arrives after.
#include <QtTest>

#include <memory>

#include "gui/thumbnail_loader.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class ThumbnailLoaderTest : public QObject {
    Q_OBJECT

    static constexpr QSize kSize{160, 120};
    static constexpr qint64 kPictureBytes = 160 * 120 * 4;

    test::TempDir m_dir;
    QString m_file;

    ThumbnailKey key(int32_t frame) const { return {m_file, frame, kSize}; }

    static QList<int32_t>* recordReady(ThumbnailLoader& loader) {
        auto* frames = new QList<int32_t>;
        QObject::connect(&loader, &QObject::destroyed, [frames] { delete frames; });
        QObject::connect(&loader, &ThumbnailLoader::pictureReady,
                         [frames](const ThumbnailKey& ready) { frames->append(ready.frame); });
        return frames;
    }

    struct Failure {
        QString file;
        int32_t frame;
        int code;
    };
    static void recordFailures(ThumbnailLoader& loader, QList<Failure>& failures) {
        QObject::connect(&loader, &ThumbnailLoader::pictureFailed,
                         [&failures](const QString& file, int32_t frame, int code) {
                             failures.append({file, frame, code});
                         });
    }

private slots:
    void initTestCase() {
        m_file = QString::fromStdString(test::writeFixture(m_dir.file("frames.avi"), test::distinctFrames(12)));
    }

    void aPictureIsTheGrabbedFrameAtTheAskedSize() {
        ThumbnailLoader loader(2);
        QCOMPARE(loader.threads(), 2);
        QList<int32_t>* ready = recordReady(loader);
        for (int32_t frame : {0, 5, 11}) QVERIFY(loader.picture(key(frame), frame).isNull());
        QVERIFY(QTest::qWaitFor([&] { return ready->size() == 3; }));
        for (int32_t frame : {0, 5, 11}) {
            QImage picture = loader.picture(key(frame), 0);
            QCOMPARE(picture.size(), kSize);
            QCOMPARE(picture, test::grabbedFrame(m_file.toStdString(), frame, kSize));
        }
        QVERIFY(loader.picture(key(5), 0) != loader.picture(key(11), 0));
        ThumbnailKey wide{m_file, 5, QSize(192, 108)};
        loader.picture(wide, 0);
        QVERIFY(QTest::qWaitFor([&] { return !loader.picture(wide, 0).isNull(); }));
        QCOMPARE(loader.picture(wide, 0), test::grabbedFrame(m_file.toStdString(), 5, wide.size));
        QCOMPARE(ready->size(), 4);  // asking for a cached picture queues nothing
        QCOMPARE(loader.cacheBytes(), 3 * kPictureBytes + 192 * 108 * 4);
        QCOMPARE(ThumbnailLoader().threads(), std::clamp(QThread::idealThreadCount(), 1, 4));
    }

    void oneWorkerTakesTheLowestNumberFirstAndAskingAgainMoves() {
        ThumbnailLoader loader(1);
        QList<int32_t>* ready = recordReady(loader);
        loader.setPaused(true);
        for (int32_t frame = 0; frame < 8; ++frame) loader.picture(key(frame), 10 - frame);
        loader.picture(key(0), 1);   // from last to first
        loader.picture(key(7), 20);  // from first to last
        loader.picture(key(4), 6);   // the same number keeps its place
        QCOMPARE(loader.queuedRequests(), 8);
        loader.setPaused(false);
        QVERIFY(QTest::qWaitFor([&] { return ready->size() == 8; }));
        QCOMPARE(*ready, (QList<int32_t>{0, 6, 5, 4, 3, 2, 1, 7}));
    }

    void equalNumbersGoInTheOrderAsked() {
        ThumbnailLoader loader(1);
        QList<int32_t>* ready = recordReady(loader);
        loader.setPaused(true);
        for (int32_t frame : {3, 1, 2}) loader.picture(key(frame), 5);
        loader.setPaused(false);
        QVERIFY(QTest::qWaitFor([&] { return ready->size() == 3; }));
        QCOMPARE(*ready, (QList<int32_t>{3, 1, 2}));
    }

    void aNewRoundDropsWhatWasNotAskedSinceTheLast() {
        ThumbnailLoader loader(1);
        QList<int32_t>* ready = recordReady(loader);
        loader.setPaused(true);
        loader.startRequestRound();
        for (int32_t frame : {0, 1, 2}) loader.picture(key(frame), frame);
        loader.startRequestRound();  // all three were asked in the round that ends
        QCOMPARE(loader.queuedRequests(), 3);
        loader.picture(key(1), 0);
        loader.picture(key(3), 1);
        loader.startRequestRound();
        QCOMPARE(loader.queuedRequests(), 2);
        loader.setPaused(false);
        QVERIFY(QTest::qWaitFor([&] { return ready->size() == 2; }));
        QTest::qWait(50);
        QCOMPARE(*ready, (QList<int32_t>{1, 3}));
        // A dropped request is asked for anew, not remembered as lost.
        QVERIFY(loader.picture(key(0), 0).isNull());
        QVERIFY(QTest::qWaitFor([&] { return !loader.picture(key(0), 0).isNull(); }));
    }

    void theCacheKeepsItsBytesAndDropsTheLeastRecentlyUsed() {
        ThumbnailLoader loader(1, 3 * kPictureBytes);
        QList<int32_t>* ready = recordReady(loader);
        for (int32_t frame : {0, 1, 2}) {
            loader.picture(key(frame), 0);
            QVERIFY(QTest::qWaitFor([&] { return ready->contains(frame); }));
        }
        QCOMPARE(loader.cacheBytes(), 3 * kPictureBytes);
        QVERIFY(!loader.picture(key(0), 0).isNull());  // 1 is now the oldest use
        loader.picture(key(3), 0);
        QVERIFY(QTest::qWaitFor([&] { return ready->contains(3); }));
        QCOMPARE(loader.cacheBytes(), 3 * kPictureBytes);
        loader.setPaused(true);  // keep the evicted one from coming back while looking
        QVERIFY(!loader.picture(key(0), 0).isNull());
        QVERIFY(!loader.picture(key(2), 0).isNull());
        QVERIFY(!loader.picture(key(3), 0).isNull());
        QVERIFY(loader.picture(key(1), 0).isNull());
        QCOMPARE(loader.queuedRequests(), 1);
        loader.clearCache();
        QCOMPARE(loader.cacheBytes(), 0);
        QVERIFY(loader.picture(key(3), 0).isNull());
    }

    void aPictureLargerThanTheCacheIsNotAnnounced() {
        ThumbnailLoader loader(1, kPictureBytes - 1);
        QList<int32_t>* ready = recordReady(loader);
        loader.setPaused(true);
        loader.picture(key(2), 0);
        ThumbnailKey small{m_file, 2, QSize(80, 60)};
        loader.picture(small, 1);  // the one worker takes it after the large one
        loader.setPaused(false);
        QVERIFY(QTest::qWaitFor([&] { return !ready->isEmpty(); }));
        QCOMPARE(*ready, QList<int32_t>{2});
        QCOMPARE(loader.cacheBytes(), 80 * 60 * 4);
        QVERIFY(loader.picture(key(2), 0).isNull());
    }

    void aMissingFileFailsOnceAndIsNotTriedAgain() {
        ThumbnailLoader loader(2);
        QList<Failure> failures;
        recordFailures(loader, failures);
        QString missing = m_dir.file("missing.avi").c_str();
        for (int32_t frame = 0; frame < 6; ++frame) loader.picture({missing, frame, kSize}, frame);
        QVERIFY(QTest::qWaitFor([&] { return !failures.isEmpty(); }));
        QVERIFY(loader.failed({missing, 5, kSize}));
        QTest::qWait(100);
        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures[0].file, missing);
        QCOMPARE(failures[0].frame, -1);
        QVERIFY(failures[0].code < 0);
        for (int32_t frame = 0; frame < 6; ++frame) QVERIFY(loader.picture({missing, frame, kSize}, 0).isNull());
        QCOMPARE(loader.queuedRequests(), 0);
        QTest::qWait(50);
        QCOMPARE(failures.size(), 1);

        loader.forgetFailures();
        QVERIFY(!loader.failed({missing, 0, kSize}));
        loader.picture({missing, 0, kSize}, 0);
        QVERIFY(QTest::qWaitFor([&] { return failures.size() == 2; }));
    }

    void aFramePastTheEndFailsOncePerFileAndTheOthersStillCome() {
        ThumbnailLoader loader(1);
        QList<int32_t>* ready = recordReady(loader);
        QList<Failure> failures;
        recordFailures(loader, failures);
        loader.picture(key(50), 0);
        loader.picture(key(60), 1);
        loader.picture(key(4), 2);
        QVERIFY(QTest::qWaitFor([&] { return ready->contains(4); }));
        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures[0].frame, 50);
        QVERIFY(failures[0].code != 1);
        QVERIFY(loader.failed(key(50)) && loader.failed(key(60)) && !loader.failed(key(4)));
        QVERIFY(loader.picture(key(60), 0).isNull());
        QCOMPARE(loader.queuedRequests(), 0);
    }

    void destroyingWithALongQueueReturnsAndNothingArrivesAfter() {
        auto loader = std::make_unique<ThumbnailLoader>(2);
        int arrived = 0;
        QObject::connect(loader.get(), &ThumbnailLoader::pictureReady, [&arrived] { ++arrived; });
        for (int i = 0; i < 600; ++i) loader->picture({m_file, i % 12, QSize(40 + i, 30 + i)}, i);
        QVERIFY(QTest::qWaitFor([&] { return arrived > 0; }));
        QVERIFY(loader->queuedRequests() > 0);
        loader.reset();  // decodes finished meanwhile are posted but must not be delivered
        int seen = arrived;
        QTest::qWait(100);
        QCOMPARE(arrived, seen);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::ThumbnailLoaderTest)
#include "thumbnail_loader_test.moc"
