#include "scene/edit_change.h"

#include <algorithm>
#include <cstring>

namespace klemora::scene {

bool EditChange::empty() const {
    return !shown.touched && !trash.touched && groupsAdded.empty() && groupsRemoved.empty() &&
           groupsRenamed.empty() && groupsMoved.empty() && groupListsChanged.empty() && !treeRebuilt;
}

namespace {
template <size_t N>
bool sameField(const char (&a)[N], const char (&b)[N]) {
    return std::memcmp(a, b, N) == 0;
}
}  // namespace

bool sameRecord(const SceneRecord& a, const SceneRecord& b) {
    return a.startFrame == b.startFrame && a.stopFrame == b.stopFrame && sameField(a.sourceFile, b.sourceFile) &&
           sameField(a.destName, b.destName) && a.speedFactor == b.speedFactor && sameField(a.comment, b.comment) &&
           a.definedStart == b.definedStart && a.definedStop == b.definedStop &&
           a.fileFirstFrame == b.fileFirstFrame && a.fileLastFrame == b.fileLastFrame &&
           a.framesPerSecond == b.framesPerSecond && a.allKeyframes == b.allKeyframes && a.dvType == b.dvType &&
           a.openDmlKind == b.openDmlKind && a.recordingTime == b.recordingTime && a.wideScreen == b.wideScreen &&
           a.timecode == b.timecode && sameField(a.videoFourcc, b.videoFourcc) && a.okStatus == b.okStatus;
}

ListChange compareLists(const SceneList& before, const SceneList& after) {
    const int nb = before.count();
    const int na = after.count();
    int prefix = 0;
    while (prefix < nb && prefix < na && sameRecord(*before.record(prefix), *after.record(prefix))) ++prefix;
    int suffix = 0;
    while (suffix < nb - prefix && suffix < na - prefix &&
           sameRecord(*before.record(nb - 1 - suffix), *after.record(na - 1 - suffix)))
        ++suffix;
    ListChange change;
    if (prefix == nb && prefix == na) return change;
    change.touched = true;
    change.rows.first = prefix;
    change.rows.lastBefore = nb - 1 - suffix;
    change.rows.lastAfter = na - 1 - suffix;
    change.rows.all = prefix == 0 && suffix == 0 && nb > 0 && na > 0;
    return change;
}

bool sameList(const SceneList& a, const SceneList& b) {
    return !compareLists(a, b).touched && a.projectPath() == b.projectPath() &&
           a.nameTemplate() == b.nameTemplate() && a.groupName() == b.groupName() && a.modified() == b.modified();
}

GroupPath pathOf(const Group& group) {
    GroupPath path;
    for (const Group* g = &group; !g->isRoot(); g = g->parent()) path.push_back(g->row());
    std::reverse(path.begin(), path.end());
    return path;
}

Group* groupAtPath(GroupTree& tree, const GroupPath& path) {
    Group* group = &tree.root();
    for (int row : path) {
        group = group->child(row);
        if (!group) return nullptr;
    }
    return group;
}

}  // namespace klemora::scene
