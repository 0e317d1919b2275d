#include "scene/edl_import.h"

#include <cmath>

#include "app/string_table.h"
#include "scene/edl_columns.h"
#include "scene/field_cutter.h"
#include "scene/time_text.h"

namespace klemora::scene {
namespace {

constexpr size_t kColumnsRead = 15;

struct EdlRow {
    double playRate = 1;
    std::string_view fileName;
    double streamStartMs = 0;
    double streamLengthMs = 0;
};

bool containsAvi(std::string_view path) {
    for (size_t i = 0; i + 4 <= path.size(); ++i) {
        std::string_view part = path.substr(i, 4);
        if (part[0] == '.' && (part[1] | 0x20) == 'a' && (part[2] | 0x20) == 'v' && (part[3] | 0x20) == 'i')
            return true;
    }
    return false;
}

int readTime(std::string_view piece, double& ms, const std::string& tooSmall, int row, int column,
             app::UserInterface& ui) {
    ms = leadingNumber(piece);
    if (ms < 0) return refuseRow(ui, tooSmall, row);
    if (!std::isfinite(ms)) return refuseOutOfRange(ui, row, column);
    return 1;
}

// Checks the 1-based column as the line is cut; the others are not read.
// The messages name the EDL's own columns.
int readColumn(int column, std::string_view piece, EdlRow& out, int row, app::UserInterface& ui) {
    switch (column) {
    case kEdlPlayRateColumn:
        out.playRate = leadingNumber(piece);
        switch (checkSpeedFactor(out.playRate)) {
        case ValueCheck::TooSmall: return refuseRow(ui, app::loadString(862), row);
        case ValueCheck::OutOfRange: return refuseOutOfRange(ui, row, column);
        case ValueCheck::Ok: return 1;
        }
        return 1;
    case kEdlFileNameColumn:
        out.fileName = piece;
        return piece.size() > kMaxPathLength ? refuseRow(ui, app::loadString(863), row) : 1;
    case kEdlStreamStartColumn: return readTime(piece, out.streamStartMs, app::loadString(864), row, column, ui);
    case kEdlStreamLengthColumn: return readTime(piece, out.streamLengthMs, app::loadString(865), row, column, ui);
    default: return 1;
    }
}

// The rows of one file share the rate found last and each file's first
// recording time and timecode.
class EdlRowReader {
public:
    EdlRowReader(SceneList& list, SourceProbe& probe, app::UserInterface& ui) : m_list(list), m_probe(probe), m_ui(ui) {}

    int read(std::string_view line, int row) {
        std::vector<std::string_view> pieces = cutFields(line, ';', kColumnsRead);
        EdlRow event;
        for (size_t i = 0; i < kColumnsRead; ++i) {
            int column = static_cast<int>(i) + 1;
            if (i >= pieces.size()) return refuseMissingColumn(m_ui, app::loadString(866), row, column);
            if (int rc = readColumn(column, pieces[i], event, row, m_ui); rc != 1) return rc;
        }
        lookUp(event.fileName);
        // +0.9 makes up for the milliseconds printed a little short of a frame.
        double start = std::trunc(event.streamStartMs * m_rate / 1000 + 0.9);
        double stop = std::trunc((event.streamStartMs + event.streamLengthMs) * m_rate / 1000 + 0.9);
        if (!(start <= static_cast<double>(kMaxImportedFrame)))
            return refuseOutOfRange(m_ui, row, kEdlStreamStartColumn);
        if (!(stop <= static_cast<double>(kMaxImportedFrame)))
            return refuseOutOfRange(m_ui, row, kEdlStreamLengthColumn);
        if (stop < start) return refuseStopBeforeStart(m_ui, row);
        int index = appendImportedScene(m_list, m_ui);
        if (index < 0) return index;
        store(index, event, static_cast<int32_t>(start), static_cast<int32_t>(stop));
        return 1;
    }

private:
    // Probes a file once for its run of rows: its rate replaces the one in
    // use when above 1; only an AVI file has its own recording time and
    // timecode.
    void lookUp(std::string_view fileName) {
        if (m_probed && fileName == m_lastFile) return;
        m_probed = true;
        m_lastFile = std::string(fileName);
        SourceFacts facts;
        bool found = m_probe.probe(m_lastFile, facts) == 1;
        if (found && facts.framesPerSecond > 1 && std::isfinite(facts.framesPerSecond)) m_rate = facts.framesPerSecond;
        bool avi = found && containsAvi(fileName);
        m_firstTime = avi ? facts.firstRecordingTime : kNoRecordingTime;
        m_firstTimecode = avi ? facts.firstTimecode : Timecode{};
    }

    void store(int index, const EdlRow& event, int32_t start, int32_t stop) {
        auto fps = static_cast<float>(m_rate);
        // "No recording date known" stays so rather than becoming a made-up date.
        RecordingTime time =
            m_firstTime == kNoRecordingTime ? m_firstTime : addFramesToRecordingTime(m_firstTime, start, fps);
        m_list.setSourceFile(index, event.fileName);
        m_list.setStartFrame(index, start);
        m_list.setStopFrame(index, stop);
        m_list.setSpeedFactor(index, static_cast<float>(event.playRate));
        m_list.setRecordingTime(index, &time);
        m_list.setTimecode(index, addFramesToTimecode(m_firstTimecode, start, fps));
        m_list.setDefinedStart(index, start);
        m_list.setDefinedStop(index, stop);
    }

    SceneList& m_list;
    SourceProbe& m_probe;
    app::UserInterface& m_ui;
    double m_rate = 25;
    bool m_probed = false;
    std::string m_lastFile;
    RecordingTime m_firstTime = kNoRecordingTime;
    Timecode m_firstTimecode{};
};

const std::string& headerStart() {
    static const std::string header = edlHeader(EdlVariant::Vegas4).substr(0, kEdlHeaderCheckLength);
    return header;
}

ImportFormat edlFormat(EdlRowReader& reader) {
    return {headerStart(), true, [&reader](std::string_view line, int row) { return reader.read(line, row); },
            app::loadString(867), app::loadString(866)};
}

}  // namespace

int importVegasEdl(SceneList& list, TextLineReader& lines, const std::string& path, SourceProbe& probe,
                   SourceSearch& search, app::UserInterface& ui) {
    EdlRowReader reader(list, probe, ui);
    return runImport(list, lines, path, edlFormat(reader), probe, search, ui);
}

int importVegasEdl(SceneList& list, const std::string& path, SourceProbe& probe, SourceSearch& search,
                   app::UserInterface& ui) {
    EdlRowReader reader(list, probe, ui);
    return runImportFile(list, path, edlFormat(reader), probe, search, ui);
}

}  // namespace klemora::scene
