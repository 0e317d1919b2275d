// The detection dialog's runs: DV date/time, DV timecode or picture detection on a
// worker thread while only Stop is live, the play of the selected files,
// files dropped onto it, and the information line of one file.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

#include <cmath>

#include "app/string_table.h"
#include "app/text_format.h"
#include "detect/auto_shutdown.h"
#include "detect/dv_scene_detection.h"
#include "detect/picture_detection_run.h"
#include "detect/timecode_scene_detection.h"
#include "gui/auto_cut_dialog.h"
#include "gui/player_window.h"
#include "gui/text_of.h"
#include "gui/worker_run.h"
#include "media/media_result.h"

namespace klemora::gui {

void AutoCutDialog::start() {
    if (m_running || m_sources.empty()) return;
    Values values = controlValues();
    if (values.type == Datestamp && values.diff < 1) {
        values.diff = 1;
        m_diff->setText(QStringLiteral("1"));
    }
    const bool picture = values.type != Datestamp && values.type != Timecode;
    if (picture && !(values.variant[0] || values.variant[1] || values.variant[2])) {
        m_ui.showMessage(app::loadString(111), app::Icon::Information);
        return;
    }
    m_count->clear();
    m_ui.resetCancel();
    m_detecting = true;
    setBusy(true);
    runDetection(values);
    m_ui.resetCancel();  // a late Stop must not end the next run
    if (runFinished) runFinished();
    m_detecting = false;
    m_count->setText(m_found.count() > 0 ? QString::number(m_found.count()) : QString());
    setBusy(false);
}

// The two detections over the DV packs share their run and its end.
void AutoCutDialog::runDvDetection(const Values& values) {
    detect::DvDetectionSettings dateSettings;
    dateSettings.datestampDiff = values.diff;
    dateSettings.trimCount = values.trim;
    dateSettings.log = m_log;
    detect::TimecodeDetectionSettings timecodeSettings;
    timecodeSettings.breakSignals = static_cast<detect::TimecodeSignals>(values.timecodeSignals);
    timecodeSettings.trimCount = values.trim;
    timecodeSettings.log = m_log;
    runOnWorker([&] {
        detect::DvDetectionResult result =
            values.type == Timecode ? detect::FindPerDvTimecode(m_sources, m_found, m_ui, timecodeSettings)
                                    : detect::FindPerDvDatestamp(m_sources, m_found, m_ui, dateSettings);
        if (values.shutdown && result.status == static_cast<int>(detect::DvDetectionStatus::Ok))
            detect::AutoShutdown(m_found, m_power, m_ui);
    });
}

void AutoCutDialog::runDetection(const Values& values) {
    if (values.type == Datestamp || values.type == Timecode) return runDvDetection(values);
    // The keys the dialog has no control for (preset 99, the log, FixRatio) come from the settings.
    detect::PictureDetectionSettings settings = detect::readPictureDetectionSettings(m_settings);
    settings.detectionSetting = values.preset;
    settings.minFrameCount = values.minFrameCount;
    settings.trimCount = values.trim;
    settings.variant1 = values.variant[0];
    settings.variant2 = values.variant[1];
    settings.variant3 = values.variant[2];
    settings.weightMode = values.weight;
    settings.shutdown = values.shutdown;
    settings.debugLog = m_log;
    // Each file is selected alone, with its information, while it is searched.
    int next = 0;
    m_ui.nextFile = [this, &next] {
        QMetaObject::invokeMethod(this, [this, row = next++] { selectOnly(row); }, Qt::QueuedConnection);
    };
    runOnWorker([&] { detect::RunPictureDetection(m_sources, m_found, m_detector, settings, m_power); });
    m_ui.nextFile = {};
}

void AutoCutDialog::playSelectedFiles() {
    if (m_running) return;
    scene::SceneList scenes;
    for (int row = 0; row < m_files->count(); ++row) {
        if (!m_files->item(row)->isSelected()) continue;
        const detect::SearchSource& source = m_sources[static_cast<size_t>(row)];
        if (source.path.empty()) return showInternalErrorInfo("KLM-AC-1006");
        int added = scenes.AddNewScene();
        if (added < 0) {
            m_ui.showMessage(app::stringPrintf("%s AddNewScene()!\nCode: %d", app::loadString(113).c_str(), added),
                             app::Icon::Stop);
            return;
        }
        scenes.setSourceFile(added, source.path);
        scenes.setStartFrame(added, source.firstFrame);
        scenes.setStopFrame(added, source.lastFrame);
        scenes.setDefinedStart(added, source.firstFrame);
        scenes.setDefinedStop(added, source.lastFrame);
    }
    if (scenes.count() == 0) return m_ui.showMessage(app::loadString(116), app::Icon::Information);
    media::PlayWindowPlacement placement;
    placement.left = m_settings.readInt("PlayPosX", media::kNotPlaced);
    placement.top = m_settings.readInt("PlayPosY", media::kNotPlaced);
    setBusy(true);
    int rc = playScenes(scenes, placement, m_ui, m_media, this);
    setBusy(false);
    m_settings.writeInt("PlayPosX", placement.left);
    m_settings.writeInt("PlayPosY", placement.top);
    if (rc != 1)
        m_ui.showMessage(app::stringPrintf("%s PlayFile()!\nCode: %d", app::loadString(113).c_str(), rc),
                         app::Icon::Stop);
}

void AutoCutDialog::showInternalErrorInfo(const char* code) {
    m_ui.showMessage(app::stringPrintf("%s\nCode: %s", app::loadString(117).c_str(), code), app::Icon::Information);
}

void AutoCutDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_running && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void AutoCutDialog::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    event->acceptProposedAction();
    addFiles(paths, "KLM-AC-1002");
}

std::string autoCutFileInfo(const media::MediaInfo& info, int extraDataResult, const detect::SearchSource& source) {
    const bool avi = extraDataResult != static_cast<int>(media::ExtraDataResult::NotAvi);
    if (avi && extraDataResult != 1) return app::loadString(107);
    std::string text = std::string(info.fourcc) + ", ";
    text += !info.isDv ? "No DV, " : info.isDvType1 ? "DV-Type1, " : "DV-Type2, ";
    if (info.isExtendedOpenDml) text += app::stringPrintf("Strict OpenDML-AVI , %s ", app::loadString(121).c_str());
    if (avi) {
        const double rate = info.frameRate > 0 ? info.frameRate : 25.0;
        const int seconds = static_cast<int>(info.frameCount / rate);
        const int frames = static_cast<int>(std::fmod(static_cast<double>(info.frameCount), rate) + 0.9);
        text += app::stringPrintf("%s: %02d:%02d:%02d:%02d , %s: %d\n%s: %d -> %d", app::loadString(122).c_str(),
                                  seconds / 3600, seconds / 60 % 60, seconds % 60, frames,
                                  app::loadString(123).c_str(), info.frameCount, app::loadString(408).c_str(),
                                  source.firstFrame + 1, source.lastFrame + 1);
    } else {
        text += "\n No AVI, but seems to be usable";
    }
    if (!info.allKeyframes) text += "\n" + app::loadString(124) + " ";
    return text;
}

}  // namespace klemora::gui
