#pragma once
// "Sortieren": the key and the direction the shown group is sorted by. Both
// are read from the settings at opening and stored again on OK and Cancel
// alike; only OK hands them back for sorting.
#include <QDialog>

#include "app/settings_store.h"
#include "scene/scene_sort.h"

class QListWidget;
class QPushButton;
class QRadioButton;

namespace klemora::gui {

class SortDialog : public QDialog {
    Q_OBJECT

public:
    explicit SortDialog(const app::SettingsStore& settings, QWidget* parent = nullptr);

    // The chosen row of the key list (0 = source file) and what it sorts by.
    int keyIndex() const;
    bool descending() const;
    scene::SortKey key() const { return scene::sortKeyFromDialogIndex(keyIndex()); }
    scene::SortDirection direction() const {
        return descending() ? scene::SortDirection::Descending : scene::SortDirection::Ascending;
    }

    // What a person sees and the tests drive.
    QListWidget* keyList() const { return m_keys; }
    QRadioButton* ascendingButton() const { return m_ascending; }
    QRadioButton* descendingButton() const { return m_descending; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWidgets();
    void readChoice();
    void storeChoice() const;

    const app::SettingsStore& m_settings;
    QListWidget* m_keys = nullptr;
    QRadioButton* m_ascending = nullptr;
    QRadioButton* m_descending = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace klemora::gui
