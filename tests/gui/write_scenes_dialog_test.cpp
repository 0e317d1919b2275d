// The write-scenes dialog as a person uses it: the stored settings come up
// and go back, the template preview names the example scene or says ERROR,
// both starts write their files (checked with our reader and ffprobe), Stop
// inside a scene keeps what was written before and leaves no part of the
// scene, sources go only after a complete run with the switch on, and the
// shutdown goes to a recording power switch, never to the machine.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "avi/avi_reader.h"
#include "gui/progress_window.h"
#include "gui/qt_user_interface.h"
#include "gui/write_scenes_dialog.h"
#include "scene/group_tree.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/recording_power.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {
namespace {

// A seam whose run, once the second scene of a group has written a few
// frames, waits until the person has acted (`inTheRun`, on the
// user-interface thread) and the Stop has arrived: so the Stop lands inside
// that scene on every machine.
class StopInSecondScene : public QtUserInterface {
public:
    StopInSecondScene() : QtUserInterface(nullptr) {}
    std::function<void()> inTheRun;
    bool stopped() const { return m_fired; }

    void setProgressDestination(std::string_view text) override {
        if (text.find("(2/") != std::string_view::npos) m_inSecond = true;
        QtUserInterface::setProgressDestination(text);
    }

protected:
    void progressChanged() override {
        QtUserInterface::progressChanged();
        if (!m_inSecond || progressPosition() < 32 || m_fired.exchange(true)) return;
        QMetaObject::invokeMethod(qApp, inTheRun, Qt::QueuedConnection);
        for (int waited = 0; !cancelled() && waited < 10000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

private:
    std::atomic<bool> m_inSecond{false};
    std::atomic<bool> m_fired{false};
};

int framesOf(const std::string& path) {
    avi::AviReader reader;
    return reader.Open(path, "r") == 1 ? reader.GetFrameCount() : -1;
}

}  // namespace

class WriteScenesDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    scene::GroupTree m_tree;
    std::string m_source;
    std::string m_out;

    void prepare(const std::string& ini) {
        m_dir = std::make_unique<test::TempDir>();
        std::ofstream(m_dir->file("Klemora.ini")) << "[Data]\n" << ini;
        m_store = std::make_unique<app::SettingsStore>(m_dir->file("Klemora.ini"));
        m_tree.clear();
        m_source = m_dir->file("src.avi");
        QVERIFY(test::makeDvSource(m_source, 2, false, 120));
        m_out = m_dir->file("out") + "/";
        std::filesystem::create_directories(m_out);
    }

    // Two scenes of the source in the root group.
    void twoScenes() {
        test::addScene(m_tree.root().list(), m_source, 0, 39);
        test::addScene(m_tree.root().list(), m_source, 40, 119);
    }

    std::unique_ptr<WriteScenesDialog> openDialog(std::unique_ptr<QtUserInterface> ui = nullptr) {
        auto dialog = std::make_unique<WriteScenesDialog>(*m_store, m_tree, nullptr, nullptr, std::move(ui));
        dialog->writerOptions.syncOnFinish = false;
        dialog->show();
        return dialog;
    }

    static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    // On the box's indicator, where a person clicks.
    static void tick(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); }

private slots:
    void cleanup() {
        m_tree.clear();
        m_dir.reset();
    }

    void storedSettingsComeUpAndGoBackWhenTheDialogGoes() {
        prepare("Destinationpath=/data/out/\nFormatString=%Q-%S\nWriteShutdown=1\nWriteSelectedOnly=1\n"
                "WriteOkOnly=1\nWriteSetDatestamp=1\nDeleteSrcFiles=1\nWriteSignal=1\n");
        {
            auto dialog = openDialog();
            QCOMPARE(dialog->windowTitle(), QString::fromStdString(app::loadString(952)));
            QCOMPARE(dialog->folderDisplay()->text(), QStringLiteral("/data/out/"));
            QCOMPARE(dialog->templateEdit()->text(), QStringLiteral("%Q-%S"));
            QCOMPARE(dialog->previewField()->text(), QStringLiteral("SrcFile-00025.avi"));
            for (QCheckBox* box : {dialog->shutdownBox(), dialog->selectedOnlyBox(), dialog->okOnlyBox(),
                                   dialog->setDatesBox(), dialog->deleteSourcesBox(), dialog->signalBox()})
                QVERIFY(box->isChecked());
            QVERIFY(!dialog->perSceneButton()->isEnabled());  // no scene in the tree
            QVERIFY(!dialog->oneFileButton()->isEnabled());
            QVERIFY(!dialog->stopButton()->isEnabled());

            click(dialog->clearFolderButton());
            QString pickerStart = QStringLiteral("not asked");
            dialog->chooseFolder = [this, &pickerStart](const QString& start) {
                pickerStart = start;
                return QString::fromStdString(m_dir->path());  // the picker's answer has no separator at the end
            };
            click(dialog->folderButton());
            QCOMPARE(pickerStart, QString());  // the cleared folder
            QCOMPARE(dialog->folderDisplay()->text(), QString::fromStdString(m_dir->path() + "/"));
            dialog->templateEdit()->selectAll();
            QTest::keyClicks(dialog->templateEdit(), "%G_%N2");
            for (QCheckBox* box : {dialog->shutdownBox(), dialog->okOnlyBox(), dialog->signalBox()}) tick(box);
        }
        QCOMPARE(m_store->readText("Destinationpath", ""), m_dir->path() + "/");
        QCOMPARE(m_store->readText("FormatString", ""), std::string("%G_%N2"));
        QCOMPARE(m_store->readInt("WriteShutdown", -1), 0);
        QCOMPARE(m_store->readInt("WriteSelectedOnly", -1), 1);
        QCOMPARE(m_store->readInt("WriteOkOnly", -1), 0);
        QCOMPARE(m_store->readInt("WriteSetDatestamp", -1), 1);
        QCOMPARE(m_store->readInt("DeleteSrcFiles", -1), 1);
        QCOMPARE(m_store->readInt("WriteSignal", -1), 0);
    }

    void thePreviewSaysErrorAndSelectsTheBadCharacterUntilTheTemplateIsGood() {
        prepare("");
        twoScenes();
        auto dialog = openDialog();
        QCOMPARE(dialog->templateEdit()->text(), QStringLiteral("%N3_%Q"));  // the default
        QCOMPARE(dialog->previewField()->text(), QStringLiteral("001_SrcFile.avi"));
        QVERIFY(dialog->perSceneButton()->isEnabled());

        test::MessageBoxWatcher ok;
        dialog->templateEdit()->selectAll();
        QTest::keyClicks(dialog->templateEdit(), "%Q_a:");
        QCOMPARE(dialog->previewField()->text(), QStringLiteral("ERROR"));
        QVERIFY(ok.count() >= 1);
        QVERIFY(ok.seen().last().text.startsWith(QString::fromStdString(app::loadString(409))));
        QCOMPARE(dialog->templateEdit()->selectedText(), QStringLiteral(":"));
        QCOMPARE(dialog->templateEdit()->selectionStart(), 4);
        QVERIFY(!dialog->perSceneButton()->isEnabled());
        QVERIFY(!dialog->closeButton()->isEnabled());
        QVERIFY(dialog->oneFileButton()->isEnabled());  // the joined files are named after the groups

        const int boxes = ok.count();
        QTest::keyClick(dialog.get(), Qt::Key_Escape);  // checks again and stays open
        QVERIFY(dialog->isVisible());
        QCOMPARE(ok.count(), boxes + 1);

        QTest::keyClicks(dialog->templateEdit(), "-%M");  // the selected colon is typed over
        QCOMPARE(dialog->templateEdit()->text(), QStringLiteral("%Q_a-%M"));
        QCOMPARE(dialog->previewField()->text(), QStringLiteral("SrcFile_a-001.avi"));
        QVERIFY(dialog->perSceneButton()->isEnabled());
        QVERIFY(dialog->closeButton()->isEnabled());
        click(dialog->closeButton());
        QVERIFY(!dialog->isVisible());
    }

    void oneFilePerSceneLandsInTheFolderOfItsGroup() {
        prepare("");
        test::addScene(m_tree.root().list(), m_source, 0, 29);
        scene::Group& year = m_tree.addGroup(nullptr, "2006");
        scene::Group& holiday = m_tree.addGroup(&year, "Urlaub");
        test::addScene(holiday.list(), m_source, 30, 79);
        test::addScene(holiday.list(), m_source, 80, 119);
        auto dialog = openDialog();
        dialog->chooseFolder = [this](const QString&) { return QString::fromStdString(m_out); };
        click(dialog->folderButton());
        dialog->templateEdit()->selectAll();
        QTest::keyClicks(dialog->templateEdit(), "%M_%G");
        bool lockedWhileRunning = false;
        dialog->runningChanged = [&](bool running) {
            if (running) lockedWhileRunning = !dialog->perSceneButton()->isEnabled() &&
                                              !dialog->oneFileButton()->isEnabled() &&
                                              !dialog->templateEdit()->isEnabled() && dialog->stopButton()->isEnabled();
        };
        click(dialog->perSceneButton());

        QVERIFY(lockedWhileRunning);
        QVERIFY(dialog->lastOutcome().completed);
        QCOMPARE(test::filesIn(m_out), (std::vector<std::string>{"001_Start.avi", "2006"}));
        const std::string inner = m_out + "2006/Urlaub/";
        QCOMPARE(test::filesIn(inner), (std::vector<std::string>{"002_Urlaub.avi", "003_Urlaub.avi"}));
        QCOMPARE(framesOf(m_out + "001_Start.avi"), 30);
        QCOMPARE(framesOf(inner + "002_Urlaub.avi"), 50);
        QCOMPARE(test::decodedFrames(inner + "003_Urlaub.avi"), 40LL);
        QCOMPARE(std::string(holiday.list().nameTemplate()), std::string("%M_%G"));
        QVERIFY(dialog->perSceneButton()->isEnabled());
        QVERIFY(!dialog->stopButton()->isEnabled());
        QVERIFY(!dialog->timingField()->text().isEmpty());
        QVERIFY(!dialog->userInterface().progressWindow() || !dialog->userInterface().progressWindow()->isVisible());
    }

    void oneFilePerGroupIsNamedAfterItAndTheShutdownGoesToTheSwitch() {
        prepare("WriteShutdown=1\n");
        twoScenes();
        scene::Group& child = m_tree.addGroup(nullptr, "Urlaub");
        test::addScene(child.list(), m_source, 10, 19);
        auto dialog = openDialog();
        test::RecordingPower power;
        dialog->setPowerControl(&power);

        test::MessageBoxWatcher ok;
        click(dialog->oneFileButton());  // no destination folder yet
        QCOMPARE(ok.count(), 1);
        QCOMPARE(ok.seen().first().text, QString::fromStdString(app::loadString(446)));
        QCOMPARE(power.requests, 0);

        dialog->chooseFolder = [this](const QString&) { return QString::fromStdString(m_out); };
        click(dialog->folderButton());
        click(dialog->perSceneButton());  // the per-scene run does not shut down
        QCOMPARE(power.requests, 0);
        for (const std::string& name : test::filesIn(m_out)) std::filesystem::remove_all(m_out + name);

        click(dialog->oneFileButton());
        QCOMPARE(test::filesIn(m_out), (std::vector<std::string>{"Start.avi", "Urlaub.avi"}));
        QCOMPARE(framesOf(m_out + "Start.avi"), 120);
        QCOMPARE(test::decodedFrames(m_out + "Urlaub.avi"), 10LL);
        QCOMPARE(power.requests, 1);
        QVERIFY(dialog->lastOutcome().shutdownRequested);
    }

    void stopInsideASceneKeepsTheEarlierFileAndLeavesNoPartOfIt() {
        prepare("");
        twoScenes();
        auto seam = std::make_unique<StopInSecondScene>();
        StopInSecondScene* stopper = seam.get();
        auto dialog = openDialog(std::move(seam));
        dialog->chooseFolder = [this](const QString&) { return QString::fromStdString(m_out); };
        click(dialog->folderButton());
        bool stopArrived = false, refusedToClose = false;
        stopper->inTheRun = [&] {
            click(dialog->perSceneButton());  // locked: no second run
            click(dialog->stopButton());
            stopArrived = dialog->userInterface().cancelled();
            refusedToClose = !dialog->close() && dialog->isVisible();  // the run has not ended yet
        };
        click(dialog->perSceneButton());

        QVERIFY(stopper->stopped());
        QVERIFY(stopArrived);
        QVERIFY(refusedToClose);
        QVERIFY(dialog->lastOutcome().cancelled);
        QCOMPARE(test::filesIn(m_out), std::vector<std::string>{"001_src.avi"});
        QCOMPARE(framesOf(m_out + "001_src.avi"), 40);
        QCOMPARE(test::decodedFrames(m_out + "001_src.avi"), 40LL);
        QVERIFY(!dialog->running());
        QVERIFY(dialog->perSceneButton()->isEnabled());
    }

    void sourcesGoOnlyAfterACompleteRunAndOnlyWithTheSwitch() {
        prepare("");
        twoScenes();
        {
            auto dialog = openDialog();
            dialog->chooseFolder = [this](const QString&) { return QString::fromStdString(m_out); };
            click(dialog->folderButton());
            test::MessageBoxWatcher ok(QMessageBox::Ok);
            click(dialog->perSceneButton());  // switch off
            QCOMPARE(ok.count(), 0);
            QVERIFY(std::filesystem::exists(m_source));
        }
        for (const std::string& name : test::filesIn(m_out)) std::filesystem::remove(m_out + name);
        m_store->writeInt("DeleteSrcFiles", 1);
        {
            auto seam = std::make_unique<StopInSecondScene>();
            StopInSecondScene* stopper = seam.get();
            auto dialog = openDialog(std::move(seam));
            stopper->inTheRun = [&] { QTest::keyClick(dialog.get(), Qt::Key_Escape); };  // Esc is Stop
            test::MessageBoxWatcher ok(QMessageBox::Ok);
            click(dialog->perSceneButton());
            QVERIFY(dialog->lastOutcome().cancelled);
            QVERIFY(dialog->isVisible());
            QCOMPARE(ok.count(), 0);  // no 441 after a stopped run
            QVERIFY(std::filesystem::exists(m_source));
        }
        for (const std::string& name : test::filesIn(m_out)) std::filesystem::remove(m_out + name);
        {
            auto dialog = openDialog();
            test::MessageBoxWatcher ok(QMessageBox::Ok);
            click(dialog->perSceneButton());
            QCOMPARE(ok.count(), 1);
            QCOMPARE(ok.seen().first().text, QString::fromStdString(app::loadString(441)));
            QVERIFY(!std::filesystem::exists(m_source));
            QCOMPARE(test::filesIn(m_out), (std::vector<std::string>{"001_src.avi", "002_src.avi"}));
            QCOMPARE(framesOf(m_out + "002_src.avi"), 80);
        }
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::WriteScenesDialogTest)
#include "write_scenes_dialog_test.moc"
