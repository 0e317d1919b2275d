// The preview as a person uses it: a scene selected shows its first frame,
// the arrow and page keys on the slider show exactly the frame they land on
// with its slider line, a cleared selection empties everything, and a
// missing or damaged source says so once and leaves the window working.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <filesystem>
#include <vector>

#include "app/string_table.h"
#include "gui/picture_view.h"
#include "gui/preview_panel.h"
#include "gui/qt_user_interface.h"
#include "media/media_info.h"
#include "media/media_probe.h"
#include "media/picture_grab.h"
#include "media/scene_info_text.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class PreviewPanelTest : public QObject {
    Q_OBJECT

private:
    // One recording session per frame, so that every frame is its own picture.
    static fixtures::DvFixtureOptions distinctFrames(int frames) {
        fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(1);
        options.sessions.clear();
        for (int i = 0; i < frames; ++i) {
            fixtures::DvSession session;
            session.start = fixtures::defaultSessionStart();
            session.start.minutes = i;
            session.frames = 1;
            options.sessions.push_back(session);
        }
        return options;
    }

    std::string writeFixture(const std::string& name, const fixtures::DvFixtureOptions& options) {
        std::string path = m_dir.file(name);
        std::string error;
        if (fixtures::writeDvAvi(path, options, nullptr, &error) != 1) qWarning("%s", error.c_str());
        return path;
    }

    static scene::SceneList sceneOf(const std::string& path, int start, int stop) {
        scene::SceneList list;
        list.AddNewScene();
        list.setSourceFile(0, path);
        list.setStopFrame(0, stop);
        list.setStartFrame(0, start);
        return list;
    }

    // Waits for the picture of `frame` to be painted since the last call and
    // checks that it is that frame.
    static bool showsFrame(PreviewPanel& panel, QList<int>& shown, const std::string& path, int frame) {
        bool painted = QTest::qWaitFor([&] { return shown.contains(frame); });
        shown.clear();  // the next move waits for its own paint
        if (!painted) return false;
        if (panel.currentFrame() != frame || panel.picture().isNull()) return false;
        return panel.picture() == test::grabbedFrame(path, frame, panel.picture().size());
    }

    static void watchShown(PreviewPanel& panel, QList<int>& shown) {
        QObject::connect(&panel, &PreviewPanel::frameShown, [&shown](int frame) { shown.append(frame); });
    }

    test::TempDir m_dir;

private slots:
    void initTestCase() { app::useGermanStrings(); }

    void arrowAndPageKeysShowTheExactFrameAndItsSliderLine() {
        std::string path = writeFixture("frames.avi", distinctFrames(40));
        scene::SceneList list = sceneOf(path, 5, 34);
        app::SilentUserInterface ui;
        PreviewPanel panel(ui, {});
        QList<int> shown;
        watchShown(panel, shown);
        panel.resize(420, 520);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        panel.setSliderJump(10);
        panel.showScene(list, 0);
        QVERIFY(showsFrame(panel, shown, path, 5));
        QCOMPARE(panel.sliderLine(), QStringLiteral("Bild 1 von 30 (Bild 6 in Quelldatei)"));
        QCOMPARE(panel.slider()->minimum(), 5);
        QCOMPARE(panel.slider()->maximum(), 34);

        panel.slider()->setFocus();
        QTest::keyClick(panel.slider(), Qt::Key_Right);
        QVERIFY(showsFrame(panel, shown, path, 6));
        QVERIFY(panel.picture() != test::grabbedFrame(path, 5, panel.picture().size()));
        QTest::keyClick(panel.slider(), Qt::Key_PageDown);
        QVERIFY(showsFrame(panel, shown, path, 16));
        QCOMPARE(panel.sliderLine(), QStringLiteral("Bild 12 von 30 (Bild 17 in Quelldatei)"));
        QTest::keyClick(panel.slider(), Qt::Key_PageUp);
        QVERIFY(showsFrame(panel, shown, path, 6));

        panel.stepFrames(1);
        QVERIFY(showsFrame(panel, shown, path, 16));
        for (int i = 0; i < 3; ++i) panel.stepFrames(1);  // piles up; clamped at the stop
        QVERIFY(showsFrame(panel, shown, path, 34));
        QCOMPARE(panel.sliderLine(), QStringLiteral("Bild 30 von 30 (Bild 35 in Quelldatei)"));
    }

    void aClearedSelectionEmptiesThePanelAndTheSameSourceStaysOpen() {
        std::string path = writeFixture("open.avi", distinctFrames(12));
        scene::SceneList list = sceneOf(path, 0, 11);
        list.setComment(0, "Strand");
        app::SilentUserInterface ui;
        PreviewPanel panel(ui, {});
        QList<int> shown;
        watchShown(panel, shown);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        panel.showScene(list, 0);
        QVERIFY(showsFrame(panel, shown, path, 0));
        QVERIFY(panel.infoText().startsWith(QStringLiteral("Video:\t\t")));
        QVERIFY(panel.infoText().endsWith(QStringLiteral("\n\nKommentar:\nStrand")));

        panel.clearScene();
        QVERIFY(panel.picture().isNull());
        QVERIFY(panel.sliderLine().isEmpty());
        QVERIFY(panel.infoText().isEmpty());
        QVERIFY(!panel.slider()->isEnabled());
        QCOMPARE(panel.currentFrame(), -1);

        // The open source still serves the next scene of the same file.
        std::filesystem::remove(path);
        scene::SceneList next = sceneOf(path, 7, 11);
        panel.showScene(next, 0);
        QVERIFY(QTest::qWaitFor([&] { return shown.contains(7); }));
        QVERIFY(!panel.picture().isNull());
        QVERIFY(panel.slider()->isEnabled());

        panel.setInfoVisible(false);
        QVERIFY(panel.findChild<QPlainTextEdit*>()->isHidden());
    }

    void aMissingSourceSaysSoOnceAndLeavesThePanelEmpty() {
        QWidget window;
        QtUserInterface ui(&window);
        PreviewPanel panel(ui, {}, &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        test::MessageBoxWatcher boxes;
        scene::SceneList list = sceneOf(m_dir.file("gone.avi"), 0, 49);
        panel.showScene(list, 0);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.seen()[0].text, QStringLiteral("Fehler in InitVideoScrubbing()!\nCode: -2"));
        QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
        QTest::keyClick(panel.slider(), Qt::Key_Right);
        panel.stepFrames(1);
        QTest::qWait(50);
        QCOMPARE(boxes.count(), 1);
        QVERIFY(panel.picture().isNull());
        QVERIFY(!panel.slider()->isEnabled());
        QVERIFY(panel.sliderLine().isEmpty());
    }

    void aDamagedFileSaysSoOncePerSelectionAndGoodFramesStillShow() {
        fixtures::DvFixtureOptions options = distinctFrames(30);
        options.truncateInsideFrame = 20;
        std::string path = writeFixture("cut.avi", options);
        scene::SceneList list = sceneOf(path, 0, 29);  // as listed before the file was cut
        QWidget window;
        QtUserInterface ui(&window);
        PreviewPanel panel(ui, {}, &window);
        window.resize(400, 500);
        QList<int> shown;
        watchShown(panel, shown);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        test::MessageBoxWatcher boxes;
        panel.showScene(list, 0);
        QVERIFY(showsFrame(panel, shown, path, 0));

        panel.slider()->setFocus();
        QTest::keyClick(panel.slider(), Qt::Key_End);
        QVERIFY(QTest::qWaitFor([&] { return boxes.count() == 1; }));
        QVERIFY(boxes.seen()[0].text.startsWith(QStringLiteral("Fehler in DrawVideoScrubbingFrame()!\nFile: ") +
                                                QString::fromStdString(path) + QStringLiteral("\nCode: -")));
        QVERIFY(panel.picture().isNull());
        QTest::keyClick(panel.slider(), Qt::Key_Left);
        QTest::keyClick(panel.slider(), Qt::Key_Left);
        QTest::qWait(50);
        QCOMPARE(boxes.count(), 1);

        QTest::keyClick(panel.slider(), Qt::Key_Home);
        QVERIFY(showsFrame(panel, shown, path, 0));

        panel.showScene(list, 0);  // a new selection may say it again
        QTest::keyClick(panel.slider(), Qt::Key_End);
        QVERIFY(QTest::qWaitFor([&] { return boxes.count() == 2; }));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::PreviewPanelTest)
#include "preview_panel_test.moc"
