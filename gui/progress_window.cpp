#include "gui/progress_window.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "gui/text_of.h"

namespace klemora::gui {
namespace {

// QProgressBar counts in int; a bar over more frames than that is scaled.
constexpr qint64 kBarSteps = 1'000'000;

QLabel* elidingLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setMinimumWidth(360);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent),
      m_source(elidingLabel(this)),
      m_destination(elidingLabel(this)),
      m_lines{new QLabel(this), new QLabel(this)},
      m_bar(new QProgressBar(this)) {
    setWindowTitle(textOf(833));
    setModal(false);
    auto* form = new QFormLayout;
    form->addRow(textOf(834), m_source);
    form->addRow(textOf(835), m_destination);
    form->addRow(textOf(836), m_bar);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_lines[0]);
    layout->addWidget(m_lines[1]);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
}

void ProgressWindow::setSource(const QString& text) { m_source->setText(text); }
void ProgressWindow::setDestination(const QString& text) { m_destination->setText(text); }

void ProgressWindow::setLine(int line, const QString& text) {
    if (line == 1 || line == 2) m_lines[line - 1]->setText(text);
}

void ProgressWindow::setRangeAndPosition(qint64 max, qint64 position) {
    if (max <= 0) return;
    if (max <= kBarSteps) {
        m_bar->setRange(0, static_cast<int>(max));
        m_bar->setValue(static_cast<int>(position));
    } else {
        m_bar->setRange(0, static_cast<int>(kBarSteps));
        m_bar->setValue(static_cast<int>(position * kBarSteps / max));
    }
}

QString ProgressWindow::source() const { return m_source->text(); }
QString ProgressWindow::destination() const { return m_destination->text(); }
QString ProgressWindow::line(int line) const { return line == 1 || line == 2 ? m_lines[line - 1]->text() : QString(); }
int ProgressWindow::barMaximum() const { return m_bar->maximum(); }
int ProgressWindow::barValue() const { return m_bar->value(); }

void ProgressWindow::showOverParent() {
    adjustSize();
    if (QWidget* owner = parentWidget()) move(owner->geometry().center() - rect().center());
    show();
}

void ProgressWindow::reject() { emit stopRequested(); }

void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit stopRequested();
}

}  // namespace klemora::gui
