// The dialog player as the trim and manual cut dialogs use it: a range plays
// exactly its frames on top of the dialog's video area, each picture the
// frame the media layer grabs for that number; a stop from the dialog ends
// the play at once; a reversed range does nothing; a missing file, a range
// outside the file and a file damaged part-way say so and end the play.
#include <QPushButton>
#include <QtTest>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/string_table.h"
#include "gui/area_player.h"
#include "gui/picture_view.h"
#include "gui/playback.h"
#include "gui/qt_user_interface.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/media/media_test_support.h"
#include "tests/support/temp_dir.h"

#include <QAudioDevice>
#include <QMediaDevices>

namespace klemora::gui {

class AreaPlayerTest : public QObject {
    Q_OBJECT

private:
    std::string writeFixture(const std::string& name, const fixtures::DvFixtureOptions& options) {
        return test::writeFixture(m_dir.file(name), options);
    }

    // A dialog with a 320 x 240 video area and the picture rectangle inside it.
    struct Dialog {
        QWidget window;
        QWidget* area = new QWidget(&window);
        QPushButton* stopButton = new QPushButton(QStringLiteral("Stop"), &window);
        Dialog() {
            window.resize(400, 320);
            area->setGeometry(10, 10, 320, 240);
            stopButton->setGeometry(340, 10, 50, 30);
            window.show();
        }
    };

    AreaPlayRequest request(Dialog& dialog, const std::string& path, int from, int to) {
        return {path, from, to, dialog.area, QRect(20, 30, 160, 120)};
    }

    struct Painted {
        QList<int> frames;
        QList<QImage> pictures;
    };
    // What the area shows when the player reports a frame.
    static std::function<void(int32_t)> recordInto(Painted& painted, QWidget* area) {
        return [&painted, area](int32_t frame) {
            painted.frames.append(frame);
            auto* view = area->findChild<PictureView*>();
            painted.pictures.append(view ? view->picture() : QImage());
        };
    }

    test::TempDir m_dir;

private slots:
    void initTestCase() { app::useGermanStrings(); }

    void aRangeShowsExactlyItsFramesEachOnce() {
        std::string path = writeFixture("distinct.avi", test::distinctFrames(30));
        Dialog dialog;
        QVERIFY(QTest::qWaitForWindowExposed(&dialog.window));
        QtUserInterface ui(&dialog.window);
        test::MessageBoxWatcher boxes;
        auto player = makeAreaPlayer(ui, {});
        Painted painted;
        QCOMPARE(player->play(request(dialog, path, 5, 16), recordInto(painted, dialog.area)), 1);
        QList<int> expected;
        for (int frame = 5; frame <= 16; ++frame) expected.append(frame);
        QCOMPARE(painted.frames, expected);
        for (int i = 0; i < painted.frames.size(); ++i)
            QVERIFY2(painted.pictures[i] == test::grabbedFrame(path, painted.frames[i], {160, 120}),
                     qPrintable(QStringLiteral("frame %1").arg(painted.frames[i])));
        QCOMPARE(boxes.count(), 0);
        QVERIFY(!player->isPlaying());
        QVERIFY(!dialog.area->findChild<PictureView*>());  // the dialog's own picture shows again
    }

    void aReversedRangeDoesNothing() {
        Dialog dialog;
        QtUserInterface ui(&dialog.window);
        test::MessageBoxWatcher boxes;
        auto player = makeAreaPlayer(ui, {});
        Painted painted;
        QCOMPARE(player->play(request(dialog, m_dir.file("never-opened.avi"), 100, 99),
                              recordInto(painted, dialog.area)),
                 -14);
        QTest::qWait(20);
        QVERIFY(painted.frames.isEmpty());
        QCOMPARE(boxes.count(), 0);
    }

    void aStopFromTheDialogEndsThePlayWithOne() {
        std::string path = writeFixture("long.avi", fixtures::singleSessionOptions(250));
        Dialog dialog;
        QtUserInterface ui(&dialog.window);
        auto player = makeAreaPlayer(ui, {});
        QObject::connect(dialog.stopButton, &QPushButton::clicked, [&] { player->stop(); });
        QList<int> frames;
        auto onFrame = [&](int32_t frame) {
            frames.append(frame);
            QVERIFY(player->isPlaying());
            if (frames.size() == 3)
                QTimer::singleShot(0, dialog.stopButton, [&] { QTest::mouseClick(dialog.stopButton, Qt::LeftButton); });
        };
        QCOMPARE(player->play(request(dialog, path, 0, 249), onFrame), 1);
        QVERIFY(!player->isPlaying());
        QVERIFY2(frames.size() < 10, qPrintable(QString::number(frames.size())));
        QVERIFY(!dialog.area->findChild<PictureView*>());
    }

    void aMissingFileOrARangeOutsideItSaysSo() {
        std::string path = writeFixture("short.avi", fixtures::singleSessionOptions(30));
        Dialog dialog;
        QtUserInterface ui(&dialog.window);
        test::MessageBoxWatcher boxes;
        auto player = makeAreaPlayer(ui, {});
        Painted painted;
        QCOMPARE(player->play(request(dialog, m_dir.file("gone.avi"), 0, 10), recordInto(painted, dialog.area)), -6);
        QCOMPARE(player->play(request(dialog, path, 40, 50), recordInto(painted, dialog.area)), -16);
        QVERIFY(QTest::qWaitFor([&] { return boxes.count() == 2; }));
        QVERIFY(boxes.seen()[0].text.startsWith(QStringLiteral("Fehler in StartDXVideoPlay()!\nCode1: -6\nCode2: 0->10\nCode3: 0x")));
        QVERIFY(boxes.seen()[1].text.startsWith(QStringLiteral("Fehler in StartDXVideoPlay()!\nCode1: -16\nCode2: 40->50\nCode3: 0x")));
        QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
        QVERIFY(painted.frames.isEmpty());
    }

    // The source loses its tail while it plays (a drive pulled, a share gone):
    // the frames still there play, the first one gone ends the play with a message.
    void aSourceCutWhilePlayingEndsThePlayWithAMessage() {
        std::string path = m_dir.file("cut.avi");
        fixtures::DvFixtureInfo written;
        std::string error;
        QCOMPARE(fixtures::writeDvAvi(path, test::distinctFrames(30), &written, &error), 1);
        const int64_t cut = written.frameDataOffsets[22] + written.frameSize / 2;
        Dialog dialog;
        QtUserInterface ui(&dialog.window);
        test::MessageBoxWatcher boxes;
        auto player = makeAreaPlayer(ui, {});
        QList<int> frames;
        auto onFrame = [&](int32_t frame) {
            if (frames.isEmpty()) std::filesystem::resize_file(path, static_cast<uintmax_t>(cut));
            frames.append(frame);
        };
        QCOMPARE(player->play(request(dialog, path, 2, 29), onFrame), -21);
        QVERIFY(QTest::qWaitFor([&] { return boxes.count() == 1; }));
        QVERIFY(boxes.seen()[0].text.startsWith(QStringLiteral("Fehler in StartDXVideoPlay()!\nCode1: -21\nCode2: 2->29\nCode3: 0x")));
        QCOMPARE(frames.first(), 2);
        QCOMPARE(frames.last(), 21);
        QVERIFY(!player->isPlaying());
        QVERIFY(!dialog.area->findChild<PictureView*>());
    }

    void aRangePastTheEndStopsAtTheLastFrame() {
        std::string path = writeFixture("ten.avi", test::distinctFrames(10));
        Dialog dialog;
        QtUserInterface ui(&dialog.window);
        auto player = makeAreaPlayer(ui, {});
        Painted painted;
        QCOMPARE(player->play(request(dialog, path, 6, 11), recordInto(painted, dialog.area)), 1);
        QCOMPARE(painted.frames, (QList<int>{6, 7, 8, 9}));
    }

    // Without a sound device the play runs on the wall clock and the sound of
    // the range is taken at its pace: exactly the samples of those frames.
    void withoutASoundDeviceTheRangesSoundIsTakenWhole() {
        if (!QMediaDevices::defaultAudioOutput().isNull()) QSKIP("a sound device is present");
        if (!test::haveTool("ffmpeg")) QSKIP("ffmpeg is not installed");
        for (int type : {1, 2}) {
            std::string path = writeFixture("sound" + std::to_string(type) + ".avi", fixtures::singleSessionOptions(20, type));
            std::string record = m_dir.file("played.raw");
            std::string expected = m_dir.file("expected.raw");
            Playback::recordNullSoundTo(record);
            Dialog dialog;
            QtUserInterface ui(&dialog.window);
            auto player = makeAreaPlayer(ui, {});
            QCOMPARE(player->play(request(dialog, path, 4, 13), {}), 1);
            Playback::recordNullSoundTo({});
            QVERIFY(test::runCommand("ffmpeg -v error -y -i '" + path + "' -map 0:a -f s16le -ac 2 '" + expected + "'"));
            std::ifstream all(expected, std::ios::binary);
            std::vector<char> samples((std::istreambuf_iterator<char>(all)), {});
            constexpr size_t kFrameBytes = 1920 * 4;  // 48 kHz stereo at 25 frames/s
            QVERIFY(samples.size() >= 14 * kFrameBytes);
            std::ifstream playedFile(record, std::ios::binary);
            std::vector<char> played((std::istreambuf_iterator<char>(playedFile)), {});
            QCOMPARE(played.size(), 10 * kFrameBytes);
            QVERIFY(std::equal(played.begin(), played.end(), samples.begin() + 4 * kFrameBytes));
        }
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::AreaPlayerTest)
#include "area_player_test.moc"
