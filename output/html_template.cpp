#include "output/html_template.h"

#include <sys/stat.h>

#include <climits>
#include <new>

#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "output/html_page_file.h"
#include "output/html_result.h"
#include "scene/text_encoding.h"

namespace klemora::output {
namespace {

// Far above any template of 500 lines of 2048 characters with comments; a
// video file chosen by mistake is refused before it is read.
constexpr int64_t kMaxTemplateFileBytes = 16 << 20;

bool endsToken(char c) { return c == ' ' || c == '&' || c == '_' || c == '.' || c == '<'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int leadingNumber(std::string_view token) {
    size_t pos = 0;
    bool negative = false;
    if (pos < token.size() && (token[pos] == '+' || token[pos] == '-')) negative = token[pos++] == '-';
    long long value = 0;
    for (; pos < token.size() && isDigit(token[pos]); ++pos) {
        value = value * 10 + (token[pos] - '0');
        if (value > INT_MAX) value = INT_MAX;  // a runaway number is as good as the largest
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

PlaceholderNumber readPlaceholderNumber(std::string_view afterKeyword) {
    size_t length = 0;
    while (length < afterKeyword.size() && !endsToken(afterKeyword[length])) ++length;
    return {leadingNumber(afterKeyword.substr(0, length)), length};
}

int parseTemplate(std::string_view bytes, HtmlTemplate& out) {
    out = {};
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    bool utf8 = scene::isValidUtf8(bytes);
    while (!bytes.empty()) {
        size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > kMaxTemplateLineLength) return code(HtmlIndexResult::TemplateTooLarge);
        if (line.empty() || line.find(kRemKeyword) != std::string_view::npos) continue;
        size_t keyword = line.find(kDefaultColumnsKeyword);
        if (keyword != std::string_view::npos) {
            if (!out.defaultColumns)
                out.defaultColumns =
                    readPlaceholderNumber(line.substr(keyword + kDefaultColumnsKeyword.size())).value;
            continue;
        }
        if (static_cast<int>(out.lines.size()) == kMaxTemplateLines) return code(HtmlIndexResult::TemplateTooLarge);
        out.lines.push_back(utf8 ? std::string(line) : scene::windows1252ToUtf8(line));
    }
    return code(HtmlIndexResult::Ok);
}

int readTemplateFile(const std::string& path, HtmlTemplate& out, app::UserInterface& ui) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        showFileMessage(ui, app::loadString(107), path);
        return code(HtmlIndexResult::TemplateUnreadable);
    }
    if (st.st_size > kMaxTemplateFileBytes) {
        showFileMessage(ui, app::loadString(480), path);
        return code(HtmlIndexResult::TemplateTooLarge);
    }
    try {
        std::optional<std::string> bytes = app::readWholeFile(path);
        if (!bytes) {
            showFileMessage(ui, app::loadString(107), path);
            return code(HtmlIndexResult::TemplateUnreadable);
        }
        int rc = parseTemplate(*bytes, out);
        if (rc != 1) showFileMessage(ui, app::loadString(480), path);
        return rc;
    } catch (const std::bad_alloc&) {
        out = {};
        showFileMessage(ui, app::loadString(109), path);
        return code(HtmlIndexResult::OutOfMemory);
    }
}

}  // namespace klemora::output
