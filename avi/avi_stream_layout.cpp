#include "avi/avi_stream_layout.h"

#include "avi/avi_format.h"
#include "avi/avi_reader.h"
#include "avi/dv_pack.h"

namespace klemora::avi {
namespace {

constexpr uint32_t kPackSize = 5;
constexpr uint32_t kNoInformation = 0xFFFFFFFF;

constexpr uint32_t kDvInfoAudioSource = 0, kDvInfoAudioControl = 4, kDvInfoAudioSource1 = 8,
                   kDvInfoAudioControl1 = 12, kDvInfoVideoSource = 16, kDvInfoVideoControl = 20;

// PC1..PC4 of the first pack `id` at one of the offsets, or "no information".
template <typename Offsets>
uint32_t packPayload(std::span<const uint8_t> frame, uint8_t id, Offsets&& offsets) {
    uint32_t found = kNoInformation;
    offsets([&](uint32_t offset) {
        if (offset + kPackSize > frame.size() || frame[offset] != id) return false;
        found = readLe32(frame.data() + offset + 1);
        return true;
    });
    return found;
}

// Calls `visit` with every AAUX pack offset of sequences [first, last) until it returns true.
auto audioPackOffsets(uint32_t first, uint32_t last) {
    return [=](auto&& visit) {
        for (uint32_t s = first; s < last; ++s)
            for (uint32_t b = 0; b < kAudioBlocksPerSequence; ++b)
                if (visit(aauxPackOffset(s, b))) return;
    };
}

auto videoPackOffsets(uint32_t sequences) {
    return [=](auto&& visit) {
        for (uint32_t s = 0; s < sequences; ++s)
            for (uint32_t b = 0; b < kVauxBlocksPerSequence; ++b)
                for (uint32_t p = 0; p < kPacksPerVauxBlock; ++p)
                    if (visit(vauxPackOffset(s, b, p))) return;
    };
}

std::vector<uint8_t> dvStreamHeader(uint32_t type, bool pal) {
    std::vector<uint8_t> header(kStreamHeaderSize, 0);
    uint8_t* h = header.data();
    writeLe32(h + kStrhType, type);
    writeLe32(h + kStrhHandler, kFccDvsd);
    writeLe32(h + kStrhScale, pal ? 1 : 1001);  // 25 or 30000/1001 frames per second
    writeLe32(h + kStrhRate, pal ? 25 : 30000);
    writeLe32(h + kStrhSuggestedBufferSize, dvFrameSize(pal));
    writeLe32(h + kStrhQuality, kNoInformation);  // -1: the default quality
    writeLe16(h + kStrhFrame + 4, 720);
    writeLe16(h + kStrhFrame + 6, pal ? 576 : 480);
    return header;
}

std::vector<uint8_t> dvBitmapHeader(bool pal) {
    std::vector<uint8_t> format(kBitmapInfoSize, 0);
    uint8_t* f = format.data();
    writeLe32(f, kBitmapInfoSize);
    writeLe32(f + 4, 720);
    writeLe32(f + 8, pal ? 576 : 480);
    writeLe16(f + 12, 1);   // planes
    writeLe16(f + 14, 24);  // bits per pixel after decoding
    writeLe32(f + 16, kFccDvsd);
    writeLe32(f + 20, dvFrameSize(pal));
    return format;
}

AviStreamSpec pcmStream(const PcmFormat& pcm) {
    AviStreamSpec spec;
    spec.header.assign(kStreamHeaderSize, 0);
    uint8_t* h = spec.header.data();
    writeLe32(h + kStrhType, kFccAuds);
    // One time unit per sample frame: scale = block align, rate = bytes per second.
    writeLe32(h + kStrhScale, pcm.blockAlign());
    writeLe32(h + kStrhRate, pcm.bytesPerSecond());
    writeLe32(h + kStrhQuality, kNoInformation);
    writeLe32(h + kStrhSampleSize, pcm.blockAlign());
    spec.format.assign(kWaveFormatSize, 0);  // WAVEFORMATEX with cbSize 0
    uint8_t* f = spec.format.data();
    writeLe16(f, 1);  // WAVE_FORMAT_PCM
    writeLe16(f + 2, pcm.channels);
    writeLe32(f + 4, pcm.samplesPerSecond);
    writeLe32(f + 8, pcm.bytesPerSecond());
    writeLe16(f + 12, pcm.blockAlign());
    writeLe16(f + 14, pcm.bitsPerSample);
    spec.chunkSuffix[0] = 'w';
    spec.chunkSuffix[1] = 'b';
    return spec;
}

void setSuffix(AviStreamSpec& spec, const char (&suffix)[3]) {
    spec.chunkSuffix[0] = suffix[0];
    spec.chunkSuffix[1] = suffix[1];
}

bool isUncompressedVideo(const std::vector<uint8_t>& format) {
    if (format.size() < 20) return false;
    uint32_t compression = readLe32(format.data() + 16);
    return compression == 0 || compression == makeFourcc("DIB ");  // BI_RGB
}

}  // namespace

DvInfo dvInfoFromFrame(std::span<const uint8_t> frame, bool pal) {
    uint32_t sequences = pal ? 12 : 10;
    uint32_t half = sequences / 2;
    DvInfo info{};
    writeLe32(info.data() + kDvInfoAudioSource, packPayload(frame, kPackAudioSource, audioPackOffsets(0, half)));
    writeLe32(info.data() + kDvInfoAudioControl, packPayload(frame, kPackAudioControl, audioPackOffsets(0, half)));
    writeLe32(info.data() + kDvInfoAudioSource1,
              packPayload(frame, kPackAudioSource, audioPackOffsets(half, sequences)));
    writeLe32(info.data() + kDvInfoAudioControl1,
              packPayload(frame, kPackAudioControl, audioPackOffsets(half, sequences)));
    writeLe32(info.data() + kDvInfoVideoSource, packPayload(frame, kPackVideoSource, videoPackOffsets(sequences)));
    writeLe32(info.data() + kDvInfoVideoControl, packPayload(frame, kPackVideoSourceControl, videoPackOffsets(sequences)));
    return info;
}

AviLayout dvType1Layout(bool pal, const DvInfo& dvInfo) {
    AviLayout layout;
    AviStreamSpec video;
    video.header = dvStreamHeader(kFccIavs, pal);
    video.format.assign(dvInfo.begin(), dvInfo.end());
    setSuffix(video, "__");
    layout.streams.push_back(std::move(video));
    layout.frameStream = kDvVideoStream;
    layout.width = 720;
    layout.height = pal ? 576 : 480;
    return layout;
}

AviLayout dvType2Layout(bool pal, const DvInfo& dvInfo, std::optional<PcmFormat> audio) {
    AviLayout layout;
    AviStreamSpec video;
    video.header = dvStreamHeader(kFccVids, pal);
    video.format = dvBitmapHeader(pal);
    video.format.insert(video.format.end(), dvInfo.begin(), dvInfo.end());
    setSuffix(video, "dc");
    layout.streams.push_back(std::move(video));
    if (audio) layout.streams.push_back(pcmStream(*audio));
    layout.frameStream = kDvVideoStream;
    layout.width = 720;
    layout.height = pal ? 576 : 480;
    return layout;
}

AviLayout copySourceLayout(std::span<const StreamInfo> streams, uint32_t width, uint32_t height) {
    AviLayout layout;
    layout.frameStream = -1;
    layout.width = width;
    layout.height = height;
    for (size_t i = 0; i < streams.size(); ++i) {
        const StreamInfo& source = streams[i];
        if (source.type != kFccVids && source.type != kFccIavs && source.type != kFccAuds) continue;
        AviStreamSpec spec;
        spec.header = source.header;
        spec.format = source.format;
        spec.extra = source.extra;
        spec.name = source.name;
        spec.sourceStream = static_cast<int>(i);
        if (source.type == kFccIavs) setSuffix(spec, "__");
        else if (source.type == kFccAuds) setSuffix(spec, "wb");
        else setSuffix(spec, isUncompressedVideo(source.format) ? "db" : "dc");
        if (source.type != kFccAuds && layout.frameStream < 0)
            layout.frameStream = static_cast<int>(layout.streams.size());
        layout.streams.push_back(std::move(spec));
    }
    return layout;
}

}  // namespace klemora::avi
