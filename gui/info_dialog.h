#pragma once
// "Klemora Info": the readme or the licence text beside the program, in the
// language of "Lang", in a read-only field.
#include <QDialog>
#include <string>

#include "app/readme_text.h"

class QPlainTextEdit;
class QPushButton;

namespace klemora::gui {

class InfoDialog : public QDialog {
    Q_OBJECT

public:
    // `folder`: where the text files lie (the program folder).
    InfoDialog(const std::string& languageCode, std::string folder, QWidget* parent);

    QPlainTextEdit* textField() const { return m_text; }
    QPushButton* readmeButton() const { return m_readme; }
    QPushButton* licenseButton() const { return m_license; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showFile(const std::string& fileName, QPushButton* pushed);

    const app::ReadmeFiles m_files;
    const std::string m_folder;
    const std::string m_languageCode;  // "Lang", for the help page
    QPlainTextEdit* m_text;
    QPushButton* m_readme;
    QPushButton* m_license;
};

}  // namespace klemora::gui
