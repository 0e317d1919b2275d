#include "scene/group_file.h"

#include <new>

#include "app/file_io.h"
#include "scene/scene_block.h"
#include "scene/text_encoding.h"

namespace klemora::scene {
namespace {

int code(GroupBlockResult r) { return static_cast<int>(r); }

void appendGroupBlock(std::string& out, const Group& group) {
    out.append(kGroupInTag);
    appendFixedText(out, group.name(), kGroupNameBytes);
    appendSceneBlock(out, group.list(), ProjectVersion::V31);
    for (int i = 0; i < group.childCount(); ++i) appendGroupBlock(out, *group.child(i));
    out.append(kGroupOutTag);
}

// After a group's scenes: child blocks, until its "GRP_OUT#"; any other
// 8 bytes are skipped.
int readChildTags(ByteCursor& in, GroupTree& tree, Group& group, bool withOkStatus, LoadReport& report, int depth) {
    for (;;) {
        std::string_view tag;
        if (!in.bytes(8, tag)) return code(GroupBlockResult::EndInsideGroup);
        if (tag == kGroupOutTag) return 1;
        if (tag != kGroupInTag) continue;
        in.seek(in.position() - 8);
        if (readGroupBlock(in, tree, &group, withOkStatus, report, depth + 1) != 1)
            return code(GroupBlockResult::NestedGroupFailed);
    }
}

}  // namespace

int readGroupBlock(ByteCursor& in, GroupTree& tree, Group* parent, bool withOkStatus, LoadReport& report,
                   int depth) {
    if (depth > kMaxGroupDepth) return code(GroupBlockResult::TooDeep);
    std::string_view tag, nameBytes;
    if (!in.bytes(8, tag) || tag != kGroupInTag) return code(GroupBlockResult::NotGroupTag);
    if (!in.bytes(kGroupNameBytes, nameBytes)) return code(GroupBlockResult::EndInsideGroup);
    std::string name = textFromFile(nameBytes.substr(0, nameBytes.find('\0')));
    Group* group = nullptr;
    try {
        group = parent ? &tree.addGroup(parent, name) : &tree.root();
    } catch (const std::bad_alloc&) {
        return code(GroupBlockResult::CannotCreateGroup);
    }
    if (!parent) tree.setGroupName(*group, name);
    ProjectVersion version = withOkStatus ? ProjectVersion::V31 : ProjectVersion::V30;
    if (readSceneBlock(in, group->list(), version, report) != 1) return code(GroupBlockResult::SceneBlockFailed);
    group->list().setModified(false);
    return readChildTags(in, tree, *group, withOkStatus, report, depth);
}

int readGroupFile(const std::string& path, GroupTree& tree, LoadReport* report) {
    auto content = app::readWholeFile(path);
    if (!content) return -1;
    ProjectVersion version;
    if (content->size() < kSignatureBytes || !versionOfSignature(*content, version) || !isGroupVersion(version))
        return -2;
    ByteCursor in(*content);
    in.seek(kSignatureBytes);
    LoadReport unused;
    return readGroupBlock(in, tree, nullptr, version == ProjectVersion::V31, report ? *report : unused);
}

std::string groupFileBytes(const GroupTree& tree) {
    std::string out;
    appendFixedText(out, kSignatureV31, kSignatureBytes);
    appendGroupBlock(out, tree.root());
    return out;
}

int writeGroupFile(const std::string& path, const GroupTree& tree) {
    if (path.empty()) return -1;
    std::string bytes = groupFileBytes(tree);
    app::AtomicFileWriter writer(path);
    if (!writer.open()) return -1;
    if (!writer.write(bytes) || !writer.commit()) return -3;
    return 1;
}

}  // namespace klemora::scene
