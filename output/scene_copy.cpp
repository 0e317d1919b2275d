#include "output/scene_copy.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>

#include "app/debug_log.h"
#include "output/chunk_cursor.h"

namespace klemora::output {
namespace {

// Products such as 10 x 0.3 land a hair below the whole number they stand for.
constexpr double kFrameSlack = 1e-9;

int64_t sourceFrameFor(const SceneRange& range, int64_t outputFrame) {
    if (range.speed == 1.0) return range.firstFrame + outputFrame;
    int64_t offset = static_cast<int64_t>(static_cast<double>(outputFrame) * range.speed + kFrameSlack);
    return std::min<int64_t>(range.firstFrame + offset, range.lastFrame);
}

}  // namespace

int64_t outputFramesOf(int32_t firstFrame, int32_t lastFrame, double speed) {
    int64_t length = static_cast<int64_t>(lastFrame) - firstFrame + 1;
    if (length <= 0) return 0;
    if (speed == 1.0) return length;
    return std::max<int64_t>(1, static_cast<int64_t>(static_cast<double>(length) / speed + kFrameSlack));
}

SceneRange sceneRangeIn(int32_t startFrame, int32_t stopFrame, int32_t frameCount, double speed) {
    SceneRange range;
    range.firstFrame = std::max(0, startFrame);
    range.lastFrame = stopFrame < 0 ? frameCount - 1 : std::min(stopFrame, frameCount - 1);
    range.speed = speed;
    range.outputFrames = outputFramesOf(range.firstFrame, range.lastFrame, range.speed);
    return range;
}

bool reachesPastEnd(int32_t startFrame, int32_t stopFrame, int32_t frameCount) {
    return startFrame >= frameCount || stopFrame >= frameCount;
}

SceneCopier::SceneCopier(avi::AviWriter& writer, const SourceStreams& reference, WriteContext& context,
                         int64_t totalOutputFrames, bool padAudio)
    : m_writer(writer), m_context(context), m_videoOutput(reference.videoOutput), m_padAudio(padAudio) {
    for (const AudioStreamInfo& audio : reference.audio) m_audio.push_back({audio.outputStream, 0, 0});
    m_context.ui.setProgressRange(totalOutputFrames);
    m_context.ui.setProgressPosition(0);
}

CopyOutcome SceneCopier::writeFailure() const {
    return {CopyStatus::WriteFailed, m_writer.result(), m_writer.lastErrno()};
}

bool SceneCopier::pollUser() {
    m_context.ui.setProgressPosition(m_framesWritten);
    m_context.ui.pump();
    return m_context.cancelled();
}

CopyOutcome SceneCopier::append(avi::AviReader& reader, const SourceStreams& source, const avi::AviIndex& index,
                                const SceneRange& range) {
    CopyOutcome outcome = copyFrames(reader, source, index, range);
    // Copies still pending read the source, which the caller closes next.
    if (m_writer.flushCopies() != 1 && (outcome.status == CopyStatus::Done || outcome.status == CopyStatus::Cancelled))
        return writeFailure();
    return outcome;
}

CopyOutcome SceneCopier::copyFrames(avi::AviReader& reader, const SourceStreams& source, const avi::AviIndex& index,
                                    const SceneRange& range) {
    ChunkCursor video(reader, source.videoSource, index.stream(source.videoSource));

    std::vector<std::unique_ptr<AudioCut>> cuts;
    for (size_t i = 0; i < source.audio.size() && i < m_audio.size(); ++i) {
        CutTiming timing{range.firstFrame, range.lastFrame, range.speed, m_framesWritten, range.outputFrames,
                         source.videoScale, source.videoRate, m_padAudio};
        cuts.push_back(std::make_unique<AudioCut>(reader, source.audio[i], index.stream(source.audio[i].sourceStream),
                                                  m_audio[i], timing));
    }

    int64_t loaded = -1;
    avi::SourceChunk chunk;
    bool copied = false;  // the loaded frame is copied from the file, not held in m_frame
    const int poll = std::max(1, m_context.pollFrames);
    for (int64_t i = 0; i < range.outputFrames; ++i) {
        int64_t frame = sourceFrameFor(range, i);
        if (frame != loaded) {
            int rc = video.seek(frame);
            if (rc < 0) return {CopyStatus::SourceFailed, 1, video.lastErrno()};
            if (rc == 0) {
                reader.log().write("WriteScene: %s ends before frame %lld", reader.fileName().c_str(),
                              static_cast<long long>(frame));
                return {CopyStatus::SourceEnded, 1, 0};
            }
            copied = m_writer.copiesFromSource() && video.sourceChunk(chunk);
            if (!copied && video.read(m_frame) != 1) return {CopyStatus::SourceFailed, 1, video.lastErrno()};
            loaded = frame;
        }
        bool keyFrame = index.isKeyFrame(source.videoSource, frame);
        int written = copied ? m_writer.copyChunk(m_videoOutput, chunk, keyFrame)
                             : m_writer.writeChunk(m_videoOutput, m_frame, keyFrame);
        if (written != 1) return writeFailure();
        ++m_framesWritten;
        for (auto& cut : cuts) {
            int rc = cut->writeUntil(m_framesWritten, m_writer);
            if (rc == -1) return {CopyStatus::SourceFailed, 1, cut->lastErrno() ? cut->lastErrno() : EIO};
            if (rc != 1) return writeFailure();
        }
        if ((i + 1) % poll == 0 && pollUser()) return {CopyStatus::Cancelled, 1, 0};
    }
    m_context.ui.setProgressPosition(m_framesWritten);
    return {};
}

}  // namespace klemora::output
