#include "scene/group_commands.h"

#include <vector>

#include "app/string_table.h"

namespace klemora::scene {
namespace {

EditResult refuseRoot(app::UserInterface& ui) {
    ui.showMessage(app::loadString(426), app::Icon::Stop);
    return EditResult::RootGroup;
}

bool roomFor(const SceneList& list, size_t scenes) {
    return static_cast<size_t>(list.count()) + scenes <= static_cast<size_t>(kMaxScenes);
}

}  // namespace

EditResult newGroup(GroupTree& tree, Group* selected, app::UserInterface& ui, Group** created) {
    return guardMemory(ui, [&] {
        Group& group = tree.addGroup(selected, app::loadString(412));
        if (created) *created = &group;
        return EditResult::Ok;
    });
}

EditResult newGroupWithScenes(GroupTree& tree, Group* selected, SceneList& shown, Selection selection,
                              app::UserInterface& ui, Group** created) {
    return guardMemory(ui, [&] {
        std::vector<int> rows;
        if (EditResult rc = readSelection(shown, selection, "KLM-NG-1020", ui, rows); rc != EditResult::Ok) return rc;
        Group& group = tree.addGroup(selected, app::loadString(412));
        if (created) *created = &group;
        int copied = appendCopies(group.list(), shown, rows);
        if (copied < static_cast<int>(rows.size())) ui.showMessage(app::loadString(171), app::Icon::Information);
        removeRows(shown, std::span<const int>(rows).first(static_cast<size_t>(copied)));
        return EditResult::Ok;
    });
}

EditResult renameGroup(GroupTree& tree, Group* group, std::string_view newName, app::UserInterface& ui) {
    if (!group) {
        ui.showMessage(app::loadString(116), app::Icon::Stop);
        return EditResult::NothingSelected;
    }
    if (newName == group->name()) return EditResult::Ok;
    if (group->isRoot()) return refuseRoot(ui);
    // Counted in bytes, as the name is stored in a fixed-width field.
    if (newName.size() > static_cast<size_t>(kMaxGroupNameLength)) {
        ui.showMessage("Goupname must not exceed 250 chars!", app::Icon::Stop);
        return EditResult::NameTooLong;
    }
    if (newName.empty()) {
        ui.showMessage("Goupname must have at least 1 char!", app::Icon::Stop);
        return EditResult::NameEmpty;
    }
    return guardMemory(ui, [&] {
        tree.setGroupName(*group, newName);
        return EditResult::Ok;
    });
}

EditResult deleteGroup(GroupTree& tree, Group* group, app::UserInterface& ui) {
    if (!group) {
        ui.showMessage(app::loadString(116), app::Icon::Stop);
        return EditResult::NothingSelected;
    }
    if (group->isRoot()) return refuseRoot(ui);
    if (ui.ask(app::loadString(191), app::Buttons::OkCancel, app::Icon::Question) != app::Answer::Ok)
        return EditResult::Declined;
    tree.removeGroup(*group);
    return EditResult::Ok;
}

EditResult moveGroupBelow(GroupTree& tree, Group* group, Group* target, app::UserInterface& ui) {
    if (!group || !target) return EditResult::InvalidTarget;
    if (group->isRoot()) return refuseRoot(ui);
    return guardMemory(ui, [&] { return tree.moveGroup(*group, *target) ? EditResult::Ok : EditResult::InvalidTarget; });
}

EditResult moveScenesToGroup(SceneList& shown, Selection selection, const Group* shownGroup, Group& target,
                             app::UserInterface& ui) {
    return guardMemory(ui, [&] {
        std::vector<int> rows;
        if (EditResult rc = readSelection(shown, selection, "KLM-SL-1036", ui, rows); rc != EditResult::Ok) return rc;
        if (&target == shownGroup || &target.list() == &shown) return EditResult::Ok;
        if (!roomFor(target.list(), rows.size())) {
            ui.showMessage(app::loadString(140), app::Icon::Stop);
            return EditResult::TooManyScenes;
        }
        int copied = appendCopies(target.list(), shown, rows);
        removeRows(shown, std::span<const int>(rows).first(static_cast<size_t>(copied)));
        return copied == static_cast<int>(rows.size()) ? EditResult::Ok : EditResult::InsertFailed;
    });
}

}  // namespace klemora::scene
