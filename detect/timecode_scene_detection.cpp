#include "detect/timecode_scene_detection.h"

#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "detect/dv_recording_start.h"
#include "detect/timecode_count.h"

namespace klemora::detect {

TimecodeDetectionSettings readTimecodeDetectionSettings(const app::SettingsStore& store) {
    TimecodeDetectionSettings settings;
    int stored = store.readInt("TimecodeSignals", 0);
    if (stored == 1 || stored == 2) settings.breakSignals = static_cast<TimecodeSignals>(stored);
    settings.trimCount = store.readInt("TrimCount", 1);
    return settings;
}

void TimecodeBreakRule::begin(int framesPerSecond) {
    m_framesPerSecond = framesPerSecond;
    m_lastTimecode.reset();
    m_lastTimecodeFrame = 0;
    m_previousMarked = false;
}

SceneBreakRule* TimecodeBreakRule::forRange(avi::AviReader& reader, int32_t, int32_t) {
    begin(reader.isPal() ? 25 : 30);
    return this;
}

bool TimecodeBreakRule::startsScene(avi::AviReader& reader, int32_t frame) {
    FrameSignals facts;
    facts.frame = frame;
    // Each pack is looked for only when its signal counts: the audio blocks cost a read of their own.
    if (useMark()) facts.recordingStart = isRecordingStart(reader);
    avi::DvPack pack{};
    if (useTimecode() && avi::FindDvPack(reader, avi::kPackTimecode, pack) == 1)
        facts.timecode = timecodeOfPack(pack, m_framesPerSecond);
    return startsScene(facts);
}

bool TimecodeBreakRule::startsScene(const FrameSignals& facts) {
    bool marked = facts.recordingStart && !m_previousMarked;
    m_previousMarked = facts.recordingStart;
    bool jumped = false;
    if (facts.timecode) {
        // Frames without a timecode between count as frames the timecode went on through.
        jumped = m_lastTimecode && !timecodeFollows(*m_lastTimecode, *facts.timecode,
                                                    facts.frame - m_lastTimecodeFrame, m_framesPerSecond);
        m_lastTimecode = facts.timecode;
        m_lastTimecodeFrame = facts.frame;
    }
    return (useMark() && marked) || (useTimecode() && jumped);
}

DvDetectionResult FindPerDvTimecode(const std::vector<SearchSource>& sources, scene::SceneList& scenes,
                                    app::UserInterface& ui, TimecodeDetectionSettings& settings,
                                    const std::function<void(bool running)>& runningChanged) {
    TimecodeBreakRule rule(settings.breakSignals);
    DvDetectionSettings walk;
    walk.trimCount = settings.trimCount;
    walk.log = settings.log;
    walk.breakRule = &rule;
    return FindPerDvDatestamp(sources, scenes, ui, walk, runningChanged);
}

}  // namespace klemora::detect
