#include "scene/scene_list.h"

#include <algorithm>
#include <new>

namespace klemora::scene {

void SceneList::init() {
    m_records.clear();
    m_records.shrink_to_fit();
    m_count = 0;
    m_modified = false;
    m_projectPath.clear();
    m_groupName.clear();
    m_nameTemplate = std::string(kDefaultNameTemplate);
}

int SceneList::grow() {
    if (m_count < capacity()) return 1;
    try {
        m_records.resize(m_records.size() + kSlotStep);
    } catch (const std::bad_alloc&) {
        return -2;
    }
    return 1;
}

int SceneList::shrinkAfterRemoval() {
    try {
        if (m_count == 0) {
            m_records.clear();
            m_records.shrink_to_fit();
        } else if (m_count <= capacity() - kSlotStep) {
            m_records.resize(m_records.size() - kSlotStep);
            m_records.shrink_to_fit();
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return 1;
}

int SceneList::AddNewScene() {
    if (m_count >= kMaxScenes) {
        return -1;
    }
    if (int rc = grow(); rc != 1) return rc;
    m_records[m_count] = SceneRecord{};
    m_modified = true;
    return m_count++;
}

int SceneList::InsertNewScene(int index) {
    if (index < 0 || index > m_count) return -1;
    if (m_count >= kMaxScenes) {
        return -1;
    }
    if (int rc = grow(); rc != 1) return rc;
    // Shifts i.. down; slot i keeps its old record until the caller overwrites it.
    std::copy_backward(m_records.begin() + index, m_records.begin() + m_count, m_records.begin() + m_count + 1);
    ++m_count;
    m_modified = true;
    return index;
}

int SceneList::removeRecords(int index, int number) {
    if (index < 0 || index >= m_count || number < 0) return -1;
    number = std::min(number, m_count - index);
    std::copy(m_records.begin() + index + number, m_records.begin() + m_count, m_records.begin() + index);
    std::fill(m_records.begin() + m_count - number, m_records.begin() + m_count, SceneRecord{});
    m_count -= number;
    m_modified = true;
    return shrinkAfterRemoval();
}

int SceneList::moveRecord(int from, int to) {
    if (!validIndex(from)) return -1;
    if (!validIndex(to)) return -2;
    SceneRecord moving = m_records[from];
    if (from < to)
        std::copy(m_records.begin() + from + 1, m_records.begin() + to + 1, m_records.begin() + from);
    else
        std::copy_backward(m_records.begin() + to, m_records.begin() + from, m_records.begin() + from + 1);
    m_records[to] = moving;
    m_modified = true;
    return 1;
}

int SceneList::swapWithNeighbour(int index, int direction) {
    if (!validIndex(index)) return -1;
    int other = direction < 0 ? index - 1 : direction > 0 ? index + 1 : index;
    if (!validIndex(other) || other == index) return 1;
    std::swap(m_records[index], m_records[other]);
    m_modified = true;
    return 1;
}

int SceneList::replaceRecord(int index, const SceneRecord* record) {
    if (!validIndex(index)) return -1;
    if (!record) return -2;
    m_records[index] = *record;
    return 1;
}

int SceneList::copyFrom(const SceneList& other) {
    if (&other == this) return 1;
    try {
        m_records = other.m_records;
    } catch (const std::bad_alloc&) {
        return -2;
    }
    m_count = other.m_count;
    m_projectPath = other.m_projectPath;
    m_groupName = other.m_groupName;
    m_nameTemplate = other.m_nameTemplate;
    m_modified = true;
    return 1;
}

int64_t SceneList::totalFrames() const {
    int64_t total = 0;
    for (int i = 0; i < m_count; ++i) total += m_records[i].lengthFrames();
    return total;
}

float SceneList::framesPerSecond(int i) const {
    if (!validIndex(i) || m_records[i].framesPerSecond <= 0) return 25.0f;
    return m_records[i].framesPerSecond;
}

namespace {
int setNonNegative(SceneRecord* r, int32_t SceneRecord::*field, int32_t value, bool& modified) {
    if (!r) return -1;
    if (value < 0) return -2;
    r->*field = value;
    modified = true;
    return 1;
}
}  // namespace

int SceneList::setStartFrame(int i, int32_t f) { return setNonNegative(mutableRecord(i), &SceneRecord::startFrame, f, m_modified); }
int SceneList::setStopFrame(int i, int32_t f) { return setNonNegative(mutableRecord(i), &SceneRecord::stopFrame, f, m_modified); }
int SceneList::setDefinedStart(int i, int32_t f) { return setNonNegative(mutableRecord(i), &SceneRecord::definedStart, f, m_modified); }
int SceneList::setDefinedStop(int i, int32_t f) { return setNonNegative(mutableRecord(i), &SceneRecord::definedStop, f, m_modified); }

int SceneList::setSourceFile(int i, std::string_view path) {
    SceneRecord* r = mutableRecord(i);
    if (!r) return -1;
    if (!assignField(r->sourceFile, path)) return -2;
    m_modified = true;
    return 1;
}

int SceneList::setDestName(int i, std::string_view name) {
    SceneRecord* r = mutableRecord(i);
    if (!r) return -1;
    if (!assignField(r->destName, name)) return -2;
    m_modified = true;
    return 1;
}

int SceneList::setSpeedFactor(int i, float factor) {
    SceneRecord* r = mutableRecord(i);
    if (!r) return -1;
    r->speedFactor = (factor < 0.001f || factor != factor) ? 0.001f : factor;
    m_modified = true;
    return 1;
}

int SceneList::setComment(int i, std::string_view text) {
    SceneRecord* r = mutableRecord(i);
    if (!r) return -1;
    if (!assignField(r->comment, text)) return -2;
    m_modified = true;
    return 1;
}

int SceneList::setOkStatus(int i, int32_t status) {
    SceneRecord* r = mutableRecord(i);
    if (!r) return -1;
    r->okStatus = status;
    m_modified = true;
    return 1;
}

// The technical fields below describe the source, not the user's edit, and
// leave the modified flag alone.
namespace {
template <typename T>
int setPlain(SceneRecord* r, T SceneRecord::*field, T value) {
    if (!r) return -1;
    r->*field = value;
    return 1;
}
}  // namespace

int SceneList::setFileFirstFrame(int i, int32_t v) { return setPlain(mutableRecord(i), &SceneRecord::fileFirstFrame, v); }
int SceneList::setFileLastFrame(int i, int32_t v) { return setPlain(mutableRecord(i), &SceneRecord::fileLastFrame, v); }
int SceneList::setAllKeyframes(int i, uint8_t v) { return setPlain(mutableRecord(i), &SceneRecord::allKeyframes, v); }
int SceneList::setDvType(int i, int32_t v) { return setPlain(mutableRecord(i), &SceneRecord::dvType, v); }
int SceneList::setOpenDmlKind(int i, int32_t v) { return setPlain(mutableRecord(i), &SceneRecord::openDmlKind, v); }
int SceneList::setWideScreen(int i, uint8_t v) { return setPlain(mutableRecord(i), &SceneRecord::wideScreen, v); }
int SceneList::setTimecode(int i, Timecode v) { return setPlain(mutableRecord(i), &SceneRecord::timecode, v); }

int SceneList::setRecordingTime(int i, const RecordingTime* time) {
    SceneRecord* r = mutableRecord(i);
    if (!r) return -1;
    if (!time) return -2;
    r->recordingTime = *time;
    return 1;
}

int SceneList::setFramesPerSecond(int i, float fps) {
    SceneRecord* r = mutableRecord(i);
    if (!r) return -1;
    if (!(fps > 0)) return -2;
    r->framesPerSecond = fps;
    return 1;
}

int SceneList::setVideoFourcc(int i, const char* text) {
    SceneRecord* r = mutableRecord(i);
    if (!r) return -1;
    if (!text) return -2;
    if (!assignField(r->videoFourcc, text)) return -3;
    return 1;
}

int SceneList::setNameTemplate(const char* text) {
    if (!text) return -1;
    std::string_view t(text);
    if (t.size() > static_cast<size_t>(kMaxPathLength)) return -2;
    m_nameTemplate = std::string(t);
    return 1;
}

}  // namespace klemora::scene
