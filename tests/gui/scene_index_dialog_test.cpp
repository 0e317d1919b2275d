// The scene index dialog as a person uses it: the values of a prepared
// settings file at opening and back at closing, presets and sizes typed in
// by hand, "As43", the template chooser's start folder, and the pages the
// main window's command writes compared with those of klemora-cli; Esc
// during a run stops it without a message.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/main_actions.h"
#include "gui/main_window.h"
#include "gui/scene_index_dialog.h"
#include "output/html_result.h"
#include "output/html_settings.h"
#include "scene/group_file.h"
#include "scene/group_tree.h"
#include "tests/cli/cli_runner.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class SceneIndexDialogTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    std::string m_source;
    std::string m_template;
    std::string m_project;

    void prepareSettings(const std::string& extra) {
        std::ofstream(m_dir.file("Klemora.ini"))
            << "[Data]\nEnableBackup=0\nHtmlPicSzX=96\nHtmlPicSzY=72\nHtmlPresetNr=1\nHtmlColumnCount=3\n"
               "HtmlComment=Erste+nr+Zweite\nHtmlTemplateName="
            << m_template << "\n" << extra;
    }

    std::string ini() { return test::readTextFile(m_dir.file("Klemora.ini")); }

private slots:
    void initTestCase() {
        app::useGermanStrings();
        ::mkdir(m_dir.file("clips").c_str(), 0755);
        m_source = test::writeFixture(m_dir.file("clips/clip.avi"), test::distinctFrames(50));
        m_template = m_dir.file("cell.tpl");
        test::writeTextFile(m_template, "#REM test cell\n<p>#SCENENUMBER #FRAMEBYNUMBER0</p>\n");
        scene::GroupTree tree;
        for (int start : {0, 25}) {
            int i = tree.root().list().AddNewScene();
            tree.root().list().setSourceFile(i, m_source);
            tree.root().list().setStartFrame(i, start);
            tree.root().list().setStopFrame(i, start + 24);
        }
        scene::Group& second = tree.addGroup(nullptr, "Zweite");
        int i = second.list().AddNewScene();
        second.list().setSourceFile(i, m_source);
        second.list().setStopFrame(i, 9);
        m_project = m_dir.file("project.scn");
        QCOMPARE(scene::writeGroupFile(m_project, tree), 1);
    }

    void opensWithTheStoredValuesAndStoresThemAtClosing() {
        prepareSettings("");
        app::SettingsStore store(m_dir.file("Klemora.ini"));
        QtUserInterface ui(nullptr);
        scene::GroupTree tree;
        SceneIndexDialog dialog(ui, store, tree);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Szenenindex generieren"));
        QVERIFY(dialog.projectSource()->isChecked());
        QCOMPARE(dialog.presetBox()->currentText(), QStringLiteral("96 x 72"));
        QCOMPARE(dialog.widthEdit()->text(), QStringLiteral("96"));
        QCOMPARE(dialog.heightEdit()->text(), QStringLiteral("72"));
        QCOMPARE(dialog.commentEdit()->toPlainText(), QStringLiteral("Erste\nZweite"));
        QCOMPARE(dialog.columnBox()->value(), 3);
        QCOMPARE(dialog.columnBox()->maximum(), 20);
        QCOMPARE(dialog.templateBox()->text(), QString::fromStdString(m_template));

        // A preset sets both sizes; a size typed in by hand is preset -1.
        dialog.presetBox()->activated(3);
        dialog.presetBox()->setCurrentIndex(3);
        QCOMPARE(dialog.widthEdit()->text(), QStringLiteral("384"));
        QCOMPARE(dialog.heightEdit()->text(), QStringLiteral("288"));
        dialog.heightEdit()->clear();
        QTest::keyClicks(dialog.heightEdit(), "200");
        QCOMPARE(dialog.presetBox()->currentIndex(), -1);
        dialog.commentEdit()->setPlainText("a\nb");
        dialog.columnBox()->setValue(4);
        dialog.reject();
        const std::string stored = ini();
        QVERIFY(stored.find("HtmlPresetNr=-1") != std::string::npos);
        QVERIFY(stored.find("HtmlPicSzX=384") != std::string::npos);
        QVERIFY(stored.find("HtmlPicSzY=200") != std::string::npos);
        QVERIFY(stored.find("HtmlColumnCount=4") != std::string::npos);
        QVERIFY(stored.find("HtmlComment=a+nr+b") != std::string::npos);
    }

    void as43ShowsAutomaticWidthAndTheChooserStartsInTheTemplateFolder() {
        prepareSettings("As43=1\n");
        app::SettingsStore store(m_dir.file("Klemora.ini"));
        QtUserInterface ui(nullptr);
        scene::GroupTree tree;
        SceneIndexDialog dialog(ui, store, tree);
        dialog.show();
        QVERIFY(!dialog.widthEdit()->isVisible());
        QVERIFY(dialog.autoWidthBox()->isVisible());
        QCOMPARE(dialog.autoWidthBox()->text(), QStringLiteral("Autom."));

        QString startFolder;
        const std::string chosen = m_dir.file("five.tpl");
        test::writeTextFile(chosen, "#DEFAULTCOLUMNS5\n<p>#SCENENUMBER</p>\n");
        dialog.chooseTemplate = [&](const QString& folder) {
            startFolder = folder;
            return QString::fromStdString(chosen);
        };
        dialog.pickTemplate();
        QCOMPARE(startFolder, QString::fromStdString(output::defaultTemplateFolder()));
        QCOMPARE(dialog.columnBox()->value(), 5);
        QCOMPARE(dialog.templateBox()->text(), QString::fromStdString(chosen));
        QVERIFY(ini().find("HtmlTemplateName=" + chosen) != std::string::npos);
        QVERIFY(ini().find("HtmlTemplatePath=" + m_dir.path() + "/") != std::string::npos);
        dialog.pickTemplate();
        QCOMPARE(startFolder, QString::fromStdString(m_dir.path() + "/"));
    }

    void theMainWindowsCommandWritesThePagesOfTheCli() {
        prepareSettings("");
        app::SettingsStore store(m_dir.file("Klemora.ini"));
        MainWindow window(store, app::DebugLog{});
        window.show();
        window.openAtStart(QString::fromStdString(m_project));
        QVERIFY(window.actions()->action(Command::SceneIndex)->isEnabled());
        ::mkdir(m_dir.file("gui").c_str(), 0755);
        QStringList shown;
        window.aboutToIndex = [&](SceneIndexDialog& dialog) {
            dialog.chooseMainFile = [&](const QString&) { return QString::fromStdString(m_dir.file("gui/index.htm")); };
            dialog.showInBrowser = [&](const QString& page) {
                shown << page;
                return true;
            };
            QTimer::singleShot(0, &dialog, [&dialog] {
                QTest::mouseClick(dialog.generateAndShowButton(), Qt::LeftButton);
                dialog.reject();
            });
        };
        window.actions()->action(Command::SceneIndex)->trigger();
        QCOMPARE(shown, QStringList{QString::fromStdString(m_dir.file("gui/index.htm"))});
        QVERIFY(ini().find("HtmlDstPath=" + m_dir.file("gui")) != std::string::npos);

        ::mkdir(m_dir.file("cli").c_str(), 0755);
        test::CliResult r = test::runCli({"--batch", "--lang", "DE", "index", m_project, "--template", m_template,
                                          "--out", m_dir.file("cli/index.htm"), "--size", "96x72", "--columns", "3",
                                          "--comment", "Erste\r\nZweite"},
                                         m_dir.path() + "/clidata");
        QVERIFY2(r.exitCode == 0, r.err.c_str());
        for (const char* page : {"index.htm", "index_01_Start.htm", "index_02_Zweite.htm",
                                 "img_index_Start/clip_00025.bmp", "img_index_Zweite/clip_00000.bmp"})
            QCOMPARE(test::readTextFile(m_dir.file(std::string("gui/") + page)),
                     test::readTextFile(m_dir.file(std::string("cli/") + page)));
    }

    void aFolderIndexIsThePageOfTheCli() {
        prepareSettings("");
        app::SettingsStore store(m_dir.file("Klemora.ini"));
        QtUserInterface ui(nullptr);
        scene::GroupTree tree;
        SceneIndexDialog dialog(ui, store, tree);
        ::mkdir(m_dir.file("guidir").c_str(), 0755);
        dialog.folderSource()->setChecked(true);
        dialog.chooseMainFile = [&](const QString&) { return QString::fromStdString(m_dir.file("guidir/clips.htm")); };
        dialog.chooseSourceFolder = [this] { return QString::fromStdString(m_dir.file("clips")); };
        QCOMPARE(dialog.generate(false), 1);
        ::mkdir(m_dir.file("clidir").c_str(), 0755);
        test::CliResult r = test::runCli({"--batch", "--lang", "DE", "index", "--dir", m_dir.file("clips"), "--template",
                                          m_template, "--out", m_dir.file("clidir/clips.htm"), "--size", "96x72",
                                          "--columns", "3", "--comment", "Erste\r\nZweite"},
                                         m_dir.path() + "/clidata");
        QVERIFY2(r.exitCode == 0, r.err.c_str());
        QCOMPARE(test::readTextFile(m_dir.file("guidir/clips.htm")), test::readTextFile(m_dir.file("clidir/clips.htm")));
    }

    void escDuringARunStopsItWithoutAMessage() {
        prepareSettings("");
        app::SettingsStore store(m_dir.file("Klemora.ini"));
        QtUserInterface ui(nullptr);
        // Enough scenes that the run is still going when the key comes.
        scene::GroupTree tree;
        for (int n = 0; n < 400; ++n) {
            int i = tree.root().list().AddNewScene();
            tree.root().list().setSourceFile(i, m_source);
            tree.root().list().setStartFrame(i, n % 50);
            tree.root().list().setStopFrame(i, n % 50);
        }
        SceneIndexDialog dialog(ui, store, tree);
        dialog.show();
        ::mkdir(m_dir.file("stopped").c_str(), 0755);
        dialog.chooseMainFile = [&](const QString&) { return QString::fromStdString(m_dir.file("stopped/index.htm")); };
        bool shown = false;
        dialog.showInBrowser = [&](const QString&) { return shown = true; };
        dialog.runningChanged = [&](bool running) {
            if (running) QTimer::singleShot(0, &dialog, [&dialog] { QTest::keyClick(&dialog, Qt::Key_Escape); });
        };
        test::MessageBoxWatcher boxes;
        QCOMPARE(dialog.generate(true), output::code(output::HtmlIndexResult::Cancelled));
        QTest::qWait(50);  // a message box would be up by now
        QCOMPARE(boxes.count(), 0);
        QVERIFY(!shown);
        QVERIFY(dialog.isVisible());  // Esc stopped the run; it did not close the dialog
        QVERIFY(dialog.generateAndShowButton()->isEnabled());
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::SceneIndexDialogTest)
#include "scene_index_dialog_test.moc"
