#pragma once
// The tree of scene groups. The root group "Start" always exists; every group
// owns one SceneList whose group name mirrors the group's own. The GUI's tree
// view shows this model; the write run and the HTML index walk it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scene/scene_list.h"

namespace klemora::scene {

inline constexpr std::string_view kRootGroupName = "Start";

class Group {
public:
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

    const std::string& name() const { return m_name; }
    SceneList& list() { return m_list; }
    const SceneList& list() const { return m_list; }

    Group* parent() const { return m_parent; }
    bool isRoot() const { return m_parent == nullptr; }
    int childCount() const { return static_cast<int>(m_children.size()); }
    bool hasChildren() const { return !m_children.empty(); }
    Group* child(int row) const;  // nullptr outside 0..childCount()-1
    int row() const;              // position among the parent's children; 0 for the root
    int depth() const;            // 0 for the root, 1 for its children, ...
    // True when `other` is this group or lies below it.
    bool contains(const Group* other) const;

private:
    friend class GroupTree;
    explicit Group(Group* parent) : m_parent(parent) {}
    void setName(std::string_view name);

    std::string m_name;
    SceneList m_list;
    Group* m_parent;
    std::vector<std::unique_ptr<Group>> m_children;
};

class GroupTree {
public:
    GroupTree();
    GroupTree(const GroupTree&) = delete;
    GroupTree& operator=(const GroupTree&) = delete;

    Group& root() { return *m_root; }
    const Group& root() const { return *m_root; }

    // A new last child of parent (the root when null) with an empty list and
    // the default name template. Throws std::bad_alloc when memory runs out.
    Group& addGroup(Group* parent, std::string_view name);
    // Sets the name without the rename dialog's rules (readers of project files
    // use it); cut to the list's 260 characters.
    void setGroupName(Group& group, std::string_view name);
    // Removes the group with all its sub-groups and their lists; the root stays.
    bool removeGroup(Group& group);
    // Makes group the last child of newParent; false for the root, or when
    // newParent is group itself or lies below it.
    bool moveGroup(Group& group, Group& newParent);
    // Removes every group below the root and empties the root's list; the
    // root is called "Start" again.
    void clear();

    // Depth first: a group, then its first child's subtree, then its next sibling.
    std::vector<Group*> depthFirst();
    std::vector<const Group*> depthFirst() const;
    // The group after `group` in that order; nullptr after the last.
    static const Group* nextDepthFirst(const Group& group);

    int groupCount() const;
    // Scenes and their total length in frames, over every group's list.
    int totalScenes() const;
    int64_t totalFrames() const;

private:
    std::unique_ptr<Group> m_root;
};

}  // namespace klemora::scene
