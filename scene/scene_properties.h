#pragma once
// The values of the scene properties dialog, its OK checks and what OK
// writes back: all data of one scene, or comment, name part and speed factor
// of several scenes at once, where '%' in comment and name part stands for
// each scene's present text. Frames are counted from 1 here, as the dialog
// shows them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"
#include "scene/selection.h"

namespace klemora::scene {

inline constexpr char kKeepTextMark = '%';
// The place code of a selection the dialog's values do not fit (117).
inline constexpr std::string_view kPropertiesCode = "KLM-SL-1045";
inline constexpr double kMinPropertiesSpeed = 0.001;  // both limits accepted
inline constexpr double kMaxPropertiesSpeed = 100.0;

struct SceneProperties {
    std::string sourceFile;  // shown, never written back
    int32_t firstFrame = 1;
    int32_t lastFrame = 1;
    std::string destName;
    double speedFactor = 1.0;
    std::string comment;
    RecordingTime recordingTime{};
    Timecode startTimecode{};
    bool done = false;
    // The file's frames (0-based) that first and last frame must lie in.
    int32_t fileFirstFrame = 0;
    int32_t fileLastFrame = 0;
    float framesPerSecond = 25.0f;
    // The first frame that recording time and start timecode were last set
    // for: moving the first frame moves them from there, so that a run of
    // small steps adds up to the same whole seconds as one big step.
    int32_t anchorFrame = 1;
    RecordingTime anchorTime{};
    Timecode anchorTimecode{};
    // The warnings the dialog shows (1095, 1096).
    bool problematicOpenDml = false;
    bool notAllKeyframes = false;
};

SceneProperties propertiesOf(const SceneRecord& scene);

// The dialog opens on at least one selected scene.
bool canEditSceneProperties(const SceneList& list, Selection selection);

// The first frame typed in: recording time and start timecode follow by the
// frames it moved since they were set (a scene without a recording date
// keeps having none).
void moveFirstFrame(SceneProperties& values, int32_t firstFrame);
// A recording time or timecode typed in: later moves start from it.
void setRecordingTime(SceneProperties& values, const RecordingTime& time);
void setStartTimecode(SceneProperties& values, Timecode timecode);
// The timecode just after the last frame.
Timecode stopTimecodeOf(const SceneProperties& values);

// The dialog's fields a check refers to.
enum class PropertyField { None, FirstFrame, LastFrame, SpeedFactor, DestName, Comment };

struct PropertyRefusal {
    PropertyField field = PropertyField::None;  // None: every check passed
    std::string message;                        // the text of the message box
    size_t invalidCharAt = 0;                   // DestName: the bad character's position
    bool passed() const { return field == PropertyField::None; }
};

// The OK checks in their order (181, 182, 183, 184, 185, 187, 409). With
// several scenes only speed factor (left out when not given) and name part.
PropertyRefusal checkSceneProperties(const SceneProperties& values);
PropertyRefusal checkFrames(const SceneProperties& values);  // the first five
PropertyRefusal checkSharedProperties(std::optional<double> speedFactor, std::string_view destName);
PropertyRefusal checkSpeed(double speedFactor);
// The speed as typed: a decimal comma is 189, anything but a number in
// range 187; `speed` is set only when it passes.
PropertyRefusal readSpeedText(std::string_view text, double& speed);
PropertyRefusal checkDestName(std::string_view destName);

// Leaving name part or comment with more than its characters (260, 1024):
// 188 "%s\nMax: %d"; the dialog clears the field.
int maxLengthOf(PropertyField field);
PropertyRefusal checkFieldLength(PropertyField field, size_t length);

// Writes the dialog's values into the one selected scene: frames (widening
// its defined range when they reach beyond it), name part, speed, comment,
// recording time, timecode and status. The values are checked again here;
// a refusal is shown and nothing changes.
EditResult applySceneProperties(SceneList& list, Selection selection, const SceneProperties& values,
                                app::UserInterface& ui);

// The fields several scenes share in the dialog. No speed factor keeps each
// scene's own (they differed when the dialog opened, and it stayed empty).
struct SharedProperties {
    std::string comment{kKeepTextMark};
    std::string destName{kKeepTextMark};
    std::optional<double> speedFactor;
};

// The shared fields as the dialog opens on the selected scenes: "%" in both
// texts, the speed factor when all scenes have the same.
SharedProperties sharedPropertiesOf(const SceneList& list, Selection selection);
// Every '%' replaced by `present`.
std::string replaceKeepMark(std::string_view text, std::string_view present);
// Writes comment, name part and speed into every selected scene. A text
// that would grow past its field for any scene is refused with 188 before
// anything changes.
EditResult applySharedProperties(SceneList& list, Selection selection, const SharedProperties& values,
                                 app::UserInterface& ui);

// The one scene the trim and save buttons work on, built from the values.
SceneRecord sceneFromProperties(const SceneRecord& original, const SceneProperties& values);
// What the trim dialog hands back: first and last frame, recording time,
// timecode and status.
void takeTrimmedScene(SceneProperties& values, const SceneRecord& trimmed);

}  // namespace klemora::scene
