// The dialogs' video area: the letterbox rule at and beyond its tolerance,
// the picture painted is the frame asked for at the letterbox size, a burst
// of requests paints only the newest, -99 leaves only grey, a frame outside
// the file says so, and a resize letterboxes and fetches again.
#include <QtTest>

#include "app/string_table.h"
#include "gui/frame_display.h"
#include "gui/letterbox.h"
#include "media/media_info.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class FrameDisplayTest : public QObject {
    Q_OBJECT

    static constexpr FrameDisplayCodes kCodes{"KLM-MC-1003", "KLM-MC-1004", true};

    test::TempDir m_dir;

    // Waits for the paint of `frame` and checks it shows that frame's picture.
    static bool paints(FrameDisplay& display, QList<int>& painted, const std::string& path, int frame) {
        bool seen = QTest::qWaitFor([&] { return painted.contains(frame); });
        painted.clear();
        if (!seen || display.frameShown() != frame) return false;
        QRect box = display.letterboxRect();
        return display.picture().size() == box.size() &&
               display.picture() == test::grabbedFrame(path, frame, box.size());
    }

    static void watch(FrameDisplay& display, QList<int>& painted) {
        QObject::connect(&display, &FrameDisplay::framePainted, [&painted](int frame) { painted.append(frame); });
    }

private slots:
    void initTestCase() { app::useGermanStrings(); }

    void theWholeAreaServesWithinTheToleranceAndTheLongSideIsCutBeyondIt() {
        // The shortened side is rounded: 400 / 1.3333334 is 299.99998.
        // 4:3 = 1.3333334: 400x300 exact, 406x300 (1.3533) within, 407x300 (1.3567) beyond.
        QCOMPARE(letterboxFor(400, 300, false), (Letterbox{0, 0, 400, 300}));
        QCOMPARE(letterboxFor(406, 300, false), (Letterbox{0, 0, 406, 300}));
        QCOMPARE(letterboxFor(407, 300, false), (Letterbox{3, 0, 400, 300}));
        QCOMPARE(letterboxFor(400, 304, false), (Letterbox{0, 0, 400, 304}));  // 1.3158: within
        QCOMPARE(letterboxFor(400, 305, false), (Letterbox{0, 2, 400, 300}));  // 1.3115: beyond
        QCOMPARE(letterboxFor(400, 400, false), (Letterbox{0, 50, 400, 300}));
        // 16:9 = 1.7777778: 640x360 exact, 640x356 (1.7978) within, 640x355 (1.8028) beyond.
        QCOMPARE(letterboxFor(640, 356, true), (Letterbox{0, 0, 640, 356}));
        QCOMPARE(letterboxFor(640, 355, true), (Letterbox{4, 0, 631, 355}));
        QCOMPARE(letterboxFor(640, 480, true), (Letterbox{0, 60, 640, 360}));
        QCOMPARE(letterboxFor(0, 480, true), Letterbox{});
    }

    void thePicturePaintedIsTheFrameAskedForAndABurstPaintsOnlyTheNewest() {
        std::string path = test::writeFixture(m_dir.file("frames.avi"), test::distinctFrames(12));
        test::ScriptedUserInterface ui;
        FrameDisplay display(ui, {}, kCodes);
        QList<int> painted;
        watch(display, painted);
        display.resize(480, 300);
        display.show();
        QVERIFY(QTest::qWaitForWindowExposed(&display));
        QCOMPARE(display.open(path), 1);
        QVERIFY(display.isOpen());
        QCOMPARE(display.openPath(), path);
        QCOMPARE(display.info()->frameCount, 12);
        QCOMPARE(display.letterboxRect(), QRect(40, 0, 400, 300));

        QCOMPARE(display.showFrame(3), 1);
        QVERIFY(paints(display, painted, path, 3));
        QVERIFY(display.picture() != test::grabbedFrame(path, 4, display.letterboxRect().size()));

        for (int frame = 4; frame <= 9; ++frame) display.requestFrame(frame);
        QVERIFY(paints(display, painted, path, 9));
        QTest::qWait(20);
        QVERIFY(painted.isEmpty());  // 4..8 were never fetched
        QCOMPARE(display.grab().toImage().pixelColor(10, 150), QColor(152, 148, 140));

        QCOMPARE(display.showFrame(kClearFrame), 1);
        QVERIFY(display.picture().isNull());
        QCOMPARE(display.frameShown(), -1);
        QCOMPARE(display.grab().toImage().pixelColor(240, 150), QColor(152, 148, 140));
        QVERIFY(ui.messages().empty());
    }

    void aFrameOutsideTheFileIsRefusedWithItsNumbers() {
        std::string path = test::writeFixture(m_dir.file("short.avi"), test::distinctFrames(5));
        test::ScriptedUserInterface ui;
        FrameDisplay display(ui, {}, kCodes);
        display.resize(320, 240);
        QCOMPARE(display.open(path), 1);
        QVERIFY(display.showFrame(5) < 0);
        QVERIFY(display.showFrame(-1) < 0);
        QCOMPARE(ui.messages().size(), size_t{2});
        QCOMPARE(ui.messages()[0].text, std::string("Ungültige Bildnummer!\nCode 1: 0->4\nCode 2: 5"));
        QCOMPARE(ui.messages()[1].text, std::string("Ungültige Bildnummer!\nCode 1: 0->4\nCode 2: -1"));
        QCOMPARE(display.frameShown(), -1);
    }

    void aWideFileIsLetterboxedTo16To9AndAResizeFetchesAtTheNewSize() {
        std::string path = test::writeFixture(m_dir.file("wide.avi"), test::distinctFrames(6, true));
        test::ScriptedUserInterface ui;
        FrameDisplay display(ui, {}, kCodes);
        QList<int> painted;
        watch(display, painted);
        display.resize(400, 300);
        display.show();
        QVERIFY(QTest::qWaitForWindowExposed(&display));
        QCOMPARE(display.open(path), 1);
        QCOMPARE(display.letterboxRect(), QRect(0, 37, 400, 225));
        QCOMPARE(display.showFrame(2), 1);
        QVERIFY(paints(display, painted, path, 2));

        display.resize(640, 360);
        QCOMPARE(display.letterboxRect(), QRect(0, 0, 640, 360));
        QVERIFY(paints(display, painted, path, 2));
    }

    void aFileThatCannotBeOpenedLeavesTheDisplayClosedAndSaysWhy() {
        test::ScriptedUserInterface ui;
        FrameDisplay display(ui, {}, kCodes);
        display.resize(320, 240);
        std::string missing = m_dir.file("missing.avi");
        QCOMPARE(display.open(missing), -2);
        QVERIFY(!display.isOpen());
        QVERIFY(display.info() == nullptr);
        QVERIFY(display.showFrame(0) < 0);
        display.reportOpenFailure(-2, missing);
        QCOMPARE(ui.messages().size(), size_t{1});
        QCOMPARE(ui.messages()[0].text, "Fehler beim Öffnen der Datei!\nFile: " + missing + "\nCode: -2");
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::FrameDisplayTest)
#include "frame_display_test.moc"
