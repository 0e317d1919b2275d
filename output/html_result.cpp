#include "output/html_result.h"

namespace klemora::output {

std::string_view htmlIndexResultName(int value) {
    switch (static_cast<HtmlIndexResult>(value)) {
    case HtmlIndexResult::Ok: return "Ok";
    case HtmlIndexResult::TooFewColumns: return "TooFewColumns";
    case HtmlIndexResult::NoTemplate: return "NoTemplate";
    case HtmlIndexResult::TemplateUnreadable: return "TemplateUnreadable";
    case HtmlIndexResult::TemplateTooLarge: return "TemplateTooLarge";
    case HtmlIndexResult::OutOfMemory: return "OutOfMemory";
    case HtmlIndexResult::PageNotWritable: return "PageNotWritable";
    case HtmlIndexResult::FolderNameTooLong: return "FolderNameTooLong";
    case HtmlIndexResult::FolderNotCreatable: return "FolderNotCreatable";
    case HtmlIndexResult::NoAviFiles: return "NoAviFiles";
    case HtmlIndexResult::SourceUnreadable: return "SourceUnreadable";
    case HtmlIndexResult::ExtraDataFailed: return "ExtraDataFailed";
    case HtmlIndexResult::AddSceneFailed: return "AddSceneFailed";
    case HtmlIndexResult::Cancelled: return "Cancelled";
    }
    return "Unknown";
}

}  // namespace klemora::output
