#include "cli/input_checks.h"

#include <filesystem>

#include "app/string_table.h"
#include "app/text_format.h"
#include "output/write_messages.h"

namespace klemora::cli {

bool inputFileExists(const std::string& path, app::UserInterface& ui) {
    std::error_code error;
    if (std::filesystem::exists(path, error)) return true;
    output::showFileMessage(ui, app::loadString(880), path, app::Icon::Stop);
    return false;
}

bool inputFilesExist(const std::vector<std::string>& files, app::UserInterface& ui) {
    bool all = true;
    for (const std::string& file : files) all = inputFileExists(file, ui) && all;
    return all;
}

bool makeDestinationFolder(const std::string& folder, app::UserInterface& ui) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error && std::filesystem::is_directory(folder, error)) return true;
    ui.showMessage(app::stringPrintf("%s\nPath: %s", app::loadString(197).c_str(), folder.c_str()), app::Icon::Stop);
    return false;
}

}  // namespace klemora::cli
