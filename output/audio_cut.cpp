#include "output/audio_cut.h"

#include <algorithm>
#include <cmath>

#include "output/pcm_resample.h"

namespace klemora::output {
namespace {

constexpr double kTimeSlack = 1e-9;

}  // namespace

AudioCut::AudioCut(avi::AviReader& reader, const AudioStreamInfo& source, const std::vector<avi::IndexedChunk>* index,
                   AudioOutputState& output, const CutTiming& timing)
    : m_source(source),
      m_output(output),
      m_timing(timing),
      m_pcm(reader, source.sourceStream, index),
      m_chunks(reader, source.sourceStream, index) {
    const double frameSeconds = static_cast<double>(timing.videoScale) / timing.videoRate;
    m_firstOutputSecond = static_cast<double>(timing.outputFirstFrame) * frameSeconds;
    m_sourceStartSecond = timing.firstFrame * frameSeconds - source.startSeconds;
    m_sourceEndSecond = (static_cast<double>(timing.lastFrame) + 1) * frameSeconds - source.startSeconds;
    if (source.pcm) {
        m_firstOutputSample = samplesAt(timing.outputFirstFrame);
        int64_t skew = std::llround(source.startSeconds * source.pcmLayout.samplesPerSecond);
        m_firstSourceSample = samplesAt(timing.firstFrame) - skew;
    } else if (source.scale == 0 || source.rate == 0) {
        m_ended = true;  // no clock to place the chunks by
    }
}

int AudioCut::lastErrno() const { return m_source.pcm ? m_pcm.lastErrno() : m_chunks.lastErrno(); }

int64_t AudioCut::samplesAt(int64_t frames) const {
    __int128 numerator = static_cast<__int128>(frames) * m_timing.videoScale * m_source.pcmLayout.samplesPerSecond;
    return static_cast<int64_t>((numerator + m_timing.videoRate / 2) / m_timing.videoRate);
}

int AudioCut::writeUntil(int64_t outputFrameEnd, avi::AviWriter& writer) {
    if (m_source.pcm) return writePcm(samplesAt(outputFrameEnd), writer);
    const double frameSeconds = static_cast<double>(m_timing.videoScale) / m_timing.videoRate;
    return writeChunks(static_cast<double>(outputFrameEnd) * frameSeconds, writer);
}

int AudioCut::writePcm(int64_t targetSamples, avi::AviWriter& writer) {
    int64_t count = targetSamples - m_output.samplesWritten;
    if (count <= 0) return 1;
    if (m_timing.speed == 1.0 && writer.copiesFromSource()) {
        avi::SourceChunk chunk;
        int rc = locatePcmCopy(count, chunk);
        if (rc < 0) return -1;
        if (rc == 1) {
            if (int written = writer.copyChunk(m_output.outputStream, chunk, true); written != 1) return written;
            m_output.samplesWritten += count;
            return 1;
        }
    }
    int rc = m_timing.speed == 1.0 ? writePcmCopy(count) : writePcmResampled(count);
    if (rc != 1) return rc;
    if (m_out.empty()) return 1;
    if (int written = writer.writeChunk(m_output.outputStream, m_out, true); written != 1) return written;
    m_output.samplesWritten += static_cast<int64_t>(m_out.size() / m_source.pcmLayout.blockAlign);
    return 1;
}

// Where the next `count` sample frames lie in the source file, when they are
// all there in one chunk (no silence before or after them): 1, else 0 (they
// are read instead), or -1 on a read error.
int AudioCut::locatePcmCopy(int64_t count, avi::SourceChunk& chunk) {
    const int64_t block = m_source.pcmLayout.blockAlign;
    int64_t source = m_firstSourceSample + (m_output.samplesWritten - m_firstOutputSample);
    if (m_ended || source < 0 || block <= 0) return 0;
    return m_pcm.locate(source * block, count * block, chunk);
}

// Fills m_out with the next `count` sample frames of the source, byte for
// byte. Sound that starts after the pictures is preceded by silence; sound
// that ends before them is filled up only when the timing asks for it.
int AudioCut::writePcmCopy(int64_t count) {
    const PcmLayout& layout = m_source.pcmLayout;
    const size_t block = layout.blockAlign;
    m_out.clear();
    int64_t source = m_firstSourceSample + (m_output.samplesWritten - m_firstOutputSample);
    int64_t lead = source < 0 ? std::min(count, -source) : 0;
    int64_t wanted = count - lead;
    std::span<const uint8_t> data;
    if (!m_ended && wanted > 0) {
        if (m_pcm.fetch((source + lead) * static_cast<int64_t>(block), wanted * static_cast<int64_t>(block), data) != 1)
            return -1;
        data = data.first(data.size() / block * block);
        if (data.size() < static_cast<size_t>(wanted) * block) m_ended = true;
    }
    size_t tail = m_timing.padWithSilence ? static_cast<size_t>(wanted) * block - data.size() : 0;
    size_t leadBytes = static_cast<size_t>(lead) * block;
    if (data.empty() && tail == 0) return 1;  // nothing of this stream is left to write
    m_out.resize(leadBytes + data.size() + tail);
    fillPcmSilence(layout, std::span<uint8_t>(m_out.data(), leadBytes));
    std::copy(data.begin(), data.end(), m_out.begin() + static_cast<std::ptrdiff_t>(leadBytes));
    fillPcmSilence(layout, std::span<uint8_t>(m_out.data() + leadBytes + data.size(), tail));
    return 1;
}

// Fills m_out with `count` sample frames taken at `speed` source frames per
// output frame. The duration is the point of a speed copy, so missing
// source sound becomes silence.
int AudioCut::writePcmResampled(int64_t count) {
    const PcmLayout& layout = m_source.pcmLayout;
    const int64_t block = layout.blockAlign;
    m_out.assign(static_cast<size_t>(count * block), 0);
    double first = static_cast<double>(m_firstSourceSample) +
                   static_cast<double>(m_output.samplesWritten - m_firstOutputSample) * m_timing.speed;
    double last = first + static_cast<double>(count - 1) * m_timing.speed;
    int64_t windowStart = std::max<int64_t>(0, static_cast<int64_t>(std::floor(first)));
    int64_t windowEnd = std::max<int64_t>(windowStart, static_cast<int64_t>(std::floor(last)) + 2);
    std::span<const uint8_t> data;
    if (!m_ended && canResamplePcm(layout)) {
        if (m_pcm.fetch(windowStart * block, (windowEnd - windowStart) * block, data) != 1) return -1;
        data = data.first(data.size() / static_cast<size_t>(block) * static_cast<size_t>(block));
        if (data.empty()) m_ended = true;
    }
    if (data.empty()) {
        fillPcmSilence(layout, m_out);
        return 1;
    }
    resamplePcm(layout, data, first - static_cast<double>(windowStart), m_timing.speed, m_out);
    return 1;
}

double AudioCut::chunkStart() const {
    double units = m_source.sampleSize > 0 ? static_cast<double>(m_chunks.bytesBefore()) / m_source.sampleSize
                                           : static_cast<double>(m_chunks.index());
    return units * m_source.scale / m_source.rate;
}

double AudioCut::chunkDuration() const {
    double units = m_source.sampleSize > 0 ? static_cast<double>(m_chunks.chunk().size) / m_source.sampleSize : 1.0;
    return units * m_source.scale / m_source.rate;
}

// Goes to the chunk playing at the scene's start, by the stream's clock.
int AudioCut::positionChunks() {
    double units = std::max(0.0, m_sourceStartSecond) * m_source.rate / m_source.scale;
    int rc = m_source.sampleSize > 0 ? m_chunks.seekByte(static_cast<int64_t>(units * m_source.sampleSize))
                                     : m_chunks.seek(static_cast<int64_t>(units + kTimeSlack));
    if (rc < 0) return -1;
    if (rc == 0) m_ended = true;
    return 1;
}

int AudioCut::writeChunks(double targetSeconds, avi::AviWriter& writer) {
    if (m_chunks.index() < 0 && !m_ended && positionChunks() != 1) return -1;
    std::vector<uint8_t>& data = m_out;
    while (!m_ended && m_output.secondsWritten < targetSeconds - kTimeSlack) {
        double elapsed = std::max(0.0, m_output.secondsWritten - m_firstOutputSecond);
        double sourceTime = m_sourceStartSecond + elapsed * m_timing.speed;
        if (sourceTime >= m_sourceEndSecond - kTimeSlack) {
            m_ended = true;
            break;
        }
        while (m_chunks.valid() && chunkStart() + chunkDuration() <= sourceTime + kTimeSlack) {
            int rc = m_chunks.advance();
            if (rc < 0) return -1;
        }
        if (!m_chunks.valid()) {
            m_ended = true;
            break;
        }
        double duration = chunkDuration();
        avi::SourceChunk chunk;
        if (writer.copiesFromSource() && m_chunks.sourceChunk(chunk)) {
            if (int rc = writer.copyChunk(m_output.outputStream, chunk, true); rc != 1) return rc;
        } else {
            if (m_chunks.read(data) != 1) return -1;
            if (int rc = writer.writeChunk(m_output.outputStream, data, true); rc != 1) return rc;
        }
        m_output.secondsWritten += duration;
    }
    return 1;
}

}  // namespace klemora::output
