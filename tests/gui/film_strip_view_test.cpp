// The list view's film strip: it paints the frames of the "StripeType"
// positions side by side, letterboxed in grey, follows the pictures setting
// and the selected scene, and a scene whose file is missing stays grey and
// says so once.
#include <QtTest>

#include "gui/film_strip_view.h"
#include "gui/thumbnail_loader.h"
#include "scene/scene_list.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class FilmStripViewTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::string m_file;
    std::string m_wideFile;

    static scene::SceneList sceneOf(const std::string& path, int32_t start, int32_t stop, bool wide = false) {
        scene::SceneList list;
        int row = list.AddNewScene();
        list.setSourceFile(row, path);
        list.setStopFrame(row, stop);
        list.setStartFrame(row, start);
        list.setWideScreen(row, wide ? 1 : 0);
        return list;
    }

    // Every picture of the strip on screen shows its frame.
    static bool showsFrames(FilmStripView& view, const std::string& path) {
        QImage shot = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (int i = 0; i < static_cast<int>(view.frames().size()); ++i) {
            QRect box = view.pictureRect(i);
            if (shot.copy(box) != test::grabbedFrame(path, view.frames()[static_cast<size_t>(i)], box.size()))
                return false;
        }
        return true;
    }

    static bool paintsFrames(FilmStripView& view, const std::string& path) {
        return QTest::qWaitFor([&] { return showsFrames(view, path); });
    }

private slots:
    void initTestCase() {
        m_file = test::writeFixture(m_dir.file("frames.avi"), test::distinctFrames(12));
        m_wideFile = test::writeFixture(m_dir.file("wide.avi"), test::distinctFrames(12, true));
    }

    void theStripPaintsTheFramesOfEachStripeType() {
        ThumbnailLoader loader(2);
        FilmStripView view(loader);
        view.resize(4 * 100 + 3 * 3, 90);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        scene::SceneList list = sceneOf(m_file, 0, 11);
        view.showScene(list, 0);
        QCOMPARE(view.frames(), (std::vector<int32_t>{1, 4, 7, 10}));  // centred is the default
        QCOMPARE(view.pictureRect(0), QRect(0, 7, 100, 75));
        QCOMPARE(view.pictureRect(3), QRect(309, 7, 100, 75));
        QVERIFY(paintsFrames(view, m_file));
        QImage shot = view.grab().toImage();
        QCOMPARE(shot.pixelColor(50, 2), QColor(152, 148, 140));  // the bars above the picture
        QCOMPARE(shot.pixelColor(50, 87), QColor(152, 148, 140));
        QVERIFY(shot.pixelColor(101, 40) != QColor(152, 148, 140));  // the gap between two areas

        view.setStripeType(StripeType::Ends);
        QCOMPARE(view.frames(), (std::vector<int32_t>{0, 4, 8, 11}));
        QVERIFY(paintsFrames(view, m_file));
        view.setStripeType(StripeType::Even);
        QCOMPARE(view.frames(), (std::vector<int32_t>{0, 3, 6, 9}));
        QVERIFY(paintsFrames(view, m_file));
    }

    void thePicturesSettingAndTheSceneChangeTheStrip() {
        ThumbnailLoader loader(2);
        FilmStripView view(loader);
        view.resize(300, 100);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        scene::SceneList list = sceneOf(m_wideFile, 2, 9, true);
        view.setPictureCount(2);
        view.showScene(list, 0);
        QCOMPARE(view.frames(), (std::vector<int32_t>{4, 8}));
        QCOMPARE(view.pictureRect(1), QRect(151, 8, 148, 83));  // 16:9 in 148 x 100
        QVERIFY(paintsFrames(view, m_wideFile));
        QCOMPARE(view.heightForWidth(300), 83);

        view.setPictureCount(0);  // "FrameCount" 0: nothing but the background
        QVERIFY(view.frames().empty());
        view.setPictureCount(3);
        view.showScene(list, 5);  // no such row
        QVERIFY(view.frames().empty());
        QImage empty = view.grab().toImage();
        QCOMPARE(empty.pixelColor(50, 50), view.palette().window().color());
    }

    void aMissingSourceStaysGreyAndSaysSoOnce() {
        ThumbnailLoader loader(1);
        FilmStripView view(loader);
        QList<int32_t> failedFrames;
        QObject::connect(&view, &FilmStripView::pictureFailed,
                         [&](const QString&, int32_t frame, int) { failedFrames.append(frame); });
        view.resize(409, 90);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        scene::SceneList list = sceneOf(m_dir.file("gone.avi"), 0, 99);
        view.showScene(list, 0);
        QVERIFY(QTest::qWaitFor([&] { return !failedFrames.isEmpty(); }));
        QVERIFY(view.missing());
        QCOMPARE(failedFrames, QList<int32_t>{-1});
        view.update();
        QTest::qWait(50);
        QImage shot = view.grab().toImage();
        for (int i = 0; i < 4; ++i) QCOMPARE(shot.pixelColor(view.pictureRect(i).center()), QColor(152, 148, 140));
        QCOMPARE(failedFrames.size(), 1);
        QCOMPARE(loader.queuedRequests(), 0);

        scene::SceneList present = sceneOf(m_file, 0, 11);
        view.showScene(present, 0);
        QVERIFY(!view.missing());
        QVERIFY(paintsFrames(view, m_file));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::FilmStripViewTest)
#include "film_strip_view_test.moc"
