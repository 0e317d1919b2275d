// The main window's trash and sort commands: the trash dialog over copies
// of the trash and the shown list, whose result (scenes restored, entries
// deleted for good) comes back as one undo step, and the sort by the key
// and direction the sort dialog hands back.
#include "app/string_table.h"
#include "gui/main_window.h"
#include "gui/sort_dialog.h"
#include "gui/trash_dialog.h"
#include "media/media_settings.h"
#include "scene/scene_sort.h"
#include "scene/selection.h"

namespace klemora::gui {

void MainWindow::restoreFromTrash() {
    if (m_running) return;
    if (m_trash.count() == 0) {
        m_ui.showMessage(app::loadString(178), app::Icon::Stop);
        return;
    }
    media::MediaSettings settings = media::readMediaSettings(m_settings);
    settings.log = m_log;
    TrashDialog dialog(m_ui, m_settings, settings, m_trash, m_shown, this);
    if (!dialog.copiesComplete()) return scene::showOutOfMemory(m_ui);
    if (aboutToShowTrash) aboutToShowTrash(dialog);
    dialog.exec();
    // Nothing changed in the dialog: no step (runCommand records only a change).
    runCommand(Command::RestoreFromTrash, scene::kScopeShown | scene::kScopeTrash, [&] {
        if (m_shown.copyFrom(dialog.shownList()) != 1 || m_trash.copyFrom(dialog.trashList()) != 1) {
            scene::showOutOfMemory(m_ui);
            return scene::EditResult::OutOfMemory;
        }
        return scene::EditResult::Ok;
    });
}

void MainWindow::sortScenesDialog() {
    if (m_running) return;
    SortDialog dialog(m_settings, this);
    if (aboutToSort) aboutToSort(dialog);
    if (dialog.exec() != QDialog::Accepted) return;
    runCommand(Command::SortScenes, scene::kScopeShown,
               [&] { return scene::sortShownList(m_shown, dialog.key(), dialog.direction(), m_ui); });
}

}  // namespace klemora::gui
