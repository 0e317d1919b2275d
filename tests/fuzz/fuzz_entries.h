#pragma once
// One entry per reader of outside data. The libFuzzer programs call them, and
// the normal suite replays the committed corpus and every input that ever
// found a fault through the same functions, so a regression shows without clang.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace klemora::fuzz {

using FuzzEntry = int (*)(const uint8_t* data, size_t size);

int fuzzAviReader(const uint8_t* data, size_t size);      // AVI reader, frame reads, DV packs
int fuzzProjectFile(const uint8_t* data, size_t size);    // .scn of every version, flat and grouped
int fuzzCsvImport(const uint8_t* data, size_t size);
int fuzzEdlImport(const uint8_t* data, size_t size);      // Vegas 4 and 5/6
int fuzzHtmlTemplate(const uint8_t* data, size_t size);
int fuzzIniText(const uint8_t* data, size_t size);        // settings text
int fuzzLanguageFile(const uint8_t* data, size_t size);
int fuzzBitmapPicture(const uint8_t* data, size_t size);  // bitmap header + pixel reads of the detector

struct NamedEntry {
    std::string_view name;  // also the corpus folder's name
    FuzzEntry entry;
};
inline constexpr NamedEntry kFuzzEntries[] = {
    {"avi_reader", fuzzAviReader},       {"project_file", fuzzProjectFile},
    {"csv_import", fuzzCsvImport},       {"edl_import", fuzzEdlImport},
    {"html_template", fuzzHtmlTemplate}, {"ini_text", fuzzIniText},
    {"language_file", fuzzLanguageFile}, {"bitmap_picture", fuzzBitmapPicture},
};

}  // namespace klemora::fuzz
