#pragma once
// A DV timecode as a count of frames since 00:00:00:00, and whether one
// timecode follows another after a number of frames. 525/60 timecode may
// count drop-frame (frames 0 and 1 skipped at the start of every minute but
// each tenth), and not every camera that does sets the pack's DF flag, so
// both ways are taken there; 625/50 counts every frame.
#include <cstdint>
#include <optional>

#include "avi/dv_pack.h"
#include "scene/scene_record.h"

namespace klemora::detect {

// The timecode of a 0x13 pack; empty when a field is out of range for the
// frame rate (a pack of 0xFF bytes, as decks write without timecode).
std::optional<scene::Timecode> timecodeOfPack(const avi::DvPack& pack, int framesPerSecond);

// Frames since 00:00:00:00; `dropFrame` only counts so at 30 frames a second.
int64_t timecodeFrameCount(const scene::Timecode& timecode, int framesPerSecond, bool dropFrame);

// True when `later` is exactly `frames` frames after `earlier`, across
// midnight too. At 30 frames a second either way of counting is taken: a
// camera that counts drop-frame does not always set the flag.
bool timecodeFollows(const scene::Timecode& earlier, const scene::Timecode& later, int64_t frames,
                     int framesPerSecond);

}  // namespace klemora::detect
