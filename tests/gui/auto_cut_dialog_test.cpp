// The detection dialog as a person uses it: its settings keys from a
// prepared settings file and back, the enable rules per detection type, the
// file list with the ranges of the scenes handed over, a DV run and a
// picture run with the controls locked meanwhile, Stop, the question when
// found scenes would be dropped, and the shutdown after an unattended run.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/auto_cut_dialog.h"
#include "tests/fixtures/scene_clip.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/recording_power.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {
namespace {

QString text(int id) { return QString::fromStdString(app::loadString(id)); }

// Three recordings of 10, 20 and 30 frames, each starting an hour later.
fixtures::DvFixtureOptions threeRecordings() {
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(10);
    for (int32_t frames : {20, 30}) {
        fixtures::DvSession next = options.sessions.back();
        next.start.hours += 1;
        next.frames = frames;
        options.sessions.push_back(next);
    }
    return options;
}

}  // namespace

class AutoCutDialogTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    test::RecordingPower m_power;

    void prepareSettings(const std::string& keys) {
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\n" << keys;
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
    }

    std::unique_ptr<AutoCutDialog> open(const scene::SceneList& scenes) {
        auto dialog = std::make_unique<AutoCutDialog>(*m_store, m_power, media::MediaSettings{}, scenes);
        dialog->show();
        return dialog;
    }

    static void addScene(scene::SceneList& list, const std::string& file, int32_t start, int32_t stop) {
        int i = list.AddNewScene();
        list.setSourceFile(i, file);
        list.setStartFrame(i, start);
        list.setStopFrame(i, stop);
    }

    std::string recordings(const std::string& name) {
        return test::writeFixture(m_dir.file(name), threeRecordings());
    }

private slots:
    void storedKeysSetTheControlsAndComeBackWhenItCloses() {
        prepareSettings(
            "DetectionType=0\nMinFrameCount=120\nDetectionSetting=4\nWeightMode=2\nAlg1=0\nAlg2=1\nAlg3=1\n"
            "TrimCount=7\nDatestampDiff=5\nAutocutShutdown=1\n");
        {
            auto dialog = open({});
            QCOMPARE(dialog->typeBox()->currentText(), text(345));
            QCOMPARE(dialog->minFrameBox()->value(), 120);
            QCOMPARE(dialog->presetBox()->currentText(), text(316));
            QCOMPARE(dialog->weightBox()->currentText(), text(319));
            QVERIFY(!dialog->variantBox(1)->isChecked());
            QVERIFY(dialog->variantBox(2)->isChecked() && dialog->variantBox(3)->isChecked());
            QCOMPARE(dialog->trimBox()->currentText(), QStringLiteral("7"));
            QCOMPARE(dialog->datestampDiffEdit()->text(), QStringLiteral("5"));
            QVERIFY(dialog->shutdownBox()->isChecked());

            dialog->trimBox()->setCurrentIndex(3);
            QCOMPARE(m_store->readInt("TrimCount", -9), 3);  // at once, not only when it closes
            dialog->variantBox(3)->click();
            dialog->typeBox()->setCurrentIndex(AutoCutDialog::Datestamp);
            QTest::keyClicks(dialog->datestampDiffEdit(), "x2");  // digits only
            QCOMPARE(dialog->datestampDiffEdit()->text(), QStringLiteral("52"));
            QCOMPARE(m_store->readInt("DetectionType", -9), 0);  // the rest when it closes
        }
        QCOMPARE(m_store->readInt("DetectionType", -9), 1);
        QCOMPARE(m_store->readInt("DatestampDiff", -9), 52);
        QCOMPARE(m_store->readInt("Alg3", -9), 0);
        QCOMPARE(m_store->readInt("MinFrameCount", -9), 120);
        QCOMPARE(m_store->readInt("AutocutShutdown", -9), 1);
    }

    void aFreshSettingsFileGetsEveryKeyAndAnUnknownIndexSelectsNothing() {
        prepareSettings("WeightMode=7\n");
        auto dialog = open({});
        // Written while the dialog is still open, so that the file shows them.
        QCOMPARE(m_store->readInt("MinFrameCount", -9), 75);
        QCOMPARE(m_store->readInt("DetectionType", -9), 1);
        QCOMPARE(m_store->readInt("TrimCount", -9), 1);
        QCOMPARE(m_store->readInt("Alg1", -9), 1);
        QCOMPARE(m_store->readInt("AutocutShutdown", -9), 0);
        QCOMPARE(dialog->weightBox()->currentIndex(), -1);
        dialog.reset();
        QCOMPARE(m_store->readInt("WeightMode", -9), -1);
    }

    void theControlsFollowTheDetectionTypeAndVariants() {
        prepareSettings("MinFrameCount=75\nDetectionType=1\nAlg1=1\nAlg2=0\nAlg3=0\n");
        scene::SceneList one;
        addScene(one, recordings("a.avi"), 0, 59);
        auto dialog = open(one);
        QVERIFY(dialog->startButton()->isEnabled());
        QVERIFY(!dialog->stopButton()->isEnabled());
        QVERIFY(dialog->datestampDiffEdit()->isEnabled());
        for (QWidget* off : std::initializer_list<QWidget*>{dialog->minFrameBox(), dialog->presetBox(),
                                                            dialog->weightBox(), dialog->variantBox(1)})
            QVERIFY(!off->isEnabled());
        QVERIFY(!dialog->addButton()->isVisible());

        dialog->typeBox()->setCurrentIndex(AutoCutDialog::Picture);
        QVERIFY(!dialog->datestampDiffEdit()->isEnabled());
        QVERIFY(dialog->minFrameBox()->isEnabled() && dialog->presetBox()->isEnabled());
        QVERIFY(!dialog->weightBox()->isEnabled());  // variant 1 alone does not weigh blocks
        dialog->variantBox(3)->click();
        QVERIFY(dialog->weightBox()->isEnabled());
        QCOMPARE(dialog->startButton()->toolTip(), text(215));
        QCOMPARE(dialog->shutdownBox()->toolTip(), text(227));
    }

    void theTimecodeTypeIsTheThirdEntryAndKeepsOldSettingsAsTheyWere() {
        // A settings file from before the third type: its values mean what they meant.
        prepareSettings("MinFrameCount=75\nDetectionType=0\nTrimCount=0\n");
        {
            auto dialog = open({});
            QCOMPARE(dialog->typeBox()->count(), 3);
            QCOMPARE(dialog->typeBox()->currentText(), text(345));
            QCOMPARE(dialog->typeBox()->itemText(AutoCutDialog::Timecode), text(994));
            QVERIFY(!dialog->signalsBox()->isVisible());
        }
        QCOMPARE(m_store->readInt("DetectionType", -9), 0);
        QCOMPARE(m_store->readInt("TimecodeSignals", -9), 0);

        // A dateless tape whose second take runs on in timecode: only its mark tells it.
        fixtures::DvFixtureOptions tape = threeRecordings();
        tape.datePacks = fixtures::DatePacks::Missing;
        tape.recordingStartMarks = true;
        tape.sessions[2].timecodeStart = scene::Timecode{2, 0, 0, 0};
        scene::SceneList one;
        addScene(one, test::writeFixture(m_dir.file("tape.avi"), tape), 0, 59);
        {
            auto dialog = open(one);
            dialog->typeBox()->setCurrentIndex(AutoCutDialog::Timecode);
            QVERIFY(dialog->signalsBox()->isVisible());
            QCOMPARE(dialog->signalsBox()->currentText(), text(996));
            QVERIFY(!dialog->datestampDiffEdit()->isEnabled() && !dialog->minFrameBox()->isEnabled());
            QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
            QCOMPARE(dialog->sceneCountText()->text(), QStringLiteral("3"));
            dialog->signalsBox()->setCurrentIndex(2);  // the timecode alone misses the second take
            test::MessageBoxWatcher ok;  // question 112: the scenes found before are dropped
            QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
            QCOMPARE(dialog->sceneCountText()->text(), QStringLiteral("2"));
            dialog->typeBox()->setCurrentIndex(AutoCutDialog::Datestamp);
            QVERIFY(!dialog->signalsBox()->isVisible());
            dialog->typeBox()->setCurrentIndex(AutoCutDialog::Timecode);
            dialog->reject();
        }
        QCOMPARE(m_store->readInt("DetectionType", -9), 2);
        QCOMPARE(m_store->readInt("TimecodeSignals", -9), 2);
        auto dialog = open({});
        QCOMPARE(dialog->typeBox()->currentIndex(), int(AutoCutDialog::Timecode));
        QCOMPARE(dialog->signalsBox()->currentIndex(), 2);
    }

    void theListTakesTheRangesLeavesOutMissingFilesAndRemovesWithTheirRanges() {
        prepareSettings("MinFrameCount=75\n");
        const std::string a = recordings("a.avi"), b = recordings("b.avi");
        scene::SceneList selected;
        addScene(selected, a, 0, 9);
        addScene(selected, m_dir.file("gone.avi"), 0, 5);
        addScene(selected, a, 10, 29);
        addScene(selected, b, 30, 59);
        std::unique_ptr<AutoCutDialog> dialog;
        {
            test::MessageBoxWatcher ok;
            dialog = open(selected);
            // The probe says why, then the dialog that the file stays out.
            QCOMPARE(ok.count(), 2);
            QVERIFY(ok.seen()[1].text.startsWith(text(108)));
            QVERIFY(ok.seen()[1].text.contains(QStringLiteral("gone.avi")));
        }
        QCOMPARE(dialog->fileList()->count(), 3);
        QCOMPARE(dialog->fileList()->selectedItems().size(), 1);
        QCOMPARE(dialog->fileList()->selectedItems()[0]->text(), QString::fromStdString(b));
        QVERIFY(dialog->infoText()->text().contains(QStringLiteral("DV-Type2, ")));
        QVERIFY(dialog->infoText()->text().contains(text(408) + QStringLiteral(": 31 -> 60")));

        dialog->fileList()->selectAll();
        QCOMPARE(dialog->infoText()->text(), text(120));
        dialog->fileList()->clearSelection();
        QCOMPARE(dialog->infoText()->text(), text(119));

        dialog->fileList()->item(0)->setSelected(true);
        test::MessageBoxWatcher yes(QMessageBox::Yes);
        QTest::mouseClick(dialog->removeButton(), Qt::LeftButton);
        QTRY_COMPARE(yes.count(), 1);
        QCOMPARE(yes.seen()[0].text, text(110));
        QCOMPARE(dialog->sources().size(), size_t{2});
        QCOMPARE(dialog->sources()[0].path, a);
        QCOMPARE(dialog->sources()[0].firstFrame, 10);
        QCOMPARE(dialog->sources()[1].lastFrame, 59);
        QCOMPARE(dialog->fileList()->item(1)->text(), QString::fromStdString(b));

        // A dropped file is searched whole and becomes the selected entry.
        dialog->addFiles({a});
        QCOMPARE(dialog->sources().size(), size_t{3});
        QCOMPARE(dialog->sources()[2].firstFrame, 0);
        QCOMPARE(dialog->sources()[2].lastFrame, 59);
        QCOMPARE(dialog->fileList()->currentRow(), 2);
        QVERIFY(dialog->infoText()->text().contains(text(408) + QStringLiteral(": 1 -> 60")));

        dialog->fileList()->clearSelection();
        QTest::mouseClick(dialog->playButton(), Qt::LeftButton);
        QTRY_COMPARE(yes.count(), 2);
        QCOMPARE(yes.seen()[1].text, text(116));
    }

    void aDatestampRunFindsTheRecordingsWithTheControlsLocked() {
        prepareSettings("MinFrameCount=75\nDetectionType=1\nTrimCount=0\n");
        scene::SceneList one;
        addScene(one, recordings("a.avi"), 0, 59);
        auto dialog = open(one);
        dialog->datestampDiffEdit()->setText(QStringLiteral("0"));
        bool locked = false;
        dialog->runFinished = [&] {
            locked = dialog->running() && dialog->stopButton()->isEnabled() && !dialog->startButton()->isEnabled() &&
                     !dialog->okButton()->isEnabled() && !dialog->cancelButton()->isEnabled() &&
                     !dialog->typeBox()->isEnabled() && !dialog->fileList()->isEnabled() &&
                     !dialog->datestampDiffEdit()->isEnabled();
            dialog->start();  // a second start while running does nothing
            dialog->accept();  // refused while running
        };
        QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
        QVERIFY(locked);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->datestampDiffEdit()->text(), QStringLiteral("1"));  // 0 is made 1
        const scene::SceneList& found = dialog->foundScenes();
        QCOMPARE(found.count(), 3);
        QCOMPARE(found.startFrame(1), 10);
        QCOMPARE(found.stopFrame(1), 29);
        QCOMPARE(found.stopFrame(2), 59);
        QCOMPARE(dialog->sceneCountText()->text(), QStringLiteral("3"));
        QVERIFY(dialog->startButton()->isEnabled() && !dialog->stopButton()->isEnabled());

        // Cancel now asks whether the scenes found are to be taken over.
        test::MessageBoxWatcher no(QMessageBox::No);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QTRY_COMPARE(no.count(), 1);
        QCOMPARE(no.seen()[0].text, text(105));
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }

    void cancelAfterARunCanHandTheScenesOver() {
        prepareSettings("MinFrameCount=75\nDetectionType=1\n");
        scene::SceneList one;
        addScene(one, recordings("a.avi"), 0, 59);
        auto dialog = open(one);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);  // nothing found yet: no question
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!dialog->hasFoundScenes());
        dialog->show();
        dialog->start();
        test::MessageBoxWatcher yes(QMessageBox::Yes);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QTRY_COMPARE(yes.count(), 1);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(dialog->hasFoundScenes());
    }

    void stopEndsTheRunWithoutShuttingDown() {
        prepareSettings("MinFrameCount=75\nDetectionType=1\nAutocutShutdown=1\n");
        const std::string documents = m_dir.file("docs");
        std::filesystem::create_directories(documents);
        test::ScopedEnv docs("XDG_DOCUMENTS_DIR", documents.c_str());
        scene::SceneList one;
        addScene(one, recordings("a.avi"), 0, 59);
        auto dialog = open(one);
        dialog->busyChanged = [&](bool busy) {
            if (busy) QTest::mouseClick(dialog->stopButton(), Qt::LeftButton);
        };
        dialog->start();
        // Stopped at its first frame: one scene to the end of the range, no save, no switching off.
        QCOMPARE(dialog->foundScenes().count(), 1);
        QCOMPARE(dialog->foundScenes().stopFrame(0), 59);
        QCOMPARE(m_power.requests, 0);
        QVERIFY(!std::filesystem::exists(documents + "/AutoScan.scn"));

        dialog->busyChanged = {};
        test::MessageBoxWatcher ok;  // question 112: the scenes found before are dropped
        dialog->start();
        QCOMPARE(dialog->foundScenes().count(), 3);
        QCOMPARE(m_power.requests, 1);
        QVERIFY(std::filesystem::exists(documents + "/AutoScan.scn"));
        QVERIFY(ok.count() >= 1);
        QCOMPARE(ok.seen()[0].text, text(112));
    }

    void stopWhileTheWorkerWaitsEndsThatRun() {
        prepareSettings("MinFrameCount=75\nDetectionType=1\n");
        scene::SceneList one;
        addScene(one, recordings("a.avi"), 0, 59);
        auto dialog = open(one);
        dialog->start();
        QCOMPARE(dialog->foundScenes().count(), 3);
        // The next run asks 112 from its worker thread; meanwhile the person clicks Stop, then OK.
        QTimer poll;
        bool stopped = false;
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            stopped = dialog->stopButton()->isEnabled();
            dialog->stopButton()->click();
            box->button(QMessageBox::Ok)->click();
        });
        poll.start(5);
        dialog->start();
        QVERIFY(stopped);
        QCOMPARE(dialog->foundScenes().count(), 1);
        QCOMPARE(dialog->foundScenes().stopFrame(0), 59);
        QVERIFY(!dialog->running() && dialog->startButton()->isEnabled());
    }

    void aPictureRunFindsTheCutAndNeedsAVariant() {
        prepareSettings("MinFrameCount=10\nDetectionType=0\nTrimCount=0\nAlg1=0\nAlg2=0\nAlg3=0\n");
        const std::string clip = m_dir.file("clip.avi");
        std::vector<int32_t> cuts;
        QCOMPARE(fixtures::writeSceneClip(clip,
                                          {{{fixtures::ClipSceneKind::MovingPattern, 75, 1},
                                            {fixtures::ClipSceneKind::ColourField, 75, 5}},
                                           fixtures::ClipCodec::Dv},
                                          &cuts),
                 1);
        scene::SceneList one;
        addScene(one, clip, 0, 149);
        addScene(one, clip, 0, 74);
        auto dialog = open(one);
        dialog->fileList()->selectAll();
        {
            test::MessageBoxWatcher ok;
            dialog->start();
            QTRY_COMPARE(ok.count(), 1);
            QCOMPARE(ok.seen()[0].text, text(111));
            QVERIFY(!dialog->hasFoundScenes());
        }
        dialog->variantBox(1)->click();
        dialog->variantBox(2)->click();
        QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
        const scene::SceneList& found = dialog->foundScenes();
        QCOMPARE(found.count(), 3);  // the cut in the first entry's range, the second entry stops before it
        QCOMPARE(found.startFrame(1), cuts[0]);
        QCOMPARE(found.stopFrame(1), 149);
        QCOMPARE(found.stopFrame(2), 74);
        QCOMPARE(dialog->sceneCountText()->text(), QStringLiteral("3"));
        // The file searched last is the one selected.
        QTRY_COMPARE(dialog->fileList()->selectedItems().size(), 1);
        QCOMPARE(dialog->fileList()->currentRow(), 1);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::AutoCutDialogTest)
#include "auto_cut_dialog_test.moc"
