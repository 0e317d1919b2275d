#pragma once
// Undo and redo of the editing commands by snapshots: before a command the
// GUI copies what the command can touch (the shown list, the trash, the group
// tree with every group's list) and, when the command changed something,
// keeps the copy. Undo puts it back and keeps the state it replaced for redo.
//
// Snapshots rather than per-command undo records: the commands stay as they
// are (their questions and partial results included), a list of 2000 scenes
// is a few megabytes at most, and an undo can never disagree with the
// command it undoes. The change report comes from comparing the two states.
#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "scene/edit_change.h"
#include "scene/edit_result.h"

namespace klemora::scene {

// What a command can touch; or-ed together into a scope.
inline constexpr unsigned kScopeShown = 1;
inline constexpr unsigned kScopeTrash = 2;
inline constexpr unsigned kScopeTree = 4;  // the groups, their names, order and lists

// The scopes of the commands (a step restores only what its scope holds):
//   toggleOkStatus, moveScene, applyTrim, sortShownList, replaceByFoundScenes: shown
//   splitScene, mergeScenes, deleteScenes, restoreFromTrash: shown | trash
//   deleteFromTrash: trash
//   newGroup, renameGroup, deleteGroup, moveGroupBelow: tree
//   newGroupWithScenes, moveScenesToGroup: shown | tree
// Undoing or redoing a step with the tree replaces every Group object
// (EditChange::treeRebuilt): Group pointers held from before are void.

// The live state the commands edit. The shown list is the working copy of
// the selected group's list.
struct EditTargets {
    SceneList* shown = nullptr;
    SceneList* trash = nullptr;
    GroupTree* tree = nullptr;
};

// One group with its list and sub-groups. `identity` only tells groups
// apart when a snapshot is compared with the live tree; it is never followed.
struct GroupShape {
    const Group* identity = nullptr;
    std::string name;
    SceneList list;
    std::vector<GroupShape> children;
};

struct EditSnapshot {
    unsigned scope = 0;
    SceneList shown;
    SceneList trash;
    GroupShape tree;

    size_t bytes() const;  // the memory it holds, roughly
};

EditSnapshot takeSnapshot(const EditTargets& targets, unsigned scope);
// Puts the snapshot's parts back; a restored tree is made of new Group objects.
void restoreSnapshot(const EditSnapshot& snapshot, EditTargets& targets);
// What differs between a snapshot and the live state, for the parts of its scope.
EditChange describeChange(const EditSnapshot& before, const EditTargets& after);

class EditHistory {
public:
    static constexpr size_t kDefaultSteps = 100;
    static constexpr size_t kDefaultBytes = size_t{256} << 20;

    explicit EditHistory(size_t maxSteps = kDefaultSteps, size_t maxBytes = kDefaultBytes);

    // A command changed the state; `before` is how it was. Clears redo. The
    // oldest steps go when the depth or the memory limit is passed.
    void record(EditSnapshot before);
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // Nothing happens (an empty change) when there is nothing to undo/redo.
    EditChange undo(EditTargets& targets);
    EditChange redo(EditTargets& targets);
    // After loading or clearing a project, whose state no step may come back into.
    void clear();

    size_t undoDepth() const { return m_undo.size(); }
    size_t redoDepth() const { return m_redo.size(); }
    size_t bytes() const;

private:
    EditChange swapIn(std::deque<EditSnapshot>& from, std::deque<EditSnapshot>& to, EditTargets& targets);
    void trim();

    size_t m_maxSteps;
    size_t m_maxBytes;
    std::deque<EditSnapshot> m_undo;  // oldest first
    std::deque<EditSnapshot> m_redo;  // next redo last
};

// Runs one command with a snapshot of `scope` before it; when it changed
// anything (also a command that stopped half-way), the step is recorded and
// *change (when given) says what changed.
template <typename Command>
EditResult runEdit(EditHistory& history, EditTargets& targets, unsigned scope, EditChange* change,
                   Command&& command) {
    EditSnapshot before = takeSnapshot(targets, scope);
    EditResult result = command();
    EditChange changed = describeChange(before, targets);
    if (!changed.empty()) history.record(std::move(before));
    if (change) *change = std::move(changed);
    return result;
}

}  // namespace klemora::scene
