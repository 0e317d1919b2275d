#pragma once
// The event table of the Sony Vegas EDL text: one column table for the
// Vegas 4 layout (26 columns) and the Vegas 5/6 layout (the same plus two).
#include <cstddef>
#include <string>
#include <string_view>

namespace klemora::scene {

enum class EdlVariant : int { Vegas4 = 1, Vegas56 = 2 };

// What changes from one event row to the next; times in milliseconds.
struct EdlEvent {
    int id = 1;
    bool audio = false;
    double startTimeMs = 0;
    double lengthMs = 0;
    float playRate = 1;
    std::string_view fileName;
    double streamStartMs = 0;
    double streamLengthMs = 0;
};

size_t edlColumnCount(EdlVariant variant);
// The quoted column names with their line end.
std::string edlHeader(EdlVariant variant);
// One event row with its line end.
std::string edlRow(EdlVariant variant, const EdlEvent& event);

// The importer checks the header over the quoted names "ID" to "Locked" with
// their separators, which both layouts share.
inline constexpr size_t kEdlHeaderCheckLength = 54;
// 1-based columns the importer reads.
inline constexpr int kEdlPlayRateColumn = 5;
inline constexpr int kEdlFileNameColumn = 12;
inline constexpr int kEdlStreamStartColumn = 14;
inline constexpr int kEdlStreamLengthColumn = 15;

}  // namespace klemora::scene
