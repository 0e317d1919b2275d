#include "gui/trash_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/string_table.h"
#include "app/text_format.h"
#include "gui/dialog_button.h"
#include "gui/frame_display.h"
#include "gui/frame_slider.h"
#include "gui/help_page.h"
#include "gui/saved_placement.h"
#include "gui/scene_table_model.h"
#include "gui/text_of.h"
#include "scene/trash.h"

namespace klemora::gui {
namespace {

constexpr FrameDisplayCodes kDisplayCodes{"KLM-TR-1006", "KLM-TR-1007", true};
const QSize kInitialSize(640, 560);
const std::string kPlacement = "Trash";

}  // namespace

TrashDialog::TrashDialog(app::UserInterface& ui, const app::SettingsStore& settings, media::MediaSettings media,
                         const scene::SceneList& trash, const scene::SceneList& shown, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_settings(settings), m_media(std::move(media)) {
    m_complete = m_trash.copyFrom(trash) == 1 && m_shown.copyFrom(shown) == 1;
    setWindowTitle(textOf(821));
    setSizeGripEnabled(true);
    buildWidgets();
    resize(kInitialSize);
    setMinimumSize(kInitialSize);
    layout()->activate();  // the picture area gets its size before a file is opened for it
    m_slider->setSingleStep(1);
    m_slider->setPageStep(std::max(1, m_settings.readInt("SliderJump", 25)));
    m_model->setList(&m_trash);
    clearView();
    if (m_trash.count() > 0) selectRows({0});
    restorePlacement(*this, m_settings, kPlacement);

    // F1 comes to the dialog whichever control has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

TrashDialog::~TrashDialog() = default;

void TrashDialog::buildWidgets() {
    m_model = new SceneTableModel(this);
    m_entries = new QTableView;
    m_entries->setModel(m_model);
    for (int column : {SceneTableModel::Length, SceneTableModel::Status, SceneTableModel::Destination})
        m_entries->setColumnHidden(column, true);
    m_entries->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_entries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_entries->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_entries->setShowGrid(true);
    m_entries->setWordWrap(false);
    m_entries->verticalHeader()->hide();
    m_entries->verticalHeader()->setDefaultSectionSize(m_entries->fontMetrics().height() + 4);  // as the main list
    m_entries->horizontalHeader()->setHighlightSections(false);
    m_entries->horizontalHeader()->setSectionResizeMode(SceneTableModel::Source, QHeaderView::Stretch);
    m_entries->setColumnWidth(SceneTableModel::Number, 40);
    m_entries->setColumnWidth(SceneTableModel::Start, 60);
    m_entries->setColumnWidth(SceneTableModel::Stop, 60);

    m_display = new FrameDisplay(m_ui, m_media, kDisplayCodes);
    m_slider = new FrameSlider;

    m_restore = dialogButton(822, 261);
    m_delete = dialogButton(823, 259);
    m_close = dialogButton(824, 262);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_restore);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_entries, 2);
    layout->addWidget(m_display, 3);
    layout->addWidget(m_slider);
    layout->addLayout(buttons);

    connect(m_entries->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { viewEntry(); });
    connect(m_entries->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { viewEntry(); });
    connect(m_slider, &QSlider::valueChanged, this, &TrashDialog::sliderMoved);
    connect(m_restore, &QPushButton::clicked, this, &TrashDialog::restoreSelected);
    connect(m_delete, &QPushButton::clicked, this, &TrashDialog::deleteSelected);
    connect(m_close, &QPushButton::clicked, this, &TrashDialog::reject);
}

std::vector<int> TrashDialog::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_entries->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TrashDialog::selectRows(const std::vector<int>& rows) {
    QItemSelection selection;
    for (int row : rows)
        if (m_trash.validIndex(row))
            selection.select(m_model->index(row, 0), m_model->index(row, SceneTableModel::ColumnCount - 1));
    QItemSelectionModel* model = m_entries->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty()) {
        const QModelIndex first = m_model->index(selection.first().top(), 0);
        model->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        m_entries->scrollTo(first);
    }
    viewEntry();
}

void TrashDialog::restoreSelected() {
    const std::vector<int> rows = selectedRows();
    const int before = m_trash.count();
    scene::restoreFromTrash(m_shown, m_trash, rows, m_ui);
    if (m_trash.count() != before) refillAfterRemoval(rows.front());
}

void TrashDialog::deleteSelected() {
    const std::vector<int> rows = selectedRows();
    const int before = m_trash.count();
    scene::deleteFromTrash(m_trash, rows, m_ui);
    if (m_trash.count() != before) refillAfterRemoval(rows.front());
}

void TrashDialog::refillAfterRemoval(int firstRemoved) {
    m_model->listChanged();
    m_viewed = -1;
    if (m_trash.count() == 0) {
        clearView();
        return;
    }
    selectRows({std::min(firstRemoved, m_trash.count() - 1)});
}

void TrashDialog::viewEntry() {
    const QModelIndex current = m_entries->selectionModel()->currentIndex();
    const std::vector<int> rows = selectedRows();
    int row = -1;
    if (current.isValid() && std::binary_search(rows.begin(), rows.end(), current.row()))
        row = current.row();
    else if (!rows.empty())
        row = rows.front();
    if (row < 0) return clearView();
    if (row == m_viewed) return;
    m_viewed = row;
    const int32_t start = m_trash.startFrame(row), stop = std::max(start, m_trash.stopFrame(row));
    const bool open = openSourceOf(row);
    {
        QSignalBlocker quiet(m_slider);
        m_slider->setEnabled(true);
        m_slider->setRange(start, stop);
        m_slider->setValue(start);
        m_slider->setTicks({start, stop});
    }
    if (open) m_display->requestFrame(start);
    else m_display->showFrame(kClearFrame);
}

bool TrashDialog::openSourceOf(int row) {
    const std::string path(m_trash.sourceFile(row));
    if (m_display->isOpen() && m_display->openPath() == path) return true;
    const int code = m_display->open(path);
    if (code == 1) return true;
    if (path == m_failedPath) return false;
    m_failedPath = path;
    if (code == -3 || code == -4) {
        m_display->reportOpenFailure(code, path);  // KLM-TR-1006 or 109
    } else {
        m_ui.showMessage(app::stringPrintf("%s DrawVideoScrubbingFrame()!\nFile: %s\nCode: %d",
                                           app::loadString(113).c_str(), path.c_str(), code),
                         app::Icon::Stop);
    }
    return false;
}

void TrashDialog::clearView() {
    m_viewed = -1;
    m_display->showFrame(kClearFrame);
    QSignalBlocker quiet(m_slider);
    m_slider->setRange(0, 0);
    m_slider->setTicks({});
    m_slider->setEnabled(false);
}

void TrashDialog::sliderMoved(int frame) {
    if (m_viewed >= 0 && m_display->isOpen()) m_display->requestFrame(frame);
}

void TrashDialog::done(int result) {
    m_display->close();
    storePlacement(*this, m_settings, kPlacement);
    QDialog::done(result);
}

bool TrashDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        openHelpOnF1(this, static_cast<QKeyEvent*>(event), QStringLiteral("page09.htm"), m_settings))
        return true;
    return QDialog::eventFilter(watched, event);
}

}  // namespace klemora::gui
