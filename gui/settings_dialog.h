#pragma once
// "Klemora Einstellungen": language, jump width of the frame sliders,
// autobackup and the options of exported pictures. Reads the store when it
// opens, writes it on OK (with the restart notice when the language, jump
// width or backup changed); Cancel writes nothing.
#include <QDialog>

#include "app/general_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace klemora::gui {

class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    SettingsDialog(const app::SettingsStore& store, int userLanguageId, QWidget* parent);

    // The controls, for the tests that drive the dialog.
    QComboBox* languageBox() const { return m_language; }
    QLineEdit* sliderJumpEdit() const { return m_sliderJump; }
    QCheckBox* backupBox() const { return m_backup; }
    QComboBox* intervalBox() const { return m_interval; }
    QLineEdit* qualityEdit() const { return m_quality; }
    QLineEdit* clippingEdit() const { return m_clipping; }

    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The number in `edit`, or a message and false when it is outside min..max.
    bool readNumber(QLineEdit* edit, int min, int max, int& value);
    app::GeneralSettings shownSettings() const;

    const app::SettingsStore& m_store;
    const app::GeneralSettings m_opened;
    QComboBox* m_language;
    QLineEdit* m_sliderJump;
    QCheckBox* m_backup;
    QComboBox* m_interval;
    QComboBox* m_format;
    QLabel* m_qualityLabel;
    QLineEdit* m_quality;
    QLineEdit* m_clipping;
    QCheckBox* m_aspect;
    QCheckBox* m_datestamp;
};

}  // namespace klemora::gui
