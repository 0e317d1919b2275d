// The four runs of the additional-functions dialog: the values are checked
// and the files and folder chosen on the user-interface thread, then the
// core operation runs on a worker with the dialog locked.
#include <QDateEdit>
#include <QDateTime>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

#include <string>
#include <vector>

#include "avi/container_facts.h"
#include "gui/additional_functions_dialog.h"
#include "gui/worker_run.h"
#include "output/datestamp_run.h"
#include "output/picture_sequence.h"
#include "output/speed_copy.h"
#include "output/split_file.h"

namespace klemora::gui {
namespace {

constexpr const char* kFolderTitle = "Directory selection";

std::vector<std::string> toStrings(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& item : list) out.push_back(item.toStdString());
    return out;
}

}  // namespace

bool AdditionalFunctionsDialog::chooseInput(QStringList& files) {
    if (chooseFiles) {
        files = chooseFiles(m_fileFolder);
    } else {
        QFileDialog dialog(this, QString(), m_fileFolder);
        dialog.setNameFilter(QStringLiteral("Video files (*.avi)"));
        dialog.setDefaultSuffix(QStringLiteral("avi"));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        if (dialog.exec() == QDialog::Accepted) files = dialog.selectedFiles();
        m_fileFolder = dialog.directory().absolutePath();
    }
    return !files.isEmpty();
}

bool AdditionalFunctionsDialog::chooseOutputFolder(const QString& start, std::string& folder) {
    folder = chooseFolder ? chooseFolder(start).toStdString() : m_ui.chooseDirectory(kFolderTitle, start.toStdString());
    return !folder.empty();
}

void AdditionalFunctionsDialog::runLocked(Operation operation, const std::function<void()>& work) {
    if (m_running) return;  // never a second run, nor one from a pumped event
    m_running = true;
    lockControls(operation);
    emit runningChanged(true);
    m_ui.resetCancel();
    runOnWorker(work);
    m_ui.resetCancel();  // a Stop of this run must not end the next one
    m_running = false;
    unlockControls();
    emit runningChanged(false);
    m_starts[operation]->setFocus();
}

void AdditionalFunctionsDialog::startSplit() {
    if (m_running) return;
    takeSettings();
    if (output::checkSplitValues(m_values.splitCount, m_values.splitTime, m_ui) != 1) return focusLater(m_frames);
    QStringList files;
    std::string folder;
    if (!chooseInput(files) || !chooseOutputFolder(QString(), folder)) return;
    output::SplitRequest request;
    request.framesPerPart = m_values.splitCount;
    request.secondsPerPart = m_values.splitTime;
    request.destinationDirectory = folder;
    request.nameTemplate = m_values.formatString;
    request.nameFromSource = m_values.nameFromSource;
    request.fixRatio = m_media.fixRatio;
    output::WriteContext context(m_ui);
    context.writerOptions.log = m_log;
    context.overwriteMode = m_overwriteMode;
    runLocked(Split, [&] { output::SplitFiles(toStrings(files), request, context); });
    m_overwriteMode = context.overwriteMode;
}

void AdditionalFunctionsDialog::startSpeed() {
    if (m_running || !speedTextAccepted()) return;
    float factor = 0;
    if (!output::parseSpeedFactor(m_speed->text().toStdString(), factor)) factor = 0;  // refused as out of range
    if (!output::speedFactorAccepted(factor, m_ui)) return focusLater(m_speed);
    takeSettings();
    QStringList files;
    std::string folder;
    if (!chooseInput(files) || !chooseOutputFolder(QString(), folder)) return;
    output::WriteContext context(m_ui);
    context.writerOptions.log = m_log;
    runLocked(Speed, [&] { output::SpeedCopies(toStrings(files), factor, folder, context); });
}

void AdditionalFunctionsDialog::startPictures() {
    if (m_running) return;
    QStringList files;
    std::string folder;
    if (!chooseInput(files) || !chooseOutputFolder(QString::fromStdString(m_values.picturePath), folder)) return;
    m_values.picturePath = folder;
    runLocked(Pictures, [&] { output::SavePictureSequences(toStrings(files), folder, m_media, m_ui); });
}

void AdditionalFunctionsDialog::startDatestamp() {
    if (m_running) return;
    const int pause = fieldValue(m_pause);
    if (!output::stampPauseAccepted(pause, m_ui)) return focusLater(m_pause);
    takeSettings();
    QStringList files;
    if (!chooseInput(files)) return;
    // The date of the one picker with the time of the other, as local time.
    const QDateTime start(m_date->date(), m_time->time());
    scene::RecordingTime first;
    if (!avi::parseIsoRecordingTime(start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString(), first))
        return;
    runLocked(Datestamp, [&] { output::StampFiles(toStrings(files), first, pause, m_ui, m_log); });
}

}  // namespace klemora::gui
