#pragma once
// "Über Klemora": the version, the language of the user interface, the
// installed media framework's packed version, the home page and the
// contact address.
#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

namespace klemora::gui {

inline constexpr const char* kHomePage = "https://klemora.org";
inline constexpr const char* kContactAddress = "mailto:kontakt@klemora.org?subject=Klemora";

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // `frameworkVersion`: the packed version, 0 when it is not determinable.
    AboutDialog(const QString& languageName, uint32_t frameworkVersion, QWidget* parent);

    QLabel* frameworkLabel() const { return m_framework; }
    QPushButton* homePageButton() const { return m_homePage; }
    QPushButton* mailButton() const { return m_mail; }

private:
    QLabel* m_framework;
    QPushButton* m_homePage;
    QPushButton* m_mail;
};

}  // namespace klemora::gui
