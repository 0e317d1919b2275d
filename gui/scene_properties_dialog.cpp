#include "gui/scene_properties_dialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <climits>

#include "app/text_format.h"
#include "gui/help_page.h"
#include "gui/qt_user_interface.h"
#include "gui/text_of.h"
#include "scene/field_checks.h"
#include "scene/time_text.h"

namespace klemora::gui {
namespace {

QString speedText(double speed) { return QString::number(speed, 'g', 6); }

QLabel* labelFor(int text, QWidget* buddy) {
    auto* label = new QLabel(textOf(text) + QLatin1Char(':'));
    label->setBuddy(buddy);
    return label;
}

}  // namespace

ScenePropertiesDialog::ScenePropertiesDialog(app::UserInterface& ui, const app::SettingsStore& settings,
                                             app::DebugLog log, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_settings(settings), m_log(std::move(log)) {
    setWindowTitle(textOf(807));
    buildControls();
    connectControls();
}

ScenePropertiesDialog::~ScenePropertiesDialog() = default;

void ScenePropertiesDialog::buildControls() {
    m_source = new QLineEdit(this);
    m_source->setReadOnly(true);
    m_fileRange = new QLabel(this);
    // Wider than any file: a frame outside it gets its message on OK, not a silent clamp.
    m_first = new QSpinBox(this);
    m_last = new QSpinBox(this);
    for (QSpinBox* box : {m_first, m_last}) box->setRange(INT_MIN, INT_MAX);
    m_name = new QLineEdit(this);
    m_name->setToolTip(textOf(258));
    m_speed = new QLineEdit(this);
    // One line: the exchange formats keep a scene per line.
    m_comment = new QLineEdit(this);
    m_comment->setToolTip(textOf(256));
    m_date = new QDateEdit(this);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_date->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    m_date->setCalendarPopup(true);
    m_time = new QTimeEdit(this);
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_startTimecode = new QLineEdit(this);
    m_startTimecode->setInputMask(QStringLiteral("99:99:99:99"));
    m_stopTimecode = new QLabel(this);
    m_done = new QCheckBox(textOf(969), this);
    m_warnings = new QLabel(this);
    m_warnings->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_multiNote = new QLabel(this);
    m_multiNote->setWordWrap(true);
    m_trim = new QPushButton(textOf(816), this);
    m_trim->setToolTip(textOf(257));
    m_save = new QPushButton(textOf(817), this);
    m_save->setToolTip(textOf(434));
    m_ok = new QPushButton(textOf(888), this);
    m_ok->setToolTip(textOf(232));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(textOf(887), this);
    m_cancel->setToolTip(textOf(231));

    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(labelFor(158, m_source), row, 0);
    grid->addWidget(m_source, row++, 1, 1, 3);
    grid->addWidget(m_fileRange, row++, 1, 1, 3);
    grid->addWidget(labelFor(808, m_first), row, 0);
    grid->addWidget(m_first, row, 1);
    grid->addWidget(labelFor(809, m_last), row, 2);
    grid->addWidget(m_last, row++, 3);
    grid->addWidget(labelFor(810, m_name), row, 0);
    grid->addWidget(m_name, row++, 1, 1, 3);
    grid->addWidget(labelFor(811, m_speed), row, 0);
    grid->addWidget(m_speed, row++, 1);
    grid->addWidget(labelFor(200, m_comment), row, 0);
    grid->addWidget(m_comment, row++, 1, 1, 3);
    grid->addWidget(labelFor(812, m_date), row, 0);
    grid->addWidget(m_date, row, 1);
    grid->addWidget(labelFor(813, m_time), row, 2);
    grid->addWidget(m_time, row++, 3);
    grid->addWidget(labelFor(814, m_startTimecode), row, 0);
    grid->addWidget(m_startTimecode, row, 1);
    grid->addWidget(new QLabel(textOf(815) + QLatin1Char(':')), row, 2);
    grid->addWidget(m_stopTimecode, row++, 3);
    grid->addWidget(m_done, row++, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_trim);
    buttons->addWidget(m_save);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    // Every control sits in one body that a write disables as a whole; the
    // progress window of the write, a child of the dialog too, stays usable.
    m_body = new QWidget(this);
    auto* layout = new QVBoxLayout(m_body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_multiNote);
    layout->addLayout(grid);
    layout->addWidget(m_warnings);
    layout->addLayout(buttons);
    (new QVBoxLayout(this))->addWidget(m_body);
    setMinimumWidth(520);
}

void ScenePropertiesDialog::connectControls() {
    connect(m_first, &QSpinBox::valueChanged, this, &ScenePropertiesDialog::onFirstFrameChanged);
    connect(m_last, &QSpinBox::valueChanged, this, [this](int last) {
        if (m_showing) return;
        m_values.lastFrame = last;
        showTimeFields();
    });
    connect(m_date, &QDateEdit::dateChanged, this, [this] { onDateTimeEdited(); });
    connect(m_time, &QTimeEdit::timeChanged, this, [this] { onDateTimeEdited(); });
    connect(m_startTimecode, &QLineEdit::textEdited, this, [this] { onTimecodeEdited(); });
    connect(m_name, &QLineEdit::textChanged, this, [this] { onNameEdited(); });
    connect(m_name, &QLineEdit::editingFinished, this, [this] { checkLengthOnLeaving(scene::PropertyField::DestName); });
    connect(m_comment, &QLineEdit::editingFinished, this, [this] { checkLengthOnLeaving(scene::PropertyField::Comment); });
    connect(m_trim, &QPushButton::clicked, this, [this] { trim(); });
    connect(m_save, &QPushButton::clicked, this, [this] { saveScene(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
}

void ScenePropertiesDialog::showScene(const scene::SceneRecord& scene) {
    m_multi = false;
    m_original = scene;
    m_values = scene::propertiesOf(scene);
    showValues();
}

void ScenePropertiesDialog::showScenes(const scene::SharedProperties& shared, int count) {
    m_multi = true;
    m_shared = shared;
    m_showing = true;
    m_multiNote->setText(QString::fromStdString(app::stringPrintf(app::loadString(819).c_str(), count)));
    m_name->setText(QString::fromStdString(shared.destName));
    m_comment->setText(QString::fromStdString(shared.comment));
    m_speed->setText(shared.speedFactor ? speedText(*shared.speedFactor) : QString());
    for (QWidget* single : std::initializer_list<QWidget*>{m_source, m_first, m_last, m_date, m_time, m_startTimecode,
                                                           m_done, m_trim, m_save})
        single->setEnabled(false);
    // The fields of one scene stay empty: no value stands for all of them.
    for (QSpinBox* box : {m_first, m_last}) {
        box->setSpecialValueText(QStringLiteral(" "));
        box->setValue(box->minimum());
    }
    m_date->setSpecialValueText(QStringLiteral(" "));
    m_date->setDate(m_date->minimumDate());
    m_time->setSpecialValueText(QStringLiteral(" "));
    m_time->setTime(m_time->minimumTime());
    m_startTimecode->setInputMask(QString());
    m_startTimecode->clear();
    m_fileRange->hide();
    m_warnings->hide();
    m_showing = false;
    m_comment->setFocus();
}

void ScenePropertiesDialog::showValues() {
    m_showing = true;
    m_multiNote->hide();
    m_source->setText(QString::fromStdString(m_values.sourceFile));
    m_fileRange->setText(QString::fromStdString(
        app::stringPrintf(app::loadString(818).c_str(), m_values.fileFirstFrame + 1, m_values.fileLastFrame + 1)));
    m_first->setValue(m_values.firstFrame);
    m_last->setValue(m_values.lastFrame);
    m_name->setText(QString::fromStdString(m_values.destName));
    m_speed->setText(speedText(m_values.speedFactor));
    m_comment->setText(QString::fromStdString(m_values.comment));
    m_done->setChecked(m_values.done);
    QStringList warnings;
    if (m_values.problematicOpenDml) warnings << textOf(1095);
    if (m_values.notAllKeyframes) warnings << textOf(1096);
    m_warnings->setText(warnings.join(QLatin1Char('\n')));
    m_warnings->setVisible(!warnings.isEmpty());
    m_showing = false;
    showTimeFields();
    m_first->setFocus();
}

void ScenePropertiesDialog::showTimeFields() {
    const bool showing = m_showing;
    m_showing = true;
    const scene::RecordingTime& t = m_values.recordingTime;
    // A date that names no moment (none known, or broken) stays as it is
    // unless the person picks another one.
    if (scene::isCalendarTime(t)) {
        m_date->setDate(QDate(t.yearsSince1900 + 1900, t.month + 1, t.dayOfMonth));
        m_time->setTime(QTime(t.hours, t.minutes, t.seconds));
    }
    if (!m_startTimecode->hasFocus())
        m_startTimecode->setText(QString::fromStdString(scene::timecodeText(m_values.startTimecode)));
    m_stopTimecode->setText(QString::fromStdString(scene::timecodeText(scene::stopTimecodeOf(m_values))));
    m_showing = showing;
}

void ScenePropertiesDialog::onFirstFrameChanged(int first) {
    if (m_showing) return;
    scene::moveFirstFrame(m_values, first);
    m_startTimecode->setText(QString::fromStdString(scene::timecodeText(m_values.startTimecode)));
    showTimeFields();
}

void ScenePropertiesDialog::onDateTimeEdited() {
    if (m_showing) return;
    const QDate d = m_date->date();
    const QTime t = m_time->time();
    scene::setRecordingTime(m_values,
                            scene::recordingTimeOf(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()));
}

void ScenePropertiesDialog::onTimecodeEdited() {
    if (m_showing) return;
    scene::Timecode timecode;
    if (scene::parseTimecode(m_startTimecode->text().toLatin1().constData(), &timecode) != 1) return;
    scene::setStartTimecode(m_values, timecode);
    showTimeFields();
}

void ScenePropertiesDialog::onNameEdited() {
    if (m_okHeldForName && scene::checkDestName(m_name->text().toStdString()).passed()) {
        m_okHeldForName = false;
        m_ok->setEnabled(true);
    }
}

void ScenePropertiesDialog::checkLengthOnLeaving(scene::PropertyField field) {
    QLineEdit* edit = field == scene::PropertyField::DestName ? m_name : m_comment;
    const QString text = edit->text();
    const std::string bytes = text.toStdString();
    scene::PropertyRefusal refusal = scene::checkFieldLength(field, bytes.size());
    if (refusal.passed()) return;
    // Cut back to what fits before the message, so that the focus leaving
    // for the message box finds nothing more to say.
    QString fitting = text.left(scene::maxLengthOf(field));
    while (fitting.toUtf8().size() > scene::maxLengthOf(field)) fitting.chop(1);  // whole characters only
    edit->setText(fitting);
    tell(refusal.message);
}

void ScenePropertiesDialog::keyPressEvent(QKeyEvent* event) {
    if (!openHelpOnF1(this, event, QStringLiteral("page08.htm"), m_settings)) QDialog::keyPressEvent(event);
}

void ScenePropertiesDialog::readTexts() {
    const std::string name = m_name->text().toStdString();
    const std::string comment = m_comment->text().toStdString();
    if (m_multi) {
        m_shared.destName = name;
        m_shared.comment = comment;
        return;
    }
    m_values.destName = name;
    m_values.comment = comment;
    m_values.firstFrame = m_first->value();
    m_values.lastFrame = m_last->value();
    m_values.done = m_done->isChecked();
}

QWidget* ScenePropertiesDialog::fieldOf(scene::PropertyField field) const {
    switch (field) {
    case scene::PropertyField::FirstFrame: return m_first;
    case scene::PropertyField::LastFrame: return m_last;
    case scene::PropertyField::SpeedFactor: return m_speed;
    case scene::PropertyField::DestName: return m_name;
    case scene::PropertyField::Comment: return m_comment;
    case scene::PropertyField::None: break;
    }
    return nullptr;
}

void ScenePropertiesDialog::tell(const std::string& message) {
    m_ui.showMessage(message, app::Icon::Stop);
    activateWindow();  // the message box was over the main window: the person goes on here
}

void ScenePropertiesDialog::showRefusal(const scene::PropertyRefusal& refusal) {
    tell(refusal.message);
    QWidget* field = fieldOf(refusal.field);
    if (!field) return;
    field->setFocus(Qt::OtherFocusReason);
    if (refusal.field == scene::PropertyField::DestName && refusal.invalidCharAt < m_name->text().toStdString().size()) {
        // The byte position as a character position of the shown text.
        const QString before = QString::fromStdString(m_name->text().toStdString().substr(0, refusal.invalidCharAt));
        m_name->setSelection(static_cast<int>(before.size()), 1);
        m_okHeldForName = true;
        m_ok->setEnabled(false);
    } else if (auto* box = qobject_cast<QSpinBox*>(field)) {
        box->selectAll();
    } else if (auto* line = qobject_cast<QLineEdit*>(field)) {
        line->selectAll();
    }
}

bool ScenePropertiesDialog::passesChecks() {
    readTexts();
    const std::string speedTyped = m_speed->text().trimmed().toStdString();
    scene::PropertyRefusal refusal;
    if (m_multi) {
        double speed = 0;
        // Left empty, each scene keeps its own speed.
        if (!speedTyped.empty()) refusal = scene::readSpeedText(speedTyped, speed);
        m_shared.speedFactor = speedTyped.empty() ? std::nullopt : std::optional<double>(speed);
        if (refusal.passed()) refusal = scene::checkSharedProperties(m_shared.speedFactor, m_shared.destName);
    } else {
        // The frames come first: the speed typed is read in its turn.
        refusal = scene::checkFrames(m_values);
        if (refusal.passed()) refusal = scene::readSpeedText(speedTyped, m_values.speedFactor);
        if (refusal.passed()) refusal = scene::checkSceneProperties(m_values);
    }
    if (refusal.passed()) return true;
    showRefusal(refusal);
    return false;
}

void ScenePropertiesDialog::accept() {
    if (m_writeUi || !m_ok->isEnabled()) return;
    if (passesChecks()) QDialog::accept();
}

void ScenePropertiesDialog::reject() {
    // Esc or the close button while a write runs is its Stop.
    if (m_writeUi)
        m_writeUi->requestCancel();
    else
        QDialog::reject();
}

}  // namespace klemora::gui
