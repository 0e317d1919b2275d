// The two buttons of the scene properties dialog that work on the scene as
// typed: trimming it in the trim dialog and writing it as an AVI file.
#include <QFileDialog>
#include <QPushButton>

#include "app/string_table.h"
#include "app/text_format.h"
#include "gui/qt_user_interface.h"
#include "gui/scene_properties_dialog.h"
#include "gui/text_of.h"
#include "gui/trim_dialog.h"
#include "gui/worker_run.h"
#include "output/scene_writer.h"
#include "output/write_context.h"
#include "scene/selection.h"

namespace klemora::gui {

bool ScenePropertiesDialog::needsSourceFile() {
    if (!m_values.sourceFile.empty()) return false;
    tell(app::loadString(190));
    return true;
}

void ScenePropertiesDialog::trim() {
    if (m_multi || m_writeUi || needsSourceFile() || !passesChecks() || !makeTrimDialog) return;
    scene::SceneList one;
    if (int rc = one.AddNewScene(); rc < 0) return scene::showCallFailure(m_ui, "AddNewScene", rc);
    const scene::SceneRecord typed = scene::sceneFromProperties(m_original, m_values);
    one.replaceRecord(0, &typed);
    std::unique_ptr<TrimDialog> dialog = makeTrimDialog(one);
    if (dialog->exec() != QDialog::Accepted) return;
    scene::takeTrimmedScene(m_values, *dialog->workingList().record(0));
    showValues();  // the texts typed were taken into the values by the checks
}

void ScenePropertiesDialog::saveScene() {
    if (m_multi || m_writeUi || needsSourceFile() || !passesChecks()) return;
    const QString folder = QString::fromStdString(m_settings.readText("AviPath", "/"));
    QString path;
    if (chooseAviFile) {
        path = chooseAviFile(folder);
    } else {
        QFileDialog dialog(this, textOf(434), folder);
        dialog.setNameFilters({QStringLiteral("Video files (*.avi)")});
        dialog.setDefaultSuffix(QStringLiteral("avi"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) path = dialog.selectedFiles().front();
    }
    if (path.isEmpty()) return;
    if (int rc = writeScene(path); rc != 1) {
        tell(app::stringPrintf("%s WriteScene()!\nFile: %s\nCode: %d", app::loadString(113).c_str(),
                               path.toStdString().c_str(), rc));
    }
}

int ScenePropertiesDialog::writeScene(const QString& path) {
    const std::string source = m_values.sourceFile, destination = path.toStdString();
    const int32_t start = m_values.firstFrame - 1, stop = m_values.lastFrame - 1;
    const float speed = static_cast<float>(m_values.speedFactor);
    // The main window is blocked behind this dialog: a seam over the dialog
    // keeps the progress window's Stop within reach.
    QtUserInterface ui(this);
    output::WriteContext context(ui);
    context.writerOptions.log = m_log;
    m_writeUi = &ui;
    m_body->setEnabled(false);
    int rc = 1;
    runOnWorker([&] {
        app::ProgressScope progress(ui);
        rc = output::WriteScene(source, destination, context, start, stop, speed);
    });
    m_body->setEnabled(true);
    m_writeUi = nullptr;
    return rc;
}

}  // namespace klemora::gui
