#include "tests/avi/avi_bytes.h"

#include <cstring>

namespace klemora::test {

void AviBytes::raw(const char* text) { bytes.insert(bytes.end(), text, text + 4); }

void AviBytes::u16(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
}

void AviBytes::u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void AviBytes::fill(size_t count, uint8_t value) { bytes.insert(bytes.end(), count, value); }

size_t AviBytes::chunk(const char* id) {
    size_t mark = bytes.size();
    raw(id);
    u32(0);
    return mark;
}

size_t AviBytes::list(const char* id, const char* type) {
    size_t mark = chunk(id);
    raw(type);
    return mark;
}

void AviBytes::end(size_t mark) {
    uint32_t size = static_cast<uint32_t>(bytes.size() - mark - 8);
    for (int i = 0; i < 4; ++i) bytes[mark + 4 + i] = static_cast<uint8_t>(size >> (8 * i));
    if (size & 1) bytes.push_back(0);
}

void AviBytes::chunkWith(const char* id, const std::vector<uint8_t>& content) {
    size_t mark = chunk(id);
    data(content);
    end(mark);
}

void AviBytes::header(const char* id, uint32_t size) {
    raw(id);
    u32(size);
}

std::vector<uint8_t> mainHeaderData(const MainHeader& h) {
    AviBytes b;
    b.u32(40000);
    b.u32(0);
    b.u32(0);
    b.u32(h.flags);
    b.u32(h.totalFrames);
    b.u32(0);
    b.u32(1);
    b.u32(h.suggestedBufferSize);
    b.u32(h.width);
    b.u32(h.height);
    b.fill(16);
    return b.bytes;
}

std::vector<uint8_t> streamHeaderData(const char* type, const char* handler, uint32_t scale, uint32_t rate,
                                      uint32_t size) {
    AviBytes b;
    b.raw(type);
    b.raw(handler);
    b.u32(0);
    b.u32(0);
    b.u32(0);
    b.u32(scale);
    b.u32(rate);
    b.fill(size - 28);
    return b.bytes;
}

std::vector<uint8_t> dvFrame(bool pal, uint8_t fill) {
    std::vector<uint8_t> frame(pal ? 144000 : 120000, fill);
    frame[3] = pal ? 0xBF : 0x3F;
    return frame;
}

uint32_t subcodeOffset(int sequence, int block, int syncBlock) {
    return static_cast<uint32_t>(sequence * 12000 + 86 + 80 * block + 8 * syncBlock);
}

void putPack(std::vector<uint8_t>& frame, uint32_t offset, uint8_t id, uint8_t pc1, uint8_t pc2, uint8_t pc3,
             uint8_t pc4) {
    frame[offset] = id;
    frame[offset + 1] = pc1;
    frame[offset + 2] = pc2;
    frame[offset + 3] = pc3;
    frame[offset + 4] = pc4;
}

std::vector<uint8_t> buildAvi(const SimpleAvi& avi) {
    AviBytes b;
    size_t riff = b.list("RIFF", "AVI ");
    size_t hdrl = b.list("LIST", "hdrl");
    b.chunkWith("avih", mainHeaderData(avi.main));
    size_t strl = b.list("LIST", "strl");
    b.chunkWith("strh", streamHeaderData(avi.typeOne ? "iavs" : "vids", avi.handler.c_str(), avi.scale, avi.rate));
    b.chunkWith("strf", std::vector<uint8_t>(avi.typeOne ? 32 : 40, 0x11));
    b.end(strl);
    if (!avi.typeOne) {
        size_t audio = b.list("LIST", "strl");
        b.chunkWith("strh", streamHeaderData("auds", "\0\0\0\0", 1, 48000));
        b.chunkWith("strf", std::vector<uint8_t>(18, 0x22));
        b.end(audio);
    }
    if (avi.openDmlFrames >= 0) {
        size_t odml = b.list("LIST", "odml");
        AviBytes count;
        count.u32(static_cast<uint32_t>(avi.openDmlFrames));
        count.fill(244);
        b.chunkWith("dmlh", count.bytes);
        b.end(odml);
    }
    b.end(hdrl);
    size_t movi = b.list("LIST", "movi");
    std::vector<uint32_t> offsets;
    for (const auto& frame : avi.frames) {
        offsets.push_back(static_cast<uint32_t>(b.bytes.size() - (movi + 8)));
        b.chunkWith(avi.frameId.c_str(), frame);
    }
    b.end(movi);
    if (avi.idx1AfterMovie) {
        size_t idx1 = b.chunk("idx1");
        for (size_t i = 0; i < avi.frames.size(); ++i) {
            b.raw(avi.frameId.c_str());
            b.u32(avi.keyFrames.empty() || avi.keyFrames[i] ? 0x10 : 0);
            b.u32(offsets[i]);
            b.u32(static_cast<uint32_t>(avi.frames[i].size()));
        }
        b.end(idx1);
    }
    b.end(riff);
    return b.bytes;
}

}  // namespace klemora::test
