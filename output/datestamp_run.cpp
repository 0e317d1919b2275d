#include "output/datestamp_run.h"

#include <algorithm>
#include <ctime>

#include "app/string_table.h"
#include "app/text_format.h"
#include "avi/avi_reader.h"
#include "avi/dv_pack.h"
#include "scene/time_text.h"

namespace klemora::output {
namespace {

int code(DatestampRunResult result) { return static_cast<int>(result); }

// False when the run ends here.
bool goOnAfterFailure(const StampedFile& file, bool filesRemain, app::UserInterface& ui) {
    ui.showMessage(app::stringPrintf("%s WriteDvDatestamp()!\nFile: %s\nCode: %d", app::loadString(113).c_str(),
                                     file.path.c_str(), file.result),
                   app::Icon::Stop);
    return !filesRemain || ui.ask(app::loadString(114), app::Buttons::YesNo, app::Icon::Question) != app::Answer::No;
}

}  // namespace

int storedStampPause(int stored) { return std::min(std::max(stored, kMinStampPause), kMaxStampPause); }

scene::RecordingTime nextStampStart(const scene::RecordingTime& end, int pause) {
    std::time_t t = scene::calendarSeconds(end) + pause + 1;
    std::tm local{};
    localtime_r(&t, &local);
    scene::RecordingTime next = scene::fromTm(local);
    next.weekday = 0;
    next.dayOfYear = 0;
    next.daylightSaving = -1;
    return next;
}

bool stampPauseAccepted(int pause, app::UserInterface& ui) {
    if (pause >= kMinStampPause && pause <= kMaxStampPause) return true;
    ui.showMessage(app::loadString(352), app::Icon::Stop);
    return false;
}

DatestampRunOutcome StampFiles(std::vector<std::string> files, scene::RecordingTime start, int pause,
                               app::UserInterface& ui, const app::DebugLog& log) {
    DatestampRunOutcome outcome;
    if (!stampPauseAccepted(pause, ui)) {
        outcome.result = code(DatestampRunResult::PauseOutOfRange);
        return outcome;
    }
    std::sort(files.begin(), files.end());
    app::ProgressScope progress(ui);
    ui.setProgressRange(static_cast<int64_t>(files.size()) + 1);
    for (size_t i = 0; i < files.size(); ++i) {
        ui.setProgressPosition(static_cast<int64_t>(i));
        ui.setProgressSource(files[i]);
        ui.pump();
        StampedFile& file = outcome.files.emplace_back();
        file.path = files[i];
        file.first = start;
        avi::AviReader reader(&ui);
        reader.setLog(log);
        file.result = avi::WriteDvDatestamp(start, file.path, reader, file.last);
        if (file.result == 1) {
            start = nextStampStart(file.last, pause);
        } else {
            ++outcome.failures;
            if (!goOnAfterFailure(file, i + 1 < files.size(), ui)) {
                outcome.result = code(DatestampRunResult::Stopped);
                break;
            }
        }
        // The file in hand is always finished: half of it re-dated would be worse than either.
        if (ui.cancelled()) {
            outcome.result = code(DatestampRunResult::Cancelled);
            break;
        }
    }
    return outcome;
}

}  // namespace klemora::output
