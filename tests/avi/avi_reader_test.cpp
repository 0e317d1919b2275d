// AviReader against hand-assembled files: header walk, codes, positioning.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "app/debug_log.h"
#include "avi/avi_reader.h"
#include "tests/avi/avi_bytes.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using avi::AviReader;

std::unique_ptr<avi::MemorySource> memory(std::vector<uint8_t> bytes) {
    return std::make_unique<avi::MemorySource>(std::move(bytes));
}

std::vector<std::vector<uint8_t>> palFrames(int count, size_t size = 144000) {
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> frame = dvFrame(true, static_cast<uint8_t>(i));
        frame.resize(size, static_cast<uint8_t>(i));
        frames.push_back(frame);
    }
    return frames;
}

SimpleAvi dvAvi(int frames) {
    SimpleAvi avi;
    avi.main.totalFrames = static_cast<uint32_t>(frames);
    avi.frames = palFrames(frames);
    return avi;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    writeTextFile(path, std::string(bytes.begin(), bytes.end()));
}

// Counts the 8-byte reads, which are the chunk headers while frames are positioned.
class CountingSource : public avi::MemorySource {
public:
    using MemorySource::MemorySource;
    int64_t readAt(int64_t offset, void* data, size_t size) override {
        if (size == 8) ++headerReads;
        return MemorySource::readAt(offset, data, size);
    }
    int headerReads = 0;
};

// A trace-level log of the test's own; the process level stays 0.
class LogFolder {
public:
    LogFolder() : m_log(2, m_dir.path()) {}
    const app::DebugLog& log() const { return m_log; }
    std::string trace() const { return readTextFile(m_dir.file("findds.log")); }

private:
    TempDir m_dir;
    app::DebugLog m_log;
};

TEST(AviReaderOpen, DvTypeFromTheVideoStreamHeader) {
    struct Case {
        bool typeOne;
        const char* handler;
        int dvType;
    };
    for (const Case& c : {Case{true, "dvsd", 1}, Case{false, "dvsd", 2}, Case{false, "CDVC", 2},
                          Case{false, "dv25", 2}, Case{false, "MJPG", 0}}) {
        SimpleAvi avi = dvAvi(3);
        avi.typeOne = c.typeOne;
        avi.handler = c.handler;
        avi.frameId = c.typeOne ? "00__" : "00dc";
        putPack(avi.frames[0], subcodeOffset(0, 0, 1), 0x62, 0xFF, 0x01, 0x07, 0x06);
        AviReader reader;
        ASSERT_EQ(reader.OpenSource(memory(buildAvi(avi)), "x"), 1) << c.handler;
        EXPECT_EQ(reader.GetDvType(), c.dvType) << c.handler;
        EXPECT_EQ(reader.isInterleaved(), c.typeOne);
        EXPECT_EQ(reader.GetFrameCount(), 3);
        EXPECT_FLOAT_EQ(reader.GetFrameRate(), 25.0f);
        EXPECT_EQ(reader.videoHandler(), c.handler);
        char handler[5];
        reader.GetVideoHandler(handler);
        EXPECT_STREQ(handler, c.handler);
        if (c.dvType == 0) {
            EXPECT_EQ(reader.GetRecordingDateTime(), scene::kNoRecordingTime);
        } else {
            EXPECT_EQ(reader.GetRecordingDateTime().dayOfMonth, 1);
            EXPECT_EQ(reader.GetRecordingDateTime().yearsSince1900, 106);
        }
    }
}

TEST(AviReaderOpen, OpenDmlHeaderReplacesTheFrameCount) {
    struct Case {
        int64_t dmlh;
        int32_t frames;
        int type;
    };
    for (const Case& c : {Case{90000, 90000, 2}, Case{30000, 30000, 1}, Case{-1, 30000, 0}}) {
        SimpleAvi avi;
        avi.handler = "MJPG";
        avi.main.totalFrames = 30000;
        avi.openDmlFrames = c.dmlh;
        avi.frames = {std::vector<uint8_t>(100, 1)};
        AviReader reader;
        ASSERT_EQ(reader.OpenSource(memory(buildAvi(avi)), "x"), 1);
        EXPECT_EQ(reader.headerFrameCount(), c.frames);
        EXPECT_EQ(reader.GetFrameCount(), 1);  // what the file holds
        EXPECT_EQ(reader.GetOpenDmlType(), c.type);
        EXPECT_EQ(reader.isExtendedOpenDml(), c.type == 2);
    }
}

// A file start up to and into the first stream list, for damaged headers.
AviBytes headerStart(bool withStreamList = true) {
    AviBytes b;
    b.header("RIFF", 100000);
    b.raw("AVI ");
    b.header("LIST", 50000);
    b.raw("hdrl");
    b.chunkWith("avih", mainHeaderData({}));
    if (withStreamList) {
        b.header("LIST", 4000);
        b.raw("strl");
    }
    return b;
}

TEST(AviReaderOpen, EveryDamagedHeaderHasItsCode) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int code;
    };
    std::vector<Case> cases;
    {
        AviBytes b = headerStart();
        b.chunkWith("strh", streamHeaderData("vids", "MJPG", 1, 25));
        cases.push_back({"ends before 'movi'", b.bytes, -11});
    }
    {
        AviBytes b;
        b.header("RIFF", 100);
        b.fill(2, 'A');
        cases.push_back({"RIFF type cut", b.bytes, -14});
    }
    {
        AviBytes b;
        b.header("RIFF", 100);
        b.raw("AVI ");
        b.header("LIST", 100);
        b.raw("hdrl");
        b.fill(40);
        cases.push_back({"main header cut", b.bytes, -15});
    }
    for (uint32_t size : {56u, 64u}) {
        AviBytes b = headerStart();
        b.header("strh", size);
        b.fill(20);
        cases.push_back({"stream header cut", b.bytes, size == 56 ? -17 : -18});
    }
    {
        AviBytes b = headerStart();
        b.chunkWith("strh", streamHeaderData("vids", "dvsd", 1, 25, 60));
        cases.push_back({"60-byte strh", b.bytes, -19});
    }
    struct FormatCase {
        const char* type;
        uint32_t size;
        int code;
    };
    for (const FormatCase& f : {FormatCase{"auds", 16, -20}, FormatCase{"auds", 18, -21},
                                FormatCase{"vids", 40, -25}, FormatCase{"iavs", 32, -28}}) {
        AviBytes b = headerStart();
        b.chunkWith("strh", streamHeaderData(f.type, "dvsd", 1, 25));
        b.header("strf", f.size);
        b.fill(10);
        cases.push_back({f.type, b.bytes, f.code});
    }
    {
        AviBytes b = headerStart(false);
        b.header("dmlh", 248);
        b.fill(2);
        cases.push_back({"dmlh cut", b.bytes, -31});
    }
    {
        SimpleAvi avi = dvAvi(0);
        cases.push_back({"DV without frames", buildAvi(avi), -6});
    }
    for (const Case& c : cases) {
        AviReader reader;
        EXPECT_EQ(reader.OpenSource(memory(c.bytes), "x"), c.code) << c.what;
        EXPECT_FALSE(reader.isOpen()) << c.what;
        EXPECT_EQ(reader.GetFrameCount(), 0) << c.what;
        EXPECT_EQ(reader.currentFrame(), -1) << c.what;
        EXPECT_EQ(reader.ReadRawPictureData(0), -1) << c.what;
    }
    AviReader reader;
    EXPECT_EQ(reader.Open("/nonexistent/file.avi", "r"), -2);
    TempDir dir;
    writeFile(dir.file("a.avi"), buildAvi(dvAvi(2)));
    EXPECT_EQ(reader.Open(dir.file("a.avi"), "w"), -2);
}

TEST(AviReaderOpen, ShortAudioFormatsAreSkippedAndPcmIsFlagged) {
    for (uint32_t size : {14u, 16u, 18u, 20u}) {
        AviBytes b;
        size_t riff = b.list("RIFF", "AVI ");
        size_t hdrl = b.list("LIST", "hdrl");
        b.chunkWith("avih", mainHeaderData({1}));
        size_t strl = b.list("LIST", "strl");
        b.chunkWith("strh", streamHeaderData("auds", "\0\0\0\0", 1, 48000));
        b.chunkWith("strf", std::vector<uint8_t>(size, 0x33));
        b.end(strl);
        b.end(hdrl);
        size_t movi = b.list("LIST", "movi");
        b.end(movi);
        b.end(riff);
        AviReader reader;
        ASSERT_EQ(reader.OpenSource(memory(b.bytes), "x"), 1) << size;
        EXPECT_EQ(reader.audioFormat().size(), size < 16 ? 0u : size == 16 ? 16u : 18u) << size;
        EXPECT_EQ(reader.audioFormatIsPcm(), size == 16) << size;
        EXPECT_EQ(reader.streams().at(0).format.size(), size) << size;
    }
}

TEST(AviReaderOpen, KeepsTheStreamsForWriters) {
    SimpleAvi avi = dvAvi(2);
    AviReader reader;
    ASSERT_EQ(reader.OpenSource(memory(buildAvi(avi)), "x"), 1);
    ASSERT_EQ(reader.streams().size(), 2u);
    EXPECT_EQ(reader.streamListCount(), 2);
    EXPECT_EQ(reader.streams()[0].type, avi::kFccVids);
    EXPECT_EQ(reader.streams()[0].header, streamHeaderData("vids", "dvsd", 1, 25));
    EXPECT_EQ(reader.streams()[0].format, std::vector<uint8_t>(40, 0x11));
    EXPECT_EQ(reader.streams()[1].type, avi::kFccAuds);
    EXPECT_EQ(reader.videoFormat().size(), 40u);
    EXPECT_EQ(reader.audioStreamHeader().size(), 56u);
    EXPECT_GT(reader.movieListOffset(), 0);
}

TEST(AviReaderFrames, FramesAreFoundWithoutReadingChunkHeadersAgain) {
    SimpleAvi avi = dvAvi(6);
    auto source = std::make_unique<CountingSource>(buildAvi(avi));
    CountingSource* counter = source.get();
    AviReader reader;
    ASSERT_EQ(reader.OpenSource(std::move(source), "x"), 1);
    EXPECT_EQ(reader.frameChunks().size(), 6u);
    const int afterOpen = counter->headerReads;
    for (int32_t frame : {0, 1, 2, 5, 1, 1}) {
        EXPECT_EQ(reader.ReadRawPictureData(frame), 1);
        EXPECT_EQ(reader.frameBuffer()[100], frame);
        EXPECT_EQ(reader.currentFrame(), frame);
    }
    EXPECT_EQ(counter->headerReads, afterOpen);
}

TEST(AviReaderFrames, InvalidDvChunkKeepsThePreviousFrame) {
    for (avi::FrameLoad load : {avi::FrameLoad::Whole, avi::FrameLoad::OnDemand}) {
        LogFolder log;
        SimpleAvi avi = dvAvi(12);
        avi.frames[10].resize(143990);
        avi.frames[0].resize(50000);
        AviReader reader;
        reader.setLog(log.log());
        ASSERT_EQ(reader.OpenSource(memory(buildAvi(avi)), "x"), 1);
        ASSERT_TRUE(reader.isPal());
        ASSERT_EQ(reader.ReadRawPictureData(0, load), 1);
        EXPECT_EQ(reader.currentChunk().bytesLoaded, 50000u);
        ASSERT_EQ(reader.ReadRawPictureData(9, load), 1);
        ASSERT_EQ(reader.ReadRawPictureData(10, load), 1);
        EXPECT_EQ(reader.currentChunk().bytesLoaded, 0u);
        EXPECT_EQ(reader.frameBytes(1000, 1)[0], 9);
        EXPECT_EQ(reader.frameBytes(143999, 1)[0], 9);
        ASSERT_EQ(reader.ReadRawPictureData(11, load), 1);
        EXPECT_EQ(reader.frameBytes(1000, 1)[0], 11);
        EXPECT_NE(log.trace().find(" 00011  |  #### DV Frame Chunksize ungueltig (143990) - Letzter gueltiger Frame "
                                   "wird verwendet !"),
                  std::string::npos)
            << log.trace();
    }
}

TEST(AviReaderFrames, FrameCountIsWhatTheFileHolds) {
    SimpleAvi avi = dvAvi(5);
    avi.main.totalFrames = 10;
    AviReader reader;
    ASSERT_EQ(reader.OpenSource(memory(buildAvi(avi)), "x"), 1);
    EXPECT_EQ(reader.GetFrameCount(), 5);
    EXPECT_EQ(reader.headerFrameCount(), 10);
    EXPECT_TRUE(reader.frameCountClipped());
    EXPECT_NE(avi::walkDamageText(reader).find("Frames (file): 5"), std::string::npos);
    ASSERT_EQ(reader.ReadRawPictureData(4), 1);
    EXPECT_EQ(reader.ReadRawPictureData(7), -12);  // at once, nothing read
    EXPECT_EQ(reader.currentFrame(), 4);
    EXPECT_EQ(reader.frameBuffer()[5000], 4);
    EXPECT_EQ(reader.ReadRawPictureData(-1), -2);
}

TEST(AviReaderFrames, AFrameCutByTheEndOfTheFileIsNotCounted) {
    SimpleAvi avi = dvAvi(3);
    std::vector<uint8_t> bytes = buildAvi(avi);
    bytes.resize(bytes.size() - 1000);
    AviReader reader;
    ASSERT_EQ(reader.OpenSource(memory(bytes), "x"), 1);
    EXPECT_EQ(reader.GetFrameCount(), 2);
    EXPECT_TRUE(reader.walkDamage().cutOff);
    EXPECT_EQ(reader.ReadRawPictureData(1, avi::FrameLoad::OnDemand), 1);
    EXPECT_EQ(reader.ReadRawPictureData(2, avi::FrameLoad::OnDemand), -12);
    EXPECT_EQ(reader.frameBytes(1000, 1)[0], 1);
}

TEST(AviReaderFrames, OddChunksArePaddedAndListsEntered) {
    AviBytes b;
    size_t riff = b.list("RIFF", "AVI ");
    size_t hdrl = b.list("LIST", "hdrl");
    b.chunkWith("avih", mainHeaderData({3}));
    size_t strl = b.list("LIST", "strl");
    b.chunkWith("strh", streamHeaderData("vids", "MJPG", 1, 25));
    b.end(strl);
    b.end(hdrl);
    size_t movi = b.list("LIST", "movi");
    b.chunkWith("00dc", std::vector<uint8_t>(7, 0xA1));
    b.chunkWith("JUNK", std::vector<uint8_t>(3, 0));
    size_t rec = b.list("LIST", "rec ");
    b.chunkWith("01wb", std::vector<uint8_t>(5, 0));
    b.chunkWith("00db", std::vector<uint8_t>(9, 0xA2));
    b.end(rec);
    b.chunkWith("01dc", std::vector<uint8_t>(1, 0xA3));
    b.end(movi);
    b.end(riff);
    AviReader reader;
    ASSERT_EQ(reader.OpenSource(memory(b.bytes), "x"), 1);
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(reader.ReadRawPictureData(frame), 1);
        EXPECT_EQ(reader.frameBuffer()[0], 0xA1 + frame) << frame;
    }
}

TEST(AviReaderIndex, AllKeyFramesFromIdx1AfterTheMovieList) {
    struct Case {
        uint32_t flags;
        bool allKey;
        bool expected;
    };
    for (const Case& c : {Case{0x10, false, false}, Case{0x10, true, true}, Case{0, false, true}}) {
        SimpleAvi avi = dvAvi(4);
        avi.main.flags = c.flags;
        avi.idx1AfterMovie = true;
        avi.keyFrames = {true, true, c.allKey, true};
        AviReader reader;
        ASSERT_EQ(reader.OpenSource(memory(buildAvi(avi)), "x"), 1);
        EXPECT_EQ(reader.allKeyframes(), c.expected) << c.flags << c.allKey;
        reader.Close();
        EXPECT_TRUE(reader.allKeyframes());
    }
}

TEST(AviReaderIndex, Idx1BeforeTheMovieListEndsTheWalk) {
    AviBytes b;
    size_t riff = b.list("RIFF", "AVI ");
    size_t hdrl = b.list("LIST", "hdrl");
    b.chunkWith("avih", mainHeaderData({1}));
    b.end(hdrl);
    size_t idx1 = b.chunk("idx1");
    b.raw("00dc");
    b.u32(0);
    b.u32(4);
    b.u32(10);
    b.fill(7);  // a partial entry is not read
    b.end(idx1);
    size_t movi = b.list("LIST", "movi");
    b.chunkWith("00dc", std::vector<uint8_t>(10, 0x5A));
    b.end(movi);
    b.end(riff);
    AviReader reader;
    ASSERT_EQ(reader.OpenSource(memory(b.bytes), "x"), 1);
    EXPECT_FALSE(reader.allKeyframes());
    ASSERT_EQ(reader.ReadRawPictureData(0), 1);
    EXPECT_EQ(reader.frameBuffer()[0], 0x5A);
}

TEST(AviReaderBuffer, SuggestedSizeRaisesTheBufferAndCloseKeepsIt) {
    AviReader reader;
    EXPECT_EQ(reader.bufferSize(), 144000u);
    SimpleAvi avi = dvAvi(2);
    avi.main.suggestedBufferSize = 200000;
    ASSERT_EQ(reader.OpenSource(memory(buildAvi(avi)), "a"), 1);
    EXPECT_EQ(reader.bufferSize(), 200000u);
    EXPECT_EQ(reader.frameBuffer().size(), 200000u);
    avi.main.suggestedBufferSize = 1000;
    ASSERT_EQ(reader.OpenSource(memory(buildAvi(avi)), "b"), 1);
    EXPECT_EQ(reader.bufferSize(), 200000u);
    avi.main.suggestedBufferSize = 0xFFFFFFFF;
    ASSERT_EQ(reader.OpenSource(memory(buildAvi(avi)), "c"), 1);
    EXPECT_EQ(reader.bufferSize(), avi::kMaxFrameBufferSize);

    SimpleAvi ntsc;
    ntsc.main.totalFrames = 1;
    ntsc.frames = {dvFrame(false, 7)};
    ASSERT_EQ(reader.OpenSource(memory(buildAvi(ntsc)), "d"), 1);
    EXPECT_FALSE(reader.isPal());
    reader.Close();
    EXPECT_FALSE(reader.isPal());
    EXPECT_EQ(reader.bufferSize(), avi::kMaxFrameBufferSize);
    EXPECT_EQ(reader.GetFrameCount(), 0);
    EXPECT_EQ(reader.GetDvType(), 0);
    EXPECT_TRUE(reader.frameBuffer().empty());
}

TEST(AviReaderFiles, SameNameKeepsThePositionAnotherNameClosesTheFirst) {
    TempDir dir;
    writeFile(dir.file("a.avi"), buildAvi(dvAvi(6)));
    writeFile(dir.file("b.avi"), buildAvi(dvAvi(2)));
    AviReader reader;
    ASSERT_EQ(reader.Open(dir.file("a.avi"), "r"), 1);
    ASSERT_EQ(reader.ReadRawPictureData(3), 1);
    const int64_t position = reader.position();
    EXPECT_EQ(reader.Open(dir.file("a.avi"), "r"), 1);
    EXPECT_EQ(reader.position(), position);
    EXPECT_EQ(reader.currentFrame(), 3);
    ASSERT_EQ(reader.Open(dir.file("b.avi"), "r"), 1);
    EXPECT_EQ(reader.GetFrameCount(), 2);
    EXPECT_EQ(reader.currentFrame(), -1);
    EXPECT_EQ(reader.fileName(), dir.file("b.avi"));
}

TEST(AviReaderFiles, ReadWriteModeSharesWithNobody) {
    TempDir dir;
    writeFile(dir.file("a.avi"), buildAvi(dvAvi(2)));
    AviReader writer, other;
    ASSERT_EQ(writer.Open(dir.file("a.avi"), "rw"), 1);
    EXPECT_EQ(other.Open(dir.file("a.avi"), "r"), -2);
    EXPECT_EQ(other.Open(dir.file("a.avi"), "rw"), -2);
    writer.Close();
    ASSERT_EQ(other.Open(dir.file("a.avi"), "r"), 1);
    EXPECT_EQ(writer.Open(dir.file("a.avi"), "rw"), -2);
    AviReader second;
    EXPECT_EQ(second.Open(dir.file("a.avi"), "r"), 1);
}

TEST(AviReaderFiles, ChunkOfThreeGigabytesIsSkippedWithTheLongLimitLine) {
    LogFolder log;
    TempDir dir;
    const uint32_t hugeSize = 3u << 30;
    AviBytes b;
    b.header("RIFF", 0xFFFFFFF0u);
    b.raw("AVI ");
    size_t hdrl = b.list("LIST", "hdrl");
    b.chunkWith("avih", mainHeaderData({1}));
    size_t strl = b.list("LIST", "strl");
    b.chunkWith("strh", streamHeaderData("vids", "MJPG", 1, 25));
    b.end(strl);
    b.end(hdrl);
    b.header("LIST", 0xFFFFFF00u);
    b.raw("movi");
    b.header("JUNK", hugeSize);
    const int64_t frameAt = static_cast<int64_t>(b.bytes.size()) + hugeSize;
    AviBytes frame;
    frame.chunkWith("00dc", std::vector<uint8_t>(64, 0x77));
    const std::string path = dir.file("huge.avi");
    writeFile(path, b.bytes);
    {
        app::UniqueFd fd(::open(path.c_str(), O_WRONLY));
        ASSERT_TRUE(fd);
        ASSERT_EQ(::pwrite(fd.get(), frame.bytes.data(), frame.bytes.size(), frameAt),
                  static_cast<ssize_t>(frame.bytes.size()));
    }
    AviReader reader;
    reader.setLog(log.log());
    ASSERT_EQ(reader.Open(path, "r"), 1);
    ASSERT_EQ(reader.ReadRawPictureData(0), 1);
    EXPECT_EQ(reader.currentChunk().dataOffset, frameAt + 8);
    EXPECT_EQ(reader.frameBuffer()[63], 0x77);
    EXPECT_NE(log.trace().find(" 00000  |  #### AviSeek: long limit!"), std::string::npos) << log.trace();
}

TEST(AviReaderSeek, MethodsAndFailures) {
    AviReader reader;
    ASSERT_EQ(reader.OpenSource(memory(buildAvi(dvAvi(1))), "x"), 1);
    EXPECT_EQ(reader.AviSeek(0, 100), 1);
    EXPECT_EQ(reader.position(), 100);
    EXPECT_EQ(reader.AviSeek(1, -40), 1);
    EXPECT_EQ(reader.position(), 60);
    EXPECT_EQ(reader.AviSeek(2, -8), 1);
    EXPECT_EQ(reader.position(), reader.fileSize() - 8);
    EXPECT_EQ(reader.AviSeek(7, 5), 1);
    EXPECT_EQ(reader.position(), reader.fileSize() - 8);
    EXPECT_EQ(reader.AviSeek(0, -1), -1);
    uint8_t bytes[8];
    EXPECT_EQ(reader.ReadExact(bytes, 8), 1);
    EXPECT_EQ(reader.ReadExact(bytes, 8), -1);
    EXPECT_EQ(reader.AviWrite(bytes, 8), -1);  // read-only
}

}  // namespace
}  // namespace klemora::test
