#pragma once
// The recording the engine speed benches time: PAL DV type 2 with PCM sound
// (tests/fixtures/scene_clip.h), one camera take after another, each over a
// moving pattern, noise or a colour field, so that both the DV dates and the
// pictures have a cut at every take. Made once under /tmp/klemora-speed/ and
// reused; it gets its name only when complete.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/file_io.h"
#include "sample/dv_sample.h"
#include "tests/fixtures/scene_clip.h"

namespace klemora::bench {

inline const std::string kSpeedFolder = "/tmp/klemora-speed";

// "/tmp/klemora-speed/pal_dv2_takes_40x250.avi"; "..._120x750_pictures_of_20.avi"
// for one made of a shorter one's pictures.
inline std::string speedRecordingPath(int takes, int32_t framesPerTake, int pictureTakes = 0) {
    return kSpeedFolder + "/pal_dv2_takes_" + std::to_string(takes) + "x" + std::to_string(framesPerTake) +
           (pictureTakes ? "_pictures_of_" + std::to_string(pictureTakes) : std::string()) + ".avi";
}

inline std::vector<fixtures::ClipScene> speedTakes(int takes, int32_t framesPerTake) {
    constexpr fixtures::ClipSceneKind kinds[] = {fixtures::ClipSceneKind::MovingPattern, fixtures::ClipSceneKind::Noise,
                                                 fixtures::ClipSceneKind::ColourField};
    std::vector<fixtures::ClipScene> scenes;
    for (int i = 0; i < takes; ++i)
        scenes.push_back({kinds[i % 3], framesPerTake, static_cast<uint32_t>(7 + i)});
    return scenes;
}

// The recording's path once it is there (generated now when missing), empty
// on failure. With `pictureTakes`, its pictures are those of the recording of
// that many takes over again (made first when missing): minutes instead of
// the hour a whole tape takes to encode.
inline std::string ensureSpeedRecording(int takes, int32_t framesPerTake, bool* generated = nullptr,
                                        int pictureTakes = 0) {
    const std::string path = speedRecordingPath(takes, framesPerTake, pictureTakes);
    if (generated) *generated = false;
    if (app::fileExists(path)) return path;
    ::mkdir(kSpeedFolder.c_str(), 0777);
    const auto started = std::chrono::steady_clock::now();
    const std::string partial = path + ".part";
    fixtures::SceneClipOptions options{speedTakes(takes, framesPerTake), fixtures::ClipCodec::Dv,
                                       sample::defaultSessionStart()};
    std::string error, pictures;
    if (pictureTakes && (pictures = ensureSpeedRecording(pictureTakes, framesPerTake)).empty()) return {};
    const int written = pictures.empty() ? fixtures::writeSceneClip(partial, options, nullptr, &error)
                                         : fixtures::writeSceneClipFrom(pictures, partial, options, &error);
    if (written != 1 ||
        std::rename(partial.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
        ::unlink(partial.c_str());
        return {};
    }
    std::fprintf(stderr, "generated %s in %.0f s\n", path.c_str(),
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    if (generated) *generated = true;
    return path;
}

}  // namespace klemora::bench
