#pragma once
// Text fields are UTF-8 in memory; files written on Windows hold
// Windows-1252, which is recognised by not being valid UTF-8.
#include <string>
#include <string_view>

namespace klemora::scene {

bool isValidUtf8(std::string_view text);
std::string windows1252ToUtf8(std::string_view text);
// UTF-8 as it is, anything else taken as Windows-1252.
std::string textFromFile(std::string_view bytes);
// A stored path: like textFromFile, except that bytes which are not UTF-8
// but name an existing file are kept as they are (a Linux file name in
// another encoding; converting it would lose the file).
std::string pathFromFile(std::string_view bytes);

}  // namespace klemora::scene
