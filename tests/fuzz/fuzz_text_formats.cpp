// The text formats read at start-up or for the HTML index.
#include <string>
#include <string_view>

#include "app/ini_text.h"
#include "app/string_table.h"
#include "output/html_template.h"
#include "tests/fuzz/fuzz_entries.h"

namespace klemora::fuzz {
namespace {

std::string_view text(const uint8_t* data, size_t size) { return {reinterpret_cast<const char*>(data), size}; }

}  // namespace

int fuzzHtmlTemplate(const uint8_t* data, size_t size) {
    output::HtmlTemplate parsed;
    output::parseTemplate(text(data, size), parsed);
    return 0;
}

int fuzzIniText(const uint8_t* data, size_t size) {
    const std::string_view ini = text(data, size);
    app::isIniText(ini);
    for (std::string_view key : {"Lang", "WriteLogfile", "x"}) {
        app::findIniValue(ini, "Data", key);
        const std::string changed = app::setIniValue(ini, "Data", key, "1");
        // A value just set must read back, whatever the text around it.
        if (app::findIniValue(changed, "Data", key).value_or("") != "1") __builtin_trap();
    }
    return 0;
}

int fuzzLanguageFile(const uint8_t* data, size_t size) {
    app::StringMap table;
    std::string version;
    app::parseStringTable(text(data, size), table, &version);
    return 0;
}

}  // namespace klemora::fuzz
