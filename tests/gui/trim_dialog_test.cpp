// The trim dialog as a person uses it: the keys of its table, IN and OUT
// with their refusals, split, merge and delete on the working copy, the
// three play modes (1x through the player, faster by the timer), Cancel
// with and without changes, the pictures it paints and the band under the
// slider.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <filesystem>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/area_player.h"
#include "gui/frame_display.h"
#include "gui/trim_bar.h"
#include "gui/trim_dialog.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {
namespace {

// Plays by reporting every frame of the range at once; stop() ends it at the next frame.
class FakePlayer : public AreaPlayer {
public:
    int play(const AreaPlayRequest& request, const std::function<void(int32_t)>& onFrame) override {
        requests.push_back(request);
        m_playing = true;
        m_stop = false;
        for (int32_t frame = request.from; frame <= request.to && !m_stop; ++frame) {
            onFrame(frame);
            if (afterFrame) afterFrame(frame);
        }
        m_playing = false;
        return 1;
    }
    void stop() override { m_stop = true; }
    bool isPlaying() const override { return m_playing; }

    std::vector<AreaPlayRequest> requests;
    std::function<void(int32_t)> afterFrame;

private:
    bool m_playing = false;
    bool m_stop = false;
};

void addScene(scene::SceneList& list, const std::string& path, int32_t lower, int32_t start, int32_t stop,
              int32_t upper) {
    int i = list.AddNewScene();
    list.setSourceFile(i, path);
    list.setDefinedStart(i, lower);
    list.setStartFrame(i, start);
    list.setStopFrame(i, stop);
    list.setDefinedStop(i, upper);
    list.setModified(false);
}

}  // namespace

class TrimDialogTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::string m_a, m_b;
    std::unique_ptr<app::SettingsStore> m_store;
    test::ScriptedUserInterface* m_ui = nullptr;
    FakePlayer* m_player = nullptr;
    std::unique_ptr<test::ScriptedUserInterface> m_ownedUi;

    // Two scenes of a.avi (40 frames) and one of b.avi (20 frames).
    scene::SceneList group() const {
        scene::SceneList list;
        addScene(list, m_a, 0, 2, 17, 19);
        addScene(list, m_a, 20, 22, 37, 39);
        addScene(list, m_b, 0, 0, 19, 19);
        return list;
    }

    std::unique_ptr<TrimDialog> open(const scene::SceneList& list, int current,
                                     TrimDialog::Mode mode = TrimDialog::Mode::WholeGroup) {
        m_ownedUi = std::make_unique<test::ScriptedUserInterface>();
        m_ui = m_ownedUi.get();
        auto player = std::make_unique<FakePlayer>();
        m_player = player.get();
        auto dialog = std::make_unique<TrimDialog>(*m_ui, *m_store, media::MediaSettings{}, std::move(player), list,
                                                   current, mode);
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get())) qWarning("dialog not exposed");
        return dialog;
    }

    static void key(TrimDialog& dialog, Qt::Key code, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
        QTest::keyClick(target, code, mods);
    }

    static bool paintsFrame(FrameDisplay* display, const std::string& path, int32_t frame) {
        if (!QTest::qWaitFor([&] { return display->frameShown() == frame; })) return false;
        QRect box = display->letterboxRect();
        return display->picture() == test::grabbedFrame(path, frame, box.size());
    }

private slots:
    void initTestCase() {
        app::useGermanStrings();
        m_a = test::writeFixture(m_dir.file("a.avi"), test::distinctFrames(40));
        m_b = test::writeFixture(m_dir.file("b.avi"), test::distinctFrames(20));
    }

    void init() {
        std::filesystem::remove(m_dir.file("Klemora.ini"));
        test::writeTextFile(m_dir.file("Klemora.ini"), "[Data]\n");
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
    }

    void inAndOutRefuseToCrossAndOneSceneHidesTheNeighbourControls() {
        scene::SceneList one;
        addScene(one, m_a, 0, 5, 20, 39);
        auto dialog = open(one, -1, TrimDialog::Mode::SingleScene);
        QCOMPARE(dialog->slider()->minimum(), 0);
        QCOMPARE(dialog->slider()->maximum(), 39);
        QCOMPARE(dialog->slider()->value(), 5);
        // Bild-ab forward, Bild-auf back by "SliderJump" frames, as in the other frame sliders.
        QTest::keyClick(dialog->slider(), Qt::Key_PageDown);
        QCOMPARE(dialog->slider()->value(), 30);
        QTest::keyClick(dialog->slider(), Qt::Key_PageUp);
        QCOMPARE(dialog->slider()->value(), 5);
        for (QWidget* hidden : std::initializer_list<QWidget*>{dialog->splitButton(), dialog->deleteButton(),
                                                               dialog->mergeNextButton(), dialog->nextButton(),
                                                               dialog->playAllButton(), dialog->nextPreview()})
            QVERIFY(!hidden->isVisible());
        QVERIFY(dialog->inButton()->isVisible());

        dialog->slider()->setValue(20);
        key(*dialog, Qt::Key_I);  // IN at the stop frame
        QCOMPARE(m_ui->messages().back().text, app::loadString(205));
        QCOMPARE(dialog->workingList().startFrame(0), 5);
        dialog->slider()->setValue(19);
        key(*dialog, Qt::Key_I);
        QCOMPARE(dialog->workingList().startFrame(0), 19);
        QCOMPARE(dialog->sceneBox()->itemText(0), QStringLiteral("1. -> Datei: a.avi / Start: 20 / Stop: 21 / Status: --"));
        QCOMPARE(dialog->statusLine()->text(),
                 QStringLiteral("Dauer: 00:00:00:02,    Bild: 1/2,    Zeit: 00:00:00:00"));
        dialog->slider()->setValue(10);
        QTest::mouseClick(dialog->outButton(), Qt::LeftButton);
        QCOMPARE(m_ui->messages().back().text, app::loadString(206));
        QVERIFY(dialog->slider()->hasFocus());  // given back after either

        key(*dialog, Qt::Key_Delete);  // nothing to delete: no question, nothing changes
        key(*dialog, Qt::Key_S);       // no split in single-scene mode
        QCOMPARE(dialog->workingList().count(), 1);
        QCOMPARE(m_ui->messages().size(), size_t{2});
    }

    void theFramesPaintedAreTheFramesAskedForAndThePreviewsShowTheNeighbours() {
        auto dialog = open(group(), 1);
        QVERIFY(paintsFrame(dialog->video(), m_a, 22));
        QVERIFY(paintsFrame(dialog->previousPreview(), m_a, 17));  // the previous scene's stop
        QVERIFY(paintsFrame(dialog->nextPreview(), m_b, 0));       // the next one's start, from its own file
        QCOMPARE(dialog->previousDuration()->text(), QStringLiteral("00:00:00:16"));
        dialog->slider()->setValue(30);
        QVERIFY(paintsFrame(dialog->video(), m_a, 30));

        dialog->nextPreviewBox()->setChecked(false);
        QCOMPARE(dialog->nextDuration()->text(), QString(20, QLatin1Char(' ')));
        QVERIFY(dialog->nextPreview()->picture().isNull());
        QTest::mouseClick(dialog->previousPreview(), Qt::LeftButton);  // like the previous button
        QCOMPARE(dialog->currentIndex(), 0);
        QCOMPARE(dialog->slider()->value(), 17);
        QVERIFY(m_ui->messages().empty());
    }

    void cancelAfterOnlyNavigatingClosesAndAfterAChangeAsks() {
        auto dialog = open(group(), 0);
        key(*dialog, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(dialog->currentIndex(), 1);
        dialog->sceneBox()->setFocus();
        key(*dialog, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(dialog->currentIndex(), 0);
        QCOMPARE(dialog->slider()->value(), 17);  // going back lands on the stop
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QVERIFY(m_ui->questions().empty());

        dialog = open(group(), 0);
        key(*dialog, Qt::Key_F);
        QVERIFY(dialog->sceneDoneBox()->isChecked());
        QVERIFY(dialog->sceneBox()->itemText(0).endsWith(QStringLiteral("Status: Ok")));
        m_ui->expectQuestion(app::loadString(160), app::Answer::No);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        m_ui->expectQuestion(app::loadString(160), app::Answer::Yes);
        key(*dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }

    void theEditingKeysWorkOnTheWorkingCopyOnly() {
        auto dialog = open(group(), 0);
        key(*dialog, Qt::Key_O, Qt::AltModifier);
        QCOMPARE(dialog->slider()->value(), 17);
        key(*dialog, Qt::Key_I, Qt::AltModifier);
        QCOMPARE(dialog->slider()->value(), 2);
        dialog->slider()->setValue(10);
        key(*dialog, Qt::Key_S);  // split before frame 10
        QCOMPARE(dialog->workingList().count(), 4);
        QCOMPARE(dialog->currentIndex(), 1);
        QCOMPARE(dialog->slider()->minimum(), 10);
        QCOMPARE(dialog->sceneBox()->count(), 4);
        key(*dialog, Qt::Key_Y);  // and merged back
        QCOMPARE(dialog->workingList().count(), 3);
        QCOMPARE(dialog->workingList().startFrame(0), 2);
        QCOMPARE(dialog->workingList().stopFrame(0), 17);
        QCOMPARE(dialog->slider()->value(), 10);  // on the junction

        dialog->sceneBox()->setCurrentIndex(1);
        emit dialog->sceneBox()->activated(1);
        key(*dialog, Qt::Key_X);  // a.avi and b.avi: refused
        QCOMPARE(m_ui->messages().back().text, app::loadString(172));
        QCOMPARE(dialog->workingList().count(), 3);

        m_ui->expectQuestion(app::loadString(325), app::Answer::Yes);
        key(*dialog, Qt::Key_Delete);
        QCOMPARE(dialog->workingList().count(), 2);
        QCOMPARE(dialog->workingList().sourceFile(1), m_b);
        QVERIFY(dialog->deleteButton()->isVisible());
        m_ui->expectQuestion(app::loadString(325), app::Answer::Yes);
        QTest::mouseClick(dialog->deleteButton(), Qt::LeftButton);
        QCOMPARE(dialog->workingList().count(), 1);
        QVERIFY(!dialog->deleteButton()->isVisible());
        QVERIFY(!dialog->previousButton()->isVisible());
        QVERIFY(paintsFrame(dialog->video(), m_a, 2));  // the display came back to a.avi

        for (Qt::Key digit : {Qt::Key_3, Qt::Key_9, Qt::Key_1}) key(*dialog, digit);
        QCOMPARE(dialog->speedIndex(), 0);
        key(*dialog, Qt::Key_4);
        QCOMPARE(dialog->speedBox()->currentText(), QStringLiteral("4x"));
    }

    void atThreeTimesTheTimerTicksEvery30msByThreeFramesAndSpaceStopsIt() {
        auto dialog = open(group(), 0);
        key(*dialog, Qt::Key_3);
        dialog->okButton()->setFocus();  // Space must play, not press OK
        QList<int> positions;
        connect(dialog->slider(), &QSlider::valueChanged, [&](int v) { positions.append(v); });
        dialog->slider()->setValue(4);
        positions.clear();
        key(*dialog, Qt::Key_Space, Qt::ControlModifier);  // play the scene: to the defined stop 19
        QCOMPARE(dialog->playing(), TrimDialog::Play::Scene);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->playTimer().interval(), 30);
        QVERIFY(dialog->playSceneButton()->isEnabled());
        QVERIFY(!dialog->inButton()->isEnabled());
        QVERIFY(!dialog->playAllButton()->isEnabled());
        QVERIFY(!dialog->slider()->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return dialog->playing() == TrimDialog::Play::None; }));
        QCOMPARE(positions, (QList<int>{7, 10, 13, 16, 19}));
        QVERIFY(dialog->inButton()->isEnabled());

        positions.clear();
        dialog->slider()->setValue(0);
        positions.clear();
        key(*dialog, Qt::Key_Space);  // play all from the slider (before the start) to the last stop
        QCOMPARE(dialog->playing(), TrimDialog::Play::All);
        QVERIFY(QTest::qWaitFor([&] { return positions.size() >= 2; }));
        key(*dialog, Qt::Key_Space);
        QCOMPARE(dialog->playing(), TrimDialog::Play::None);
        QVERIFY(!dialog->playTimer().isActive());
        QCOMPARE(positions.mid(0, 2), (QList<int>{3, 6}));
        QCOMPARE(dialog->currentIndex(), 0);
        QCOMPARE(m_player->requests.size(), size_t{0});
    }

    void playAllAtTheTimerMovesOnWithTheToneAndEndsOnTheLastStop() {
        auto dialog = open(group(), 0);
        dialog->signalToneBox()->setChecked(true);
        key(*dialog, Qt::Key_9);  // 9 frames a tick
        dialog->slider()->setValue(17);  // at the stop: starts with the next scene
        key(*dialog, Qt::Key_Space);
        QCOMPARE(dialog->currentIndex(), 1);
        QCOMPARE(dialog->slider()->value(), 22);
        QVERIFY(QTest::qWaitFor([&] { return dialog->playing() == TrimDialog::Play::None; }));
        QCOMPARE(dialog->currentIndex(), 2);
        QCOMPARE(dialog->slider()->value(), 19);
        QCOMPARE(m_ui->beeps(), 1);
        QVERIFY(paintsFrame(dialog->video(), m_b, 19));
        QVERIFY(m_ui->messages().empty());
    }

    void atRealSpeedThePlayerPlaysAndTheSliderFollowsWithoutAFetch() {
        auto dialog = open(group(), 0);
        dialog->signalToneBox()->setChecked(true);
        QList<int> shownWhilePlaying;
        m_player->afterFrame = [&](int32_t) {
            QCoreApplication::processEvents();
            shownWhilePlaying.append(dialog->video()->frameShown());
        };
        dialog->slider()->setValue(15);
        QVERIFY(paintsFrame(dialog->video(), m_a, 15));
        key(*dialog, Qt::Key_Space);  // play all: 15..17, then 22..37, then b.avi 0..19
        QCOMPARE(dialog->playing(), TrimDialog::Play::None);
        QCOMPARE(m_player->requests.size(), size_t{3});
        QCOMPARE(m_player->requests[0].from, 15);
        QCOMPARE(m_player->requests[0].to, 17);
        QCOMPARE(m_player->requests[1].from, 22);
        QCOMPARE(m_player->requests[2].path, m_b);
        QCOMPARE(m_player->requests[2].to, 19);
        QCOMPARE(m_player->requests[0].area, dialog->video());
        QCOMPARE(m_player->requests[0].pictureRect, dialog->video()->letterboxRect());
        QCOMPARE(m_ui->beeps(), 2);
        QCOMPARE(dialog->currentIndex(), 2);
        QCOMPARE(dialog->slider()->value(), 19);
        // Between two scenes the dialog shows the next start; within a play it fetches nothing.
        QVERIFY(shownWhilePlaying.mid(0, 3) == (QList<int>{15, 15, 15}));

        m_player->requests.clear();
        m_player->afterFrame = [&](int32_t frame) {
            if (frame == 5) key(*dialog, Qt::Key_Space, Qt::AltModifier);  // stops it
        };
        dialog->sceneBox()->setCurrentIndex(0);
        emit dialog->sceneBox()->activated(0);
        key(*dialog, Qt::Key_Space, Qt::AltModifier);  // play trimmed: 2..17
        QCOMPARE(m_player->requests.size(), size_t{1});
        QCOMPARE(m_player->requests[0].from, 2);
        QCOMPARE(dialog->slider()->value(), 5);
        QCOMPARE(dialog->playing(), TrimDialog::Play::None);
        QVERIFY(paintsFrame(dialog->video(), m_a, 5));
    }

    void savePictureAsksForAFolderAndExportsTheCurrentFrame() {
        auto dialog = open(group(), 0);
        std::string folder = m_dir.file("pictures");
        std::filesystem::create_directory(folder);
        m_store->writeText("PicturePath", "/start/");
        std::string askedAt;
        dialog->chooseFolder = [&](const std::string& title, const std::string& start) {
            askedAt = title + "|" + start;
            return folder;
        };
        dialog->slider()->setValue(6);
        QTest::mouseClick(dialog->savePictureButton(), Qt::LeftButton);
        QCOMPARE(askedAt, std::string("Directory selection|/start/"));
        QCOMPARE(m_store->readText("PicturePath", ""), folder + "/");
        QVERIFY(std::filesystem::exists(folder + "/a_f00007.bmp"));
        QVERIFY(m_ui->messages().empty());
    }

    void thePlaceAndThePlaySettingsAreKept() {
        m_store->writeInt("PlaySpeed", 4);
        m_store->writeInt("EnableNextAvi", 0);
        {
            auto dialog = open(group(), 0);
            QCOMPARE(dialog->speedBox()->currentIndex(), 4);
            QVERIFY(!dialog->nextPreviewBox()->isChecked());
            QVERIFY(dialog->previousPreviewBox()->isChecked());
            QCOMPARE(dialog->minimumSize(), dialog->size());
            dialog->signalToneBox()->setChecked(true);
            dialog->move(40, 30);
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
            QCOMPARE(dialog->result(), int(QDialog::Accepted));
        }
        QCOMPARE(m_store->readInt("CtrlSound", 0), 1);
        QCOMPARE(m_store->readInt("PlaySpeed", 0), 4);
        QCOMPARE(m_store->readInt("TrimMax", -1), 0);
        QVERIFY(m_store->readInt("TrimX2", -1) > m_store->readInt("TrimX1", -1));
    }

    void theBandShowsTheTrimmedRangeInOrangeBetweenRedMarkers() {
        TrimBarGeometry g = trimBarGeometry(216, 100, 300, 150, 250);
        QCOMPARE(g.band, QRect(8, 0, 200, 12));
        QCOMPARE(g.trimmed, QRect(58, 0, 100, 12));
        TrimBar bar;
        bar.resize(216, kTrimBarHeight);
        bar.setRanges(100, 300, 150, 250);
        QImage seen = bar.grab().toImage();
        QCOMPARE(seen.pixelColor(20, 6), QColor(152, 148, 140));
        QCOMPARE(seen.pixelColor(80, 0), QColor(255, 222, 132));
        QCOMPARE(seen.pixelColor(80, 11), QColor(231, 123, 33));
        QCOMPARE(seen.pixelColor(58, 5), QColor(255, 0, 0));
        QCOMPARE(seen.pixelColor(156, 5), QColor(255, 0, 0));
        QCOMPARE(seen.pixelColor(155, 5), QColor(239, 148, 49));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::TrimDialogTest)
#include "trim_dialog_test.moc"
