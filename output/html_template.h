#pragma once
// Template files (*.tpl) of the HTML scene index: the text of one scene's
// cell with placeholders. Empty lines, comment lines (with "#REM" anywhere)
// and the "#DEFAULTCOLUMNS" line are not part of the cell.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui.h"

namespace klemora::output {

inline constexpr int kMaxTemplateLines = 500;
inline constexpr size_t kMaxTemplateLineLength = 2048;
inline constexpr std::string_view kRemKeyword = "#REM";
inline constexpr std::string_view kDefaultColumnsKeyword = "#DEFAULTCOLUMNS";

struct HtmlTemplate {
    std::vector<std::string> lines;     // the cell's lines, UTF-8, without line ends
    std::optional<int> defaultColumns;  // from the first "#DEFAULTCOLUMNS" line
};

// The number written directly after a placeholder keyword: the characters up
// to the first blank, "&", "_", ".", "<" or the end are the token; its
// leading digits (with an optional sign) are the value, 0 when there are
// none. `tokenLength` counts the token's characters after the keyword.
struct PlaceholderNumber {
    int value = 0;
    size_t tokenLength = 0;
};
PlaceholderNumber readPlaceholderNumber(std::string_view afterKeyword);

// Splits and filters template text. Windows-1252 files (not valid UTF-8)
// are converted, a leading UTF-8 byte-order mark and a CR before each line
// feed are dropped. HtmlIndexResult codes: 1, or TemplateTooLarge for more
// than 500 cell lines or a line over 2048 characters.
int parseTemplate(std::string_view bytes, HtmlTemplate& out);

// Reads a template file; failures show their message (107 / 109 / 480 in
// "%s\nFile: %s") and return TemplateUnreadable, OutOfMemory or
// TemplateTooLarge.
int readTemplateFile(const std::string& path, HtmlTemplate& out, app::UserInterface& ui);

}  // namespace klemora::output
