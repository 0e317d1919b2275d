#pragma once
// Writing one scene of a source AVI as a new AVI file without re-encoding:
// the frames start..stop copied unchanged, DV type 1 staying type 1 and
// every other source keeping its stream layout, the sound cut to the same
// time range. The file is written under a temporary name beside the
// destination and renamed at the end; a failure leaves the destination as
// it was and no temporary file behind. Stop closes the part written so far
// as a complete file under the destination name.
#include <cstdint>
#include <string>

#include "output/write_context.h"

namespace klemora::output {

// Below 0.001 the factor is 0.001; 0.998 to 1.002 count as exactly 1.
float clampSpeedFactor(float speedFactor);
bool speedCountsAsOne(float speedFactor);
// The factor the frames are picked by: exactly 1, or the (clamped) factor to
// six decimals, so that a typed 0.4 means 0.4 and not the float next to it.
double effectiveSpeed(float speedFactor);

// Scene-length arithmetic in seconds, single precision as the times of the
// scene list are: start time 0.015 + d x start (0 for a negative start),
// stop time 0.015 + d x (stop + 1) (the file's duration for a negative
// stop), length = stop time - start time + 0.01.
float sceneLengthSeconds(int32_t startFrame, int32_t stopFrame, float frameRate, int32_t frameCount);
inline constexpr float kMinimumSceneSeconds = 0.033f;

// WriteSceneResult codes: 1 written (also when stopped part-way); negative
// codes after their message. A negative start frame means from the first
// frame, a negative stop frame to the last; a scene reaching past the
// file's last frame is cut there with a warning. Never written: a scene
// with no frame in the file (TooShort), a copy that gets fewer frames than
// the file counts (SourceShort), a cut of inter-frame video that does not
// begin on a key frame (StartNotKeyFrame), and a destination that is a
// source of the run (DestinationIsSource; the source is added to
// context.sources).
int WriteScene(const std::string& sourcePath, const std::string& destinationPath, WriteContext& context,
               int32_t startFrame, int32_t stopFrame, float speedFactor);

}  // namespace klemora::output
