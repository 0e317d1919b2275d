#include "gui/edit_step.h"

namespace klemora::gui {

EditStep::EditStep(const QString& text, EditStepPlaces places, Apply apply)
    : QUndoCommand(text), m_places(std::move(places)), m_apply(std::move(apply)) {}

void EditStep::redo() {
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    m_apply(m_places, false);
}

}  // namespace klemora::gui
