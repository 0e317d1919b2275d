#pragma once
// Cutting and writing the lines of the semicolon-separated exchange formats
// (the CSV scene list and the Vegas EDL share these rules).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace klemora::scene {

// Cuts a line at each separator; a run of separators counts as one, so an
// empty field between two separators does not exist. Each piece loses its
// surrounding blanks (space, tab, CR), then one leading and one trailing
// double quote. At most maxPieces pieces; the rest of the line is ignored.
std::vector<std::string_view> cutFields(std::string_view line, char separator, size_t maxPieces);
std::string_view trimField(std::string_view piece);

// Reading numbers the way the old readers did (leading blanks and a sign
// allowed, trailing garbage ignored, no number at all reads as 0), but
// without their undefined overflow: an integer beyond the int64 range comes
// back clamped to it; "." is the decimal separator whatever the locale.
int64_t leadingInteger(std::string_view piece);
double leadingNumber(std::string_view piece);

// Writing: text values go between double quotes without any escaping, as the
// readers above expect; numbers as "%d" and "%f" (six decimals, "." as the
// separator whatever the locale).
void appendQuoted(std::string& line, std::string_view text);
void appendInt(std::string& line, int64_t value);
void appendFixed6(std::string& line, double value);

// Text-mode line ends for the files these formats are exchanged in: every
// "\n" becomes "\r\n".
std::string toCrLf(std::string_view text);

}  // namespace klemora::scene
