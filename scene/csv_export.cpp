#include "scene/csv_export.h"

#include "app/file_io.h"
#include "scene/field_cutter.h"
#include "scene/time_text.h"

namespace klemora::scene {

std::string csvLine(const SceneRecord& scene) {
    std::string line;
    appendQuoted(line, fieldText(scene.sourceFile));
    line += ';';
    appendQuoted(line, fieldText(scene.destName));
    line += ';';
    appendInt(line, scene.startFrame);
    line += ';';
    appendInt(line, scene.stopFrame);
    line += ';';
    appendFixed6(line, scene.speedFactor);
    line += ';';
    appendQuoted(line, fieldText(scene.comment));
    line += ';';
    appendQuoted(line, recordingTimeText(scene.recordingTime));
    line += ';';
    appendQuoted(line, timecodeText(scene.timecode));
    return line;
}

std::string csvText(const SceneList& list) {
    std::string text(kCsvHeader);
    text += '\n';
    for (int i = 0; i < list.count(); ++i) {
        text += csvLine(*list.record(i));
        text += '\n';
    }
    return toCrLf(text);
}

int exportCsv(SceneList& list, const std::string& path) {
    if (list.count() == 0) return 1;
    std::string text = csvText(list);
    app::AtomicFileWriter file(path);
    if (!file.open()) return -1;
    if (!file.write(text) || !file.commit()) return -2;
    list.setProjectPath(path);
    list.setModified(false);
    return 1;
}

}  // namespace klemora::scene
