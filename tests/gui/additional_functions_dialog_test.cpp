// The additional-functions dialog as a person uses it: each of the four
// operations writes the same files as klemora-cli does for the same
// settings; Stop ends a run with every other control locked meanwhile; the
// speed field refuses a decimal comma; the settings keys with their limits.
#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/additional_functions_dialog.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "tests/cli/cli_runner.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {
namespace {

namespace fs = std::filesystem;
using Dialog = AdditionalFunctionsDialog;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Both folders hold the same file names with the same bytes; at least one file.
void compareFolders(const std::string& fromDialog, const std::string& fromCli) {
    const std::vector<std::string> names = namesIn(fromDialog);
    QVERIFY(!names.empty());
    QCOMPARE(names, namesIn(fromCli));
    for (const std::string& name : names)
        QVERIFY2(contentOf(fs::path(fromDialog) / name) == contentOf(fs::path(fromCli) / name), name.c_str());
}

}  // namespace

class AdditionalFunctionsDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<app::SettingsStore> m_store;

    std::string folder(const std::string& name) const {
        fs::create_directories(m_dir->file(name));
        return m_dir->file(name);
    }
    std::string clip(const std::string& name, int frames) const {
        return test::writeFixture(m_dir->file(name), fixtures::singleSessionOptions(frames));
    }
    std::unique_ptr<Dialog> openDialog(const QStringList& files, const std::string& destination) {
        auto dialog = std::make_unique<Dialog>(*m_store, media::readMediaSettings(*m_store), app::DebugLog{});
        dialog->chooseFiles = [files](const QString&) { return files; };
        dialog->chooseFolder = [destination](const QString&) { return QString::fromStdString(destination); };
        dialog->show();
        return dialog;
    }
    void runCli(const std::vector<std::string>& args) {
        test::CliResult result = test::runCli(args, m_dir->path());
        QVERIFY2(result.exitCode == 0, result.err.c_str());
    }

private slots:
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        m_store = std::make_unique<app::SettingsStore>(m_dir->file("Klemora.ini"));
        test::writeTextFile(m_store->path(), "[Data]\nLang=DE\n");
    }

    void splitWritesWhatTheCommandLineWrites() {
        const std::string a = clip("b_clip.avi", 60), b = clip("a_clip.avi", 45);
        auto dialog = openDialog({QString::fromStdString(a), QString::fromStdString(b)}, folder("dialog"));
        dialog->framesField()->setText(QStringLiteral("20"));
        test::MessageBoxWatcher boxes;
        QTest::mouseClick(dialog->startButton(Dialog::Split), Qt::LeftButton);
        QCOMPARE(boxes.count(), 0);
        runCli({"split", a, b, "--frames", "20", "--dest", folder("cli")});
        compareFolders(m_dir->file("dialog"), m_dir->file("cli"));
        QCOMPARE(namesIn(m_dir->file("dialog")).size(), size_t{3 + 3});
    }

    void splitRefusesNothingToDoBeforeAnyFileDialog() {
        auto dialog = openDialog({}, folder("dialog"));
        bool asked = false;
        dialog->chooseFiles = [&asked](const QString&) { asked = true; return QStringList(); };
        dialog->framesField()->setText(QStringLiteral("0"));
        dialog->secondsField()->setText(QStringLiteral("0"));
        test::MessageBoxWatcher boxes;
        QTest::mouseClick(dialog->startButton(Dialog::Split), Qt::LeftButton);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.seen()[0].text, QString::fromStdString(app::loadString(210)));
        QVERIFY(!asked);
    }

    void speedWritesWhatTheCommandLineWrites() {
        const std::string a = clip("clip.avi", 40);
        auto dialog = openDialog({QString::fromStdString(a)}, folder("dialog"));
        dialog->speedField()->setText(QStringLiteral("2.0"));
        test::MessageBoxWatcher boxes;
        QTest::mouseClick(dialog->startButton(Dialog::Speed), Qt::LeftButton);
        QCOMPARE(boxes.count(), 0);
        runCli({"speed", a, "--factor", "2.0", "--dest", folder("cli")});
        compareFolders(m_dir->file("dialog"), m_dir->file("cli"));
        QCOMPARE(namesIn(m_dir->file("dialog")), std::vector<std::string>{"clip_f2.000.avi"});
    }

    void picturesWriteWhatTheCommandLineWritesAndKeepTheFolder() {
        const std::string a = clip("one.avi", 6), b = clip("two.avi", 4);
        const std::string pictures = folder("dialog");
        {
            auto dialog = openDialog({QString::fromStdString(a), QString::fromStdString(b)}, pictures);
            test::MessageBoxWatcher boxes;
            QTest::mouseClick(dialog->startButton(Dialog::Pictures), Qt::LeftButton);
            QCOMPARE(boxes.count(), 0);
        }
        runCli({"frames", a, "--dest", folder("cli")});
        runCli({"frames", b, "--dest", folder("cli")});
        compareFolders(pictures, m_dir->file("cli"));
        QCOMPARE(namesIn(pictures).size(), size_t{10});
        QCOMPARE(m_store->readText("PicturePath", ""), pictures);
    }

    void datestampWritesWhatTheCommandLineWrites() {
        std::vector<std::string> dialogFiles, cliFiles;
        for (auto [name, frames] : {std::pair{"x1.avi", 30}, std::pair{"x2.avi", 20}}) {
            const std::string source = clip(name, frames);
            dialogFiles.push_back(folder("dialog") + "/" + name);
            cliFiles.push_back(folder("cli") + "/" + name);
            fs::copy_file(source, dialogFiles.back());
            fs::copy_file(source, cliFiles.back());
        }
        auto dialog = openDialog({QString::fromStdString(dialogFiles[1]), QString::fromStdString(dialogFiles[0])}, {});
        dialog->dateField()->setDate(QDate(2007, 3, 4));  // the clips were recorded from 2006-07-01 10:00
        dialog->timeField()->setTime(QTime(11, 12, 13));
        dialog->pauseField()->setText(QStringLiteral("5"));
        test::MessageBoxWatcher boxes;
        QTest::mouseClick(dialog->startButton(Dialog::Datestamp), Qt::LeftButton);
        QCOMPARE(boxes.count(), 0);
        runCli({"datestamp", "--start", "2007-03-04 11:12:13", "--pause", "5", cliFiles[1], cliFiles[0]});
        compareFolders(m_dir->file("dialog"), m_dir->file("cli"));
        QVERIFY(contentOf(dialogFiles[0]) != contentOf(m_dir->file("x1.avi")));  // it did re-date them
    }

    void datestampRefusesAPauseOutOfRange() {
        auto dialog = openDialog({}, {});
        dialog->pauseField()->setText(QStringLiteral("10000"));
        test::MessageBoxWatcher boxes;
        QTest::mouseClick(dialog->startButton(Dialog::Datestamp), Qt::LeftButton);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.seen()[0].text, QString::fromStdString(app::loadString(352)));
    }

    // Run from the main window: while the export runs only its Stop is
    // enabled, the main window starts nothing, the dialog does not close;
    // Stop ends the export early and unlocks everything again.
    void stopEndsARunThatLockedEverythingElse() {
        const std::string big = clip("big.avi", 250);
        const std::string pictures = folder("pictures");
        MainWindow window(*m_store, app::DebugLog{});
        window.show();
        int enabledWhileRunning = -1;
        bool stopEnabled = false, addAviEnabled = true, closedWhileRunning = false, unlockedAfter = false;
        window.aboutToShowAdditional = [&](Dialog& dialog) {
            dialog.chooseFiles = [big](const QString&) { return QStringList{QString::fromStdString(big)}; };
            dialog.chooseFolder = [pictures](const QString&) { return QString::fromStdString(pictures); };
            auto* watch = new QTimer(&dialog);
            connect(watch, &QTimer::timeout, &dialog, [&, watch] {
                if (!dialog.isRunning()) return;
                watch->stop();
                enabledWhileRunning = 0;
                for (QWidget* w : dialog.findChildren<QWidget*>())
                    if ((qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QAbstractSpinBox*>(w)) && w->isEnabled())
                        ++enabledWhileRunning;
                stopEnabled = dialog.stopButton(Dialog::Pictures)->isEnabled();
                addAviEnabled = window.actions()->action(Command::AddAvi)->isEnabled();
                dialog.close();
                closedWhileRunning = !dialog.isVisible();
                QTest::mouseClick(dialog.stopButton(Dialog::Pictures), Qt::LeftButton);
            });
            watch->start(1);
            QTimer::singleShot(0, &dialog, [&] {
                QTest::mouseClick(dialog.startButton(Dialog::Pictures), Qt::LeftButton);
                unlockedAfter = dialog.startButton(Dialog::Split)->isEnabled() &&
                                dialog.framesField()->isEnabled() && !dialog.stopButton(Dialog::Pictures)->isEnabled();
                dialog.accept();
            });
        };
        test::MessageBoxWatcher boxes;
        window.actions()->action(Command::AdditionalFunctions)->trigger();
        QCOMPARE(enabledWhileRunning, 1);
        QVERIFY(stopEnabled);
        QVERIFY(!addAviEnabled);
        QVERIFY(!closedWhileRunning);
        QVERIFY(unlockedAfter);
        QVERIFY(window.actions()->action(Command::AddAvi)->isEnabled());
        QVERIFY(namesIn(pictures).size() < size_t{250});
    }

    void aDecimalCommaInTheSpeedIsRefusedOnLeavingTheField() {
        auto dialog = openDialog({}, {});
        QApplication::setActiveWindow(dialog.get());
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        dialog->speedField()->setFocus();
        dialog->speedField()->selectAll();
        QTest::keyClicks(dialog->speedField(), QStringLiteral("1,5"));
        test::MessageBoxWatcher boxes;
        dialog->pauseField()->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(boxes.count(), 1);
        QCOMPARE(boxes.seen()[0].text, QString::fromStdString(app::loadString(189)));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QApplication::setActiveWindow(dialog.get());  // the box has gone: the dialog is active again
        QTRY_VERIFY(dialog->speedField()->hasFocus());
        // A Start with the comma still there writes nothing and says it no second time.
        bool asked = false;
        dialog->chooseFiles = [&asked](const QString&) { asked = true; return QStringList(); };
        dialog->startSpeed();
        QVERIFY(!asked);
        QCOMPARE(boxes.count(), 1);
    }

    void settingsAreReadWithTheirLimitsAndWrittenBack() {
        test::writeTextFile(m_store->path(), "[Data]\nSplitCount=5\nSplitTime=7\nSpeedFactor=250\nDvStampPause=0\n"
                                             "FormatString=%Q-%N2\n");
        {
            auto dialog = openDialog({}, {});
            QCOMPARE(dialog->framesField()->text(), QStringLiteral("0"));  // both positive: both 0
            QCOMPARE(dialog->secondsField()->text(), QStringLiteral("0"));
            QCOMPARE(dialog->speedField()->text(), QStringLiteral("100.000"));
            QCOMPARE(dialog->pauseField()->text(), QStringLiteral("1"));
            QTest::keyClicks(dialog->secondsField(), QStringLiteral("9"));
            QTest::keyClicks(dialog->framesField(), QStringLiteral("3"));  // clears the seconds
            QCOMPARE(dialog->secondsField()->text(), QStringLiteral("0"));
            dialog->speedField()->setText(QStringLiteral("0.5"));
            dialog->pauseField()->setText(QStringLiteral("12"));
        }
        QCOMPARE(m_store->readInt("SplitCount", -1), 3);
        QCOMPARE(m_store->readInt("SplitTime", -1), 0);
        QCOMPARE(m_store->readText("SpeedFactor", ""), std::string("0.500"));
        QCOMPARE(m_store->readInt("DvStampPause", -1), 12);
        QCOMPARE(m_store->readText("FormatString", ""), std::string("%Q-%N2"));
        QCOMPARE(m_store->readInt("SpecialSwitch1", -1), 0);
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::AdditionalFunctionsDialogTest)
#include "additional_functions_dialog_test.moc"
