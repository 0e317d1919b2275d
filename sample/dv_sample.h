#pragma once
// The DV AVI sample recordings behind "klemora-cli sample" and the test media: real DV frames (libavcodec's DV
// encoder on generated pictures, one picture per recording session) with the
// recording date/time, timecode and video source control packs written into
// the subcode and VAUX areas, wrapped as DV type 1 ('iavs') or type 2
// ('vids' + PCM 'auds'), plain AVI or OpenDML, and in unusual layouts on request.
// Output is deterministic: the same options give the same bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scene/scene_record.h"

namespace klemora::sample {

struct DvSession {
    // Local calendar time of the first frame; one second per 25 (PAL) or 30
    // (NTSC) frames after it.
    scene::RecordingTime start{};
    int32_t frames = 50;
    // Set: the timecode restarts here; unset: it runs on from the previous
    // session (00:00:00:00 for the first).
    std::optional<scene::Timecode> timecodeStart;
    // With DvSampleOptions::recordingStartMarks: this take's first frame carries no mark.
    bool unmarkedStart = false;
};

// The recording date and time packs (0x62, 0x63) as cameras and converters write them.
enum class DatePacks {
    Running,  // the session's clock
    Missing,  // none at all, as many analogue-to-DV converters and some decks
    Unset,    // the packs with every field 0xFF, as a camera whose clock was never set
};

struct FrameRange {
    int32_t first = 0;
    int32_t last = 0;
    bool contains(int32_t frame) const { return frame >= first && frame <= last; }
};

enum class OpenDmlLayout {
    None,      // plain AVI with 'idx1'
    Single,    // 'odml'/'dmlh' (frame count equal to 'avih') and 'indx'/'ix00', one RIFF
    Segments,  // RIFF 'AVI ' plus RIFF 'AVIX' segments of at most riffSegmentBytes each
};

struct WrongSizeChunk {
    int32_t frame = 0;
    uint32_t size = 0;  // chunk data size written instead of the frame size (cut or zero-padded)
};

struct DvSampleOptions {
    int type = 2;  // 1: one 'iavs' stream, chunks "00__"; 2: 'vids' "dvsd" "00dc" + 'auds' PCM "01wb"
    bool ntsc = false;
    // Empty: one session of 50 frames from 2006-07-01 10:00:00.
    std::vector<DvSession> sessions;

    bool wideScreen = false;      // 0x61 PC2 0xCA (16:9 display mode) instead of 0xC8
    int videoControlPc2 = -1;     // 0..255: this PC2 in every 0x61 pack instead
    bool videoControlAt453 = true;  // false: byte 453 holds no 0x61 pack (only the subcode search can find one)
    std::vector<FrameRange> framesWithoutPacks;  // no 0x13/0x62/0x63 pack anywhere in the frame
    std::vector<FrameRange> framesWithLatePacks; // packs only from the third DIF sequence on
    DatePacks datePacks = DatePacks::Running;
    // The REC ST bit (AAUX 0x51 PC2 bit 7 cleared) on the first frame of every session.
    bool recordingStartMarks = false;

    OpenDmlLayout openDml = OpenDmlLayout::None;
    uint64_t riffSegmentBytes = 1u << 30;  // Segments: size limit of one RIFF
    bool writeIdx1 = true;                 // for the first RIFF
    std::vector<int32_t> nonKeyFrames;     // 'idx1' entries of these frames lack the key-frame flag
    std::string videoHandler = "dvsd";

    // Layouts other writers produce, which a reader must take as well
    // (damages done to a finished file are the tests' own).
    std::vector<WrongSizeChunk> wrongSizeChunks;
    bool junkChunks = false;        // 'JUNK' in 'hdrl', before 'movi' and between movie chunks
    bool oddSizeChunk = false;      // an odd-size chunk (with its pad byte) in the movie data
    bool streamHeader60 = false;    // a video 'strh' of 60 bytes
};

// Where things landed, for tests that compare or damage further.
struct DvSampleInfo {
    int32_t frameCount = 0;
    int64_t fileSize = 0;
    int riffSegments = 0;
    std::vector<int64_t> frameDataOffsets;  // file offset of each frame chunk's data
    uint32_t frameSize = 0;                 // 144000 or 120000
};

// 1 on success, -1 when the file cannot be written, -2 when the DV encoder
// fails, -3 for options that make no sense (type, empty session); `error`
// says why.
int writeDvAvi(const std::string& path, const DvSampleOptions& options, DvSampleInfo* info = nullptr,
               std::string* error = nullptr);

// One frame as the generator writes it (with all its packs), for pack tests.
std::vector<uint8_t> makeDvFrame(const DvSampleOptions& options, int32_t frame);

// What the generator writes into frame `frame` (0-based over all sessions).
int32_t totalFrames(const DvSampleOptions& options);
scene::RecordingTime expectedRecordingTime(const DvSampleOptions& options, int32_t frame);
scene::Timecode expectedTimecode(const DvSampleOptions& options, int32_t frame);
bool framePacksWritten(const DvSampleOptions& options, int32_t frame);
bool frameMarksRecordingStart(const DvSampleOptions& options, int32_t frame);

// The default start, 2006-07-01 10:00:00.
scene::RecordingTime defaultSessionStart();
// One session of `frames` frames from the default start.
DvSampleOptions singleSessionOptions(int32_t frames, int type = 2, bool ntsc = false);
// `frames` frames in sessions of `perSession` frames an hour apart, so that
// the pictures of a long recording are not all one.
DvSampleOptions hourlySessionsOptions(int32_t frames, int type = 2, int32_t perSession = 250);
// "YYYY-MM-DD HH:MM:SS" into a recording time (weekday 0, day of year 0, DST -1); false when malformed.
bool parseSessionStart(const std::string& text, scene::RecordingTime& time);

}  // namespace klemora::sample
