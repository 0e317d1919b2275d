#include "scene/edit_history.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/string_table.h"
#include "scene/editing.h"
#include "scene/group_commands.h"
#include "tests/scene/scene_rows.h"
#include "tests/support/scripted_ui.h"

namespace klemora::scene {
namespace {

constexpr unsigned kAll = kScopeShown | kScopeTrash | kScopeTree;
using Rows = std::vector<int>;

bool sameShape(const GroupShape& a, const GroupShape& b) {
    if (a.name != b.name || !sameList(a.list, b.list) || a.children.size() != b.children.size()) return false;
    for (size_t i = 0; i < a.children.size(); ++i)
        if (!sameShape(a.children[i], b.children[i])) return false;
    return true;
}

bool sameState(const EditSnapshot& a, const EditSnapshot& b) {
    return sameList(a.shown, b.shown) && sameList(a.trash, b.trash) && sameShape(a.tree, b.tree);
}

void addScene(SceneList& list, std::string_view source, int32_t start, int32_t stop, std::string_view comment) {
    test::addEditableScene(list, source, start, stop, comment);
}

RowSpan span(int first, int lastBefore, int lastAfter) { return {first, lastBefore, lastAfter, false}; }

void expectRows(const ListChange& change, RowSpan expected) {
    EXPECT_TRUE(change.touched);
    EXPECT_EQ(change.rows.first, expected.first);
    EXPECT_EQ(change.rows.lastBefore, expected.lastBefore);
    EXPECT_EQ(change.rows.lastAfter, expected.lastAfter);
    EXPECT_EQ(change.rows.all, expected.all);
}

// The shown list: s0..s3 from a.avi, s4 and s5 from b.avi, each 100 frames
// on from the last; the trash holds t0 and t1; the tree is Start with A
// (two scenes) and B, below B the group C.
class EditHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::useGermanStrings();
        for (int i = 0; i < 6; ++i)
            addScene(shown, i < 4 ? "a.avi" : "b.avi", i * 100, i * 100 + 99, "s" + std::to_string(i));
        addScene(trash, "t.avi", 0, 9, "t0");
        addScene(trash, "t.avi", 10, 19, "t1");
        a = &tree.addGroup(nullptr, "A");
        addScene(a->list(), "g.avi", 0, 9, "g0");
        b = &tree.addGroup(nullptr, "B");
        c = &tree.addGroup(b, "C");
    }

    // Runs the command through the history, then checks that undo gives
    // back the state before it and redo the state after it, record for record.
    template <typename Command>
    EditChange roundTrip(unsigned scope, Command&& command) {
        EditSnapshot before = takeSnapshot(targets, kAll);
        EditChange change;
        EXPECT_EQ(runEdit(history, targets, scope, &change, command), EditResult::Ok) << ui.allMessages();
        EditSnapshot after = takeSnapshot(targets, kAll);
        EXPECT_FALSE(sameState(before, after));
        EXPECT_FALSE(change.empty());
        EXPECT_TRUE(history.canUndo());
        EditChange undone = history.undo(targets);
        EXPECT_TRUE(sameState(takeSnapshot(targets, kAll), before));
        EXPECT_EQ(undone.shown.touched, change.shown.touched);
        EXPECT_EQ(undone.trash.touched, change.trash.touched);
        EXPECT_FALSE(history.canUndo());
        EXPECT_TRUE(history.canRedo());
        history.redo(targets);
        EXPECT_TRUE(sameState(takeSnapshot(targets, kAll), after));
        EXPECT_TRUE(history.canUndo());
        EXPECT_FALSE(history.canRedo());
        return change;
    }

    SceneList shown;
    SceneList trash;
    GroupTree tree;
    Group* a = nullptr;
    Group* b = nullptr;
    Group* c = nullptr;
    EditTargets targets{&shown, &trash, &tree};
    EditHistory history;
    test::ScriptedUserInterface ui;
};

TEST_F(EditHistoryTest, ListCommandsUndoAndRedoWithTheRowsTheyChanged) {
    EditChange change = roundTrip(kScopeShown, [&] { return toggleOkStatus(shown, Rows{1, 3}, ui); });
    expectRows(change.shown, span(1, 3, 3));
    EXPECT_FALSE(change.trash.touched);

    history.clear();
    change = roundTrip(kScopeShown, [&] { return moveScene(shown, Rows{1}, MoveDirection::Down, ui); });
    expectRows(change.shown, span(1, 2, 2));

    history.clear();
    SceneRecord trimmed = *shown.record(3);
    trimmed.startFrame = 310;
    change = roundTrip(kScopeShown, [&] { return applyTrim(shown, Rows{3}, trimmed, ui); });
    expectRows(change.shown, span(3, 3, 3));

    history.clear();
    SceneList found;
    addScene(found, "a.avi", 100, 149, "f0");  // row 2 holds s1 since the move
    addScene(found, "a.avi", 150, 199, "f1");
    change = roundTrip(kScopeShown, [&] { return replaceByFoundScenes(shown, Rows{2}, found, ui); });
    expectRows(change.shown, span(2, 2, 3));

    history.clear();
    change = roundTrip(kScopeShown, [&] {
        return sortShownList(shown, SortKey::Start, SortDirection::Descending, ui);
    });
    EXPECT_TRUE(change.shown.rows.all);
}

TEST_F(EditHistoryTest, TrashCommandsUndoAndRedoBothLists) {
    ui.alwaysAnswer(app::loadString(191), app::Answer::Yes);
    const int32_t cuts[] = {200, 230, 260, 299};
    EditChange change = roundTrip(kScopeShown | kScopeTrash, [&] { return splitScene(shown, Rows{2}, cuts, trash, ui); });
    expectRows(change.shown, span(2, 2, 4));
    expectRows(change.trash, span(2, 1, 2));  // appended

    history.clear();
    change = roundTrip(kScopeShown | kScopeTrash, [&] { return mergeScenes(shown, Rows{0, 1}, trash, ui); });
    expectRows(change.shown, span(0, 1, 0));

    history.clear();
    change = roundTrip(kScopeShown | kScopeTrash, [&] { return deleteScenes(shown, Rows{0, 2}, trash, ui); });
    expectRows(change.shown, span(0, 2, 0));

    history.clear();
    int trashCount = trash.count();
    change = roundTrip(kScopeShown | kScopeTrash, [&] { return restoreFromTrash(shown, trash, Rows{0}, ui); });
    expectRows(change.shown, span(shown.count() - 1, shown.count() - 2, shown.count() - 1));
    expectRows(change.trash, span(0, 0, -1));
    EXPECT_EQ(trash.count(), trashCount - 1);

    history.clear();
    change = roundTrip(kScopeTrash, [&] { return deleteFromTrash(trash, Rows{0}, ui); });
    expectRows(change.trash, span(0, 0, -1));
    EXPECT_FALSE(change.shown.touched);
}

TEST_F(EditHistoryTest, GroupCommandsUndoAndRedoTheTree) {
    EditChange change = roundTrip(kScopeTree, [&] { return newGroup(tree, nullptr, ui); });
    EXPECT_EQ(change.groupsAdded, (std::vector<GroupPath>{{2}}));

    a = tree.root().child(0), b = tree.root().child(1), c = b->child(0);
    history.clear();
    change = roundTrip(kScopeShown | kScopeTree, [&] { return newGroupWithScenes(tree, a, shown, Rows{4, 5}, ui); });
    EXPECT_EQ(change.groupsAdded, (std::vector<GroupPath>{{0, 0}}));
    expectRows(change.shown, span(4, 5, 3));

    a = tree.root().child(0), b = tree.root().child(1), c = b->child(0);
    history.clear();
    change = roundTrip(kScopeTree, [&] { return renameGroup(tree, b, "Bee", ui); });
    EXPECT_EQ(change.groupsRenamed, (std::vector<GroupPath>{{1}}));
    EXPECT_TRUE(change.groupsMoved.empty());

    a = tree.root().child(0), b = tree.root().child(1), c = b->child(0);
    history.clear();
    ui.alwaysAnswer(app::loadString(191), app::Answer::Ok);  // the group question is Ok/Cancel
    change = roundTrip(kScopeTree, [&] { return deleteGroup(tree, a, ui); });
    EXPECT_EQ(change.groupsRemoved, (std::vector<GroupPath>{{0}}));
    EXPECT_TRUE(change.groupsMoved.empty());  // B moving up a row is no move

    // Now Start holds Bee (with C) and the new group.
    b = tree.root().child(0), c = b->child(0);
    history.clear();
    change = roundTrip(kScopeTree, [&] { return moveGroupBelow(tree, c, tree.root().child(1), ui); });
    ASSERT_EQ(change.groupsMoved.size(), 1u);
    EXPECT_EQ(change.groupsMoved[0].from, (GroupPath{0, 0}));
    EXPECT_EQ(change.groupsMoved[0].to, (GroupPath{1, 0}));

    a = tree.root().child(1);
    history.clear();
    change = roundTrip(kScopeShown | kScopeTree,
                       [&] { return moveScenesToGroup(shown, Rows{0}, &tree.root(), *a, ui); });
    EXPECT_EQ(change.groupListsChanged, (std::vector<GroupPath>{{1}}));
    expectRows(change.shown, span(0, 0, -1));
}

TEST_F(EditHistoryTest, ARefusedCommandLeavesNoStep) {
    EditChange change;
    EXPECT_EQ(runEdit(history, targets, kScopeShown, &change, [&] { return toggleOkStatus(shown, Rows{}, ui); }),
              EditResult::NothingSelected);
    EXPECT_TRUE(change.empty());
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.undo(targets).empty());
    EXPECT_TRUE(history.redo(targets).empty());
}

TEST_F(EditHistoryTest, ANewStepDropsRedoAndTheLimitsDropTheOldestSteps) {
    EditHistory small(3);
    for (int i = 0; i < 5; ++i)
        runEdit(small, targets, kScopeShown, nullptr, [&] { return toggleOkStatus(shown, Rows{i}, ui); });
    EXPECT_EQ(small.undoDepth(), 3u);
    small.undo(targets);
    small.undo(targets);
    EXPECT_EQ(small.redoDepth(), 2u);
    EXPECT_EQ(shown.okStatus(4), 0);
    EXPECT_EQ(shown.okStatus(2), 1);  // steps 0 and 1 are gone for good
    runEdit(small, targets, kScopeShown, nullptr, [&] { return toggleOkStatus(shown, Rows{5}, ui); });
    EXPECT_FALSE(small.canRedo());
    EXPECT_EQ(small.undoDepth(), 2u);

    // A memory limit smaller than one step still keeps that step.
    EditHistory tight(100, 1);
    for (int i = 0; i < 3; ++i)
        runEdit(tight, targets, kScopeShown, nullptr, [&] { return toggleOkStatus(shown, Rows{i}, ui); });
    EXPECT_EQ(tight.undoDepth(), 1u);
    small.clear();
    EXPECT_FALSE(small.canUndo());
    EXPECT_EQ(small.bytes(), 0u);
}

}  // namespace
}  // namespace klemora::scene
