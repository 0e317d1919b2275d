#include "output/source_streams.h"

#include <algorithm>

#include "avi/avi_format.h"
#include "avi/avi_stream_layout.h"
#include "output/write_result.h"

namespace klemora::output {
namespace {

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatFloat = 3;
constexpr uint16_t kWaveFormatAlaw = 6;
constexpr uint16_t kWaveFormatMulaw = 7;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
constexpr size_t kExtensibleSubFormat = 24;  // first two bytes of the sub-format GUID: the format tag

uint32_t field(const std::vector<uint8_t>& bytes, uint32_t offset) {
    return bytes.size() >= offset + 4 ? avi::readLe32(bytes.data() + offset) : 0;
}

bool pcmLayoutOf(const std::vector<uint8_t>& format, uint32_t sampleSize, PcmLayout& pcm) {
    if (format.size() < avi::kPcmWaveFormatSize || sampleSize == 0) return false;
    const uint8_t* f = format.data();
    pcm.formatTag = avi::readLe16(f);
    if (pcm.formatTag == kWaveFormatExtensible && format.size() >= kExtensibleSubFormat + 2)
        pcm.formatTag = avi::readLe16(f + kExtensibleSubFormat);
    pcm.channels = avi::readLe16(f + 2);
    pcm.samplesPerSecond = avi::readLe32(f + 4);
    pcm.blockAlign = avi::readLe16(f + 12);
    pcm.bitsPerSample = avi::readLe16(f + 14);
    bool knownTag = pcm.formatTag == kWaveFormatPcm || pcm.formatTag == kWaveFormatFloat ||
                    pcm.formatTag == kWaveFormatAlaw || pcm.formatTag == kWaveFormatMulaw;
    bool sane = pcm.channels > 0 && pcm.samplesPerSecond > 0 && pcm.blockAlign > 0 &&
                pcm.blockAlign % pcm.channels == 0 && sampleSize == pcm.blockAlign;
    return knownTag && sane;
}

// The output starts at the scene's first frame, so no stream is delayed.
void clearStartFields(avi::AviLayout& layout) {
    for (avi::AviStreamSpec& spec : layout.streams) {
        avi::writeLe32(spec.header.data() + avi::kStrhInitialFrames, 0);
        avi::writeLe32(spec.header.data() + avi::kStrhStart, 0);
    }
}

// A type 1 stream whose 'strf' lacks the DVINFO block gets one made from
// the first frame's packs, as a DV multiplexer would write it.
void repairDvType1Format(avi::AviReader& reader, avi::AviLayout& layout) {
    avi::AviStreamSpec& video = layout.streams[static_cast<size_t>(layout.frameStream)];
    if (video.type() != avi::kFccIavs || video.format.size() >= avi::kDvInfoSize) return;
    if (reader.ReadRawPictureData(0) != 1) return;
    avi::DvInfo info = avi::dvInfoFromFrame(reader.frameBuffer(), reader.isPal());
    video.format.assign(info.begin(), info.end());
}

// One video stream is cut by frames; further video streams (rare) are left out.
void keepFirstVideoOnly(avi::AviLayout& layout) {
    std::vector<avi::AviStreamSpec> kept;
    int frameStream = -1;
    for (size_t i = 0; i < layout.streams.size(); ++i) {
        bool video = layout.streams[i].type() != avi::kFccAuds;
        if (video && static_cast<int>(i) != layout.frameStream) continue;
        if (video) frameStream = static_cast<int>(kept.size());
        kept.push_back(std::move(layout.streams[i]));
    }
    layout.streams = std::move(kept);
    layout.frameStream = frameStream;
}

}  // namespace

int describeSource(avi::AviReader& reader, SourceStreams& out) {
    out = SourceStreams{};
    const std::vector<avi::StreamInfo>& streams = reader.streams();
    out.layout = avi::copySourceLayout(streams, reader.width(), reader.height());
    if (out.layout.frameStream < 0) return static_cast<int>(WriteSceneResult::NoVideoStream);
    for (const avi::AviStreamSpec& spec : out.layout.streams)
        if (spec.header.size() < avi::kStrhMinimumSize) return static_cast<int>(WriteSceneResult::NoVideoStream);
    keepFirstVideoOnly(out.layout);

    out.videoOutput = out.layout.frameStream;
    const avi::AviStreamSpec& video = out.layout.streams[static_cast<size_t>(out.videoOutput)];
    out.videoSource = video.sourceStream;
    out.videoScale = field(video.header, avi::kStrhScale);
    out.videoRate = field(video.header, avi::kStrhRate);
    if (out.videoScale == 0 || out.videoRate == 0) {
        // Some writers leave the stream rate empty; 'avih' still has the frame period.
        uint32_t period = reader.microSecondsPerFrame();
        if (period == 0) return static_cast<int>(WriteSceneResult::NoVideoStream);
        out.videoScale = period;
        out.videoRate = 1000000;
    }
    out.frameCount = reader.GetFrameCount();
    out.dvType1 = reader.GetDvType() == static_cast<int>(avi::DvType::Type1);
    out.allKeyframes = reader.allKeyframes();
    if (out.dvType1) repairDvType1Format(reader, out.layout);
    clearStartFields(out.layout);

    for (size_t i = 0; i < out.layout.streams.size(); ++i) {
        const avi::AviStreamSpec& spec = out.layout.streams[i];
        if (spec.type() != avi::kFccAuds) continue;
        AudioStreamInfo audio;
        audio.sourceStream = spec.sourceStream;
        audio.outputStream = static_cast<int>(i);
        audio.scale = field(spec.header, avi::kStrhScale);
        audio.rate = field(spec.header, avi::kStrhRate);
        audio.sampleSize = spec.sampleSize();
        const avi::StreamInfo& source = streams[static_cast<size_t>(spec.sourceStream)];
        uint32_t start = field(source.header, avi::kStrhStart);
        if (audio.rate > 0) audio.startSeconds = static_cast<double>(start) * audio.scale / audio.rate;
        audio.pcm = pcmLayoutOf(spec.format, audio.sampleSize, audio.pcmLayout);
        out.audio.push_back(audio);
    }
    return 1;
}

bool sameFrameRate(const SourceStreams& a, const SourceStreams& b) {
    return static_cast<uint64_t>(a.videoRate) * b.videoScale == static_cast<uint64_t>(b.videoRate) * a.videoScale;
}

namespace {

bool sameStreamType(const avi::AviStreamSpec& a, const avi::AviStreamSpec& b) {
    return a.type() == b.type() && a.format == b.format;
}

}  // namespace

bool sameVideoType(const SourceStreams& a, const SourceStreams& b) {
    return sameStreamType(a.layout.streams[static_cast<size_t>(a.videoOutput)],
                          b.layout.streams[static_cast<size_t>(b.videoOutput)]);
}

bool sameAudioTypes(const SourceStreams& a, const SourceStreams& b) {
    if (a.audio.size() != b.audio.size()) return false;
    for (size_t i = 0; i < a.audio.size(); ++i)
        if (!sameStreamType(a.layout.streams[static_cast<size_t>(a.audio[i].outputStream)],
                            b.layout.streams[static_cast<size_t>(b.audio[i].outputStream)]))
            return false;
    return true;
}

}  // namespace klemora::output
