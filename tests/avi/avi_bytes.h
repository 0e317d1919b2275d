#pragma once
// Hand-assembled AVI files for reader tests: every chunk is written here
// byte by byte, independent of the fixture generator.
#include <cstdint>
#include <string>
#include <vector>

namespace klemora::test {

class AviBytes {
public:
    std::vector<uint8_t> bytes;

    size_t list(const char* id, const char* type);  // returns a mark for end()
    size_t chunk(const char* id);
    void end(size_t mark);  // patches the size and pads to even
    void raw(const char* text);  // four characters
    void u16(uint16_t v);
    void u32(uint32_t v);
    void fill(size_t count, uint8_t value = 0);
    void data(const std::vector<uint8_t>& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }
    // A whole chunk with the given data (odd sizes get their pad byte).
    void chunkWith(const char* id, const std::vector<uint8_t>& content);
    // A chunk header with a size that need not match what follows.
    void header(const char* id, uint32_t size);
};

struct MainHeader {
    uint32_t totalFrames = 0;
    uint32_t flags = 0;
    uint32_t suggestedBufferSize = 0;
    uint32_t width = 720;
    uint32_t height = 576;
};
std::vector<uint8_t> mainHeaderData(const MainHeader& header);
std::vector<uint8_t> streamHeaderData(const char* type, const char* handler, uint32_t scale, uint32_t rate,
                                      uint32_t size = 56);

// A DV-like frame: DSF bit for PAL, every byte elsewhere `fill`; packs are
// placed with putPack.
std::vector<uint8_t> dvFrame(bool pal, uint8_t fill);
void putPack(std::vector<uint8_t>& frame, uint32_t offset, uint8_t id, uint8_t pc1, uint8_t pc2, uint8_t pc3,
             uint8_t pc4);
uint32_t subcodeOffset(int sequence, int block, int syncBlock);

// A complete file: 'hdrl' with avih and one video stream list ('iavs' when
// typeOne, else 'vids' plus an 'auds' list), optional 'dmlh', then 'movi' with
// the frames as chunks `frameId`, then optional 'idx1'.
struct SimpleAvi {
    bool typeOne = false;
    std::string handler = "dvsd";
    MainHeader main;
    uint32_t scale = 1;
    uint32_t rate = 25;
    int64_t openDmlFrames = -1;  // >= 0: a 'dmlh' with this count
    std::string frameId = "00dc";
    std::vector<std::vector<uint8_t>> frames;
    bool idx1AfterMovie = false;
    std::vector<bool> keyFrames;  // idx1 flags per frame; empty: all key frames
};
std::vector<uint8_t> buildAvi(const SimpleAvi& avi);

}  // namespace klemora::test
