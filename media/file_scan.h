#pragma once
// The header scans of probing read a file in blocks of 100,000 bytes and look
// for a chunk name as text; zero bytes are turned into 255 first so that the
// binary data around the name does not end the text.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace klemora::media {

inline constexpr size_t kScanBlockSize = 100000;

// Calls `visit` for block 0, 1, ... (`raw` as read, `text` with zeros as 255)
// until it returns true, a block comes back short (after visiting it) or
// `maxBlocks` were read. False when the file cannot be opened.
using BlockVisitor = std::function<bool(std::span<const uint8_t> raw, std::string_view text)>;
bool scanFileBlocks(const std::string& path, int maxBlocks, const BlockVisitor& visit);

// True when "iavs" occurs in the first 10 blocks.
bool fileMentionsIavs(const std::string& path);

}  // namespace klemora::media
