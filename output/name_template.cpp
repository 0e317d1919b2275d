#include "output/name_template.h"

#include <cctype>
#include <cstdio>

#include "app/file_io.h"
#include "scene/file_name_chars.h"
#include "scene/time_text.h"

namespace klemora::output {
namespace {

// The name without directory and without the part from its last ".".
std::string baseName(std::string_view path) {
    std::string name = app::fileNameOf(path);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

std::string paddedNumber(int64_t value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*lld", width, static_cast<long long>(value));
    return text;
}

std::string lengthFileText(const scene::SceneRecord& scene) {
    int32_t frames = scene.stopFrame + 1 - scene.startFrame;
    float fps = scene.framesPerSecond > 0 ? scene.framesPerSecond : 25.0f;
    // Below 1 frame/s the whole rate would be 0; the frame part is then 0.
    int32_t wholeRate = static_cast<int32_t>(fps);
    int32_t secondsInHour = static_cast<int32_t>(frames / fps) % 3600;
    char text[64];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d-%02d", static_cast<int>(frames / fps / 3600),
                  secondsInHour / 60, secondsInHour % 60, wholeRate > 0 ? frames % wholeRate : 0);
    return text;
}

int defaultWidth(char letter) { return letter == 'N' || letter == 'M' ? 3 : 5; }

class Expansion {
public:
    Expansion(const scene::SceneRecord& scene, int sceneIndex, int scenesBefore, std::string_view groupName)
        : m_scene(scene), m_index(sceneIndex), m_before(scenesBefore), m_group(groupName) {}

    // Text of the placeholder `letter` (upper case); `pos` points behind it
    // and moves past a width digit when the letter takes one.
    std::string placeholder(char letter, std::string_view nameTemplate, size_t& pos) const {
        switch (letter) {
        case 'Q': return baseName(scene::fieldText(m_scene.sourceFile));
        case 'Z': return baseName(scene::fieldText(m_scene.destName));
        case 'N': return paddedNumber(int64_t{m_index} + 1, width(letter, nameTemplate, pos));
        case 'M': return paddedNumber(int64_t{m_index} + m_before + 1, width(letter, nameTemplate, pos));
        case 'S': return paddedNumber(int64_t{m_scene.startFrame} + 1, width(letter, nameTemplate, pos));
        case 'O': return paddedNumber(int64_t{m_scene.stopFrame} + 1, width(letter, nameTemplate, pos));
        case 'L': return lengthFileText(m_scene);
        case 'T': return scene::timecodeFileText(m_scene.timecode);
        case 'D': return scene::recordingTimeFileText(m_scene.recordingTime);
        case 'C': return std::string(scene::fieldText(m_scene.comment));
        case 'G': return std::string(m_group);
        default: return {};
        }
    }

    static bool known(char letter) { return std::string_view("QZNMSOLTDCG").find(letter) != std::string_view::npos; }

private:
    static int width(char letter, std::string_view nameTemplate, size_t& pos) {
        if (pos < nameTemplate.size() && nameTemplate[pos] >= '0' && nameTemplate[pos] <= '9')
            return nameTemplate[pos++] - '0';
        return defaultWidth(letter);
    }

    const scene::SceneRecord& m_scene;
    int m_index;
    int m_before;
    std::string_view m_group;
};

}  // namespace

scene::SceneRecord previewScene() {
    scene::SceneRecord scene;
    scene.startFrame = 24;
    scene.stopFrame = 125;
    scene::assignField(scene.sourceFile, "c:\\SrcFile.avi");
    scene::assignField(scene.destName, "c:\\DstFile.avi");
    scene::assignField(scene.comment, "Comment");
    scene.speedFactor = 1.0f;
    scene.framesPerSecond = 25.0f;
    scene.timecode = {1, 12, 0, 5};
    scene.recordingTime = scene::kNoRecordingTime;  // 1970-02-11 00:00:00
    return scene;
}

int expandTemplate(std::string_view nameTemplate, const scene::SceneRecord& scene, int sceneIndex, int scenesBefore,
                   std::string_view groupName, std::string& out) {
    out.clear();
    Expansion expansion(scene, sceneIndex, scenesBefore, groupName);
    bool afterPercent = false;
    for (size_t pos = 0; pos < nameTemplate.size();) {
        char c = nameTemplate[pos++];
        if (c == '%') {
            afterPercent = true;  // "%%N" reads as "%N"
        } else if (!afterPercent) {
            out += c;
        } else {
            afterPercent = false;
            char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (Expansion::known(letter)) {
                out += expansion.placeholder(letter, nameTemplate, pos);
            } else {
                out += '%';
                out += c;
            }
        }
        if (out.size() > kMaxGeneratedNameLength) return -3;
    }
    out += ".avi";
    return 1;
}

int ExpandNameTemplate(const scene::SceneList& list, int sceneIndex, int scenesBefore, std::string_view groupName,
                       std::string& out) {
    if (sceneIndex < 0) return expandTemplate(list.nameTemplate(), previewScene(), 0, scenesBefore, groupName, out);
    if (sceneIndex >= list.count()) {
        out.clear();
        return -1;
    }
    return expandTemplate(list.nameTemplate(), *list.record(sceneIndex), sceneIndex, scenesBefore, groupName, out);
}

size_t FindInvalidNameChar(std::string_view name) { return scene::findInvalidFileNameChar(name); }

}  // namespace klemora::output
