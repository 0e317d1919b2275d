#pragma once
// The stream layouts the AVI writer is given: DV type 1 (one interleaved
// 'iavs' stream, chunks "00__", a 'strf' of one DVINFO block), DV type 2
// ('vids' "dvsd" chunks "00dc" and, when there is sound, 'auds' PCM chunks
// "01wb"), and the layout of any AVI source copied stream for stream, so the
// media types of a written scene are the source's own.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "avi/avi_format.h"
#include "avi/avi_writer.h"

namespace klemora::avi {

struct StreamInfo;

// The DVINFO block of DV 'strf' data: the AAUX source and source-control
// packs of the first and second audio block, the VAUX source and
// source-control packs, 8 reserved bytes. Each field is PC1..PC4 of its pack.
using DvInfo = std::array<uint8_t, kDvInfoSize>;

inline constexpr int kDvVideoStream = 0;
inline constexpr int kDvAudioStream = 1;  // type 2 only

struct PcmFormat {
    uint16_t channels = 2;
    uint32_t samplesPerSecond = 48000;
    uint16_t bitsPerSample = 16;

    uint16_t blockAlign() const { return static_cast<uint16_t>(channels * ((bitsPerSample + 7) / 8)); }
    uint32_t bytesPerSecond() const { return samplesPerSecond * blockAlign(); }
};

// 144000 bytes for the 625/50 system, 120000 for 525/60.
constexpr uint32_t dvFrameSize(bool pal) { return pal ? kDvFrameSizePal : kDvFrameSizeNtsc; }

// The DVINFO of a frame's packs (the first audio block from the first half
// of the DIF sequences, the second from the other half). A pack the frame
// lacks reads as 0xFFFFFFFF, the DV value for "no information".
DvInfo dvInfoFromFrame(std::span<const uint8_t> frame, bool pal);

AviLayout dvType1Layout(bool pal, const DvInfo& dvInfo);
// `audio` unset: a video-only file. The DVINFO follows the bitmap header in
// the video 'strf', as DV type 2 files carry it.
AviLayout dvType2Layout(bool pal, const DvInfo& dvInfo, std::optional<PcmFormat> audio);

// Every video ('vids', 'iavs') and audio ('auds') stream of a source, in the
// source's order, with its 'strh', 'strf', 'strd' and 'strn' bytes
// unchanged; other streams (text, MIDI) are left out, and `sourceStream`
// tells where each output stream came from. The frame stream is the first
// video stream. Chunk suffixes: "__" for 'iavs', "db" for uncompressed
// video, "dc" for other video, "wb" for audio.
AviLayout copySourceLayout(std::span<const StreamInfo> streams, uint32_t width, uint32_t height);

}  // namespace klemora::avi
