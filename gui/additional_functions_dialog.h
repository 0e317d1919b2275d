#pragma once
// "Zusatzfunktionen": four batch operations over AVI files the user picks,
// independent of the scene list: split into parts, time-lapse/slow-motion
// copies, every frame as a picture, and a running DV date stamp. Each runs on
// a worker with its own Start and Stop button; while one runs, only its Stop
// is enabled, Esc is Stop and the dialog does not close. The settings are
// read when the dialog opens and written back when it closes.
#include <QDialog>
#include <QStringList>
#include <functional>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "gui/qt_user_interface.h"
#include "media/media_settings.h"
#include "output/additional_settings.h"
#include "output/write_context.h"

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace klemora::gui {

class AdditionalFunctionsDialog : public QDialog {
    Q_OBJECT

public:
    AdditionalFunctionsDialog(const app::SettingsStore& settings, media::MediaSettings media, app::DebugLog log,
                              QWidget* parent = nullptr);
    ~AdditionalFunctionsDialog() override;

    // The file and folder dialogs, replaceable so that tests can answer them.
    // Empty answers cancel the operation.
    std::function<QStringList(const QString& folder)> chooseFiles;
    std::function<QString(const QString& startFolder)> chooseFolder;

    // The operations, as their Start buttons run them.
    void startSplit();
    void startSpeed();
    void startPictures();
    void startDatestamp();
    bool isRunning() const { return m_running; }

    // What a person sees and the tests drive.
    QLineEdit* framesField() const { return m_frames; }
    QLineEdit* secondsField() const { return m_seconds; }
    QLineEdit* speedField() const { return m_speed; }
    QDateEdit* dateField() const { return m_date; }
    QTimeEdit* timeField() const { return m_time; }
    QLineEdit* pauseField() const { return m_pause; }
    QCheckBox* shutdownBox() const { return m_shutdown; }
    QPushButton* startButton(int operation) const { return m_starts[operation]; }
    QPushButton* stopButton(int operation) const { return m_stops[operation]; }
    QPushButton* closeButton() const { return m_close; }
    QtUserInterface& userInterface() { return m_ui; }
    enum Operation { Split = 0, Speed = 1, Pictures = 2, Datestamp = 3, OperationCount = 4 };

signals:
    // A run starts (true) or has ended (false): the main window starts no command meanwhile.
    void runningChanged(bool running);

public slots:
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    QWidget* buildSplitBox();
    QWidget* buildSpeedBox();
    QWidget* buildPicturesBox();
    QWidget* buildDatestampBox();
    QWidget* buttonPair(Operation operation);
    void showSettings();
    void takeSettings();

    // The files and the destination folder; false when the choice was cancelled.
    bool chooseInput(QStringList& files);
    bool chooseOutputFolder(const QString& start, std::string& folder);
    // Runs `work` on a worker with every control locked but `operation`'s Stop.
    void runLocked(Operation operation, const std::function<void()>& work);
    void lockControls(Operation running);
    void unlockControls();
    // The speed text: 189 (once per text) for a decimal comma.
    bool speedTextAccepted();
    void focusLater(QWidget* field);
    int32_t fieldValue(const QLineEdit* field) const;

    const app::SettingsStore& m_settings;
    media::MediaSettings m_media;
    app::DebugLog m_log;
    QtUserInterface m_ui;
    output::AdditionalSettings m_values;
    int m_stampPause = 1;
    // Kept across the runs of this dialog: an answer "for all" stays given.
    output::OverwriteMode m_overwriteMode = output::OverwriteMode::Ask;
    QString m_fileFolder;
    bool m_running = false;
    bool m_commaShown = false;  // 189 already said for the text in the field
    bool m_checkingSpeed = false;

    QLineEdit* m_frames = nullptr;
    QLineEdit* m_seconds = nullptr;
    QLineEdit* m_speed = nullptr;
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QLineEdit* m_pause = nullptr;
    QCheckBox* m_shutdown = nullptr;
    QPushButton* m_starts[OperationCount] = {};
    QPushButton* m_stops[OperationCount] = {};
    QPushButton* m_close = nullptr;
};

}  // namespace klemora::gui
