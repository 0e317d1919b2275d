#pragma once
// The message boxes of the scene writers, in the forms the rest of the
// program shows ("Fehler in" and the operation, the step code, and for
// failures of the file system the errno value and its name).
#include <string>
#include <string_view>

#include "app/ui.h"

namespace klemora::output {

// "%s <operation>()!\nCode: %d", or with a known cause
// "DirectX %s <operation>()!\nCode: %d\nSubCode: 0x%x / %s" (the cause as
// its negative errno value and name, e.g. 0xffffffe4 / ENOSPC).
void showStepFailure(app::UserInterface& ui, std::string_view operation, int code, int error);
// 107 "%s\nFile: %s\nCode: %d".
void showOpenFailure(app::UserInterface& ui, const std::string& path, int code);
// "%s WriteScene()!\nmediaDuration: %f" (or "mediaDuration/speedFactor")
// and then the -1 step message.
void showTooShort(app::UserInterface& ui, bool withSpeed, double seconds);
// "%s RenameFile()!\nFrom: %s\nTo: %s\nCode: %d\nErrno: %d".
void showRenameFailure(app::UserInterface& ui, const std::string& from, const std::string& to, int error);
// "%s\nFile: %s": a text of the table (308, 309, 310, 138, ...) and a path.
void showFileMessage(app::UserInterface& ui, const std::string& text, const std::string& path, app::Icon icon);

}  // namespace klemora::output
