#pragma once
// The fixed parts of the index pages: the head every page starts with, the
// group index's rows and end, a group page's head, cells and tail. Texts
// inserted here are HTML already (escaped names, encoded links).
#include <cstdint>
#include <string>
#include <string_view>

namespace klemora::output {

inline constexpr std::string_view kHomePage = "https://klemora.org";

// Written before the head of every page. The head names no character set,
// and the names, labels and comments are UTF-8; the byte-order mark is what
// makes every browser read them as such.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string pageHead();

// The group index after the page head: its frame, the comment line ("--"
// when empty; the comment may hold HTML and goes in as it is) and the
// opening of the group table.
std::string indexHead(std::string_view comment);
// `depth` 1 for a top-level group. `pageLink` is the encoded relative link
// of the group page; `name` the escaped group name.
std::string indexGroupRow(int depth, std::string_view pageLink, std::string_view name, int scenes,
                          std::string_view duration);
std::string indexEmptyGroupRow(int depth, std::string_view name);
std::string indexEnd(int64_t totalScenes, std::string_view totalDuration);

// A group page up to its first cell. `indexLink` is the encoded link back to
// the group index; empty in directory mode, which has no index.
std::string groupPageHead(std::string_view name, int scenes, std::string_view duration, std::string_view indexLink);
std::string_view cellStart();
std::string_view cellEnd();
std::string_view emptyCell();
std::string_view rowBreak();
// After the last cell: the row's and the tables' ends and the page tail.
std::string_view groupPageEnd();

// A length in frames as "%02d:%02d:%02d:%02d" at `rate` frames/s (25 when
// the rate is 0 or below): whole seconds and hours from frames / rate, the
// frame part frames mod trunc(rate + 0.9).
std::string durationText(int64_t frames, float rate);

}  // namespace klemora::output
