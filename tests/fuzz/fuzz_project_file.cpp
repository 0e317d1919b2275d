#include <string_view>

#include "scene/byte_cursor.h"
#include "scene/group_file.h"
#include "scene/group_tree.h"
#include "scene/project_format.h"
#include "scene/scene_block.h"
#include "tests/fuzz/fuzz_entries.h"

namespace klemora::fuzz {

// The same steps as loading a file, over memory: the signature picks the
// version, then the flat scene block or the group tree is read.
int fuzzProjectFile(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    scene::ProjectVersion version;
    if (bytes.size() < scene::kSignatureBytes || !scene::versionOfSignature(bytes, version)) return 0;
    scene::ByteCursor in(bytes);
    scene::LoadReport report;
    in.seek(scene::kSignatureBytes);
    if (scene::isGroupVersion(version)) {
        scene::GroupTree tree;
        scene::readGroupBlock(in, tree, nullptr, version == scene::ProjectVersion::V31, report);
        scene::groupFileBytes(tree);  // what was read must save again
    } else {
        scene::SceneList list;
        scene::readSceneBlock(in, list, version, report);
    }
    return 0;
}

}  // namespace klemora::fuzz
