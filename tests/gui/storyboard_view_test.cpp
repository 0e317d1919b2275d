// The storyboard on its own: the stripe arithmetic, the pictures painted at
// the "StripeType" frames, the drag threshold, the scrub popup's frame and a
// missing source reported once while the other stripes paint.
#include <QPushButton>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>

#include "gui/scrub_popup.h"
#include "gui/storyboard_view.h"
#include "gui/stripe_layout.h"
#include "gui/thumbnail_loader.h"
#include "gui/qt_user_interface.h"
#include "scene/scene_list.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class StoryboardViewTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::string m_file;

    static void addScene(scene::SceneList& list, const std::string& path, int32_t start, int32_t stop) {
        int row = list.AddNewScene();
        list.setSourceFile(row, path);
        list.setStopFrame(row, stop);
        list.setStartFrame(row, start);
    }

    static bool showsFrames(StoryboardView& view, int row, const std::string& path) {
        QImage shot = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const std::vector<int32_t> frames = view.pictureFrames(row);
        for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
            QRect box = view.pictureRect(row, i);
            if (box.isEmpty() || shot.copy(box) != test::grabbedFrame(path, frames[static_cast<size_t>(i)], box.size()))
                return false;
        }
        return true;
    }

    // Shown, and laid out for its real size (the layout waits for the resizes to end).
    static bool settle(StoryboardView& view) {
        view.show();
        return QTest::qWaitForWindowExposed(&view) &&
               QTest::qWaitFor([&] { return view.geometry().stripeWidth == view.viewport()->width(); });
    }

    static void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons,
                          Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, pos, target->mapToGlobal(pos),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, modifiers);
        QApplication::sendEvent(target, &event);
    }

private slots:
    void initTestCase() { m_file = test::writeFixture(m_dir.file("frames.avi"), test::distinctFrames(100)); }

    void theStripeArithmeticPlacesFramesWidthsAndRows() {
        QCOMPARE(stripePictureFrames(0, 99, 4, StripeType::Ends), (std::vector<int32_t>{0, 33, 66, 99}));
        QCOMPARE(stripePictureFrames(0, 99, 4, StripeType::Even), (std::vector<int32_t>{0, 25, 50, 75}));
        QCOMPARE(stripePictureFrames(0, 99, 4, StripeType::Centred), (std::vector<int32_t>{12, 37, 62, 87}));
        QCOMPARE(stripePictureFrames(10, 11, 4, StripeType::Ends), (std::vector<int32_t>{10, 10, 10, 10}));  // step 2 / 3 = 0
        QCOMPARE(stripePictureFrames(5, 5, 1, StripeType::Ends), std::vector<int32_t>{5});
        QCOMPARE(stripeTypeFromSetting(7), StripeType::Centred);
        // 1000 wide, 300 per stripe: three in a row; pictures (298 - 6) / 3 = 97 wide.
        StripeGeometry g = stripeGeometry(300, 1000, 3, false);
        QCOMPARE(g.stripesPerRow, 3);
        QCOMPARE(g.stripeHeight, 75);  // trunc(72.75 + 0.9) + 2
        QCOMPARE(stripeGeometry(0, 1000, 3, true).stripeWidth, 1000);
        QCOMPARE(stripeGeometry(1200, 1000, 3, true).stripesPerRow, 1);
        QCOMPARE(stripePictureWidth(5, 4), 0);
    }

    void theScrubFrameFollowsThePointerAndStaysInTheScene() {
        QCOMPARE(scrubFrameAt(0, 102, 0, 99), 0);
        QCOMPARE(scrubFrameAt(50, 102, 0, 99), 50);
        QCOMPARE(scrubFrameAt(500, 102, 0, 99), 99);
        // More frames than pixels: no step of 0, several frames per pixel.
        QCOMPARE(scrubFrameAt(10, 102, 1000, 100999), 1000 + 10 * 1000);
        QCOMPARE(scrubFrameAt(5, 2, 7, 20), 7);
    }

    void everyStripeTypePaintsItsFramesAsTheLoaderDeliversThem() {
        ThumbnailLoader loader(2);
        app::SilentUserInterface quiet;
        StoryboardView view(loader, quiet);
        scene::SceneList list;
        addScene(list, m_file, 0, 99);
        view.resize(600, 300);
        view.setPictureCount(4);
        view.setList(&list);
        QVERIFY(settle(view));
        const std::vector<std::vector<int32_t>> expected{{0, 33, 66, 99}, {0, 25, 50, 75}, {12, 37, 62, 87}};
        for (int type = 0; type < 3; ++type) {
            view.setStripeType(StripeType(type));
            QCOMPARE(view.pictureFrames(0), expected[static_cast<size_t>(type)]);
            QVERIFY2(QTest::qWaitFor([&] { return showsFrames(view, 0, m_file); }), qPrintable(QString::number(type)));
        }
        // The stripe's own grey around the letterboxed pictures, inside its margin.
        QImage shot = view.viewport()->grab().toImage();
        const QRect stripe = view.stripeRect(0);
        QCOMPARE(shot.pixelColor(stripe.left() + 3, stripe.top() + 3), QColor(152, 148, 140));
    }

    void aMoveOfFourPixelsIsAClickAndFiveStartADrag() {
        ThumbnailLoader loader(1);
        app::SilentUserInterface quiet;
        StoryboardView view(loader, quiet);
        scene::SceneList list;
        for (int i = 0; i < 3; ++i) addScene(list, m_file, i * 10, i * 10 + 9);
        view.resize(400, 400);
        view.setList(&list);
        QVERIFY(settle(view));
        QSignalSpy drops(&view, &StoryboardView::dropRequested);
        QSignalSpy marks(&view, &StoryboardView::marksChanged);
        QWidget* port = view.viewport();
        const QPoint start = view.stripeRect(2).center();
        sendMouse(port, QEvent::MouseButtonPress, start, Qt::LeftButton);
        sendMouse(port, QEvent::MouseMove, start + QPoint(4, -4), Qt::LeftButton);
        QVERIFY(!view.dragging());
        sendMouse(port, QEvent::MouseButtonRelease, start + QPoint(4, -4), Qt::NoButton);
        QCOMPARE(view.markedRows(), std::vector<int>{2});  // a click
        QCOMPARE(drops.count(), 0);

        sendMouse(port, QEvent::MouseButtonPress, start, Qt::LeftButton);
        sendMouse(port, QEvent::MouseMove, start + QPoint(0, -5), Qt::LeftButton);
        QVERIFY(view.dragging());
        QVERIFY(view.dragPicture() && view.dragPicture()->isVisible());
        const QPoint over = view.stripeRect(0).center();
        sendMouse(port, QEvent::MouseMove, over, Qt::LeftButton);
        QCOMPARE(view.dragPicture()->pos(), port->mapToGlobal(over + QPoint(20, 50)));
        sendMouse(port, QEvent::MouseButtonRelease, over, Qt::NoButton);
        QVERIFY(!view.dragging());
        QCOMPARE(drops.count(), 1);
        QCOMPARE(drops[0][0].value<std::vector<int>>(), std::vector<int>{2});
        QCOMPARE(drops[0][1].toInt(), 0);

        // One marked stripe dropped on itself asks for nothing.
        sendMouse(port, QEvent::MouseButtonPress, start, Qt::LeftButton);
        sendMouse(port, QEvent::MouseMove, start + QPoint(6, 0), Qt::LeftButton);
        sendMouse(port, QEvent::MouseButtonRelease, start + QPoint(6, 0), Qt::NoButton);
        QCOMPARE(drops.count(), 1);
    }

    void theViewScrollsByLinesAndPagesAndNearTheEdgesWhileDragging() {
        ThumbnailLoader loader(1);
        app::SilentUserInterface quiet;
        StoryboardView view(loader, quiet);
        scene::SceneList list;
        for (int i = 0; i < 30; ++i) addScene(list, m_file, i, i + 2);
        view.resize(300, 300);
        view.setList(&list);
        QVERIFY(settle(view));
        QScrollBar* bar = view.verticalScrollBar();
        QCOMPARE(bar->singleStep(), 50);
        QCOMPARE(bar->pageStep(), view.viewport()->height());
        QCOMPARE(bar->maximum(), 30 * view.stripeRect(0).height() - view.viewport()->height());
        // The caption of a stripe is its tooltip.
        QHelpEvent help(QEvent::ToolTip, view.stripeRect(1).center(), view.viewport()->mapToGlobal(view.stripeRect(1).center()));
        QApplication::sendEvent(view.viewport(), &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("frames.avi / 1 / 3"));

        QWidget* port = view.viewport();
        const QPoint start = view.stripeRect(1).center();
        sendMouse(port, QEvent::MouseButtonPress, start, Qt::LeftButton);
        sendMouse(port, QEvent::MouseMove, QPoint(start.x(), port->height() - 30), Qt::LeftButton);
        QCOMPARE(bar->value(), 0);  // 30 pixels from the edge: no scroll
        sendMouse(port, QEvent::MouseMove, QPoint(start.x(), port->height() - 10), Qt::LeftButton);
        QCOMPARE(bar->value(), 50);
        sendMouse(port, QEvent::MouseMove, QPoint(start.x(), port->height() - 5), Qt::LeftButton);
        QCOMPARE(bar->value(), 100);
        sendMouse(port, QEvent::MouseMove, QPoint(start.x(), 5), Qt::LeftButton);
        sendMouse(port, QEvent::MouseMove, QPoint(start.x(), 5), Qt::LeftButton);
        sendMouse(port, QEvent::MouseMove, QPoint(start.x(), 5), Qt::LeftButton);
        QCOMPARE(bar->value(), 0);  // not above the top
        sendMouse(port, QEvent::MouseButtonRelease, QPoint(-50, 5), Qt::NoButton);  // off the stripes: nothing
        QVERIFY(!view.dragging());

        // At the end, then the list shrinks: the position comes back into range.
        bar->setValue(bar->maximum());
        list.removeRecords(3, 27);
        view.rebuild();
        QCOMPARE(bar->maximum(), 0);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(view.stripeRect(0).top(), 0);
    }

    void ctrlAndTheLeftButtonScrubInAPopupThatClosesOnRelease() {
        ThumbnailLoader loader(1);
        app::SilentUserInterface quiet;
        StoryboardView view(loader, quiet);
        scene::SceneList list;
        addScene(list, m_file, 0, 99);
        view.resize(400, 300);
        view.setList(&list);
        QVERIFY(settle(view));
        QWidget* port = view.viewport();
        const QRect stripe = view.stripeRect(0);
        const QPoint at(stripe.left() + stripe.width() / 2, stripe.center().y());
        sendMouse(port, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::ControlModifier);
        sendMouse(port, QEvent::MouseMove, at + QPoint(1, 0), Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(view.scrubPopup()->isVisible());
        QCOMPARE(view.scrubPopup()->frame(), scrubFrameAt(at.x() + 1 - stripe.left(), stripe.width(), 0, 99));
        QVERIFY(!view.dragging());
        QTRY_VERIFY(!view.scrubPopup()->picture().isNull());
        sendMouse(port, QEvent::MouseButtonRelease, at, Qt::NoButton, Qt::ControlModifier);
        QVERIFY(!view.scrubPopup()->isVisible());
        QVERIFY(view.markedRows().empty());  // a scrub is no Ctrl+click
    }

    void aMissingSourceIsReportedOnceAndTheOtherStripesPaint() {
        ThumbnailLoader loader(2);
        QWidget owner;
        QtUserInterface ui(&owner);
        StoryboardView view(loader, ui);
        scene::SceneList list;
        const std::string gone = m_dir.file("gone.avi");
        addScene(list, gone, 0, 99);
        addScene(list, m_file, 0, 99);
        addScene(list, gone, 100, 199);
        view.resize(500, 500);
        view.setPictureCount(3);
        view.setList(&list);
        test::MessageBoxWatcher ok;
        QVERIFY(settle(view));
        QVERIFY(QTest::qWaitFor([&] { return showsFrames(view, 1, m_file); }));
        QTest::qWait(200);
        view.rebuild();
        view.viewport()->repaint();
        QTest::qWait(100);
        QCOMPARE(ok.count(), 1);
        QVERIFY(ok.seen()[0].text.contains(QString::fromStdString(gone)));
        QVERIFY(ok.seen()[0].text.startsWith(QStringLiteral("Fehler beim Öffnen der Datei!\nFile: ")));
        QImage shot = view.viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(view.pictureRect(0, 1).center()), QColor(152, 148, 140));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::StoryboardViewTest)
#include "storyboard_view_test.moc"
