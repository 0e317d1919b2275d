#pragma once
// What an edit changed, for the item models of a GUI: which rows of the shown
// list and of the trash differ, and which groups came, went, were renamed or
// moved. Worked out by comparing the state before the edit with the state
// after it, so that it is exact whatever path the edit took.
#include <vector>

#include "scene/group_tree.h"
#include "scene/scene_list.h"

namespace klemora::scene {

// Rows first..lastBefore of the list before the edit became rows
// first..lastAfter after it; the rows before first and after the two ends
// are the same records as before. lastBefore < first means rows were only
// inserted, lastAfter < first that they were only removed.
struct RowSpan {
    int first = 0;
    int lastBefore = -1;
    int lastAfter = -1;
    bool all = false;  // no row kept its place (e.g. a sort); reset the view
};

struct ListChange {
    bool touched = false;
    RowSpan rows;
};

// A group's place: its row under the root, then under that group, and so on
// (empty for the root).
using GroupPath = std::vector<int>;

struct GroupMove {
    GroupPath from;  // in the tree before
    GroupPath to;    // in the tree after
};

struct EditChange {
    ListChange shown;
    ListChange trash;
    std::vector<GroupPath> groupsAdded;    // places in the tree after
    std::vector<GroupPath> groupsRemoved;  // places in the tree before (sub-groups are not listed again)
    std::vector<GroupPath> groupsRenamed;  // places in the tree after
    std::vector<GroupMove> groupsMoved;
    std::vector<GroupPath> groupListsChanged;  // groups whose own list differs, places after
    bool treeRebuilt = false;  // every Group object was replaced (undo, redo): reset the tree view

    bool empty() const;
};

bool sameRecord(const SceneRecord& a, const SceneRecord& b);
// The rows that differ between two states of one list (touched is false
// when none does).
ListChange compareLists(const SceneList& before, const SceneList& after);
// Every field and setting of the list, records compared byte for byte.
bool sameList(const SceneList& a, const SceneList& b);

GroupPath pathOf(const Group& group);
// The group at that place; nullptr when the tree has none there.
Group* groupAtPath(GroupTree& tree, const GroupPath& path);

}  // namespace klemora::scene
