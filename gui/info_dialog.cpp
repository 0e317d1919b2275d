#include "gui/info_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/help_page.h"
#include "gui/text_of.h"

namespace klemora::gui {

InfoDialog::InfoDialog(const std::string& languageCode, std::string folder, QWidget* parent)
    : QDialog(parent),
      m_files(app::readmeFilesFor(languageCode)),
      m_folder(std::move(folder)),
      m_languageCode(languageCode),
      m_text(new QPlainTextEdit(this)),
      m_readme(new QPushButton(textOf(944), this)),
      m_license(new QPushButton(textOf(945), this)) {
    setWindowTitle(textOf(943));
    setModal(true);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setMinimumSize(560, 360);
    for (QPushButton* button : {m_readme, m_license}) button->setCheckable(true);
    connect(m_readme, &QPushButton::clicked, this, [this] { showFile(m_files.readme, m_readme); });
    connect(m_license, &QPushButton::clicked, this, [this] { showFile(m_files.license, m_license); });
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* choice = new QHBoxLayout;
    choice->addWidget(m_readme);
    choice->addWidget(m_license);
    choice->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(m_text);
    layout->addWidget(new QLabel(textOf(946), this));
    layout->addWidget(ok);
    showFile(m_files.readme, m_readme);
}

// The field keeps the pieces' "\r\n" as line ends.
void InfoDialog::showFile(const std::string& fileName, QPushButton* pushed) {
    QString text = QString::fromStdString(app::readmeFieldText(m_folder, fileName, m_files.german));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    m_text->setPlainText(text);
    m_readme->setChecked(pushed == m_readme);
    m_license->setChecked(pushed == m_license);
}

void InfoDialog::keyPressEvent(QKeyEvent* event) {
    if (!openHelpOnF1(this, event, QStringLiteral("index.htm"), m_languageCode)) QDialog::keyPressEvent(event);
}

}  // namespace klemora::gui
