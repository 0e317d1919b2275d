#include "output/write_messages.h"

#include "app/string_table.h"
#include "app/text_format.h"
#include "app/error_text.h"

namespace klemora::output {

void showStepFailure(app::UserInterface& ui, std::string_view operation, int code, int error) {
    std::string name(operation);
    std::string text;
    if (error != 0) {
        int32_t subCode = -error;  // errno values travel as negative status codes
        text = app::stringPrintf("%s %s()!\nCode: %d\nSubCode: 0x%x / %s", app::loadString(113).c_str(),
                                 name.c_str(), code, static_cast<unsigned>(subCode), app::DxErrorText(subCode));
    } else {
        text = app::stringPrintf("%s %s()!\nCode: %d", app::loadString(113).c_str(), name.c_str(), code);
    }
    ui.showMessage(text, app::Icon::Stop);
}

void showOpenFailure(app::UserInterface& ui, const std::string& path, int code) {
    ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(107).c_str(), path.c_str(), code),
                   app::Icon::Stop);
}

void showTooShort(app::UserInterface& ui, bool withSpeed, double seconds) {
    const char* form = withSpeed ? "%s WriteScene()!\nmediaDuration/speedFactor: %f" : "%s WriteScene()!\nmediaDuration: %f";
    ui.showMessage(app::stringPrintf(form, app::loadString(113).c_str(), seconds), app::Icon::Stop);
    showStepFailure(ui, "WriteScene", -1, 0);
}

void showRenameFailure(app::UserInterface& ui, const std::string& from, const std::string& to, int error) {
    ui.showMessage(app::stringPrintf("%s RenameFile()!\nFrom: %s\nTo: %s\nCode: %d\nErrno: %d",
                                     app::loadString(113).c_str(), from.c_str(), to.c_str(), -1, error),
                   app::Icon::Stop);
}

void showFileMessage(app::UserInterface& ui, const std::string& text, const std::string& path, app::Icon icon) {
    ui.showMessage(app::stringPrintf("%s\nFile: %s", text.c_str(), path.c_str()), icon);
}

void showClippedScene(app::UserInterface& ui, const std::string& path, int32_t startFrame, int32_t stopFrame,
                      int32_t frameCount, int32_t firstWritten, int32_t lastWritten) {
    ui.showMessage(app::stringPrintf("%s\nFile: %s\nScene: %d-%d\nFrames in the file: %d\nWritten: %d-%d",
                                     app::loadString(804).c_str(), path.c_str(), startFrame, stopFrame, frameCount,
                                     firstWritten, lastWritten),
                   app::Icon::Warning);
}

void showSceneBeyondEnd(app::UserInterface& ui, const std::string& path, int32_t startFrame, int32_t stopFrame,
                        int32_t frameCount) {
    ui.showMessage(app::stringPrintf("%s\nFile: %s\nScene: %d-%d\nFrames in the file: %d", app::loadString(803).c_str(),
                                     path.c_str(), startFrame, stopFrame, frameCount),
                   app::Icon::Stop);
}

void showShortSource(app::UserInterface& ui, const std::string& path, int64_t delivered, int64_t wanted) {
    ui.showMessage(app::stringPrintf("%s\nFile: %s\nFrames: %lld / %lld", app::loadString(802).c_str(), path.c_str(),
                                     static_cast<long long>(delivered), static_cast<long long>(wanted)),
                   app::Icon::Stop);
}

void showNotKeyFrame(app::UserInterface& ui, const std::string& path, int32_t frame) {
    ui.showMessage(app::stringPrintf("%s\nFile: %s\nFrame: %d", app::loadString(805).c_str(), path.c_str(), frame),
                   app::Icon::Stop);
}

}  // namespace klemora::output
