#include "gui/scene_index_dialog.h"

#include <algorithm>

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/string_table.h"
#include "app/text_format.h"
#include "app/ui.h"
#include "gui/help_page.h"
#include "gui/qt_user_interface.h"
#include "gui/text_of.h"
#include "gui/worker_run.h"
#include "output/html_index.h"
#include "output/html_result.h"
#include "output/html_template.h"

namespace klemora::gui {
namespace {

QString presetText(const output::PictureSize& size) {
    return QStringLiteral("%1 x %2").arg(size.width).arg(size.height);
}

std::string withTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

SceneIndexDialog::SceneIndexDialog(QtUserInterface& ui, const app::SettingsStore& settings,
                                   const scene::GroupTree& tree, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_settings(settings), m_tree(tree),
      m_values(output::loadHtmlIndexSettings(settings)) {
    setWindowTitle(textOf(972));
    chooseTemplate = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(this, textOf(977), folder, QStringLiteral("Template files (*.tpl)"));
    };
    chooseMainFile = [this](const QString& folder) {
        QFileDialog dialog(this, textOf(972), folder, QStringLiteral("HTML files (*.htm)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("htm"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    showInBrowser = [this](const QString& page) { return openAddress(this, page); };
    buildWidgets();
    showValues();
}

void SceneIndexDialog::buildWidgets() {
    m_fromProject = new QRadioButton(textOf(973), this);
    m_fromProject->setToolTip(textOf(267));
    m_fromFolder = new QRadioButton(textOf(974), this);
    m_fromFolder->setToolTip(textOf(268));
    m_preset = new QComboBox(this);
    for (const output::PictureSize& size : output::kPictureSizePresets) m_preset->addItem(presetText(size));
    m_preset->setToolTip(textOf(265));
    m_width = new QLineEdit(this);
    m_width->setValidator(new QIntValidator(1, 8192, m_width));
    m_width->setToolTip(textOf(263));
    m_autoWidth = new QLineEdit(textOf(980), this);
    m_autoWidth->setReadOnly(true);
    m_height = new QLineEdit(this);
    m_height->setValidator(new QIntValidator(1, 8192, m_height));
    m_height->setToolTip(textOf(264));
    m_template = new QLineEdit(this);
    m_template->setReadOnly(true);
    m_chooseTemplate = new QPushButton(textOf(977), this);
    m_chooseTemplate->setToolTip(textOf(271));
    m_comment = new QPlainTextEdit(this);
    m_comment->setToolTip(textOf(266));
    m_columns = new QSpinBox(this);
    m_columns->setRange(1, 20);
    m_columns->setToolTip(textOf(272));
    m_generate = new QPushButton(textOf(978), this);
    m_generate->setToolTip(textOf(270));
    m_generateShow = new QPushButton(textOf(979), this);
    m_generateShow->setToolTip(textOf(269));
    m_close = new QPushButton(textOf(824), this);
    m_close->setToolTip(textOf(262));

    auto* size = new QHBoxLayout;
    size->addWidget(m_preset);
    size->addWidget(m_width);
    size->addWidget(m_autoWidth);
    size->addWidget(m_height);
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(m_template, 1);
    templateRow->addWidget(m_chooseTemplate);
    auto* form = new QFormLayout;
    form->addRow(m_fromProject);
    form->addRow(m_fromFolder);
    form->addRow(textOf(975), size);
    form->addRow(textOf(977), templateRow);
    form->addRow(textOf(200), m_comment);
    form->addRow(textOf(976), m_columns);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_generate);
    buttons->addWidget(m_generateShow);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_preset, &QComboBox::activated, this, &SceneIndexDialog::onPresetChosen);
    connect(m_width, &QLineEdit::textEdited, this, &SceneIndexDialog::onSizeEdited);
    connect(m_height, &QLineEdit::textEdited, this, &SceneIndexDialog::onSizeEdited);
    connect(m_chooseTemplate, &QPushButton::clicked, this, &SceneIndexDialog::pickTemplate);
    connect(m_generate, &QPushButton::clicked, this, [this] { generate(false); });
    connect(m_generateShow, &QPushButton::clicked, this, [this] { generate(true); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void SceneIndexDialog::showValues() {
    m_showingValues = true;
    m_fromProject->setChecked(true);
    if (m_values.presetIndex >= 0) m_preset->setCurrentIndex(m_values.presetIndex);
    else m_preset->setCurrentIndex(-1);
    m_width->setText(QString::number(m_values.pictureWidth));
    m_height->setText(QString::number(m_values.pictureHeight));
    const bool as43 = m_settings.readInt("As43", 0) == 1;
    m_width->setVisible(!as43);
    m_autoWidth->setVisible(as43);
    m_comment->setPlainText(QString::fromStdString(m_values.comment));
    m_columns->setValue(std::max(1, m_values.columns));
    m_template->setText(QString::fromStdString(m_values.templateName));
    m_showingValues = false;
}

void SceneIndexDialog::onPresetChosen(int index) {
    if (index < 0 || index >= static_cast<int>(output::kPictureSizePresets.size())) return;
    m_values.presetIndex = index;
    m_width->setText(QString::number(output::kPictureSizePresets[index].width));
    m_height->setText(QString::number(output::kPictureSizePresets[index].height));
}

void SceneIndexDialog::onSizeEdited() {
    if (m_showingValues) return;
    m_values.presetIndex = output::kCustomPreset;
    m_preset->setCurrentIndex(-1);
}

output::HtmlIndexSettings SceneIndexDialog::currentValues() const {
    output::HtmlIndexSettings values = m_values;
    values.pictureWidth = std::max(1, m_width->text().toInt());
    values.pictureHeight = std::max(1, m_height->text().toInt());
    values.columns = m_columns->value();
    values.comment = m_comment->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
    return values;
}

void SceneIndexDialog::pickTemplate() {
    if (m_values.templateFolder.empty()) {
        m_values.templateFolder = output::defaultTemplateFolder();
        m_settings.writeText("HtmlTemplatePath", m_values.templateFolder);
    }
    const QString chosen = chooseTemplate(QString::fromStdString(m_values.templateFolder));
    if (chosen.isEmpty()) return;
    const std::string path = chosen.toStdString();
    output::storeTemplateChoice(m_settings, path);
    m_values.templateName = path;
    m_values.templateFolder = withTrailingSlash(QFileInfo(chosen).absolutePath().toStdString());
    m_template->setText(chosen);
    output::HtmlTemplate cell;
    if (output::readTemplateFile(path, cell, m_ui) == 1 && cell.defaultColumns)
        m_columns->setValue(std::clamp(*cell.defaultColumns, 1, 20));
}

int SceneIndexDialog::generate(bool show) {
    if (m_running) return 0;
    output::HtmlIndexSettings values = currentValues();
    if (values.templateName.empty()) values.templateName = output::templatePathFor({});
    if (output::checkIndexRequest(values.columns, values.templateName, m_ui) != 1) return 0;
    const QString mainFile = chooseMainFile(QString::fromStdString(values.destinationFolder));
    if (mainFile.isEmpty()) return 0;
    output::HtmlIndexOptions index;
    if (output::readTemplateFile(values.templateName, index.cell, m_ui) != 1) return 0;
    output::applyIndexValues(index, values, mainFile.toStdString(), m_settings);
    output::storeGenerationSettings(m_settings, values, index.mainFile);
    m_values.destinationFolder = QFileInfo(mainFile).absolutePath().toStdString();

    const bool fromFolder = m_fromFolder->isChecked();
    const std::string folder = fromFolder && chooseSourceFolder ? chooseSourceFolder().toStdString() : std::string();
    setLocked(true);
    m_ui.resetCancel();
    int rc = 0;
    runOnWorker([&] {
        rc = fromFolder ? output::GenerateDirectoryIndex(folder, index, m_ui)
                        : output::GenerateSceneIndex(m_tree, index, m_ui);
    });
    m_ui.resetCancel();
    setLocked(false);
    if (rc != 1) {
        // A Stop is the user's own wish, not a failure: no message for it.
        if (rc != 0 && rc != output::code(output::HtmlIndexResult::Cancelled))
            m_ui.showMessage(app::stringPrintf("%s %s()!\nFile: %s\nCode: %d", app::loadString(113).c_str(),
                                               fromFolder ? "GenerateDirectoryIndex" : "GenerateSceneIndex",
                                               index.mainFile.c_str(), rc),
                             app::Icon::Stop);
        return rc;
    }
    if (show && !showInBrowser(mainFile))
        m_ui.showMessage(app::stringPrintf("%s:\n%s", app::loadString(103).c_str(), index.mainFile.c_str()),
                         app::Icon::Stop);
    return 1;
}

void SceneIndexDialog::setLocked(bool locked) {
    m_running = locked;
    for (QWidget* control : findChildren<QWidget*>()) control->setEnabled(!locked);
    if (runningChanged) runningChanged(locked);
}

void SceneIndexDialog::done(int result) {
    if (m_running) {
        m_ui.requestCancel();  // closing during a run is Stop first
        return;
    }
    const output::HtmlIndexSettings values = currentValues();
    output::storeDialogSettings(m_settings, values);
    QDialog::done(result);
}

void SceneIndexDialog::keyPressEvent(QKeyEvent* event) {
    if (m_running && event->key() == Qt::Key_Escape) {
        m_ui.requestCancel();
        return;
    }
    if (!m_running && openHelpOnF1(this, event, QStringLiteral("page11.htm"), m_settings)) return;
    QDialog::keyPressEvent(event);
}

}  // namespace klemora::gui
