// "Play scenes" in the main window as a person uses it: Space plays the
// selected scenes in list order in the play window while the other
// commands wait, the window opens again where it was left, and nothing
// selected says so.
#include <QAbstractButton>
#include <QAction>
#include <QtTest>

#include <fstream>

#include "app/settings_store.h"
#include "gui/main_window.h"
#include "gui/player_window.h"
#include "gui/scene_list_view.h"
#include "tests/gui/frame_fixtures.h"
#include "tests/gui/message_box_watcher.h"
#include "tests/support/temp_dir.h"

namespace klemora::gui {

class MainWindowPlayTest : public QObject {
    Q_OBJECT

private:
    test::TempDir m_dir;
    std::unique_ptr<app::SettingsStore> m_store;
    std::unique_ptr<MainWindow> m_window;

    QString fixture(const std::string& name, int frames) {
        std::string path = m_dir.file(name);
        std::string error;
        if (fixtures::writeDvAvi(path, test::distinctFrames(frames), nullptr, &error) != 1) qWarning("%s", error.c_str());
        return QString::fromStdString(path);
    }

    void openWindow() {
        std::ofstream(m_dir.file("Klemora.ini")) << "[Data]\nEnableBackup=0\n";
        m_store = std::make_unique<app::SettingsStore>(m_dir.file("Klemora.ini"));
        m_window = std::make_unique<MainWindow>(*m_store, app::DebugLog{});
        m_window->show();
        m_window->openAtStart({});
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void pressSpace() { QTest::keyClick(m_window->sceneList(), Qt::Key_Space); }

private slots:
    void init() { openWindow(); }
    void cleanup() {
        watchPlayWindow({});
        m_window.reset();
    }

    void spacePlaysTheSelectedScenesInListOrderWhileTheRestWaits() {
        const QString a = fixture("a.avi", 3), b = fixture("b.avi", 4), c = fixture("c.avi", 5);
        m_window->addFiles({a, b, c});
        m_window->sceneList()->selectRows({2, 0});
        QList<QPair<QString, int>> seen;
        bool commandsWaited = true;
        watchPlayWindow([&](QWidget& window, int32_t frame) {
            seen.append({window.windowTitle().section(QStringLiteral(" / "), 0, 0), frame});
            commandsWaited = commandsWaited && !m_window->actions()->action(Command::AddAvi)->isEnabled() &&
                             !m_window->actions()->action(Command::PlayScenes)->isEnabled();
            if (seen.size() == 1) window.move(77, 88);  // the person moves it
        });
        pressSpace();
        QList<QPair<QString, int>> expected = {{a, 0}, {a, 1}, {a, 2}, {c, 0}, {c, 1}, {c, 2}, {c, 3}, {c, 4}};
        QCOMPARE(seen, expected);
        QVERIFY(commandsWaited);
        QVERIFY(m_window->actions()->action(Command::AddAvi)->isEnabled());

        QPoint opened;
        watchPlayWindow([&](QWidget& window, int32_t) { opened = window.pos(); });
        m_window->sceneList()->selectRows({1});
        m_window->actions()->action(Command::PlayScenes)->trigger();  // menu and toolbar
        QCOMPARE(opened, QPoint(77, 88));
    }

    void nothingSelectedSaysSo() {
        m_window->addFiles({fixture("a.avi", 3)});
        m_window->sceneList()->selectRows({});
        int frames = 0;
        watchPlayWindow([&](QWidget&, int32_t) { ++frames; });
        test::MessageBoxWatcher boxes;
        pressSpace();
        QVERIFY(QTest::qWaitFor([&] { return boxes.count() == 1; }));
        QCOMPARE(boxes.seen()[0].text, QStringLiteral("Nichts zu tun. Es muss wenigstens ein Eintrag selektiert sein!"));
        QCOMPARE(frames, 0);
    }

    void aSceneThatCannotPlaySaysSoTwice() {
        const QString a = fixture("a.avi", 3);
        m_window->addFiles({a});
        m_window->sceneList()->selectRows({0});
        std::filesystem::remove(a.toStdString());
        test::MessageBoxWatcher boxes;
        pressSpace();
        QVERIFY(QTest::qWaitFor([&] { return boxes.count() == 2; }));
        QVERIFY(boxes.seen()[0].text.startsWith(QStringLiteral("PlayFile-Error! (-6)\nDxErrorText: ")));
        QCOMPARE(boxes.seen()[1].text, QStringLiteral("Fehler in PlayFile()!\nCode: -6"));
        QVERIFY(m_window->actions()->action(Command::PlayScenes)->isEnabled());
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainWindowPlayTest)
#include "main_window_play_test.moc"
