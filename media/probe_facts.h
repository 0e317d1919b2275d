#pragma once
// The facts of a probed file as ordered key/value pairs for "klemora-cli
// probe": the stream facts, then the container facts (camelCase keys, the
// same in text and --json output).
#include <vector>

#include "avi/container_facts.h"
#include "media/media_info.h"

namespace klemora::media {

// streams, videoStream, audioStream, frameRate, frameDuration, frameCount,
// duration, width, height, bitCount, audioChannels, audioSampleRate,
// audioBitsPerSample, isDv, isDvType1, isOpenDml, isExtendedOpenDml,
// allKeyframes, wideScreen, fourcc, recordingTime, timecode. The container
// facts are those of GetExtraData; call it first. A value that is not known
// (no audio stream, container facts not read, no DV recording time) is an
// empty text.
std::vector<avi::Fact> ProbeFacts(const MediaInfo& info);

}  // namespace klemora::media
