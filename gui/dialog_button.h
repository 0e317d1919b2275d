#pragma once
// A dialog button with its caption and tooltip from the string table. It is
// never the Enter default: these dialogs close on purpose only.
#include <QPushButton>

#include "gui/text_of.h"

namespace klemora::gui {

inline QPushButton* dialogButton(int caption, int tooltip) {
    auto* button = new QPushButton(textOf(caption));
    button->setToolTip(textOf(tooltip));
    button->setAutoDefault(false);
    return button;
}

}  // namespace klemora::gui
