#include "scene/edl_export.h"

#include <cmath>

#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/field_cutter.h"

namespace klemora::scene {
namespace {

// What the timeline needs of one source.
struct EdlSource {
    float frameDuration = 0.04f;  // seconds
    bool video = true;
    bool audio = true;
};

float frameDurationOf(const SourceFacts& facts) {
    if (facts.frameDuration > 0 && std::isfinite(facts.frameDuration)) return facts.frameDuration;
    float fps = facts.framesPerSecond > 0 && std::isfinite(facts.framesPerSecond) ? facts.framesPerSecond : 25.0f;
    return 1.0f / fps;
}

// 1, or Declined when the source fails and the user will not assume 25 fps.
int probeSource(const std::string& path, SourceProbe& probe, app::UserInterface& ui, EdlSource& out) {
    SourceFacts facts;
    int rc = probe.probe(path, facts);
    if (rc == 1) {
        out = {frameDurationOf(facts), facts.hasVideo, facts.hasAudio};
        return 1;
    }
    ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(107).c_str(), path.c_str(), rc),
                   app::Icon::Stop);
    if (ui.ask(app::loadString(151), app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes)
        return static_cast<int>(EdlExportResult::Declined);
    out = EdlSource{};
    return 1;
}

}  // namespace

std::string_view edlExportResultName(EdlExportResult result) {
    switch (result) {
    case EdlExportResult::Ok: return "Ok";
    case EdlExportResult::CannotCreate: return "CannotCreate";
    case EdlExportResult::Declined: return "Declined";
    case EdlExportResult::WriteFailed: return "WriteFailed";
    }
    return "Unknown";
}

int vegasEdlText(const SceneList& list, EdlVariant variant, SourceProbe& probe, app::UserInterface& ui,
                 std::string& out) {
    out = edlHeader(variant);
    EdlSource source;
    std::string lastPath;
    double timelineMs = 0;
    EdlEvent event;
    for (int i = 0; i < list.count(); ++i) {
        const SceneRecord& scene = *list.record(i);
        std::string path(fieldText(scene.sourceFile));
        if (i == 0 || path != lastPath) {
            if (int rc = probeSource(path, probe, ui, source); rc != 1) return rc;
            lastPath = path;
        }
        double frameMs = static_cast<double>(source.frameDuration) * 1000.0;
        double sourceMs = (static_cast<double>(scene.stopFrame) - scene.startFrame) * frameMs;
        float speed = scene.speedFactor >= 0.001f ? scene.speedFactor : 0.001f;  // NaN too
        event.startTimeMs = timelineMs;
        event.lengthMs = sourceMs / speed;
        event.playRate = speed;
        event.fileName = fieldText(scene.sourceFile);
        event.streamStartMs = scene.startFrame * frameMs;
        event.streamLengthMs = sourceMs;
        for (bool audio : {false, true}) {
            if (!(audio ? source.audio : source.video)) continue;
            event.audio = audio;
            out += edlRow(variant, event);
            ++event.id;
        }
        // The timeline moves by the unscaled source length, whatever the speed.
        if (source.video || source.audio) timelineMs += sourceMs;
    }
    return 1;
}

int exportVegasEdl(SceneList& list, const std::string& path, EdlVariant variant, SourceProbe& probe,
                   app::UserInterface& ui) {
    if (list.count() == 0) return 1;
    app::AtomicFileWriter file(path);
    if (!file.open()) return static_cast<int>(EdlExportResult::CannotCreate);
    std::string text;
    if (int rc = vegasEdlText(list, variant, probe, ui, text); rc != 1) return rc;  // the writer drops its file
    if (!file.write(toCrLf(text)) || !file.commit()) return static_cast<int>(EdlExportResult::WriteFailed);
    list.setProjectPath(path);
    list.setModified(false);
    return 1;
}

}  // namespace klemora::scene
