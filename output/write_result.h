#pragma once
// Result codes of the scene writers and of the per-scene loop. The writers
// keep the step numbers of the classic renderer for the steps that still
// exist here: -1 (scene too short), -40 (creating the output file), -50
// (the copy failed: a read or a write), -51 (closing the finished file).
// The numbers from -52 on are this writer's own.
#include <string_view>

namespace klemora::output {

enum class WriteSceneResult : int {
    Ok = 1,
    TooShort = -1,           // the scene, or the range left of it in the file, is too short
    CreateFailed = -40,      // the temporary output file cannot be created or begun
    CopyFailed = -50,        // reading the source or writing the output failed on the way
    FinishFailed = -51,      // indexes, header counts, flush or fsync of the finished file
    RenameFailed = -52,      // the finished file could not take the destination's name
    SourceUnreadable = -60,  // the source cannot be opened as an AVI file (107 shown)
    NoVideoStream = -61,     // the source has no video stream to cut by
    SpeedNeedsKeyFrames = -62,  // frames of a speed copy would depend on frames left out
    OutOfMemory = -63,
    SourceShort = -64,          // the source delivered fewer frames than its frame count promised (802)
    StartNotKeyFrame = -65,     // a cut of inter-frame video that does not begin on a key frame (805)
    DestinationIsSource = -66,  // the destination is a source file of the run (800)
};
std::string_view writeSceneResultName(int code);  // "CopyFailed"; "Unknown" otherwise

// The codes WriteScenes ends with when a failure hits the last scene of its list.
enum class WriteScenesResult : int {
    Ok = 1,
    NameFailed = -1,          // name generation failed or the name holds an invalid character
    NameTooLong = -2,
    OverwriteDeclined = -3,
    WriteFailed = -4,
    FileDatesFailed = -5,
    NamesCollide = -6,            // several scenes would get the same destination (801); nothing written
    StoppedAfterNameError = -10,  // the user stopped after a name error on an earlier scene
};
std::string_view writeScenesResultName(int code);

enum class FileDateResult : int {
    Ok = 1,
    EmptyPath = -2,
    NoDate = -3,          // the scene has no recording date (the "no date" value)
    StatusFailed = -4,    // the file's times cannot be read or set
};
std::string_view fileDateResultName(int code);

}  // namespace klemora::output
