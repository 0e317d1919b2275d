#pragma once
// Group project files (versions 3.0 and 3.1): the signature, then the root
// group block; a block is "GRP_IN##", the name, the scene block, one block per
// child group, "GRP_OUT#".
#include <string>

#include "scene/byte_cursor.h"
#include "scene/group_tree.h"
#include "scene/project_format.h"
#include "scene/scene_block.h"

namespace klemora::scene {

enum class GroupBlockResult : int {
    Ok = 1,
    NotGroupTag = -2,
    CannotCreateGroup = -3,
    OutOfMemory = -4,
    CannotAttach = -5,
    SceneBlockFailed = -6,
    NestedGroupFailed = -7,
    EndInsideGroup = -8,  // the data ends before the group's "GRP_OUT#"
    TooDeep = -9,         // nesting beyond any sensible tree
};

inline constexpr int kMaxGroupDepth = 200;

// Reads one group block. With `parent` null the block is read into the root
// group (its name replaces the root's, its scenes are appended); otherwise a
// new last child of `parent` is made for it.
// A scene that fails the value checks fails the block with SceneBlockFailed;
// `report` says which.
int readGroupBlock(ByteCursor& in, GroupTree& tree, Group* parent, bool withOkStatus, LoadReport& report,
                   int depth = 0);

// A whole 3.0/3.1 file into the tree (existing groups stay; the root block
// merges into the root). 1, -1 cannot open, -2 no group signature, or the
// block's code.
int readGroupFile(const std::string& path, GroupTree& tree, LoadReport* report = nullptr);

// The whole tree as version 3.1, replacing `path` only when complete.
// 1, -1 cannot create, -3 a write failed (the old file is kept).
int writeGroupFile(const std::string& path, const GroupTree& tree);
std::string groupFileBytes(const GroupTree& tree);

}  // namespace klemora::scene
