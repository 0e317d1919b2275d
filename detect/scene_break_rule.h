#pragma once
// The seam through which a detection that walks the same DV packs as the
// date detection decides where its scenes break: the file walk, the scene
// records, the trim and the run stay the date detection's.
#include <cstdint>
#include <string_view>

namespace klemora::avi {
class AviReader;
}

namespace klemora::detect {

class SceneBreakRule {
public:
    virtual ~SceneBreakRule() = default;

    // Called when the walk of a file's range [first, last] begins. Returns the
    // rule to ask about this range's frames, or nullptr when the recording
    // time is to decide there as in the date detection. The reader may be
    // moved to other frames meanwhile.
    virtual SceneBreakRule* forRange(avi::AviReader& reader, int32_t first, int32_t last) = 0;

    // Called for every frame of the range once it is read, the first one
    // included; true when a new scene begins with it (ignored for the first).
    virtual bool startsScene(avi::AviReader& reader, int32_t frame) = 0;

    // The run's name in its failure message ("FindPerDvTimecode").
    virtual std::string_view runName() const = 0;
};

}  // namespace klemora::detect
