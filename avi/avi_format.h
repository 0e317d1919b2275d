#pragma once
// Facts of the AVI/RIFF format shared by the reader and the writer: FOURCCs,
// the DV handler list, the chunk identifiers that count as video frames, DV
// frame sizes and the type codes reported to callers.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace klemora::avi {

// Chunk identifiers compare as little-endian 32-bit values.
constexpr uint32_t makeFourcc(const char (&text)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}
std::string fourccText(uint32_t fourcc);  // four characters, unprintable ones as '?'

inline constexpr uint32_t kFccRiff = makeFourcc("RIFF");
inline constexpr uint32_t kFccList = makeFourcc("LIST");
inline constexpr uint32_t kFccAvi = makeFourcc("AVI ");
inline constexpr uint32_t kFccAvix = makeFourcc("AVIX");
inline constexpr uint32_t kFccHdrl = makeFourcc("hdrl");
inline constexpr uint32_t kFccAvih = makeFourcc("avih");
inline constexpr uint32_t kFccStrl = makeFourcc("strl");
inline constexpr uint32_t kFccStrh = makeFourcc("strh");
inline constexpr uint32_t kFccStrf = makeFourcc("strf");
inline constexpr uint32_t kFccStrd = makeFourcc("strd");
inline constexpr uint32_t kFccStrn = makeFourcc("strn");
inline constexpr uint32_t kFccIndx = makeFourcc("indx");
inline constexpr uint32_t kFccOdml = makeFourcc("odml");
inline constexpr uint32_t kFccDmlh = makeFourcc("dmlh");
inline constexpr uint32_t kFccMovi = makeFourcc("movi");
inline constexpr uint32_t kFccRec = makeFourcc("rec ");
inline constexpr uint32_t kFccIdx1 = makeFourcc("idx1");
inline constexpr uint32_t kFccJunk = makeFourcc("JUNK");
inline constexpr uint32_t kFccInfo = makeFourcc("INFO");
inline constexpr uint32_t kFccVids = makeFourcc("vids");
inline constexpr uint32_t kFccIavs = makeFourcc("iavs");
inline constexpr uint32_t kFccAuds = makeFourcc("auds");
inline constexpr uint32_t kFccDvsd = makeFourcc("dvsd");

inline constexpr uint32_t kMainHeaderSize = 56;     // 'avih' data
inline constexpr uint32_t kStreamHeaderSize = 56;   // 'strh' data, short form
inline constexpr uint32_t kStreamHeaderSizeLong = 64;
inline constexpr uint32_t kBitmapInfoSize = 40;
inline constexpr uint32_t kDvInfoSize = 32;
inline constexpr uint32_t kWaveFormatSize = 18;
inline constexpr uint32_t kPcmWaveFormatSize = 16;
inline constexpr uint32_t kMainHeaderHasIndex = 0x10;  // avih dwFlags

inline constexpr uint32_t kDvFrameSizePal = 144000;   // 12 DIF sequences (625/50)
inline constexpr uint32_t kDvFrameSizeNtsc = 120000;  // 10 DIF sequences (525/60)
inline constexpr uint32_t kDifSequenceSize = 12000;
inline constexpr uint32_t kDifBlockSize = 80;

// Any of these as the video handler makes a file DV.
std::span<const uint32_t> dvHandlers();
bool isDvHandler(uint32_t handler);
// "00db", "00dc", "01db", "01dc", "00__": one video frame each.
bool isFrameChunkId(uint32_t fourcc);
// The stream number of a movie chunk ("01wb" -> 1); -1 when the first two
// characters are not decimal digits ('ix00', 'JUNK').
int chunkStreamNumber(uint32_t fourcc);

enum class DvType : int { None = 0, Type1 = 1, Type2 = 2 };
enum class OpenDmlType : int { None = 0, OpenDml = 1, Extended = 2 };

// Texts the lists show: "No DV, ", "DV-Type1, ", "DV-Type2, ", else "Unknown Type, ";
// "No OpenDML", "OpenDML", "Strict OpenDML", else "Unknown Type".
std::string_view dvTypeName(int dvType);
std::string_view openDmlTypeName(int openDmlType);

// Little-endian readers and writers over byte spans.
inline uint16_t readLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t readLe64(const uint8_t* p) {
    return static_cast<uint64_t>(readLe32(p)) | static_cast<uint64_t>(readLe32(p + 4)) << 32;
}
inline void writeLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void writeLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void writeLe64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace klemora::avi
