#include "output/html_page_file.h"

#include "app/string_table.h"
#include "app/text_format.h"
#include "output/html_page.h"
#include "output/html_result.h"

namespace klemora::output {

int PageFile::open(app::UserInterface& ui) {
    if (m_writer.open() && m_writer.write(kUtf8ByteOrderMark)) return code(HtmlIndexResult::Ok);
    showFileMessage(ui, app::loadString(107), m_path);
    return code(HtmlIndexResult::PageNotWritable);
}

int PageFile::commit(app::UserInterface& ui) {
    if (m_writer.commit()) return code(HtmlIndexResult::Ok);
    showFileMessage(ui, app::loadString(176), m_path);
    return code(HtmlIndexResult::PageNotWritable);
}

void showFileMessage(app::UserInterface& ui, const std::string& text, const std::string& path) {
    ui.showMessage(app::stringPrintf("%s\nFile: %s", text.c_str(), path.c_str()), app::Icon::Stop);
}

}  // namespace klemora::output
