#pragma once
// One group's ordered scenes (at most 2000), with the project path, the
// destination-name template and the group name.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scene/scene_record.h"

namespace klemora::scene {

inline constexpr int kMaxScenes = 2000;
inline constexpr int kSlotStep = 50;
inline constexpr std::string_view kDefaultNameTemplate = "%Q_%N3";

class SceneList {
public:
    // The list shows no messages: its callers show what its codes stand for
    // (scene/list_failure.h), so that a list can be copied and kept for undo.
    SceneList() { init(); }

    void init();
    void clear() { init(); }

    int count() const { return m_count; }
    int capacity() const { return static_cast<int>(m_records.size()); }
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    bool validIndex(int i) const { return i >= 0 && i < m_count; }

    // Appends: the new index, -1 when kMaxScenes are held (140), -2 when memory
    // runs out (109). InsertNewScene also gives -1 for an index beyond count.
    int AddNewScene();
    int InsertNewScene(int index);
    // -1 for a bad index, or (after the removal) when the storage could not shrink (141).
    int removeRecord(int index) { return removeRecords(index, 1); }
    int removeRecords(int index, int number);
    int moveRecord(int from, int to);
    int swapWithNeighbour(int index, int direction);
    int replaceRecord(int index, const SceneRecord* record);
    int copyFrom(const SceneList& other);  // -2 when memory runs out (109)
    int64_t totalFrames() const;

    // nullptr for an index out of range.
    const SceneRecord* record(int index) const { return validIndex(index) ? &m_records[index] : nullptr; }
    // Slots 0..capacity-1, including the default slots beyond count.
    const SceneRecord& slot(int index) const { return m_records.at(index); }

    // Getters: 0, "" or 25.0 for an index out of range.
    int32_t startFrame(int i) const { return validIndex(i) ? m_records[i].startFrame : 0; }
    int32_t stopFrame(int i) const { return validIndex(i) ? m_records[i].stopFrame : 0; }
    int32_t lengthFrames(int i) const { return validIndex(i) ? m_records[i].lengthFrames() : 0; }
    std::string_view sourceFile(int i) const { return validIndex(i) ? fieldText(m_records[i].sourceFile) : ""; }
    std::string_view destName(int i) const { return validIndex(i) ? fieldText(m_records[i].destName) : ""; }
    std::string_view comment(int i) const { return validIndex(i) ? fieldText(m_records[i].comment) : ""; }
    float speedFactor(int i) const { return validIndex(i) ? m_records[i].speedFactor : 0.0f; }
    int32_t definedStart(int i) const { return validIndex(i) ? m_records[i].definedStart : 0; }
    int32_t definedStop(int i) const { return validIndex(i) ? m_records[i].definedStop : 0; }
    int32_t fileFirstFrame(int i) const { return validIndex(i) ? m_records[i].fileFirstFrame : 0; }
    int32_t fileLastFrame(int i) const { return validIndex(i) ? m_records[i].fileLastFrame : 0; }
    float framesPerSecond(int i) const;
    uint8_t allKeyframes(int i) const { return validIndex(i) ? m_records[i].allKeyframes : 0; }
    int32_t dvType(int i) const { return validIndex(i) ? m_records[i].dvType : 0; }
    int32_t openDmlKind(int i) const { return validIndex(i) ? m_records[i].openDmlKind : 0; }
    RecordingTime recordingTime(int i) const { return validIndex(i) ? m_records[i].recordingTime : RecordingTime{}; }
    uint8_t wideScreen(int i) const { return validIndex(i) ? m_records[i].wideScreen : 0; }
    Timecode timecode(int i) const { return validIndex(i) ? m_records[i].timecode : Timecode{}; }
    std::string_view videoFourcc(int i) const { return validIndex(i) ? fieldText(m_records[i].videoFourcc) : "----"; }
    int32_t okStatus(int i) const { return validIndex(i) ? m_records[i].okStatus : 0; }

    // Setters: 1, or -1 for an index out of range, or the listed codes.
    int setStartFrame(int i, int32_t frame);
    int setStopFrame(int i, int32_t frame);
    int setDefinedStart(int i, int32_t frame);
    int setDefinedStop(int i, int32_t frame);
    int setSourceFile(int i, std::string_view path);
    int setDestName(int i, std::string_view name);
    int setSpeedFactor(int i, float factor);
    int setComment(int i, std::string_view text);
    int setOkStatus(int i, int32_t status);
    int setFileFirstFrame(int i, int32_t frame);
    int setFileLastFrame(int i, int32_t frame);
    int setAllKeyframes(int i, uint8_t value);
    int setDvType(int i, int32_t type);
    int setOpenDmlKind(int i, int32_t kind);
    int setWideScreen(int i, uint8_t value);
    int setTimecode(int i, Timecode timecode);
    int setRecordingTime(int i, const RecordingTime* time);
    int setFramesPerSecond(int i, float fps);
    int setVideoFourcc(int i, const char* text);

    std::string_view projectPath() const { return m_projectPath; }
    void setProjectPath(std::string_view path) { m_projectPath = std::string(path.substr(0, kMaxPathLength)); }
    std::string_view nameTemplate() const { return m_nameTemplate; }
    int setNameTemplate(const char* text);
    std::string_view groupName() const { return m_groupName; }
    void setGroupName(std::string_view name) { m_groupName = std::string(name.substr(0, kMaxPathLength)); }

    // Direct access for the editing operations, which keep the list's rules.
    SceneRecord* mutableRecord(int index) { return validIndex(index) ? &m_records[index] : nullptr; }

private:
    int grow();
    int shrinkAfterRemoval();

    std::vector<SceneRecord> m_records;  // capacity slots, the first count in use
    int m_count = 0;
    bool m_modified = false;
    std::string m_projectPath;
    std::string m_nameTemplate;
    std::string m_groupName;
};

}  // namespace klemora::scene
