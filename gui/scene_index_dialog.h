#pragma once
// "Szenenindex generieren": web pages of the project's scenes or of a
// folder's AVI files, laid out by a template. The values come from the
// settings at opening and go back at closing; the run itself is the core's
// index generator on a worker thread.
#include <QDialog>
#include <functional>

#include "app/settings_store.h"
#include "output/html_settings.h"
#include "scene/group_tree.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace klemora::gui {

class QtUserInterface;

class SceneIndexDialog : public QDialog {
    Q_OBJECT

public:
    SceneIndexDialog(QtUserInterface& ui, const app::SettingsStore& settings, const scene::GroupTree& tree,
                     QWidget* parent = nullptr);

    // Replaceable so that tests answer them: the template (start folder in,
    // empty = cancelled), the main file (start folder in), and the browser.
    std::function<QString(const QString& folder)> chooseTemplate;
    std::function<QString(const QString& folder)> chooseMainFile;
    std::function<bool(const QString& page)> showInBrowser;
    // The folder of a folder index; unset, the core asks with its own picker.
    std::function<QString()> chooseSourceFolder;
    // Called around the run, so that the main window locks its commands.
    std::function<void(bool running)> runningChanged;

    // Generates (and shows); 1 on success, else the core's code or 0 when cancelled.
    int generate(bool show);
    void pickTemplate();
    bool running() const { return m_running; }

    // What a person sees and the tests drive.
    QRadioButton* projectSource() const { return m_fromProject; }
    QRadioButton* folderSource() const { return m_fromFolder; }
    QComboBox* presetBox() const { return m_preset; }
    QLineEdit* widthEdit() const { return m_width; }
    QLineEdit* autoWidthBox() const { return m_autoWidth; }
    QLineEdit* heightEdit() const { return m_height; }
    QLineEdit* templateBox() const { return m_template; }
    QPlainTextEdit* commentEdit() const { return m_comment; }
    QSpinBox* columnBox() const { return m_columns; }
    QPushButton* generateButton() const { return m_generate; }
    QPushButton* generateAndShowButton() const { return m_generateShow; }

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWidgets();
    void showValues();
    output::HtmlIndexSettings currentValues() const;
    void onPresetChosen(int index);
    void onSizeEdited();
    void setLocked(bool locked);

    QtUserInterface& m_ui;
    const app::SettingsStore& m_settings;
    const scene::GroupTree& m_tree;
    output::HtmlIndexSettings m_values;
    bool m_running = false;
    bool m_showingValues = false;

    QRadioButton* m_fromProject = nullptr;
    QRadioButton* m_fromFolder = nullptr;
    QComboBox* m_preset = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_autoWidth = nullptr;
    QLineEdit* m_height = nullptr;
    QLineEdit* m_template = nullptr;
    QPlainTextEdit* m_comment = nullptr;
    QSpinBox* m_columns = nullptr;
    QPushButton* m_chooseTemplate = nullptr;
    QPushButton* m_generate = nullptr;
    QPushButton* m_generateShow = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace klemora::gui
