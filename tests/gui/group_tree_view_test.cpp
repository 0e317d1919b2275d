// The group tree as a person uses it: the items mirror the groups, keys and
// the context menu ask for the group commands, the inline editor hands its
// text back without renaming anything, drags onto groups are reported but
// move nothing, and a rebuild after a change or an undo keeps the place.
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeWidgetItemIterator>
#include <QtTest>
#include <memory>

#include "app/string_table.h"
#include "gui/group_tree_view.h"
#include "gui/scene_drag.h"
#include "scene/edit_history.h"

Q_DECLARE_METATYPE(klemora::scene::Group*)

namespace klemora::gui {

namespace {

// The window around the tree: records the keys that come up from it, and
// has the shortcuts the main window gives Delete and Insert elsewhere.
class Window : public QWidget {
public:
    Window() {
        for (QKeySequence key : {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Insert)}) {
            auto* action = new QAction(this);
            action->setShortcut(key);
            addAction(action);
            connect(action, &QAction::triggered, this, [this] { ++shortcuts; });
        }
    }
    int shortcuts = 0;
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.append(event->key()); }
};

struct DropOutcome {
    bool moveAccepted = false;
    bool dropAccepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

DropOutcome dragAndDrop(GroupTreeView& view, QPoint pos, const QMimeData& data) {
    const Qt::DropActions actions = Qt::MoveAction | Qt::CopyAction;
    QDragEnterEvent enter(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    QDragMoveEvent move(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    QDropEvent drop(QPointF(pos), actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drop);
    QCoreApplication::processEvents();  // the drop's signal follows the drop event
    return {move.isAccepted(), drop.isAccepted(), drop.dropAction()};
}

QStringList textsOf(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) texts << action->text() + (action->isEnabled() ? "" : " (off)");
    return texts;
}

}  // namespace

class GroupTreeViewTest : public QObject {
    Q_OBJECT

private:
    // Start { Urlaub { Strand, Berg }, Hochzeit }
    scene::GroupTree m_tree;
    scene::Group* m_urlaub = nullptr;
    scene::Group* m_strand = nullptr;
    scene::Group* m_berg = nullptr;
    scene::Group* m_hochzeit = nullptr;
    std::unique_ptr<Window> m_window;
    GroupTreeView* m_view = nullptr;

    QTreeWidgetItem* item(const scene::GroupPath& path) const {
        QTreeWidgetItem* it = m_view->topLevelItem(0);
        for (int row : path) it = it ? it->child(row) : nullptr;
        return it;
    }
    QPoint centreOf(const scene::GroupPath& path) const { return m_view->visualItemRect(item(path)).center(); }
    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(m_view->indexWidget(m_view->currentIndex())); }

private slots:
    void initTestCase() {
        app::useGermanStrings();
        qRegisterMetaType<scene::Group*>();
    }

    void init() {
        m_tree.clear();
        m_urlaub = &m_tree.addGroup(nullptr, "Urlaub");
        m_strand = &m_tree.addGroup(m_urlaub, "Strand");
        m_berg = &m_tree.addGroup(m_urlaub, "Berg");
        m_hochzeit = &m_tree.addGroup(nullptr, "Hochzeit");
        m_window = std::make_unique<Window>();
        m_view = new GroupTreeView(m_window.get());
        m_view->setGeometry(0, 0, 300, 400);
        m_window->resize(300, 400);
        m_view->setTree(&m_tree);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_view->setFocus();
    }

    void cleanup() { m_window.reset(); }

    void theItemsMirrorTheTreeExpandedWithTheRootCurrent() {
        QCOMPARE(m_view->topLevelItemCount(), 1);
        QCOMPARE(item({})->text(0), QStringLiteral("Start"));
        QCOMPARE(item({0})->text(0), QStringLiteral("Urlaub"));
        QCOMPARE(item({0, 0})->text(0), QStringLiteral("Strand"));
        QCOMPARE(item({0, 1})->text(0), QStringLiteral("Berg"));
        QCOMPARE(item({1})->text(0), QStringLiteral("Hochzeit"));
        QVERIFY(item({})->isExpanded() && item({0})->isExpanded());
        QCOMPARE(m_view->currentGroup(), &m_tree.root());

        QSignalSpy selected(m_view, &GroupTreeView::groupSelected);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, centreOf({1}));
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.takeFirst()[0].value<scene::Group*>(), m_hochzeit);
        QTest::keyClick(m_view, Qt::Key_Up);
        QCOMPARE(selected.takeFirst()[0].value<scene::Group*>(), m_berg);
        m_view->selectGroup(m_berg);  // already current: told once more all the same
        QCOMPARE(selected.takeFirst()[0].value<scene::Group*>(), m_berg);
        m_view->selectPath({0, 0});
        QCOMPARE(selected.takeFirst()[0].value<scene::Group*>(), m_strand);
        m_view->selectPath({4});
        QCOMPARE(selected.takeFirst()[0].value<scene::Group*>(), &m_tree.root());

        m_view->setTree(nullptr);
        QCOMPARE(m_view->topLevelItemCount(), 0);
        QCOMPARE(m_view->currentGroup(), nullptr);
        QCOMPARE(selected.count(), 0);
    }

    void theTreeKeysAskForTheGroupCommandsAndEnterAndEscStayInTheTree() {
        QSignalSpy added(m_view, &GroupTreeView::newGroupRequested);
        QSignalSpy renamed(m_view, &GroupTreeView::renameRequested);
        QSignalSpy deleted(m_view, &GroupTreeView::deleteGroupRequested);
        m_view->selectGroup(m_strand);
        for (Qt::Key key : {Qt::Key_Insert, Qt::Key_Delete, Qt::Key_F2, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(m_view, key);
        QCOMPARE(added.count(), 1);
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(renamed.count(), 1);
        QCOMPARE(m_window->shortcuts, 0);
        QCOMPARE(m_window->keys, QList<int>());
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_view->currentGroup(), m_strand);
        QCOMPARE(m_tree.groupCount(), 5);
    }

    void theInlineEditorHandsItsTextBackAndRenamesNothing() {
        QSignalSpy finished(m_view, &GroupTreeView::renameFinished);
        QSignalSpy deleted(m_view, &GroupTreeView::deleteGroupRequested);
        m_view->selectGroup(m_urlaub);
        m_view->editCurrentName();
        QVERIFY(m_view->isEditingName());
        QVERIFY(editor());
        QTest::keyClick(editor(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor(), "Ferien 2026");
        QTest::keyClick(editor(), Qt::Key_Return);
        QCoreApplication::processEvents();  // Qt ends an edit on Enter from the event loop
        QVERIFY(!m_view->isEditingName());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished[0][0].value<scene::Group*>(), m_urlaub);
        QCOMPARE(finished[0][1].toString(), QStringLiteral("Ferien 2026"));
        QCOMPARE(m_urlaub->name(), "Urlaub");              // only the rename command changes it
        QCOMPARE(item({0})->text(0), QStringLiteral("Urlaub"));  // what a refused rename shows
        m_tree.setGroupName(*m_urlaub, "Ferien 2026");
        m_view->refreshNames();
        QCOMPARE(item({0})->text(0), QStringLiteral("Ferien 2026"));

        // Delete and Esc belong to the open editor: a character goes, the
        // group stays, and Esc ends the edit without a word.
        m_window->keys.clear();
        m_view->editCurrentName();
        QTest::keyClick(editor(), Qt::Key_Home);
        QTest::keyClick(editor(), Qt::Key_Delete);
        QCOMPARE(editor()->text(), QStringLiteral("erien 2026"));
        QTest::keyClick(editor(), Qt::Key_Escape);
        QVERIFY(!m_view->isEditingName());
        QCOMPARE(deleted.count(), 0);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(m_window->keys, QList<int>());

        // Enter on an unchanged name, then losing the focus with a new one.
        m_view->editCurrentName();
        QTest::keyClick(editor(), Qt::Key_Return);
        QCoreApplication::processEvents();  // Qt ends an edit on Enter from the event loop
        QCOMPARE(finished.count(), 1);
        m_view->editCurrentName();
        QTest::keyClick(editor(), Qt::Key_End);
        QTest::keyClicks(editor(), "!");
        QLineEdit elsewhere(m_window.get());
        elsewhere.show();
        elsewhere.setFocus();
        QVERIFY(!m_view->isEditingName());
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished[1][1].toString(), QStringLiteral("Ferien 2026!"));

        m_view->selectGroup(&m_tree.root());  // the root's name is not edited
        m_view->editCurrentName();
        QVERIFY(!m_view->isEditingName());
    }

    void dropsOnAGroupAreReportedAndMoveNoItem() {
        QSignalSpy groups(m_view, &GroupTreeView::groupDropped);
        QSignalSpy scenes(m_view, &GroupTreeView::scenesDropped);
        const QModelIndex root = m_view->model()->index(0, 0);
        const QModelIndex urlaub = m_view->model()->index(0, 0, root);
        std::unique_ptr<QMimeData> berg(m_view->model()->mimeData({m_view->model()->index(1, 0, urlaub)}));
        QVERIFY(berg);

        DropOutcome outcome = dragAndDrop(*m_view, centreOf({1}), *berg);
        QVERIFY(outcome.moveAccepted && outcome.dropAccepted);
        QCOMPARE(outcome.action, Qt::MoveAction);
        QCOMPARE(groups.count(), 1);
        QCOMPARE(groups[0][0].value<scene::Group*>(), m_berg);
        QCOMPARE(groups[0][1].value<scene::Group*>(), m_hochzeit);
        QCOMPARE(item({0, 1})->text(0), QStringLiteral("Berg"));  // still where it was
        QCOMPARE(item({1})->childCount(), 0);

        std::unique_ptr<QMimeData> start(m_view->model()->mimeData({root}));
        dragAndDrop(*m_view, centreOf({0, 0}), *start);  // the command refuses with its message
        QCOMPARE(groups.count(), 2);
        QCOMPARE(groups[1][0].value<scene::Group*>(), &m_tree.root());

        std::unique_ptr<QMimeData> rows(sceneRowsMimeData({3, 1}));
        outcome = dragAndDrop(*m_view, centreOf({0, 0}), *rows);
        QVERIFY(outcome.dropAccepted);
        QCOMPARE(outcome.action, Qt::MoveAction);  // the list view must not remove its rows itself
        QCOMPARE(scenes.count(), 1);
        QCOMPARE(scenes[0][0].value<scene::Group*>(), m_strand);

        // Between two items, on empty space, foreign data, a drag from before a rebuild: nothing.
        const QRect strandRect = m_view->visualItemRect(item({0, 0}));
        QMimeData text;
        text.setText("Strand");
        QVERIFY(!dragAndDrop(*m_view, QPoint(strandRect.center().x(), strandRect.top()), *rows).dropAccepted);
        QVERIFY(!dragAndDrop(*m_view, QPoint(20, 380), *rows).dropAccepted);
        QVERIFY(!dragAndDrop(*m_view, centreOf({1}), text).dropAccepted);
        m_view->rebuild();
        QVERIFY(!dragAndDrop(*m_view, centreOf({1}), *berg).dropAccepted);
        QCOMPARE(groups.count(), 2);
        QCOMPARE(scenes.count(), 1);
    }

    void aRebuildKeepsTheCurrentGroupByItsPlaceAlsoAfterAnUndo() {
        QSignalSpy selected(m_view, &GroupTreeView::groupSelected);
        m_view->selectGroup(m_berg);
        selected.clear();
        scene::SceneList shown;
        scene::SceneList trash;
        scene::EditTargets targets{&shown, &trash, &m_tree};
        scene::EditHistory history;
        scene::EditSnapshot before = scene::takeSnapshot(targets, scene::kScopeTree);
        QVERIFY(m_tree.moveGroup(*m_hochzeit, *m_urlaub));
        history.record(std::move(before));
        m_view->rebuild();
        QCOMPARE(item({0, 2})->text(0), QStringLiteral("Hochzeit"));
        QVERIFY(item({0})->isExpanded());
        QCOMPARE(m_view->currentGroup(), m_berg);

        QVERIFY(history.undo(targets).treeRebuilt);  // every Group is a new object now
        m_view->rebuild();
        QCOMPARE(item({1})->text(0), QStringLiteral("Hochzeit"));
        QCOMPARE(m_view->currentGroup(), m_tree.root().child(0)->child(1));
        QCOMPARE(m_view->currentGroup()->name(), "Berg");

        QVERIFY(m_tree.removeGroup(*m_tree.root().child(0)));  // the place is gone: the root
        m_view->rebuild();
        QCOMPARE(m_view->currentGroup(), &m_tree.root());
        QCOMPARE(selected.count(), 0);
    }

    void theContextMenuOffersTheThreeGroupCommands() {
        QSignalSpy deleted(m_view, &GroupTreeView::deleteGroupRequested);
        QSignalSpy added(m_view, &GroupTreeView::newGroupRequested);
        {
            QMenu menu;
            m_view->fillContextMenu(menu);
            QCOMPARE(textsOf(menu), (QStringList{"Gruppe hinzufügen", "Gruppe umbenennen (off)", "Gruppe löschen (off)"}));
            menu.actions()[0]->trigger();
            QCOMPARE(added.count(), 1);
        }
        // The right button on a group makes it current, and the context
        // menu event that follows it opens the menu for that group.
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            shown = textsOf(*menu);
            menu->actions()[2]->trigger();
            menu->close();
        });
        const QPoint strand = centreOf({0, 0});
        QTest::mouseClick(m_view->viewport(), Qt::RightButton, {}, strand);
        QContextMenuEvent event(QContextMenuEvent::Mouse, strand, m_view->viewport()->mapToGlobal(strand));
        QApplication::sendEvent(m_view->viewport(), &event);
        QCOMPARE(m_view->currentGroup(), m_strand);
        QCOMPARE(shown, (QStringList{"Gruppe hinzufügen", "Gruppe umbenennen", "Gruppe löschen"}));
        QCOMPARE(deleted.count(), 1);
    }

    void twoThousandGroupsAreAllShownAndReachable() {
        m_tree.clear();
        scene::Group* deep = &m_tree.root();
        for (int i = 0; i < 500; ++i) deep = &m_tree.addGroup(deep, "Tiefe " + std::to_string(i));
        for (int i = 0; i < 30; ++i) {
            scene::Group& parent = m_tree.addGroup(nullptr, "Band " + std::to_string(i));
            for (int j = 0; j < 49; ++j) m_tree.addGroup(&parent, "Teil " + std::to_string(j));
        }
        QCOMPARE(m_tree.groupCount(), 2001);
        m_view->rebuild();
        int items = 0;
        bool allExpanded = true;
        for (QTreeWidgetItemIterator it(m_view); *it; ++it, ++items)
            allExpanded = allExpanded && ((*it)->childCount() == 0 || (*it)->isExpanded());
        QCOMPARE(items, 2001);
        QVERIFY(allExpanded);
        QSignalSpy selected(m_view, &GroupTreeView::groupSelected);
        m_view->selectGroup(deep);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(m_view->currentGroup(), deep);
        QCOMPARE(m_view->currentItem()->text(0), QStringLiteral("Tiefe 499"));
    }

    void sceneRowsSurviveTheirMimeDataAndStrangeBytesGiveNone() {
        std::unique_ptr<QMimeData> data(sceneRowsMimeData({4, 0, 2}));
        QCOMPARE(sceneRowsFrom(data.get()), (std::vector<int>{4, 0, 2}));
        QCOMPARE(sceneRowsFrom(nullptr), std::vector<int>());
        for (const QByteArray& bytes : {QByteArray(), QByteArray("1,x"), QByteArray("2,-1"), QByteArray(",")}) {
            QMimeData odd;
            odd.setData(kSceneRowsMimeType, bytes);
            QCOMPARE(sceneRowsFrom(&odd), std::vector<int>());
        }
        QMimeData other;
        other.setText("1,2");
        QCOMPARE(sceneRowsFrom(&other), std::vector<int>());
    }
};

}  // namespace klemora::gui

QTEST_MAIN(klemora::gui::GroupTreeViewTest)
#include "group_tree_view_test.moc"
