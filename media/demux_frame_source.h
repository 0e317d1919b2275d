#pragma once
// The exact frame of any file through FFmpeg's demuxer: decoding goes on from
// the last picture when the moment lies ahead before the next key frame, and
// otherwise starts at the key frame before the moment.
#include <cstdint>
#include <memory>

#include "media/ffmpeg_handles.h"
#include "media/frame_source.h"

namespace klemora::media {

class DemuxFrameSource : public FrameSource {
public:
    // Null (with `error` set) when the stream's decoder does not open. The
    // format context stays the probe's; the other streams are set to discard.
    // `threads` 0: as many decoder threads as the codec and the cores allow.
    static std::unique_ptr<DemuxFrameSource> open(AVFormatContext& format, int streamIndex, int threads, int& error);

    int decodeAt(double time) override;
    const AVFrame& picture() const override { return *m_current; }

private:
    DemuxFrameSource(AVFormatContext& format, int streamIndex) : m_format(format), m_streamIndex(streamIndex) {}
    int decodeAtTimestamp(int64_t target);
    bool decodingOnReaches(int64_t target) const;
    int seekBefore(int64_t target);
    int decodeNext(AVFrame* into);
    int64_t frameLength() const;

    AVFormatContext& m_format;
    int m_streamIndex;
    CodecContextPtr m_decoder;
    PacketPtr m_packet;
    FramePtr m_current;    // the picture last decoded for a request
    FramePtr m_lookahead;  // the first picture after it, when already decoded
    FramePtr m_scratch;
    bool m_haveCurrent = false;
    bool m_haveLookahead = false;
    int64_t m_currentTimestamp = 0;
    int64_t m_lookaheadTimestamp = 0;
    int64_t m_startTimestamp = 0;
    int64_t m_endTimestamp = -1;  // first timestamp after the stream (learnt at its real end); -1 unknown
    bool m_demuxerDrained = false;
};

}  // namespace klemora::media
