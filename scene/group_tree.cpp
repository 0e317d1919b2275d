#include "scene/group_tree.h"

#include <algorithm>
#include <utility>

namespace klemora::scene {

Group* Group::child(int row) const {
    return row >= 0 && row < childCount() ? m_children[static_cast<size_t>(row)].get() : nullptr;
}

int Group::row() const {
    if (!m_parent) return 0;
    const auto& siblings = m_parent->m_children;
    auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& g) { return g.get() == this; });
    return static_cast<int>(it - siblings.begin());
}

int Group::depth() const {
    int depth = 0;
    for (const Group* g = m_parent; g; g = g->m_parent) ++depth;
    return depth;
}

bool Group::contains(const Group* other) const {
    for (const Group* g = other; g; g = g->m_parent)
        if (g == this) return true;
    return false;
}

void Group::setName(std::string_view name) {
    m_list.setGroupName(name);
    m_name = std::string(m_list.groupName());
}

GroupTree::GroupTree() : m_root(new Group(nullptr)) { m_root->setName(kRootGroupName); }

Group& GroupTree::addGroup(Group* parent, std::string_view name) {
    Group& owner = parent ? *parent : *m_root;
    owner.m_children.push_back(std::unique_ptr<Group>(new Group(&owner)));
    Group& group = *owner.m_children.back();
    group.setName(name);
    return group;
}

void GroupTree::setGroupName(Group& group, std::string_view name) { group.setName(name); }

bool GroupTree::removeGroup(Group& group) {
    if (group.isRoot()) return false;
    auto& siblings = group.m_parent->m_children;
    siblings.erase(siblings.begin() + group.row());
    return true;
}

bool GroupTree::moveGroup(Group& group, Group& newParent) {
    if (group.isRoot() || group.contains(&newParent)) return false;
    auto& siblings = group.m_parent->m_children;
    auto it = siblings.begin() + group.row();
    std::unique_ptr<Group> moving = std::move(*it);
    // Room first, so that running out of memory leaves the tree as it was.
    newParent.m_children.reserve(newParent.m_children.size() + 1);
    siblings.erase(it);
    moving->m_parent = &newParent;
    newParent.m_children.push_back(std::move(moving));
    return true;
}

void GroupTree::clear() {
    m_root->m_children.clear();
    m_root->m_list.clear();
    m_root->setName(kRootGroupName);
}

const Group* GroupTree::nextDepthFirst(const Group& group) {
    if (group.hasChildren()) return group.child(0);
    for (const Group* g = &group; g->m_parent; g = g->m_parent) {
        if (const Group* sibling = g->m_parent->child(g->row() + 1)) return sibling;
    }
    return nullptr;
}

std::vector<const Group*> GroupTree::depthFirst() const {
    std::vector<const Group*> order;
    for (const Group* g = m_root.get(); g; g = nextDepthFirst(*g)) order.push_back(g);
    return order;
}

std::vector<Group*> GroupTree::depthFirst() {
    std::vector<Group*> order;
    for (const Group* g : std::as_const(*this).depthFirst()) order.push_back(const_cast<Group*>(g));
    return order;
}

int GroupTree::groupCount() const { return static_cast<int>(depthFirst().size()); }

int GroupTree::totalScenes() const {
    int total = 0;
    for (const Group* g : depthFirst()) total += g->list().count();
    return total;
}

int64_t GroupTree::totalFrames() const {
    int64_t total = 0;
    for (const Group* g : depthFirst()) total += g->list().totalFrames();
    return total;
}

}  // namespace klemora::scene
