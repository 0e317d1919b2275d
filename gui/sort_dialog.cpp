#include "gui/sort_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/help_page.h"
#include "gui/text_of.h"

namespace klemora::gui {
namespace {

// The keys in the order of their sort numbers (source file first).
constexpr int kKeyTexts[] = {158, 334, 104, 153, 122, 154, 346, 395, 439};
constexpr int kKeyCount = static_cast<int>(std::size(kKeyTexts));

}  // namespace

SortDialog::SortDialog(const app::SettingsStore& settings, QWidget* parent) : QDialog(parent), m_settings(settings) {
    setWindowTitle(textOf(825));
    buildWidgets();
    readChoice();
}

void SortDialog::buildWidgets() {
    m_keys = new QListWidget;
    for (int text : kKeyTexts) m_keys->addItem(textOf(text));
    m_keys->setSelectionMode(QAbstractItemView::SingleSelection);
    // Nine rows without a scroll bar.
    m_keys->setFixedHeight(m_keys->sizeHintForRow(0) * kKeyCount + 2 * m_keys->frameWidth());

    m_ascending = new QRadioButton(textOf(827));
    m_descending = new QRadioButton(textOf(828));
    auto* directions = new QVBoxLayout;
    directions->addWidget(m_ascending);
    directions->addWidget(m_descending);
    directions->addStretch(1);

    auto* choices = new QHBoxLayout;
    choices->addWidget(m_keys, 1);
    choices->addLayout(directions);

    m_ok = new QPushButton(textOf(888));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(textOf(887));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(textOf(826)));
    layout->addLayout(choices);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &SortDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &SortDialog::reject);
    connect(m_keys, &QListWidget::itemDoubleClicked, this, &SortDialog::accept);
}

int SortDialog::keyIndex() const { return std::max(0, m_keys->currentRow()); }

bool SortDialog::descending() const { return m_descending->isChecked(); }

void SortDialog::readChoice() {
    int index = m_settings.readInt("sort1KeyNo", 0);
    if (index < 0 || index >= kKeyCount) index = 0;
    m_keys->setCurrentRow(index);
    (m_settings.readInt("sort1Up", 0) != 0 ? m_descending : m_ascending)->setChecked(true);
    m_keys->setFocus();
}

void SortDialog::storeChoice() const {
    m_settings.writeInt("sort1KeyNo", keyIndex());
    m_settings.writeInt("sort1Up", descending() ? 1 : 0);
}

void SortDialog::accept() {
    storeChoice();
    QDialog::accept();
}

void SortDialog::reject() {
    storeChoice();
    QDialog::reject();
}

void SortDialog::keyPressEvent(QKeyEvent* event) {
    if (openHelpOnF1(this, event, QStringLiteral("page07.htm"), m_settings)) return;
    QDialog::keyPressEvent(event);
}

}  // namespace klemora::gui
