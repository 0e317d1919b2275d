#pragma once
// The exchange text files (CSV scene lists, Vegas EDL) line by line, from a
// file or from memory. A line ends at LF; a CR before it goes too, as a file
// written in text mode on Windows has CR LF. Lines are counted from 1, empty
// ones included, because the import messages name rows that way.
#include <cstddef>
#include <string>
#include <string_view>

#include "app/unique_fd.h"

namespace klemora::scene {

// The old readers took lines in pieces of this many characters and treated
// the rest of a longer line as a line of its own. Here such a line is kept
// whole, so an overlong row cannot turn into a second, bogus row.
inline constexpr size_t kLinePieceLength = 2048;
// A line is held up to this length; the rest of it is read and dropped, so a
// binary file without line ends cannot fill the memory. The columns the
// importers use lie far inside it.
inline constexpr size_t kMaxLineLength = 65536;

class TextLineReader {
public:
    explicit TextLineReader(std::string_view text);
    explicit TextLineReader(app::UniqueFd fd);
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // The next line without its line end; false at the end of the data or on
    // a read error (failed() tells which).
    bool next(std::string& line);
    int row() const { return m_row; }
    bool failed() const { return m_failed; }
    // True when the line last returned was longer than kMaxLineLength.
    bool lastLineCut() const { return m_cut; }

private:
    bool refill();

    app::UniqueFd m_fd;
    std::string_view m_memory;
    bool m_fromMemory;
    std::string m_buffer;
    size_t m_pos = 0;
    bool m_eof = false;
    bool m_failed = false;
    bool m_cut = false;
    int m_row = 0;
};

}  // namespace klemora::scene
