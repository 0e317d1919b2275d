#pragma once
// A page of the scene index as a file: it appears whole or not at all
// (written beside its name and renamed over it at the end), starting with
// the UTF-8 byte-order mark.
#include <string>
#include <string_view>

#include "app/file_io.h"
#include "app/ui.h"

namespace klemora::output {

class PageFile {
public:
    explicit PageFile(std::string path) : m_path(path), m_writer(std::move(path)) {}

    // HtmlIndexResult codes; 107 when the file cannot be made.
    int open(app::UserInterface& ui);
    // False once a write has failed; commit() then reports it.
    bool write(std::string_view text) { return m_writer.write(text); }
    // Ok, or PageNotWritable after 176; the older file is then kept.
    int commit(app::UserInterface& ui);

private:
    std::string m_path;
    app::AtomicFileWriter m_writer;
};

// "%s\nFile: %s" with the stop icon.
void showFileMessage(app::UserInterface& ui, const std::string& text, const std::string& path);

}  // namespace klemora::output
