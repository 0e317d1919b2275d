#pragma once
// Result codes of the HTML scene index: 1 for success, small negative
// numbers naming the step that failed. Every failure has shown its message
// through the seam before the code comes back.
#include <string_view>

namespace klemora::output {

enum class HtmlIndexResult : int {
    Ok = 1,
    TooFewColumns = -2,        // 193
    NoTemplate = -3,           // 194
    TemplateUnreadable = -4,   // 107
    TemplateTooLarge = -5,     // more than 500 lines or a line over 2048 characters
    OutOfMemory = -6,          // 109
    PageNotWritable = -7,      // 107
    FolderNameTooLong = -8,    // 196
    FolderNotCreatable = -9,   // 197
    NoAviFiles = -10,          // 113 FindFirstFile() with 201
    SourceUnreadable = -11,    // 107 (directory mode)
    ExtraDataFailed = -12,     // 113 GetExtraData()
    AddSceneFailed = -13,      // 113 AddNewScene()
    Cancelled = -14,           // the user stopped the run; no message
};

// "TooFewColumns"; "Unknown" for a number not in the family.
std::string_view htmlIndexResultName(int code);

inline int code(HtmlIndexResult result) { return static_cast<int>(result); }

}  // namespace klemora::output
