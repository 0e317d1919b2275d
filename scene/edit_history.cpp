#include "scene/edit_history.h"

#include <algorithm>
#include <map>
#include <utility>

namespace klemora::scene {
namespace {

size_t listBytes(const SceneList& list) { return static_cast<size_t>(list.capacity()) * sizeof(SceneRecord); }

size_t shapeBytes(const GroupShape& shape) {
    size_t total = sizeof shape + shape.name.size() + listBytes(shape.list);
    for (const GroupShape& child : shape.children) total += shapeBytes(child);
    return total;
}

GroupShape shapeOf(const Group& group) {
    GroupShape shape{&group, group.name(), group.list(), {}};
    shape.children.reserve(static_cast<size_t>(group.childCount()));
    for (int i = 0; i < group.childCount(); ++i) shape.children.push_back(shapeOf(*group.child(i)));
    return shape;
}

void rebuildChildren(GroupTree& tree, Group& parent, const GroupShape& shape) {
    for (const GroupShape& childShape : shape.children) {
        Group& child = tree.addGroup(&parent, childShape.name);
        child.list() = childShape.list;
        rebuildChildren(tree, child, childShape);
    }
}

// Where a group stood, for comparing two states of the tree.
struct Place {
    GroupPath path;
    const Group* parent = nullptr;
    int rank = 0;  // among the siblings found in both states; filled later
    const std::string* name = nullptr;
    const SceneList* list = nullptr;
};
using Places = std::map<const Group*, Place>;

void collect(const GroupShape& shape, const Group* parent, GroupPath path, Places& out) {
    out[shape.identity] = {path, parent, 0, &shape.name, &shape.list};
    for (size_t i = 0; i < shape.children.size(); ++i) {
        path.push_back(static_cast<int>(i));
        collect(shape.children[i], shape.identity, path, out);
        path.pop_back();
    }
}

void collect(const Group& group, GroupPath path, Places& out) {
    out[&group] = {path, group.parent(), 0, &group.name(), &group.list()};
    for (int i = 0; i < group.childCount(); ++i) {
        path.push_back(i);
        collect(*group.child(i), path, out);
        path.pop_back();
    }
}

// Each group's position among those of its siblings that exist in both
// states, so that a removed sibling does not count as a move of the rest.
void rankCommon(Places& places, const Places& other) {
    std::map<std::pair<const Group*, GroupPath>, int> next;  // (parent, parent's path) -> next rank
    std::vector<std::pair<GroupPath, const Group*>> ordered;
    for (const auto& [group, place] : places)
        if (other.count(group)) ordered.emplace_back(place.path, group);
    std::sort(ordered.begin(), ordered.end());
    for (const auto& [path, group] : ordered) {
        Place& place = places[group];
        GroupPath parentPath(path.begin(), path.end() - (path.empty() ? 0 : 1));
        place.rank = next[{place.parent, parentPath}]++;
    }
}

void describeTree(const GroupShape& before, const GroupTree& after, EditChange& change) {
    Places old, now;
    collect(before, nullptr, {}, old);
    collect(after.root(), {}, now);
    rankCommon(old, now);
    rankCommon(now, old);
    for (const auto& [group, place] : now) {
        auto it = old.find(group);
        if (it == old.end()) {
            change.groupsAdded.push_back(place.path);
            continue;
        }
        const Place& was = it->second;
        if (*was.name != *place.name) change.groupsRenamed.push_back(place.path);
        if (was.parent != place.parent || was.rank != place.rank) change.groupsMoved.push_back({was.path, place.path});
        if (compareLists(*was.list, *place.list).touched) change.groupListsChanged.push_back(place.path);
    }
    for (const auto& [group, place] : old)
        if (!now.count(group) && (place.parent == nullptr || now.count(place.parent)))
            change.groupsRemoved.push_back(place.path);
    std::sort(change.groupsAdded.begin(), change.groupsAdded.end());
    std::sort(change.groupsRemoved.begin(), change.groupsRemoved.end());
    std::sort(change.groupsRenamed.begin(), change.groupsRenamed.end());
    std::sort(change.groupListsChanged.begin(), change.groupListsChanged.end());
}

}  // namespace

size_t EditSnapshot::bytes() const {
    size_t total = sizeof *this;
    if (scope & kScopeShown) total += listBytes(shown);
    if (scope & kScopeTrash) total += listBytes(trash);
    if (scope & kScopeTree) total += shapeBytes(tree);
    return total;
}

EditSnapshot takeSnapshot(const EditTargets& targets, unsigned scope) {
    EditSnapshot snapshot;
    if ((scope & kScopeShown) && targets.shown) {
        snapshot.scope |= kScopeShown;
        snapshot.shown = *targets.shown;
    }
    if ((scope & kScopeTrash) && targets.trash) {
        snapshot.scope |= kScopeTrash;
        snapshot.trash = *targets.trash;
    }
    if ((scope & kScopeTree) && targets.tree) {
        snapshot.scope |= kScopeTree;
        snapshot.tree = shapeOf(targets.tree->root());
    }
    return snapshot;
}

void restoreSnapshot(const EditSnapshot& snapshot, EditTargets& targets) {
    if ((snapshot.scope & kScopeShown) && targets.shown) *targets.shown = snapshot.shown;
    if ((snapshot.scope & kScopeTrash) && targets.trash) *targets.trash = snapshot.trash;
    if ((snapshot.scope & kScopeTree) && targets.tree) {
        GroupTree& tree = *targets.tree;
        tree.clear();
        tree.setGroupName(tree.root(), snapshot.tree.name);
        tree.root().list() = snapshot.tree.list;
        rebuildChildren(tree, tree.root(), snapshot.tree);
    }
}

EditChange describeChange(const EditSnapshot& before, const EditTargets& after) {
    EditChange change;
    if ((before.scope & kScopeShown) && after.shown) change.shown = compareLists(before.shown, *after.shown);
    if ((before.scope & kScopeTrash) && after.trash) change.trash = compareLists(before.trash, *after.trash);
    if ((before.scope & kScopeTree) && after.tree) describeTree(before.tree, *after.tree, change);
    return change;
}

EditHistory::EditHistory(size_t maxSteps, size_t maxBytes) : m_maxSteps(maxSteps), m_maxBytes(maxBytes) {}

void EditHistory::record(EditSnapshot before) {
    m_redo.clear();
    m_undo.push_back(std::move(before));
    trim();
}

EditChange EditHistory::undo(EditTargets& targets) { return swapIn(m_undo, m_redo, targets); }
EditChange EditHistory::redo(EditTargets& targets) { return swapIn(m_redo, m_undo, targets); }

EditChange EditHistory::swapIn(std::deque<EditSnapshot>& from, std::deque<EditSnapshot>& to, EditTargets& targets) {
    if (from.empty()) return {};
    EditSnapshot wanted = std::move(from.back());
    from.pop_back();
    EditSnapshot current = takeSnapshot(targets, wanted.scope);
    restoreSnapshot(wanted, targets);
    EditChange change;
    if (wanted.scope & kScopeShown) change.shown = compareLists(current.shown, wanted.shown);
    if (wanted.scope & kScopeTrash) change.trash = compareLists(current.trash, wanted.trash);
    change.treeRebuilt = (wanted.scope & kScopeTree) != 0;
    to.push_back(std::move(current));
    trim();
    return change;
}

void EditHistory::clear() {
    m_undo.clear();
    m_redo.clear();
}

size_t EditHistory::bytes() const {
    size_t total = 0;
    for (const EditSnapshot& s : m_undo) total += s.bytes();
    for (const EditSnapshot& s : m_redo) total += s.bytes();
    return total;
}

void EditHistory::trim() {
    // The oldest undo steps go first; the newest step always stays.
    while (m_undo.size() + m_redo.size() > m_maxSteps || bytes() > m_maxBytes) {
        if (m_undo.size() > 1 || (m_undo.size() == 1 && !m_redo.empty()))
            m_undo.pop_front();
        else if (m_redo.size() > 1)
            m_redo.pop_front();
        else
            break;
    }
}

}  // namespace klemora::scene
