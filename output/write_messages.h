#pragma once
// The message boxes of the scene writers, in the forms the rest of the
// program shows ("Fehler in" and the operation, the step code, and for
// failures of the file system the errno value and its name).
#include <cstdint>
#include <string>
#include <string_view>

#include "app/ui.h"

namespace klemora::output {

// "%s <operation>()!\nCode: %d", or with a known cause
// "%s <operation>()!\nCode: %d\nSubCode: 0x%x / %s" (the cause as
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

// A scene that asks for frames past the end of its file: 804 (a warning,
// the frames that exist are written) or, when none is left, 803. Frames as
// the scene list numbers them.
void showClippedScene(app::UserInterface& ui, const std::string& path, int32_t startFrame, int32_t stopFrame,
                      int32_t frameCount, int32_t firstWritten, int32_t lastWritten);
void showSceneBeyondEnd(app::UserInterface& ui, const std::string& path, int32_t startFrame, int32_t stopFrame,
                        int32_t frameCount);
// 802 with the frames delivered and the frames the scene holds.
void showShortSource(app::UserInterface& ui, const std::string& path, int64_t delivered, int64_t wanted);
// 805 with the scene's first frame.
void showNotKeyFrame(app::UserInterface& ui, const std::string& path, int32_t frame);

}  // namespace klemora::output
