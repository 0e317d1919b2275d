// The play window as "play scenes" uses it: it opens where the placement
// says (or where the platform puts it) with the caption of the range, shows
// exactly the range's frames at the video's aspect, ends on Esc or when it
// is closed, and hands its placement back; the whole file, a reversed range,
// a missing file and a scene list that fails part-way behave as the callers
// expect.
#include <QPushButton>
#include <QtTest>

#include "app/string_table.h"
#include "gui/picture_view.h"
#include "gui/player_window.h"
#include "gui/qt_user_interface.h"
#include "scene/scene_list.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class PlayerWindowTest : public QObject {
    Q_OBJECT

private:
    std::string writeFixture(const std::string& name, const fixtures::DvFixtureOptions& options) {
        return test::writeFixture(m_dir.file(name), options);
    }

    // What the play window showed, picture by picture.
    struct Seen {
        QList<int> frames;
        QList<QImage> pictures;
        QList<QRect> geometries;
        QList<QSize> pictureSizes;
        QString caption;
    };
    static void watchInto(Seen& seen, std::function<void(QWidget&, int)> also = {}) {
        watchPlayWindow([&seen, also](QWidget& window, int32_t frame) {
            auto* view = window.findChild<PictureView*>();
            seen.frames.append(frame);
            seen.pictures.append(view->picture());
            seen.pictureSizes.append(view->pictureRect().size());
            seen.geometries.append(QRect(window.pos(), window.size()));
            seen.caption = window.windowTitle();
            if (also) also(window, frame);
        });
    }

    static scene::SceneList scenesOf(const std::vector<std::tuple<std::string, int, int>>& scenes) {
        scene::SceneList list;
        for (const auto& [path, start, stop] : scenes) {
            int i = list.AddNewScene();
            list.setSourceFile(i, path);
            list.setStopFrame(i, stop);
            list.setStartFrame(i, start);
        }
        return list;
    }

    test::TempDir m_dir;
    QWidget m_main;

private slots:
    void initTestCase() { app::useGermanStrings(); }
    void cleanup() { watchPlayWindow({}); }

    void theRangePlaysWhereThePlacementSaysAndThePlacementComesBack() {
        std::string path = writeFixture("distinct.avi", test::distinctFrames(20));
        QtUserInterface ui(&m_main);
        test::MessageBoxWatcher boxes;
        Seen seen;
        watchInto(seen);
        media::PlayWindowPlacement placement{30, 40, 400, 300};
        QCOMPARE(playFile(path, placement, 3, 9, 1.0f, ui, {}, &m_main), 1);
        QCOMPARE(seen.frames, (QList<int>{3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(seen.geometries.first(), QRect(30, 40, 400, 300));
        QCOMPARE(seen.pictureSizes.first(), QSize(400, 300));  // 4:3 fills it
        for (int i = 0; i < seen.frames.size(); ++i)
            QVERIFY2(seen.pictures[i] == test::grabbedFrame(path, seen.frames[i], seen.pictureSizes[i]),
                     qPrintable(QStringLiteral("frame %1").arg(seen.frames[i])));
        QCOMPARE(seen.caption, QString::fromStdString(path) +
                                   QStringLiteral(" / Start: 4 / Stop: 10 / Faktor: 1.00 / Dauer: 00:00:00:07"));
        QCOMPARE(placement.left, 30);
        QCOMPARE(placement.top, 40);
        QCOMPARE(placement.width, 400);
        QCOMPARE(placement.height, 300);
        QCOMPARE(boxes.count(), 0);
    }

    void anUnsetPlacementOpensAtTheVideosSizeAndAWrongOneIsPutRight() {
        fixtures::DvFixtureOptions wide = fixtures::singleSessionOptions(5);
        wide.wideScreen = true;
        std::string path = writeFixture("wide.avi", wide);
        QtUserInterface ui(&m_main);
        Seen seen;
        watchInto(seen);
        media::PlayWindowPlacement unset;
        QCOMPARE(playFile(path, unset, 0, 2, 1.0f, ui, {}, &m_main), 1);
        QCOMPARE(seen.geometries.first().size(), QSize(1024, 576));
        QCOMPARE(seen.pictureSizes.first(), QSize(1024, 576));  // 16:9
        QCOMPARE(unset.width, 1024);
        QVERIFY(unset.left != media::kNotPlaced && unset.top != media::kNotPlaced);

        seen = {};
        media::PlayWindowPlacement wrong{5, -3, 5, 300};
        QCOMPARE(playFile(path, wrong, 0, 2, 1.0f, ui, {}, &m_main), 1);
        QCOMPARE(seen.geometries.first(), QRect(10, 10, 382, 288));
        QCOMPARE(seen.pictureSizes.first(), QSize(382, 215));  // letterboxed
        QCOMPARE(wrong.left, 10);
        QCOMPARE(wrong.height, 288);
    }

    void theCaptionCountsTheDurationAtItsSpeed() {
        std::string path = writeFixture("fifty.avi", fixtures::singleSessionOptions(60));
        QtUserInterface ui(&m_main);
        Seen seen;
        watchInto(seen);
        media::PlayWindowPlacement placement;
        QCOMPARE(playFile(path, placement, 0, 49, 2.0f, ui, {}, &m_main), 1);
        QVERIFY(seen.caption.endsWith(QStringLiteral("/ Faktor: 2.00 / Dauer: 00:00:01:00")));
        QCOMPARE(seen.frames.first(), 0);
        QCOMPARE(seen.frames.last(), 49);
    }

    void escOrClosingTheWindowEndsThePlayWithOne() {
        std::string path = writeFixture("long.avi", fixtures::singleSessionOptions(250));
        QtUserInterface ui(&m_main);
        for (bool close : {false, true}) {
            Seen seen;
            watchInto(seen, [close](QWidget& window, int frame) {
                if (frame != 2) return;
                QTimer::singleShot(0, &window, [&window, close] {
                    if (close) window.close();
                    else QTest::keyClick(&window, Qt::Key_Escape);
                });
            });
            media::PlayWindowPlacement placement{50, 60, 384, 288};
            QCOMPARE(playFile(path, placement, 0, 249, 1.0f, ui, {}, &m_main), 1);
            QVERIFY2(seen.frames.size() < 12, qPrintable(QString::number(seen.frames.size())));
            QCOMPARE(placement.left, 50);
            QCOMPARE(placement.width, 384);
        }
    }

    void startZeroStopMinusOnePlaysTheWholeFile() {
        std::string path = writeFixture("whole.avi", test::distinctFrames(12));
        QtUserInterface ui(&m_main);
        Seen seen;
        watchInto(seen);
        media::PlayWindowPlacement placement;
        QCOMPARE(playFile(path, placement, 0, -1, 1.0f, ui, {}, &m_main), 1);
        QList<int> all;
        for (int frame = 0; frame < 12; ++frame) all.append(frame);
        QCOMPARE(seen.frames, all);
    }

    void aReversedRangeReturnsMinus12Silently() {
        QtUserInterface ui(&m_main);
        test::MessageBoxWatcher boxes;
        Seen seen;
        watchInto(seen);
        media::PlayWindowPlacement placement;
        QCOMPARE(playFile(m_dir.file("not-there.avi"), placement, 10, 5, 1.0f, ui, {}, &m_main), -12);
        QTest::qWait(20);
        QCOMPARE(boxes.count(), 0);
        QVERIFY(seen.frames.isEmpty());
    }

    void theScenesPlayInOrderUntilTheFirstThatFails() {
        std::string first = writeFixture("a.avi", test::distinctFrames(6));
        std::string last = writeFixture("b.avi", test::distinctFrames(6));
        QtUserInterface ui(&m_main);
        test::MessageBoxWatcher boxes;
        Seen seen;
        watchInto(seen);
        media::PlayWindowPlacement placement;
        QCOMPARE(playScenes(scenesOf({{first, 1, 3}, {last, 2, 4}}), placement, ui, {}, &m_main), 1);
        QCOMPARE(seen.frames, (QList<int>{1, 2, 3, 2, 3, 4}));

        seen = {};
        QCOMPARE(playScenes(scenesOf({{first, 0, 1}, {m_dir.file("gone.avi"), 0, 3}, {last, 0, 1}}), placement, ui,
                            {}, &m_main),
                 -6);
        QCOMPARE(seen.frames, (QList<int>{0, 1}));
        QVERIFY(QTest::qWaitFor([&] { return boxes.count() == 1; }));
        QVERIFY(boxes.seen()[0].text.startsWith(QStringLiteral("PlayFile-Error! (-6)\nDxErrorText: ")));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::PlayerWindowTest)
#include "player_window_test.moc"
