#pragma once
// Text and link pieces of the generated pages. Names, paths and comments of
// scenes are data, not markup: a group called "Tom & Jerry" or a file
// "a<b>.avi" must neither break the page nor its links.
#include <string>
#include <string_view>

namespace klemora::output {

// "&", "<", ">" and the double quote as character references; everything
// else, UTF-8 included, as it is.
std::string htmlEscape(std::string_view text);

// One path segment of a relative link: letters, digits and "-._~" stay,
// every other byte becomes %XX, so that a blank, "#", "%" or "?" in a file
// name cannot end the path early and UTF-8 names reach the file on disk.
std::string urlSegment(std::string_view name);

// The file name part of `path` without its extension (from its last ".").
std::string nameWithoutExtension(std::string_view path);

}  // namespace klemora::output
