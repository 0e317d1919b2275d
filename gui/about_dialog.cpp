#include "gui/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/file_version.h"
#include "app/text_format.h"
#include "gui/help_page.h"
#include "gui/text_of.h"

namespace klemora::gui {

AboutDialog::AboutDialog(const QString& languageName, uint32_t frameworkVersion, QWidget* parent)
    : QDialog(parent),
      m_framework(new QLabel(this)),
      m_homePage(new QPushButton(textOf(950), this)),
      m_mail(new QPushButton(textOf(951), this)) {
    setWindowTitle(textOf(947));
    setModal(true);
    auto* title = new QLabel(QStringLiteral("<b>Klemora %1</b>").arg(QString::fromLatin1(app::kProgramVersion)), this);
    auto* language = new QLabel(textOf(949) + languageName, this);
    m_framework->setText(textOf(948) + QString::fromStdString(app::stringPrintf("0x%08x", frameworkVersion)));
    connect(m_homePage, &QPushButton::clicked, this, [this] { openAddress(this, QString::fromLatin1(kHomePage)); });
    connect(m_mail, &QPushButton::clicked, this, [this] { openAddress(this, QString::fromLatin1(kContactAddress)); });
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* links = new QHBoxLayout;
    links->addWidget(m_homePage);
    links->addWidget(m_mail);
    links->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(language);
    layout->addWidget(m_framework);
    layout->addLayout(links);
    layout->addWidget(ok);
}

}  // namespace klemora::gui
