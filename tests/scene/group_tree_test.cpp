#include "scene/group_tree.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/string_table.h"
#include "scene/group_commands.h"
#include "tests/support/scripted_ui.h"

namespace klemora::scene {
namespace {

using app::Answer;
using Rows = std::vector<int>;

class Groups : public ::testing::Test {
protected:
    void SetUp() override { app::useGermanStrings(); }

    Group& named(Group* parent, std::string_view name) { return tree.addGroup(parent, name); }
    void addScenes(SceneList& list, int n, int32_t length) {
        for (int i = 0; i < n; ++i) {
            int s = list.AddNewScene();
            list.setStartFrame(s, 0);
            list.setStopFrame(s, length - 1);
            list.setComment(s, std::to_string(i));
        }
    }
    std::vector<std::string> walk() const {
        std::vector<std::string> names;
        for (const Group* g : tree.depthFirst()) names.push_back(g->name());
        return names;
    }

    GroupTree tree;
    test::ScriptedUserInterface ui;
};

TEST_F(Groups, RootAndNewGroups) {
    EXPECT_EQ(tree.root().name(), "Start");
    EXPECT_EQ(tree.root().list().groupName(), "Start");
    Group* created = nullptr;
    EXPECT_EQ(newGroup(tree, nullptr, ui, &created), EditResult::Ok);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->name(), app::loadString(412));
    EXPECT_EQ(created->list().groupName(), app::loadString(412));
    EXPECT_EQ(created->list().nameTemplate(), "%Q_%N3");
    EXPECT_EQ(created->parent(), &tree.root());
    Group* child = nullptr;
    newGroup(tree, created, ui, &child);
    EXPECT_EQ(child->parent(), created);
    EXPECT_EQ(child->depth(), 2);
    EXPECT_EQ(tree.groupCount(), 3);
}

TEST_F(Groups, DepthFirstWalk) {
    Group& a = named(nullptr, "a");
    Group& a1 = named(&a, "a1");
    named(&a1, "a1x");
    named(&a, "a2");
    Group& b = named(nullptr, "b");
    named(&b, "b1");
    EXPECT_EQ(walk(), (std::vector<std::string>{"Start", "a", "a1", "a1x", "a2", "b", "b1"}));
    EXPECT_EQ(a1.row(), 0);
    EXPECT_EQ(b.row(), 1);
    EXPECT_EQ(GroupTree::nextDepthFirst(*b.child(0)), nullptr);
}

TEST_F(Groups, TotalsOverTheTree) {
    addScenes(tree.root().list(), 3, 25);
    Group& a = named(nullptr, "a");
    addScenes(named(&a, "a1").list(), 2, 100);
    EXPECT_EQ(tree.totalScenes(), 5);
    EXPECT_EQ(tree.totalFrames(), 275);
}

TEST_F(Groups, RenameRules) {
    Group& g = named(nullptr, "old");
    EXPECT_EQ(renameGroup(tree, &g, std::string(250, 'n'), ui), EditResult::Ok);
    EXPECT_EQ(g.name(), std::string(250, 'n'));
    EXPECT_EQ(g.list().groupName(), std::string(250, 'n'));
    EXPECT_EQ(renameGroup(tree, &g, std::string(251, 'n'), ui), EditResult::NameTooLong);
    EXPECT_EQ(ui.messages().back().text, "Goupname must not exceed 250 chars!");
    EXPECT_EQ(renameGroup(tree, &g, "", ui), EditResult::NameEmpty);
    EXPECT_EQ(ui.messages().back().text, "Goupname must have at least 1 char!");
    EXPECT_EQ(g.name(), std::string(250, 'n'));
    EXPECT_EQ(ui.messages().size(), 2u);

    EXPECT_EQ(renameGroup(tree, &tree.root(), "Start", ui), EditResult::Ok);
    EXPECT_EQ(renameGroup(tree, &tree.root(), "Other", ui), EditResult::RootGroup);
    EXPECT_EQ(ui.messages().back().text, app::loadString(426));
    EXPECT_EQ(tree.root().name(), "Start");
}

TEST_F(Groups, DeleteWithSubGroups) {
    Group& a = named(nullptr, "a");
    named(&named(&a, "a1"), "a1x");
    named(nullptr, "b");
    EXPECT_EQ(deleteGroup(tree, nullptr, ui), EditResult::NothingSelected);
    EXPECT_EQ(ui.messages().back().text, app::loadString(116));
    EXPECT_EQ(deleteGroup(tree, &tree.root(), ui), EditResult::RootGroup);
    EXPECT_EQ(ui.messages().back().text, app::loadString(426));

    ui.expectQuestion(app::loadString(191), Answer::Cancel);
    EXPECT_EQ(deleteGroup(tree, &a, ui), EditResult::Declined);
    EXPECT_EQ(tree.groupCount(), 5);
    ui.expectQuestion(app::loadString(191), Answer::Ok);
    EXPECT_EQ(deleteGroup(tree, &a, ui), EditResult::Ok);
    EXPECT_EQ(walk(), (std::vector<std::string>{"Start", "b"}));
    EXPECT_EQ(ui.questions().back().buttons, app::Buttons::OkCancel);
}

TEST_F(Groups, MoveGroupBelowAnother) {
    Group& a = named(nullptr, "a");
    Group& a1 = named(&a, "a1");
    Group& b = named(nullptr, "b");
    named(&b, "b1");
    EXPECT_EQ(moveGroupBelow(tree, &a, &a1, ui), EditResult::InvalidTarget);
    EXPECT_EQ(moveGroupBelow(tree, &a, &a, ui), EditResult::InvalidTarget);
    EXPECT_EQ(moveGroupBelow(tree, &tree.root(), &b, ui), EditResult::RootGroup);
    EXPECT_EQ(ui.messages().back().text, app::loadString(426));
    EXPECT_EQ(walk(), (std::vector<std::string>{"Start", "a", "a1", "b", "b1"}));

    EXPECT_EQ(moveGroupBelow(tree, &a, &b, ui), EditResult::Ok);
    EXPECT_EQ(walk(), (std::vector<std::string>{"Start", "b", "b1", "a", "a1"}));
    EXPECT_EQ(a.parent(), &b);
    EXPECT_EQ(a1.depth(), 3);
}

TEST_F(Groups, NewGroupWithSelectedScenes) {
    SceneList shown;
    addScenes(shown, 5, 10);
    Group* created = nullptr;
    EXPECT_EQ(newGroupWithScenes(tree, nullptr, shown, Rows{3, 1}, ui, &created), EditResult::Ok);
    ASSERT_NE(created, nullptr);
    ASSERT_EQ(created->list().count(), 2);
    EXPECT_EQ(created->list().comment(0), "1");
    EXPECT_EQ(created->list().comment(1), "3");
    EXPECT_EQ(shown.count(), 3);
    EXPECT_EQ(shown.comment(1), "2");

    EXPECT_EQ(newGroupWithScenes(tree, nullptr, shown, Rows{}, ui), EditResult::NothingSelected);
    EXPECT_EQ(tree.groupCount(), 2);
}

TEST_F(Groups, MoveScenesIntoAGroup) {
    SceneList shown;
    addScenes(shown, 4, 10);
    Group& target = named(nullptr, "t");
    addScenes(target.list(), 1, 10);
    EXPECT_EQ(moveScenesToGroup(shown, Rows{0, 2}, &tree.root(), target, ui), EditResult::Ok);
    EXPECT_EQ(target.list().count(), 3);
    EXPECT_EQ(target.list().comment(1), "0");
    EXPECT_EQ(target.list().comment(2), "2");
    EXPECT_EQ(shown.count(), 2);

    // Onto the shown group itself: nothing to do.
    EXPECT_EQ(moveScenesToGroup(shown, Rows{0}, &target, target, ui), EditResult::Ok);
    EXPECT_EQ(shown.count(), 2);

    addScenes(target.list(), kMaxScenes - 3, 1);
    EXPECT_EQ(moveScenesToGroup(shown, Rows{0}, &tree.root(), target, ui), EditResult::TooManyScenes);
    EXPECT_EQ(ui.messages().back().text, app::loadString(140));
    EXPECT_EQ(shown.count(), 2);
    EXPECT_EQ(target.list().count(), kMaxScenes);
}

TEST_F(Groups, ClearKeepsOnlyAnEmptyRoot) {
    addScenes(tree.root().list(), 2, 10);
    tree.setGroupName(tree.root(), "Loaded");
    named(&named(nullptr, "a"), "b");
    tree.clear();
    EXPECT_EQ(walk(), (std::vector<std::string>{"Start"}));
    EXPECT_EQ(tree.root().list().count(), 0);
    EXPECT_EQ(tree.root().list().groupName(), "Start");
}

}  // namespace
}  // namespace klemora::scene
