#include "scene/project_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "app/file_io.h"
#include "app/unique_fd.h"
#include "scene/byte_cursor.h"
#include "scene/scene_block.h"

namespace klemora::scene {

bool readSignatureBytes(const std::string& path, std::string& head) {
    app::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    head.assign(kSignatureBytes, '\0');
    return fd && app::preadAll(fd.get(), head.data(), head.size(), 0);
}

bool readProjectVersion(const std::string& path, ProjectVersion& version) {
    std::string head;
    return readSignatureBytes(path, head) && versionOfSignature(head, version);
}

bool isAutobackupPath(std::string_view path) {
    return path.find("/autobackup.scn") != std::string_view::npos ||
           path.find("\\autobackup.scn") != std::string_view::npos;
}

int readFlatFile(const std::string& path, SceneList& list, LoadReport* report) {
    auto content = app::readWholeFile(path);
    if (!content) return static_cast<int>(ProjectResult::CannotOpen);
    ProjectVersion version;
    if (content->size() < kSignatureBytes || !versionOfSignature(*content, version) || isGroupVersion(version))
        return static_cast<int>(ProjectResult::UnknownSignature);
    list.removeRecords(0, list.count());
    ByteCursor in(*content);
    in.seek(kSignatureBytes);
    LoadReport unused;
    int rc = readSceneBlock(in, list, version, report ? *report : unused);
    if (rc == static_cast<int>(SceneBlockResult::RecordRefused)) return static_cast<int>(ProjectResult::RecordRefused);
    if (rc != 1) return static_cast<int>(ProjectResult::RecordFailed);
    list.setProjectPath(path);
    list.setModified(false);
    return 1;
}

int writeFlatFile(const std::string& path, SceneList& list) {
    if (path.empty()) return static_cast<int>(ProjectResult::CannotOpen);
    if (list.count() == 0) return 1;
    std::string out;
    appendFixedText(out, kSignatureV23, kSignatureBytes);
    appendSceneBlock(out, list, ProjectVersion::V23);
    app::AtomicFileWriter writer(path);
    if (!writer.open()) return static_cast<int>(ProjectResult::CannotOpen);
    if (!writer.write(out) || !writer.commit()) return static_cast<int>(ProjectResult::RecordFailed);
    if (!isAutobackupPath(path)) list.setProjectPath(path);
    list.setModified(false);
    return 1;
}

}  // namespace klemora::scene
