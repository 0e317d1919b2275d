#include "avi/avi_stream_layout.h"

#include <gtest/gtest.h>

#include "avi/avi_reader.h"
#include "tests/support/temp_dir.h"
#include "writer_test_support.h"

namespace klemora::avi {
namespace {

using test::fourcc;
using test::le32;
using test::RiffNode;

// The 50/60 bit (PC3 bit 5) of the VAUX and AAUX source packs and the
// sampling frequency (PC4 bits 3-5, 0 = 48 kHz), as the DV encoder sets them.
TEST(DvInfo, ComesFromTheFramesPacks) {
    test::TempDir dir;
    auto pal = test::encodeDvFrames(dir.path(), true, 2, true);
    auto ntsc = test::encodeDvFrames(dir.path(), false, 2, false);
    if (pal.empty() || ntsc.empty()) GTEST_SKIP() << "ffmpeg not available";

    DvInfo info = dvInfoFromFrame(pal[0], true);
    auto field = [&](const DvInfo& i, int n) { return readLe32(i.data() + 4 * n); };
    EXPECT_NE(field(info, 0), 0xFFFFFFFFu);  // AAUX source, first audio block
    EXPECT_NE(field(info, 2), 0xFFFFFFFFu);  // and second
    EXPECT_EQ((field(info, 0) >> 16) & 0x20, 0x20u);
    EXPECT_EQ((field(info, 0) >> 27) & 0x7, 0u);
    EXPECT_EQ((field(info, 4) >> 16) & 0x20, 0x20u);  // VAUX source
    EXPECT_NE(field(info, 5), 0xFFFFFFFFu);           // VAUX source control
    EXPECT_EQ(field(info, 6), 0u);

    DvInfo ntscInfo = dvInfoFromFrame(ntsc[0], false);
    EXPECT_EQ((field(ntscInfo, 4) >> 16) & 0x20, 0u);
    // A frame cut short has no packs to give.
    DvInfo none = dvInfoFromFrame(std::span<const uint8_t>(pal[0]).first(100), true);
    for (int n = 0; n < 6; ++n) EXPECT_EQ(field(none, n), 0xFFFFFFFFu) << n;
}

StreamInfo streamInfoOf(const std::vector<uint8_t>& bytes, const RiffNode& strl) {
    StreamInfo info;
    auto copy = [&](const RiffNode* node) {
        return node ? std::vector<uint8_t>(bytes.begin() + node->dataOffset(),
                                           bytes.begin() + node->dataOffset() + node->size)
                    : std::vector<uint8_t>();
    };
    info.header = copy(strl.child(fourcc("strh")));
    info.format = copy(strl.child(fourcc("strf")));
    info.extra = copy(strl.child(fourcc("strd")));
    info.type = le32(info.header, 0);
    info.handler = le32(info.header, 4);
    return info;
}

// An AVI from another program, copied chunk for chunk with its own stream
// layout: ffmpeg sees the same media and the same packets in both.
TEST(CopySourceLayout, KeepsMediaTypesAndPackets) {
    if (!test::haveFfmpegTools()) GTEST_SKIP() << "ffmpeg not available";
    test::TempDir dir;
    std::string source = dir.file("mjpeg.avi");
    ASSERT_TRUE(test::runCommand("ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i "
                                 "sine=sample_rate=44100 -t 1 -c:v mjpeg -c:a pcm_s16le -f avi " +
                                 test::shellQuote(source)));
    std::vector<uint8_t> bytes = test::readBytes(source);
    std::string error;
    std::vector<RiffNode> top = test::walkRiff(bytes, &error);
    ASSERT_FALSE(top.empty()) << error;
    std::vector<StreamInfo> streams;
    for (const RiffNode& node : top[0].list(fourcc("hdrl"))->children)
        if (node.isList(fourcc("strl"))) streams.push_back(streamInfoOf(bytes, node));
    ASSERT_EQ(streams.size(), 2u);

    AviLayout layout = copySourceLayout(streams, 320, 240);
    ASSERT_EQ(layout.streams.size(), 2u);
    EXPECT_EQ(layout.frameStream, 0);
    std::string copy = dir.file("copy.avi");
    AviWriter writer;
    ASSERT_EQ(writer.open(copy, layout), 1);
    for (const RiffNode& chunk : top[0].list(fourcc("movi"))->children) {
        int stream = (chunk.id & 0xFF) == '0' && ((chunk.id >> 8) & 0xFF) == '1' ? 1 : 0;
        if (chunk.id == fourcc("ix00") || chunk.id == fourcc("ix01")) continue;
        std::span<const uint8_t> data(bytes.data() + chunk.dataOffset(), chunk.size);
        ASSERT_EQ(writer.writeChunk(stream, data, true), 1);
    }
    ASSERT_EQ(writer.finish(), 1);

    std::vector<uint8_t> written = test::readBytes(copy);
    std::vector<RiffNode> copiedTop = test::walkRiff(written, &error);
    ASSERT_FALSE(copiedTop.empty()) << error;
    std::vector<StreamInfo> copied;
    for (const RiffNode& node : copiedTop[0].list(fourcc("hdrl"))->children)
        if (node.isList(fourcc("strl"))) copied.push_back(streamInfoOf(written, node));
    ASSERT_EQ(copied.size(), 2u);
    for (size_t s = 0; s < 2; ++s) {
        EXPECT_EQ(copied[s].format, streams[s].format) << s;
        // Every header byte but length and suggested buffer size is the source's.
        std::vector<uint8_t> a = copied[s].header, b = streams[s].header;
        for (std::vector<uint8_t>* h : {&a, &b}) std::fill(h->begin() + 32, h->begin() + 40, 0);
        EXPECT_EQ(a, b) << s;
        EXPECT_EQ(le32(copied[s].header, 32), le32(streams[s].header, 32)) << "length of stream " << s;
    }
    EXPECT_EQ(test::videoPacketMd5s(copy), test::videoPacketMd5s(source));
    EXPECT_EQ(test::audioStreamMd5(copy), test::audioStreamMd5(source));
}

}  // namespace
}  // namespace klemora::avi
