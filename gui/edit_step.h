#pragma once
// One undoable command of the main window on QUndoStack. The scene model
// keeps the snapshots (scene::EditHistory); a step remembers which group was
// shown before and after the command, so that undo and redo work on that
// group's list even when another group is shown by then.
#include <QUndoCommand>
#include <functional>

#include "scene/edit_change.h"

namespace klemora::gui {

struct EditStepPlaces {
    unsigned scope = 0;
    scene::GroupPath shownBefore;
    scene::GroupPath shownAfter;
};

class EditStep : public QUndoCommand {
public:
    using Apply = std::function<void(const EditStepPlaces&, bool undo)>;

    // `apply` undoes or redoes the step in the window. The command has run
    // already: the push's own redo does nothing.
    EditStep(const QString& text, EditStepPlaces places, Apply apply);

    void undo() override { m_apply(m_places, true); }
    void redo() override;

private:
    EditStepPlaces m_places;
    Apply m_apply;
    bool m_pushed = false;
};

}  // namespace klemora::gui
