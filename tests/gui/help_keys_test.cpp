// F1 in every window opens that window's help page, in the language of the
// settings the window was given; "Hilfe..." and the info dialog open the
// index; a browser that cannot be started brings message 103.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QtTest>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "app/paths.h"
#include "app/settings_store.h"
#include "app/string_table.h"
#include "gui/additional_functions_dialog.h"
#include "gui/auto_cut_dialog.h"
#include "gui/camera_dialog.h"
#include "gui/help_page.h"
#include "gui/info_dialog.h"
#include "gui/main_actions.h"
#include "gui/group_tree_view.h"
#include "gui/main_window.h"
#include "gui/manual_cut_dialog.h"
#include "gui/qt_user_interface.h"
#include "gui/scene_index_dialog.h"
#include "gui/scene_list_view.h"
#include "gui/scene_properties_dialog.h"
#include "gui/settings_dialog.h"
#include "gui/sort_dialog.h"
#include "gui/text_of.h"
#include "gui/trash_dialog.h"
#include "gui/trim_dialog.h"
#include "gui/write_scenes_dialog.h"
#include "scene/group_tree.h"
#include "tests/gui/camera_fixture.h"
#include "tests/gui/fake_area_player.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/recording_power.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

using WindowMaker = std::function<std::unique_ptr<QWidget>(const app::SettingsStore&, const std::string& lang)>;

class HelpKeysTest : public QObject {
    Q_OBJECT

    test::TempDir m_dir;
    test::CameraSetup m_camera;  // the simulated camera the camera dialog finds
    std::string m_source;
    scene::SceneList m_scenes;
    scene::SceneList m_empty;
    scene::GroupTree m_tree;
    test::ScriptedUserInterface m_scriptedUi;
    QtUserInterface m_qtUi{nullptr};
    test::RecordingPower m_power;
    std::map<QString, WindowMaker> m_makers;
    QStringList m_madePages;  // English pages this test put in place, removed at the end
    QList<QUrl> m_opened;

    std::unique_ptr<app::SettingsStore> storeWithLanguage(const std::string& lang) {
        test::writeTextFile(m_dir.file("Klemora.ini"),
                            "[Data]\nEnableBackup=0\nVideoDevice=simulated dv camera\nLang=" + lang + "\n");
        return std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
    }

    static QString helpFolder() { return QString::fromStdString(app::programFolder()) + QStringLiteral("/HtmlDoku/"); }

    // The English pages exist in the program folder, so that the English rows
    // see them whatever the documentation holds at the moment.
    void provideEnglishPage(const QString& page) {
        const QString path = helpFolder() + QStringLiteral("en/") + page;
        if (QFile::exists(path) || m_madePages.contains(path)) return;
        QDir().mkpath(helpFolder() + QStringLiteral("en"));
        test::writeTextFile(path.toStdString(), "<html></html>\n");
        m_madePages << path;
    }

    void addMakers() {
        m_makers[QStringLiteral("settings")] = [](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<SettingsDialog>(s, 0x0407, nullptr);
        };
        m_makers[QStringLiteral("camera")] = [](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<CameraDialog>(s, app::DebugLog{});
        };
        m_makers[QStringLiteral("auto cut")] = [this](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<AutoCutDialog>(s, m_power, media::MediaSettings{}, m_scenes);
        };
        m_makers[QStringLiteral("manual cut")] = [this](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<ManualCutDialog>(m_scriptedUi, s, media::MediaSettings{},
                                                     ManualCutScene{m_source, 5, 20},
                                                     std::make_unique<test::FakeAreaPlayer>());
        };
        m_makers[QStringLiteral("trim")] = [this](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<TrimDialog>(m_scriptedUi, s, media::MediaSettings{},
                                                std::make_unique<test::FakeAreaPlayer>(), m_scenes, 0,
                                                TrimDialog::Mode::SingleScene);
        };
        m_makers[QStringLiteral("sort")] = [](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<SortDialog>(s);
        };
        m_makers[QStringLiteral("properties")] = [this](const app::SettingsStore& s, const std::string&) {
            auto dialog = std::make_unique<ScenePropertiesDialog>(m_qtUi, s, app::DebugLog{});
            dialog->showScene(*m_scenes.record(0));
            return dialog;
        };
        m_makers[QStringLiteral("trash")] = [this](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<TrashDialog>(m_scriptedUi, s, media::MediaSettings{}, m_empty, m_scenes);
        };
        m_makers[QStringLiteral("write")] = [this](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<WriteScenesDialog>(s, m_tree, nullptr);
        };
        m_makers[QStringLiteral("index")] = [this](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<SceneIndexDialog>(m_qtUi, s, m_tree);
        };
        m_makers[QStringLiteral("additional")] = [](const app::SettingsStore& s, const std::string&) {
            return std::make_unique<AdditionalFunctionsDialog>(s, media::MediaSettings{}, app::DebugLog{});
        };
        m_makers[QStringLiteral("info")] = [](const app::SettingsStore&, const std::string& lang) {
            return std::make_unique<InfoDialog>(lang, app::programFolder(), nullptr);
        };
        // The main window's help is the same from its scene list and its group tree.
        m_makers[QStringLiteral("main window")] = [](const app::SettingsStore& s, const std::string&) {
            auto window = std::make_unique<MainWindow>(s, app::DebugLog{});
            window->openAtStart({});
            window->sceneList()->setFocus();
            return window;
        };
        m_makers[QStringLiteral("group tree")] = [](const app::SettingsStore& s, const std::string&) {
            auto window = std::make_unique<MainWindow>(s, app::DebugLog{});
            window->openAtStart({});
            window->groupTree()->setFocus();
            return window;
        };
    }

    static void pressF1(QWidget* window) {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_F1);
    }

private slots:
    void initTestCase() {
        app::useGermanStrings();
        m_source = test::writeFixture(m_dir.file("scene.avi"), test::distinctFrames(30));
        int i = m_scenes.AddNewScene();
        m_scenes.setSourceFile(i, m_source);
        m_scenes.setStopFrame(i, 29);
        m_scenes.setDefinedStop(i, 29);
        int j = m_tree.root().list().AddNewScene();
        m_tree.root().list().setSourceFile(j, m_source);
        m_tree.root().list().setStopFrame(j, 29);
        addMakers();
    }

    void init() { m_opened.clear(); }

    void cleanupTestCase() {
        for (const QString& path : m_madePages) QFile::remove(path);
    }

    void f1OpensTheWindowsPageInItsLanguage_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("page");
        const QList<std::pair<const char*, const char*>> pages = {
            {"main window", "page01.htm"}, {"group tree", "page01.htm"}, {"settings", "page02.htm"},  {"camera", "page03.htm"},
            {"auto cut", "page04.htm"},    {"manual cut", "page05.htm"}, {"trim", "page06.htm"},
            {"sort", "page07.htm"},        {"properties", "page08.htm"}, {"trash", "page09.htm"},
            {"write", "page10.htm"},       {"index", "page11.htm"},      {"additional", "page12.htm"},
            {"info", "index.htm"}};
        QTest::addColumn<QString>("lang");
        for (const char* lang : {"DE", "US"})
            for (const auto& [window, page] : pages)
                QTest::addRow("%s %s", window, lang) << QString::fromLatin1(window) << QString::fromLatin1(page)
                                                     << QString::fromLatin1(lang);
    }

    void f1OpensTheWindowsPageInItsLanguage() {
        QFETCH(QString, window);
        QFETCH(QString, page);
        QFETCH(QString, lang);
        const bool english = lang == QStringLiteral("US");
        if (english) provideEnglishPage(page);
        ScopedHelpOpener opener([this](const QUrl& url) {
            m_opened << url;
            return true;
        });
        const std::string code = lang.toStdString();
        auto store = storeWithLanguage(code);
        std::unique_ptr<QWidget> shown = m_makers.at(window)(*store, code);
        pressF1(shown.get());
        QTRY_COMPARE(m_opened.size(), 1);
        const QString expected = helpFolder() + (english ? QStringLiteral("en/") : QString()) + page;
        QCOMPARE(m_opened.front(), QUrl::fromLocalFile(expected));
    }

    void theHelpEntryOfTheMainWindowOpensTheIndex() {
        ScopedHelpOpener opener([this](const QUrl& url) {
            m_opened << url;
            return true;
        });
        auto store = storeWithLanguage("DE");
        MainWindow window(*store, app::DebugLog{});
        window.show();
        window.actions()->action(Command::Help)->trigger();
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(helpFolder() + QStringLiteral("index.htm"))});
    }

    void aMissingEnglishPageFallsBackToTheGermanOne() {
        const QString page = QStringLiteral("no-english-version.htm");
        QCOMPARE(helpPagePath(page, "US"), helpFolder() + page);
        QCOMPARE(helpPagePath(page, ""), helpFolder() + page);
    }

    void aBrowserThatCannotStartShowsMessage103WithTheCommand() {
        ScopedHelpOpener opener([](const QUrl&) { return false; });
        auto store = storeWithLanguage("DE");
        SortDialog dialog(*store);
        test::MessageBoxWatcher watcher;
        pressF1(&dialog);
        QTRY_COMPARE(watcher.count(), 1);
        QCOMPARE(watcher.seen().front().text, textOf(103) + QStringLiteral(":\n") + helpFolder() +
                                                  QStringLiteral("page07.htm"));
        QCOMPARE(watcher.seen().front().icon, QMessageBox::Critical);
    }

    void theBrowserFromTheEnvironmentGetsThePagesUrl() {
        const std::string record = m_dir.file("opened.txt");
        const std::string script = m_dir.file("browser.sh");
        test::writeTextFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > '" + record + "'\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        {
            test::ScopedEnv browser("KLEMORA_BROWSER", script.c_str());
            QVERIFY(openHelpPage(nullptr, QStringLiteral("page07.htm"), "DE"));
            QTRY_VERIFY(!test::readTextFile(record).empty());
            QCOMPARE(QString::fromStdString(test::readTextFile(record)),
                     QUrl::fromLocalFile(helpFolder() + QStringLiteral("page07.htm")).toString());
        }
        const std::string missing = m_dir.file("no-such-browser");
        test::ScopedEnv browser("KLEMORA_BROWSER", missing.c_str());
        test::MessageBoxWatcher watcher;
        QVERIFY(!openHelpPage(nullptr, QStringLiteral("page07.htm"), "DE"));
        QCOMPARE(watcher.count(), 1);
        QVERIFY(watcher.seen().front().text.startsWith(textOf(103) + QStringLiteral(":\n") +
                                                       QString::fromStdString(missing) + QStringLiteral(" file://")));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::HelpKeysTest)
#include "help_keys_test.moc"
