#include "gui/main_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>
#include <utility>
#include <vector>

#include "gui/text_of.h"
#include "gui/toolbar_icons.h"

namespace klemora::gui {
namespace {

// Stands for a separator in the entry lists below.
constexpr Command kSeparator = Command::Count;

QString commandText(Command command) {
    switch (command) {
    case Command::NewProject: return textOf(891);
    case Command::LoadProject: return textOf(892);
    case Command::SaveProject: return textOf(893);
    case Command::SaveProjectAs: return textOf(895);
    case Command::AddAvi: return textOf(443);
    case Command::WriteAvi: return textOf(896);
    case Command::DvCapture: return textOf(897);
    case Command::Settings: return textOf(898);
    case Command::Exit: return textOf(899);
    case Command::SceneProperties: return textOf(414);
    case Command::ToggleOk: return textOf(440);
    case Command::SceneDetection: return textOf(415);
    case Command::ManualSplit: return textOf(416);
    case Command::TrimScene: return textOf(444);
    case Command::TrimAll: return textOf(417);
    case Command::MergeScenes: return textOf(418);
    case Command::SortScenes: return textOf(419);
    case Command::DeleteScenes: return textOf(420);
    case Command::RestoreFromTrash: return textOf(918);
    case Command::SelectAll: return textOf(421);
    case Command::MoveUp: return textOf(901);
    case Command::MoveDown: return textOf(902);
    case Command::MoveToTop: return textOf(903);
    case Command::MoveToEnd: return textOf(904);
    case Command::GroupNewWithScenes: return textOf(906);
    case Command::GroupNew: return textOf(907);
    case Command::GroupRename: return textOf(908);
    case Command::GroupDelete: return textOf(909);
    case Command::ViewList: return textOf(910);
    case Command::ViewFilmStrip: return textOf(911);
    case Command::ViewStoryboard: return textOf(912);
    case Command::PlayScenes: return textOf(427);
    case Command::SceneIndex: return textOf(913);
    case Command::AdditionalFunctions: return textOf(914);
    case Command::Undo: return textOf(919);
    case Command::Redo: return textOf(920);
    case Command::About: return textOf(915);
    case Command::Readme: return textOf(916);
    case Command::Help: return textOf(917);
    case Command::Count: break;
    }
    return {};
}

struct ToolButton {
    Command command;
    ToolbarIcon icon;
};

// Left to right; a separator carries no icon of its own.
const std::vector<ToolButton>& toolButtons() {
    static const std::vector<ToolButton> buttons{
        {Command::NewProject, ToolbarIcon::NewProject},   {Command::LoadProject, ToolbarIcon::LoadProject},
        {Command::SaveProject, ToolbarIcon::SaveProject}, {kSeparator, {}},
        {Command::DvCapture, ToolbarIcon::DvCapture},     {Command::AddAvi, ToolbarIcon::AddAvi},
        {Command::WriteAvi, ToolbarIcon::WriteAvi},       {kSeparator, {}},
        {Command::SceneDetection, ToolbarIcon::SceneDetection}, {Command::ManualSplit, ToolbarIcon::ManualSplit},
        {Command::TrimAll, ToolbarIcon::TrimAll},         {kSeparator, {}},
        {Command::ViewStoryboard, ToolbarIcon::Storyboard}, {kSeparator, {}},
        {Command::Help, ToolbarIcon::Help}};
    return buttons;
}

QString toolTip(Command command) {
    switch (command) {
    case Command::NewProject: return textOf(399);
    case Command::LoadProject: return textOf(240);
    case Command::SaveProject: return textOf(239);
    case Command::DvCapture: return textOf(400);
    case Command::AddAvi: return textOf(235);
    case Command::WriteAvi: return textOf(401);
    case Command::SceneDetection: return textOf(402);
    case Command::ManualSplit: return textOf(237);
    case Command::TrimAll: return textOf(248);
    case Command::SortScenes: return textOf(333);
    case Command::RestoreFromTrash: return textOf(247);
    case Command::ViewStoryboard: return textOf(403);
    case Command::Help: return textOf(404);
    default: return {};
    }
}

// The text from the tab on: the key a menu entry shows at its right.
QString keyPart(const QString& text) {
    qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : text.mid(tab);
}

}  // namespace

MainActions::MainActions(QWidget* window) : QObject(window), m_views(new QActionGroup(window)) {
    for (size_t i = 0; i < m_actions.size(); ++i) {
        auto command = static_cast<Command>(i);
        auto* action = new QAction(commandText(command), window);
        QString tip = toolTip(command);
        if (!tip.isEmpty()) {
            action->setToolTip(tip);
            action->setStatusTip(tip);
        }
        m_actions[i] = action;
    }
    for (const ToolButton& button : toolButtons()) {
        if (button.command != kSeparator) action(button.command)->setIcon(toolbarIcon(button.icon));
    }
    m_views->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (Command view : {Command::ViewList, Command::ViewFilmStrip, Command::ViewStoryboard}) {
        action(view)->setCheckable(true);
        m_views->addAction(action(view));
    }
    action(Command::ViewList)->setChecked(true);
    showSaveState(false, QString());
}

QAction* MainActions::action(Command command) const { return m_actions.at(static_cast<size_t>(command)); }

void MainActions::addEntries(QMenu* menu, std::initializer_list<Command> entries) const {
    for (Command entry : entries) {
        if (entry == kSeparator) menu->addSeparator();
        else menu->addAction(action(entry));
    }
}

QMenu* MainActions::addMenu(QMenuBar* bar, const QString& title, std::initializer_list<Command> entries) const {
    QMenu* menu = bar->addMenu(title);
    addEntries(menu, entries);
    return menu;
}

void MainActions::fillMenuBar(QMenuBar* bar) const {
    addMenu(bar, textOf(202),
            {Command::NewProject, Command::LoadProject, Command::SaveProject, Command::SaveProjectAs, kSeparator,
             Command::AddAvi, Command::WriteAvi, Command::DvCapture, kSeparator, Command::Settings, kSeparator,
             Command::Exit});
    QMenu* edit = addMenu(bar, textOf(921),
                          {Command::Undo, Command::Redo, kSeparator, Command::SceneProperties, Command::ToggleOk,
                           kSeparator, Command::SceneDetection, kSeparator, Command::ManualSplit, Command::TrimScene,
                           Command::TrimAll, Command::MergeScenes, Command::SortScenes, kSeparator,
                           Command::DeleteScenes, Command::RestoreFromTrash, kSeparator, Command::SelectAll,
                           kSeparator});
    addEntries(edit->addMenu(textOf(900)),
               {Command::MoveUp, Command::MoveDown, Command::MoveToTop, Command::MoveToEnd});
    addEntries(edit->addMenu(textOf(905)),
               {Command::GroupNewWithScenes, Command::GroupNew, Command::GroupRename, Command::GroupDelete});
    addMenu(bar, textOf(922),
            {Command::ViewList, Command::ViewFilmStrip, Command::ViewStoryboard, kSeparator, Command::PlayScenes});
    addMenu(bar, textOf(923), {Command::SceneIndex, Command::AdditionalFunctions});
    addMenu(bar, textOf(924), {Command::About, Command::Readme, kSeparator, Command::Help});
}

QToolBar* MainActions::makeToolBar(QWidget* parent) const {
    auto* bar = new QToolBar(parent);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setIconSize(kToolbarIconSize);
    for (const ToolButton& button : toolButtons()) {
        if (button.command == kSeparator) {
            bar->addSeparator();
            continue;
        }
        QAction* entry = action(button.command);
        bar->addAction(entry);
        bar->widgetForAction(entry)->setFixedSize(kToolbarIconSize);
    }
    return bar;
}

QMenu* MainActions::makeListContextMenu(QWidget* parent) const {
    auto* menu = new QMenu(parent);
    std::vector<std::pair<QAction*, QAction*>> mirrors;  // own entry, window action
    for (Command entry : {Command::AddAvi, kSeparator, Command::SceneProperties, Command::ToggleOk, kSeparator,
                          Command::PlayScenes, kSeparator, Command::SceneDetection, kSeparator,
                          Command::ManualSplit, Command::TrimScene, Command::TrimAll, Command::MergeScenes,
                          Command::GroupNewWithScenes, Command::SortScenes, kSeparator, Command::DeleteScenes,
                          kSeparator, Command::SelectAll}) {
        if (entry == kSeparator) {
            menu->addSeparator();
            continue;
        }
        QAction* target = action(entry);
        // The group entry is worded for a list of scenes, not as an item of "Szenengruppe".
        QAction* own = menu->addAction(entry == Command::GroupNewWithScenes ? textOf(450) : target->text());
        own->setIcon(target->icon());
        own->setStatusTip(target->statusTip());
        connect(own, &QAction::triggered, target, &QAction::trigger);
        mirrors.emplace_back(own, target);
    }
    connect(menu, &QMenu::aboutToShow, menu, [mirrors] {
        for (auto [own, target] : mirrors) own->setEnabled(target->isEnabled());
    });
    return menu;
}

void MainActions::showSaveState(bool unsavedChanges, const QString& projectBaseName) {
    QAction* save = action(Command::SaveProject);
    QString text = textOf(893);
    if (!projectBaseName.isEmpty()) {
        QString name = projectBaseName;
        name.replace(QLatin1Char('&'), QStringLiteral("&&"));  // a plain '&', not a mnemonic
        name.replace(QLatin1Char('\t'), QLatin1Char(' '));     // a tab would split off the key part
        QString named = textOf(894);
        qsizetype at = named.indexOf(QStringLiteral("%s"));
        if (at >= 0) named.replace(at, 2, name);
        text = named + keyPart(text);
    }
    save->setText(text);
    save->setEnabled(unsavedChanges);
}

}  // namespace klemora::gui
