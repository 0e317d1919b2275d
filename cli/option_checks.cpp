#include "cli/option_checks.h"

#include <string>

#include "app/text_format.h"

namespace klemora::cli {
namespace {

bool parseWholeNumber(const std::string& text, long long& value) {
    try {
        size_t used = 0;
        value = std::stoll(text, &used);
        return used == text.size();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

CLI::Validator atLeast(long long least) {
    std::string wanted = "a whole number of at least " + std::to_string(least);
    return CLI::Validator(
        [least, wanted](std::string& text) -> std::string {
            long long value = 0;
            if (!parseWholeNumber(text, value)) return "\"" + text + "\" is not " + wanted;
            if (value < least) return text + " is too small: give " + wanted;
            return {};
        },
        "INT>=" + std::to_string(least), "AtLeast");
}

CLI::Validator languageCode() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::string upper = app::asciiUpper(text);
            if (upper == "DE" || upper == "US") return {};
            return "unknown language \"" + text + "\": give DE (German) or US (English)";
        },
        "DE|US", "Language");
}

}  // namespace klemora::cli
