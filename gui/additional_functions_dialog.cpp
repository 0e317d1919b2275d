// The dialog's widgets, its settings, the speed field's check and the lock
// while a run goes on; the four runs are in additional_functions_runs.cpp.
#include "gui/additional_functions_dialog.h"

#include <algorithm>
#include <limits>

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDateTime>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "app/text_format.h"
#include "gui/help_page.h"
#include "gui/text_of.h"
#include "output/datestamp_run.h"

namespace klemora::gui {
namespace {

constexpr int kTitleText = 923, kStartText = 104, kStopText = 153, kCloseText = 888;
constexpr int kFramesText = 123, kSecondsText = 964, kSpeedText = 965, kPauseText = 985;
constexpr int kOperationTexts[] = {959, 960, 961, 962};
constexpr int kShutdownText = 963;

QLineEdit* numberField(int top, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setValidator(new QIntValidator(0, top, field));
    field->setMaximumWidth(90);
    return field;
}

QString numberText(int value) { return QString::number(value); }

// Every field, box and button of `dialog` enabled as `enabled` says.
void setControlsEnabled(QDialog& dialog, const std::function<bool(const QWidget*)>& enabled) {
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
            qobject_cast<QAbstractSpinBox*>(widget))
            widget->setEnabled(enabled(widget));
    }
}

}  // namespace

AdditionalFunctionsDialog::AdditionalFunctionsDialog(const app::SettingsStore& settings, media::MediaSettings media,
                                                     app::DebugLog log, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_media(std::move(media)), m_log(std::move(log)), m_ui(this) {
    setWindowTitle(textOf(kTitleText));
    m_media.log = m_log;
    m_values = output::readAdditionalSettings(m_settings);
    m_stampPause = output::storedStampPause(m_settings.readInt("DvStampPause", 1));
    buildWidgets();
    showSettings();
}

AdditionalFunctionsDialog::~AdditionalFunctionsDialog() {
    takeSettings();
    output::writeAdditionalSettings(m_settings, m_values);
    m_settings.writeInt("DvStampPause", m_stampPause);
}

void AdditionalFunctionsDialog::buildWidgets() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildSplitBox());
    layout->addWidget(buildSpeedBox());
    layout->addWidget(buildPicturesBox());
    layout->addWidget(buildDatestampBox());
    m_shutdown = new QCheckBox(textOf(kShutdownText), this);
    layout->addWidget(m_shutdown);
    m_close = new QPushButton(textOf(kCloseText), this);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(m_close);
    layout->addLayout(closeRow);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    for (int op = 0; op < OperationCount; ++op)
        connect(m_stops[op], &QPushButton::clicked, this, [this] { m_ui.requestCancel(); });
    connect(m_starts[Split], &QPushButton::clicked, this, [this] { startSplit(); });
    connect(m_starts[Speed], &QPushButton::clicked, this, [this] { startSpeed(); });
    connect(m_starts[Pictures], &QPushButton::clicked, this, [this] { startPictures(); });
    connect(m_starts[Datestamp], &QPushButton::clicked, this, [this] { startDatestamp(); });
    unlockControls();
}

QWidget* AdditionalFunctionsDialog::buttonPair(Operation operation) {
    auto* pair = new QWidget(this);
    auto* row = new QHBoxLayout(pair);
    row->setContentsMargins(0, 0, 0, 0);
    m_starts[operation] = new QPushButton(textOf(kStartText), pair);
    m_stops[operation] = new QPushButton(textOf(kStopText), pair);
    // Enter in a field never starts a run.
    m_starts[operation]->setAutoDefault(false);
    m_stops[operation]->setAutoDefault(false);
    row->addWidget(m_starts[operation]);
    row->addWidget(m_stops[operation]);
    return pair;
}

QWidget* AdditionalFunctionsDialog::buildSplitBox() {
    auto* box = new QGroupBox(textOf(kOperationTexts[Split]), this);
    auto* row = new QHBoxLayout(box);
    m_frames = numberField(std::numeric_limits<int>::max(), box);
    m_seconds = numberField(std::numeric_limits<int>::max(), box);
    // At most one of the two is non-zero: typing into one clears the other.
    connect(m_frames, &QLineEdit::textEdited, this, [this] { m_seconds->setText(numberText(0)); });
    connect(m_seconds, &QLineEdit::textEdited, this, [this] { m_frames->setText(numberText(0)); });
    row->addWidget(new QLabel(textOf(kFramesText), box));
    row->addWidget(m_frames);
    row->addWidget(new QLabel(textOf(kSecondsText), box));
    row->addWidget(m_seconds);
    row->addStretch(1);
    row->addWidget(buttonPair(Split));
    return box;
}

QWidget* AdditionalFunctionsDialog::buildSpeedBox() {
    auto* box = new QGroupBox(textOf(kOperationTexts[Speed]), this);
    auto* row = new QHBoxLayout(box);
    m_speed = new QLineEdit(box);
    m_speed->setMaximumWidth(90);
    m_speed->installEventFilter(this);
    connect(m_speed, &QLineEdit::textEdited, this, [this] { m_commaShown = false; });
    row->addWidget(new QLabel(textOf(kSpeedText), box));
    row->addWidget(m_speed);
    row->addStretch(1);
    row->addWidget(buttonPair(Speed));
    return box;
}

QWidget* AdditionalFunctionsDialog::buildPicturesBox() {
    auto* box = new QGroupBox(textOf(kOperationTexts[Pictures]), this);
    auto* row = new QHBoxLayout(box);
    row->addStretch(1);
    row->addWidget(buttonPair(Pictures));
    return box;
}

QWidget* AdditionalFunctionsDialog::buildDatestampBox() {
    auto* box = new QGroupBox(textOf(kOperationTexts[Datestamp]), this);
    auto* grid = new QGridLayout(box);
    const QDateTime now = QDateTime::currentDateTime();
    m_date = new QDateEdit(now.date(), box);
    m_date->setCalendarPopup(true);
    m_date->setDateRange(QDate(1900, 1, 1), QDate(2099, 12, 31));  // what a recording date can hold
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_time = new QTimeEdit(QTime(now.time().hour(), now.time().minute(), now.time().second()), box);
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_pause = numberField(99999, box);  // beyond 9999 is refused with its message, not by the field
    grid->addWidget(new QLabel(textOf(kStartText), box), 0, 0);
    grid->addWidget(m_date, 0, 1);
    grid->addWidget(m_time, 0, 2);
    grid->addWidget(new QLabel(textOf(kPauseText), box), 1, 0);
    grid->addWidget(m_pause, 1, 1);
    grid->addWidget(new QLabel(textOf(kSecondsText), box), 1, 2);
    grid->setColumnStretch(3, 1);
    grid->addWidget(buttonPair(Datestamp), 1, 4);
    return box;
}

void AdditionalFunctionsDialog::showSettings() {
    m_frames->setText(numberText(m_values.splitCount));
    m_seconds->setText(numberText(m_values.splitTime));
    m_speed->setText(QString::fromStdString(app::stringPrintf("%.3f", static_cast<double>(m_values.speedFactor))));
    m_pause->setText(numberText(m_stampPause));
}

void AdditionalFunctionsDialog::takeSettings() {
    m_values.splitCount = fieldValue(m_frames);
    m_values.splitTime = fieldValue(m_seconds);
    float factor = 0;
    // A text that is no number keeps the last good factor; the store holds it to its range.
    if (output::parseSpeedFactor(m_speed->text().toStdString(), factor))
        m_values.speedFactor = std::clamp(factor, output::kMinSpeedFactor, output::kMaxSpeedFactor);
    m_stampPause = output::storedStampPause(fieldValue(m_pause));
}

int32_t AdditionalFunctionsDialog::fieldValue(const QLineEdit* field) const {
    bool ok = false;
    const int value = field->text().trimmed().toInt(&ok);
    return ok ? value : 0;
}

bool AdditionalFunctionsDialog::speedTextAccepted() {
    if (!m_speed->text().contains(QLatin1Char(','))) return true;
    if (!m_commaShown) {
        m_commaShown = true;
        m_ui.showMessage(app::loadString(189), app::Icon::Warning);
    }
    focusLater(m_speed);
    return false;
}

void AdditionalFunctionsDialog::focusLater(QWidget* field) {
    // After the message box has gone and the click that moved the focus is done.
    QTimer::singleShot(0, field, [field] {
        field->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->selectAll();
    });
}

bool AdditionalFunctionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_speed && event->type() == QEvent::FocusOut && !m_running && !m_checkingSpeed) {
        // Leaving for another window (the message box itself among them) is no leaving of the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            m_checkingSpeed = true;
            if (m_speed->text().contains(QLatin1Char(','))) m_commaShown = false;  // said again on each leaving
            speedTextAccepted();
            m_checkingSpeed = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AdditionalFunctionsDialog::lockControls(Operation running) {
    setControlsEnabled(*this, [stop = m_stops[running]](const QWidget* control) { return control == stop; });
    m_stops[running]->setFocus();
}

void AdditionalFunctionsDialog::unlockControls() {
    const auto* stops = m_stops;
    setControlsEnabled(*this, [stops](const QWidget* control) {
        return std::find(stops, stops + OperationCount, control) == stops + OperationCount;
    });
}

void AdditionalFunctionsDialog::keyPressEvent(QKeyEvent* event) {
    if (openHelpOnF1(this, event, QStringLiteral("page12.htm"), m_settings)) return;
    if (m_running && event->key() == Qt::Key_Escape) {
        m_ui.requestCancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AdditionalFunctionsDialog::closeEvent(QCloseEvent* event) {
    if (m_running) return event->ignore();  // Stop first
    QDialog::closeEvent(event);
}

void AdditionalFunctionsDialog::done(int result) {
    if (m_running) return;
    QDialog::done(result);
}

}  // namespace klemora::gui
