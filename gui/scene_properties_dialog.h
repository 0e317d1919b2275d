#pragma once
// "Szeneneigenschaften": shows and edits every value of one scene, or the
// comment, name part and speed factor of several scenes at once ('%' in the
// texts standing for each scene's present text). For one scene it also
// opens the trim dialog on it and writes it as an AVI file. OK runs the
// checks first; the caller takes the values back afterwards.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "app/ui.h"
#include "scene/scene_list.h"
#include "scene/scene_properties.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;

namespace klemora::gui {

class QtUserInterface;
class TrimDialog;

class ScenePropertiesDialog : public QDialog {
    Q_OBJECT

public:
    ScenePropertiesDialog(app::UserInterface& ui, const app::SettingsStore& settings, app::DebugLog log,
                          QWidget* parent = nullptr);
    ~ScenePropertiesDialog() override;

    // What the dialog opens on: one scene, or the shared fields of `count` scenes.
    void showScene(const scene::SceneRecord& scene);
    void showScenes(const scene::SharedProperties& shared, int count);

    bool multiSelection() const { return m_multi; }
    // After OK: the values of the one scene, or the shared fields.
    const scene::SceneProperties& values() const { return m_values; }
    const scene::SharedProperties& sharedValues() const { return m_shared; }

    // Makes the trim dialog over a one-scene list (the main window's own).
    std::function<std::unique_ptr<TrimDialog>(const scene::SceneList& one)> makeTrimDialog;
    // The file name of "Speichern...": empty when cancelled. Replaceable so
    // that tests can answer it.
    std::function<QString(const QString& folder)> chooseAviFile;

    // What a person sees and the tests read.
    QLineEdit* sourceField() const { return m_source; }
    QLabel* fileRangeLabel() const { return m_fileRange; }
    QSpinBox* firstFrameBox() const { return m_first; }
    QSpinBox* lastFrameBox() const { return m_last; }
    QLineEdit* nameField() const { return m_name; }
    QLineEdit* speedField() const { return m_speed; }
    QLineEdit* commentField() const { return m_comment; }
    QDateEdit* dateField() const { return m_date; }
    QTimeEdit* timeField() const { return m_time; }
    QLineEdit* startTimecodeField() const { return m_startTimecode; }
    QLabel* stopTimecodeLabel() const { return m_stopTimecode; }
    QCheckBox* doneBox() const { return m_done; }
    QLabel* warningLabel() const { return m_warnings; }
    QLabel* multiSelectionLabel() const { return m_multiNote; }
    QPushButton* trimButton() const { return m_trim; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // The buttons' commands.
    void trim();
    void saveScene();
    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void connectControls();
    // The fields from the values, and the typed texts into them.
    void showValues();
    void showTimeFields();
    void readTexts();
    // The OK checks; a refusal is shown and its field focused.
    bool passesChecks();
    void showRefusal(const scene::PropertyRefusal& refusal);
    void tell(const std::string& message);  // with the stop icon
    QWidget* fieldOf(scene::PropertyField field) const;
    // Leaving name part or comment with too many characters (188).
    void checkLengthOnLeaving(scene::PropertyField field);
    void onFirstFrameChanged(int first);
    void onDateTimeEdited();
    void onTimecodeEdited();
    void onNameEdited();
    bool needsSourceFile();
    int writeScene(const QString& path);

    app::UserInterface& m_ui;
    const app::SettingsStore& m_settings;
    app::DebugLog m_log;
    bool m_multi = false;
    bool m_showing = false;  // the fields are being filled: their signals are no edits
    // The seam of a running "Speichern...": its messages and progress window
    // open over this dialog, which stays open until the write has ended.
    QtUserInterface* m_writeUi = nullptr;
    bool m_okHeldForName = false;
    scene::SceneRecord m_original{};
    scene::SceneProperties m_values;
    scene::SharedProperties m_shared;

    QWidget* m_body = nullptr;
    QLineEdit* m_source = nullptr;
    QLabel* m_fileRange = nullptr;
    QSpinBox* m_first = nullptr;
    QSpinBox* m_last = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_speed = nullptr;
    QLineEdit* m_comment = nullptr;
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QLineEdit* m_startTimecode = nullptr;
    QLabel* m_stopTimecode = nullptr;
    QCheckBox* m_done = nullptr;
    QLabel* m_warnings = nullptr;
    QLabel* m_multiNote = nullptr;
    QPushButton* m_trim = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace klemora::gui
