// The main window's menu bar, toolbar and list context menu as a person
// meets them: the entries and their order, the buttons, the save entry.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "app/string_table.h"
#include "gui/main_actions.h"

namespace klemora::gui {

namespace {

// "-" for a separator; a submenu as "Title >" followed by its entries as "> entry".
QStringList entriesOf(const QMenu* menu, const QString& prefix = {}) {
    QStringList entries;
    for (QAction* entry : menu->actions()) {
        if (entry->isSeparator()) {
            entries << prefix + QStringLiteral("-");
        } else if (entry->menu()) {
            entries << prefix + entry->text() + QStringLiteral(" >");
            entries << entriesOf(entry->menu(), prefix + QStringLiteral("> "));
        } else {
            entries << prefix + entry->text();
        }
    }
    return entries;
}

QStringList menuTitles(const QMenuBar& bar) {
    QStringList titles;
    for (QAction* menu : bar.actions()) titles << menu->text();
    return titles;
}

QMenu* menuAt(const QMenuBar& bar, int index) { return bar.actions().at(index)->menu(); }

}  // namespace

class MainActionsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { app::useGermanStrings(); }
    void cleanupTestCase() { app::useGermanStrings(); }

    void theMenuBarHasTheFiveMenusWithEveryCommandInOrder() {
        QWidget window;
        MainActions actions(&window);
        QMenuBar bar;
        actions.fillMenuBar(&bar);
        QCOMPARE(menuTitles(bar), QStringList({"Datei", "Bearbeiten", "Ansicht", "Zusatzfunktionen", "Hilfe"}));
        QCOMPARE(entriesOf(menuAt(bar, 0)),
                 QStringList({"Neues Projekt", "Projekt laden...", "Projekt speichern\tStrg+S",
                              "Projekt speichern als...", "-", "AVI laden...", "AVI speichern...", "DV-Capturing...",
                              "-", "Einstellungen...", "-", "Beenden"}));
        QCOMPARE(entriesOf(menuAt(bar, 1)),
                 QStringList({"Rückgängig\tStrg+Z", "Wiederholen\tStrg+Umschalt+Z", "-",
                              "Szeneneigenschaften...\tStrg+E", "Status 'Ok'/'nicht Ok' setzen\tStrg+F", "-",
                              "Szenenerkennung...", "-", "Szene manuell trennen...", "Szene trimmen...\tStrg+T",
                              "Alle Szenen trimmen...", "Szenen zusammenfügen\tStrg+M", "Szenen sortieren...", "-",
                              "Szenen löschen\tEntf", "Wiederherstellen...", "-", "Alle Szenen markieren\tStrg+A",
                              "-", "Szene verschieben >", "> Szene  hoch\tStrg+Cursor hoch",
                              "> Szene  runter\tStrg+Cursor runter", "> Szene an den Anfang\tStrg+Pos1",
                              "> Szene an das Ende\tStrg+Ende", "Szenengruppe >", "> Neu mit markierten Szenen",
                              "> Neu", "> Umbenennen", "> Löschen"}));
        QCOMPARE(entriesOf(menuAt(bar, 2)),
                 QStringList({"Liste mit Datenansicht", "Liste mit Filmstreifenansicht", "Storyboard", "-",
                              "Szenen abspielen\tLeertaste"}));
        QCOMPARE(entriesOf(menuAt(bar, 3)), QStringList({"Szenenindex generieren...", "Weitere..."}));
        QCOMPARE(entriesOf(menuAt(bar, 4)), QStringList({"Über Klemora...", "Liesmich.txt...", "-", "Hilfe..."}));

        // Every command is reachable from the menus, and none takes a key itself:
        // the window handles the keys, depending on which control has the focus.
        QSet<QAction*> inMenus;
        for (QAction* menu : bar.actions()) {
            for (QAction* entry : menu->menu()->actions()) {
                inMenus.insert(entry);
                if (entry->menu()) for (QAction* sub : entry->menu()->actions()) inMenus.insert(sub);
            }
        }
        for (int i = 0; i < int(Command::Count); ++i) {
            QAction* action = actions.action(Command(i));
            QVERIFY2(inMenus.contains(action), qPrintable(action->text()));
            QVERIFY2(action->shortcuts().isEmpty(), qPrintable(action->text()));
        }
    }

    void inEnglishEveryEntryHasItsTextAndEnglishKeyNames() {
        // english.lang is copied beside the programs.
        QVERIFY(app::loadLanguageFile((QCoreApplication::applicationDirPath() + "/english.lang").toStdString()));
        QWidget window;
        MainActions actions(&window);
        QMenuBar bar;
        actions.fillMenuBar(&bar);
        QCOMPARE(menuTitles(bar), QStringList({"File", "Edit", "View", "Additional functions", "Help"}));
        for (int i = 0; i < int(Command::Count); ++i) {
            QString text = actions.action(Command(i))->text();
            QVERIFY2(!text.isEmpty() && !text.contains(QStringLiteral("missing")), qPrintable(text));
        }
        QCOMPARE(actions.action(Command::SaveProject)->text(), QStringLiteral("Save project\tCtrl+S"));
        QCOMPARE(actions.action(Command::DeleteScenes)->text(), QStringLiteral("Delete scenes\tDel"));
        QCOMPARE(actions.action(Command::PlayScenes)->text(), QStringLiteral("Play scenes\tSpace"));
        actions.showSaveState(true, QStringLiteral("Holiday"));
        QCOMPARE(actions.action(Command::SaveProject)->text(), QStringLiteral("Save project 'Holiday'\tCtrl+S"));
    }

    void theToolbarHasItsButtonsInOrderWithTipsAndTheSizeOfTheImages() {
        QWidget window;
        MainActions actions(&window);
        QToolBar* bar = actions.makeToolBar(&window);
        QList<QAction*> expected{actions.action(Command::NewProject), actions.action(Command::LoadProject),
                                 actions.action(Command::SaveProject), nullptr,
                                 actions.action(Command::DvCapture), actions.action(Command::AddAvi),
                                 actions.action(Command::WriteAvi), nullptr,
                                 actions.action(Command::SceneDetection), actions.action(Command::ManualSplit),
                                 actions.action(Command::TrimAll), nullptr,
                                 actions.action(Command::ViewStoryboard), nullptr, actions.action(Command::Help)};
        QList<QAction*> seen;
        for (QAction* entry : bar->actions()) seen << (entry->isSeparator() ? nullptr : entry);
        QCOMPARE(seen, expected);

        QStringList tips;
        for (QAction* entry : bar->actions()) {
            if (entry->isSeparator()) continue;
            tips << entry->toolTip();
            QCOMPARE(entry->statusTip(), entry->toolTip());
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(entry));
            QVERIFY(button);
            QCOMPARE(button->size(), QSize(25, 20));
            QCOMPARE(button->iconSize(), QSize(25, 20));
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        }
        QCOMPARE(tips, QStringList({"Neues Projekt anlegen.", "Projekt laden (Klemora-Szenendatei, CSV- oder EDL-Datei).",
                                    "Projekt speichern.", "Videomaterial von einer Kamera importieren",
                                    "AVI-Dateien als neue Szenen in die Szenenliste laden.",
                                    "Szenen als AVI-Dateien speichern.",
                                    "Automatische Szenenerkennung für die selektierten Einträge starten.",
                                    "Selektierte Szene manuell in mehrere Szenen aufteilen",
                                    "Alle Szenen der Gruppe in einem Arbeitsgang trimmen",
                                    "Storyboard-Ansicht ein-/ausschalten.", "Online-Hilfe aufrufen."}));
    }

    void everyButtonHasANormalAHotAndADisabledPicture() {
        QWidget window;
        MainActions actions(&window);
        QToolBar* bar = actions.makeToolBar(&window);
        for (QAction* entry : bar->actions()) {
            if (entry->isSeparator()) continue;
            const QIcon icon = entry->icon();
            QImage normal = icon.pixmap(QSize(25, 20), 1.0, QIcon::Normal).toImage();
            QImage hot = icon.pixmap(QSize(25, 20), 1.0, QIcon::Active).toImage();
            QImage disabled = icon.pixmap(QSize(25, 20), 1.0, QIcon::Disabled).toImage();
            QCOMPARE(normal.size(), QSize(25, 20));
            QVERIFY2(normal != hot && normal != disabled && hot != disabled, qPrintable(entry->toolTip()));
            QVERIFY(normal != QImage(normal.size(), normal.format()));  // something is drawn
        }
    }

    void theViewsAreExclusiveAndTheStoryboardButtonIsTheirThirdCheck() {
        QWidget window;
        MainActions actions(&window);
        QToolBar* bar = actions.makeToolBar(&window);
        window.show();
        QAction* list = actions.action(Command::ViewList);
        QAction* strip = actions.action(Command::ViewFilmStrip);
        QAction* board = actions.action(Command::ViewStoryboard);
        QVERIFY(list->isChecked() && !strip->isChecked() && !board->isChecked());
        strip->trigger();
        QVERIFY(!list->isChecked() && strip->isChecked() && !board->isChecked());

        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(board));
        QVERIFY(button->isCheckable());
        QSignalSpy triggered(board, &QAction::triggered);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(triggered.count(), 1);
        QVERIFY(button->isChecked() && board->isChecked() && !strip->isChecked());
        list->trigger();
        QVERIFY(!button->isChecked() && list->isChecked());
    }

    void theListContextMenuHasItsEntriesAndFollowsTheWindowsActions() {
        QWidget window;
        MainActions actions(&window);
        QMenu* menu = actions.makeListContextMenu(&window);
        QCOMPARE(entriesOf(menu),
                 QStringList({"AVI laden...", "-", "Szeneneigenschaften...\tStrg+E",
                              "Status 'Ok'/'nicht Ok' setzen\tStrg+F", "-", "Szenen abspielen\tLeertaste", "-",
                              "Szenenerkennung...", "-", "Szene manuell trennen...", "Szene trimmen...\tStrg+T",
                              "Alle Szenen trimmen...", "Szenen zusammenfügen\tStrg+M",
                              "Neue Gruppe mit markierten Szenen", "Szenen sortieren...", "-",
                              "Szenen löschen\tEntf", "-", "Alle Szenen markieren\tStrg+A"}));

        auto entry = [menu](const QString& text) {
            for (QAction* own : menu->actions())
                if (own->text() == text) return own;
            return static_cast<QAction*>(nullptr);
        };
        QAction* merge = actions.action(Command::MergeScenes);
        QAction* group = actions.action(Command::GroupNewWithScenes);
        merge->setEnabled(false);
        window.show();
        menu->popup(window.mapToGlobal(QPoint(5, 5)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QVERIFY(!entry(QStringLiteral("Szenen zusammenfügen\tStrg+M"))->isEnabled());
        QVERIFY(entry(QStringLiteral("Neue Gruppe mit markierten Szenen"))->isEnabled());
        QSignalSpy merged(merge, &QAction::triggered);
        QSignalSpy grouped(group, &QAction::triggered);
        entry(QStringLiteral("Szenen zusammenfügen\tStrg+M"))->trigger();
        entry(QStringLiteral("Neue Gruppe mit markierten Szenen"))->trigger();
        QCOMPARE(merged.count(), 0);
        QCOMPARE(grouped.count(), 1);
        menu->hide();

        merge->setEnabled(true);  // taken over the next time the menu opens
        menu->popup(window.mapToGlobal(QPoint(5, 5)));
        QVERIFY(entry(QStringLiteral("Szenen zusammenfügen\tStrg+M"))->isEnabled());
        entry(QStringLiteral("Szenen zusammenfügen\tStrg+M"))->trigger();
        QCOMPARE(merged.count(), 1);
        menu->hide();
    }

    void theSaveEntryNamesTheProjectKeepsItsKeyAndIsEnabledOnlyWithChanges() {
        QWidget window;
        MainActions actions(&window);
        QAction* save = actions.action(Command::SaveProject);
        QCOMPARE(save->text(), QStringLiteral("Projekt speichern\tStrg+S"));
        QVERIFY(!save->isEnabled());  // a fresh window has nothing to save
        actions.showSaveState(true, QString());
        QCOMPARE(save->text(), QStringLiteral("Projekt speichern\tStrg+S"));
        QVERIFY(save->isEnabled());
        actions.showSaveState(true, QStringLiteral("Urlaub 2003"));
        QCOMPARE(save->text(), QStringLiteral("Projekt 'Urlaub 2003' speichern\tStrg+S"));
        QVERIFY(save->isEnabled());
        actions.showSaveState(false, QStringLiteral("Urlaub 2003"));
        QCOMPARE(save->text(), QStringLiteral("Projekt 'Urlaub 2003' speichern\tStrg+S"));
        QVERIFY(!save->isEnabled());
        // An '&' in the name is shown as it is, not taken as the menu's underlined letter;
        // a "%s" in it is not taken as a placeholder.
        actions.showSaveState(true, QStringLiteral("Tom & Jerry %s"));
        QCOMPARE(save->text(), QStringLiteral("Projekt 'Tom && Jerry %s' speichern\tStrg+S"));
        actions.showSaveState(true, QString());
        QCOMPARE(save->text(), QStringLiteral("Projekt speichern\tStrg+S"));
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::MainActionsTest)
#include "main_actions_test.moc"
