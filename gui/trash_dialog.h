#pragma once
// "Gelöschte Szenendefinitionen": the deleted scenes of the trash, one row
// each, with a slider and a picture to look through the selected one.
// Restore appends copies of the selected entries to the shown list, delete
// removes them for good. The dialog edits copies of the trash and of the
// shown list; the caller takes both back when it closes.
#include <QDialog>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "app/ui.h"
#include "media/media_settings.h"
#include "scene/scene_list.h"

class QPushButton;
class QTableView;

namespace klemora::gui {

class FrameDisplay;
class FrameSlider;
class SceneTableModel;

class TrashDialog : public QDialog {
    Q_OBJECT

public:
    TrashDialog(app::UserInterface& ui, const app::SettingsStore& settings, media::MediaSettings media,
                const scene::SceneList& trash, const scene::SceneList& shown, QWidget* parent = nullptr);
    ~TrashDialog() override;

    // The two lists as the dialog left them.
    const scene::SceneList& trashList() const { return m_trash; }
    const scene::SceneList& shownList() const { return m_shown; }
    // False when the copies could not be made (out of memory): nothing to take back.
    bool copiesComplete() const { return m_complete; }

    // What a person sees and the tests drive.
    QTableView* entryList() const { return m_entries; }
    SceneTableModel* entryModel() const { return m_model; }
    FrameSlider* slider() const { return m_slider; }
    FrameDisplay* display() const { return m_display; }
    QPushButton* restoreButton() const { return m_restore; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* closeButton() const { return m_close; }
    std::vector<int> selectedRows() const;  // ascending
    void selectRows(const std::vector<int>& rows);

    void restoreSelected();
    void deleteSelected();

public slots:
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    // After entries left the trash: the list anew, the entry now at `firstRemoved` (or the last) selected.
    void refillAfterRemoval(int firstRemoved);
    void viewEntry();
    bool openSourceOf(int row);
    void clearView();
    void sliderMoved(int frame);

    app::UserInterface& m_ui;
    const app::SettingsStore& m_settings;
    const media::MediaSettings m_media;
    scene::SceneList m_trash;
    scene::SceneList m_shown;
    bool m_complete = false;
    int m_viewed = -1;          // the entry the slider runs over
    std::string m_failedPath;   // shown as failed once, not at every slider move

    SceneTableModel* m_model = nullptr;
    QTableView* m_entries = nullptr;
    FrameDisplay* m_display = nullptr;
    FrameSlider* m_slider = nullptr;
    QPushButton* m_restore = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace klemora::gui
