#pragma once
// Checks every command makes before it works: the files it was given exist,
// and the folder it writes into is there. A failure has shown its message.
#include <string>
#include <vector>

#include "app/ui.h"

namespace klemora::cli {

// False, after "The file does not exist!" with the path, when nothing is at `path`.
bool inputFileExists(const std::string& path, app::UserInterface& ui);
// Every file checked, one message per missing one.
bool inputFilesExist(const std::vector<std::string>& files, app::UserInterface& ui);

// Creates `folder` and its parents when missing; false after message 197.
bool makeDestinationFolder(const std::string& folder, app::UserInterface& ui);

}  // namespace klemora::cli
