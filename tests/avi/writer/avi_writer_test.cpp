#include "avi/avi_writer.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>

#include "app/file_io.h"
#include "avi/avi_stream_layout.h"
#include "tests/support/temp_dir.h"
#include "writer_test_support.h"

namespace klemora::avi {
namespace {

using test::fourcc;
using test::le32;
using test::RiffNode;

constexpr size_t kAudioChunkBytes = 7680;  // 1920 stereo samples: one PAL frame at 48 kHz
constexpr int kOk = 1;

// What went into a file, to hold the file against.
struct Written {
    std::vector<std::string> videoMd5s;
    std::vector<uint8_t> audio;
    int frames = 0;
};

class AviWriterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new test::TempDir;
        s_pal = test::encodeDvFrames(s_dir->path(), true, 25, true);
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_pal.clear();
    }

    // A real DV frame when ffmpeg made some, else a patterned one of the right size.
    static std::vector<uint8_t> palFrame(int i) {
        if (!s_pal.empty()) return s_pal[static_cast<size_t>(i) % s_pal.size()];
        std::vector<uint8_t> frame(kDvFrameSizePal, static_cast<uint8_t>(i));
        return frame;
    }

    static DvInfo palDvInfo() { return dvInfoFromFrame(palFrame(0), true); }

    // Type 2 writes a video and an audio chunk per frame; type 1 the frame alone.
    int writeDv(const std::string& path, int type, int frames, const AviWriterOptions& options, Written& written,
                std::vector<int> nonKeyFrames = {}) {
        AviLayout layout = type == 1 ? dvType1Layout(true, palDvInfo()) : dvType2Layout(true, palDvInfo(), PcmFormat{});
        AviWriter writer;
        if (int rc = writer.open(path, layout, options); rc != kOk) return rc;
        for (int i = 0; i < frames; ++i) {
            std::vector<uint8_t> frame = palFrame(i);
            bool key = std::find(nonKeyFrames.begin(), nonKeyFrames.end(), i) == nonKeyFrames.end();
            if (int rc = writer.writeChunk(kDvVideoStream, frame, key); rc != kOk) return rc;
            written.videoMd5s.push_back(test::md5Hex(frame));
            if (type == 2) {
                std::vector<uint8_t> audio = test::pcmChunk(i, kAudioChunkBytes);
                if (int rc = writer.writeChunk(kDvAudioStream, audio, true); rc != kOk) return rc;
                written.audio.insert(written.audio.end(), audio.begin(), audio.end());
            }
        }
        written.frames = frames;
        return writer.finish();
    }

    // ffprobe reads every frame, and ffmpeg hands out the very chunks written.
    static void expectFfmpegReadsBack(const std::string& path, const Written& written, bool audio) {
        if (!test::haveFfmpegTools()) return;
        auto streams = test::probeStreams(path);
        ASSERT_TRUE(streams) << "ffprobe failed on " << path;
        int videos = 0, audios = 0;
        for (const auto& s : *streams) {
            if (s.codecType == "video") {
                ++videos;
                EXPECT_EQ(s.readFrames, written.frames);
            }
            if (s.codecType == "audio") ++audios;
        }
        EXPECT_EQ(videos, 1);
        if (audio) {
            EXPECT_EQ(audios, 1);
        }
        EXPECT_EQ(test::videoPacketMd5s(path), written.videoMd5s);
        if (!written.audio.empty()) {
            EXPECT_EQ(test::audioStreamMd5(path), test::md5Hex(written.audio));
        }
    }

    static inline test::TempDir* s_dir = nullptr;
    static inline std::vector<std::vector<uint8_t>> s_pal;
    test::TempDir m_dir;
};

struct Parsed {
    std::vector<uint8_t> bytes;
    std::vector<RiffNode> top;
    const RiffNode* hdrl = nullptr;
    int64_t avih = 0;  // data offset
    std::vector<int64_t> strh;
    std::vector<const RiffNode*> strl;
};

Parsed parse(const std::string& path) {
    Parsed p;
    p.bytes = test::readBytes(path);
    std::string error;
    p.top = test::walkRiff(p.bytes, &error);
    EXPECT_FALSE(p.top.empty()) << error;
    if (p.top.empty()) return p;
    p.hdrl = p.top[0].list(fourcc("hdrl"));
    EXPECT_NE(p.hdrl, nullptr);
    if (!p.hdrl) return p;
    p.avih = p.hdrl->child(fourcc("avih"))->dataOffset();
    for (const RiffNode& node : p.hdrl->children)
        if (node.isList(fourcc("strl"))) {
            p.strl.push_back(&node);
            p.strh.push_back(node.child(fourcc("strh"))->dataOffset());
        }
    return p;
}

TEST_F(AviWriterTest, SmallType2FileIsPlainAviWithIdx1) {
    std::string path = m_dir.file("small.avi");
    Written written;
    ASSERT_EQ(writeDv(path, 2, 10, {}, written, {3}), kOk);
    Parsed p = parse(path);
    ASSERT_EQ(p.top.size(), 1u);
    EXPECT_TRUE(p.top[0].isList(fourcc("AVI ")));
    EXPECT_EQ(p.top[0].size + 8, p.bytes.size());
    EXPECT_EQ(le32(p.bytes, p.avih + 0), 40000u);   // microseconds per frame
    EXPECT_EQ(le32(p.bytes, p.avih + 12) & 0x10, 0x10u);
    EXPECT_EQ(le32(p.bytes, p.avih + 16), 10u);     // total frames
    EXPECT_EQ(le32(p.bytes, p.avih + 24), 2u);
    EXPECT_EQ(le32(p.bytes, p.avih + 28), 144000u);
    EXPECT_EQ(le32(p.bytes, p.avih + 4), 144000u * 25 + 192000);
    ASSERT_EQ(p.strh.size(), 2u);
    EXPECT_EQ(le32(p.bytes, p.strh[0] + 32), 10u);               // video length in frames
    EXPECT_EQ(le32(p.bytes, p.strh[0] + 36), 144000u);
    EXPECT_EQ(le32(p.bytes, p.strh[1] + 32), 10 * kAudioChunkBytes / 4);  // audio length in samples
    EXPECT_EQ(le32(p.bytes, p.strh[1] + 36), kAudioChunkBytes);
    // Plain AVI: the OpenDML room stays 'JUNK'.
    EXPECT_EQ(p.strl[0]->child(fourcc("indx")), nullptr);
    EXPECT_EQ(p.hdrl->list(fourcc("odml")), nullptr);

    const RiffNode* movi = p.top[0].list(fourcc("movi"));
    ASSERT_NE(movi, nullptr);
    ASSERT_EQ(movi->children.size(), 20u);
    const RiffNode* idx1 = p.top[0].child(fourcc("idx1"));
    ASSERT_NE(idx1, nullptr);
    ASSERT_EQ(idx1->size, 20u * 16);
    int64_t moviType = movi->dataOffset();
    for (int i = 0; i < 20; ++i) {
        int64_t entry = idx1->dataOffset() + 16 * i;
        const RiffNode& chunk = movi->children[static_cast<size_t>(i)];
        EXPECT_EQ(le32(p.bytes, entry), fourcc(i % 2 == 0 ? "00dc" : "01wb"));
        EXPECT_EQ(chunk.id, le32(p.bytes, entry));
        EXPECT_EQ(le32(p.bytes, entry + 4), i == 6 ? 0u : 0x10u) << i;  // frame 3 is not a key frame
        EXPECT_EQ(moviType + le32(p.bytes, entry + 8), chunk.offset);
        EXPECT_EQ(le32(p.bytes, entry + 12), chunk.size);
    }
    expectFfmpegReadsBack(path, written, true);
}

TEST_F(AviWriterTest, Type1FileIsOneInterleavedStream) {
    std::string path = m_dir.file("type1.avi");
    Written written;
    ASSERT_EQ(writeDv(path, 1, 12, {}, written), kOk);
    Parsed p = parse(path);
    ASSERT_EQ(p.strl.size(), 1u);
    EXPECT_EQ(le32(p.bytes, p.strh[0]), fourcc("iavs"));
    EXPECT_EQ(le32(p.bytes, p.strh[0] + 4), fourcc("dvsd"));
    const RiffNode* strf = p.strl[0]->child(fourcc("strf"));
    ASSERT_NE(strf, nullptr);
    DvInfo info = palDvInfo();
    auto strfData = p.bytes.begin() + strf->dataOffset();
    EXPECT_EQ(std::vector<uint8_t>(strfData, strfData + strf->size), std::vector<uint8_t>(info.begin(), info.end()));
    const RiffNode* movi = p.top[0].list(fourcc("movi"));
    ASSERT_EQ(movi->children.size(), 12u);
    for (const RiffNode& chunk : movi->children) EXPECT_EQ(chunk.id, fourcc("00__"));
    // The DV demuxer finds the sound inside the frames.
    expectFfmpegReadsBack(path, written, !s_pal.empty());
}

// Segments of at most 3 MB: 'AVIX' after the first RIFF, 'ix##' in each,
// 'indx' pointing at them, 'idx1' in the first RIFF only.
class AviWriterSegments : public AviWriterTest, public ::testing::WithParamInterface<int> {};

TEST_P(AviWriterSegments, OpenDmlSegmentsAreReadToTheLastFrame) {
    const int type = GetParam();
    const int frames = 100;
    const uint64_t limit = 3'000'000;
    std::string path = m_dir.file("segments.avi");
    Written written;
    AviWriterOptions options;
    options.segmentLimitBytes = limit;
    ASSERT_EQ(writeDv(path, type, frames, options, written), kOk);
    Parsed p = parse(path);
    ASSERT_GE(p.top.size(), 5u);
    int64_t framesInFirst = 0;
    std::vector<std::vector<const RiffNode*>> standardIndexes(type == 2 ? 2 : 1);
    for (size_t r = 0; r < p.top.size(); ++r) {
        const RiffNode& riff = p.top[r];
        EXPECT_TRUE(riff.isList(fourcc(r == 0 ? "AVI " : "AVIX"))) << r;
        EXPECT_LE(riff.size + 8u, limit) << r;
        EXPECT_EQ(riff.child(fourcc("idx1")) != nullptr, r == 0);
        const RiffNode* movi = riff.list(fourcc("movi"));
        ASSERT_NE(movi, nullptr);
        for (size_t s = 0; s < standardIndexes.size(); ++s) {
            const RiffNode* ix = movi->child(fourcc(s == 0 ? "ix00" : "ix01"));
            ASSERT_NE(ix, nullptr) << r;
            standardIndexes[s].push_back(ix);
        }
        if (r == 0)
            for (const RiffNode& chunk : movi->children)
                framesInFirst += chunk.id == fourcc(type == 1 ? "00__" : "00dc");
    }
    EXPECT_EQ(le32(p.bytes, p.avih + 16), static_cast<uint32_t>(framesInFirst));  // first RIFF only
    EXPECT_EQ(le32(p.bytes, p.strh[0] + 32), static_cast<uint32_t>(frames));     // the whole stream
    const RiffNode* odml = p.hdrl->list(fourcc("odml"));
    ASSERT_NE(odml, nullptr);
    EXPECT_EQ(le32(p.bytes, odml->child(fourcc("dmlh"))->dataOffset()), static_cast<uint32_t>(frames));

    // Each 'indx' lists every segment's 'ix##', and those point at the chunks.
    for (size_t s = 0; s < standardIndexes.size(); ++s) {
        const RiffNode* indx = p.strl[s]->child(fourcc("indx"));
        ASSERT_NE(indx, nullptr);
        int64_t head = indx->dataOffset();
        ASSERT_EQ(le32(p.bytes, head + 4), p.top.size());
        uint64_t duration = 0;
        for (size_t r = 0; r < p.top.size(); ++r) {
            int64_t entry = head + 24 + 16 * static_cast<int64_t>(r);
            const RiffNode* ix = standardIndexes[s][r];
            EXPECT_EQ(test::le64(p.bytes, entry), static_cast<uint64_t>(ix->offset));
            EXPECT_EQ(le32(p.bytes, entry + 8), ix->size + 8);
            duration += le32(p.bytes, entry + 12);
            int64_t base = static_cast<int64_t>(test::le64(p.bytes, ix->dataOffset() + 12));
            uint32_t count = le32(p.bytes, ix->dataOffset() + 4);
            for (uint32_t e = 0; e < count; ++e) {
                int64_t data = base + le32(p.bytes, ix->dataOffset() + 24 + 8 * e);
                uint32_t size = le32(p.bytes, ix->dataOffset() + 28 + 8 * e);
                EXPECT_EQ(le32(p.bytes, data - 8), le32(p.bytes, ix->dataOffset() + 8));  // the chunk id
                EXPECT_EQ(le32(p.bytes, data - 4), size & 0x7FFFFFFF);
            }
        }
        EXPECT_EQ(duration, s == 0 ? frames : frames * kAudioChunkBytes / 4);
    }
    expectFfmpegReadsBack(path, written, type == 2 || !s_pal.empty());
}

INSTANTIATE_TEST_SUITE_P(DvTypes, AviWriterSegments, ::testing::Values(1, 2));

TEST_F(AviWriterTest, OpenDmlOnRequestForOneRiff) {
    std::string path = m_dir.file("odml1.avi");
    Written written;
    AviWriterOptions options;
    options.alwaysOpenDml = true;
    ASSERT_EQ(writeDv(path, 2, 8, options, written), kOk);
    Parsed p = parse(path);
    ASSERT_EQ(p.top.size(), 1u);
    ASSERT_NE(p.hdrl->list(fourcc("odml")), nullptr);
    const RiffNode* indx = p.strl[0]->child(fourcc("indx"));
    ASSERT_NE(indx, nullptr);
    EXPECT_EQ(le32(p.bytes, indx->dataOffset() + 4), 1u);
    EXPECT_NE(p.top[0].list(fourcc("movi"))->child(fourcc("ix00")), nullptr);
    EXPECT_NE(p.top[0].child(fourcc("idx1")), nullptr);
    expectFfmpegReadsBack(path, written, true);
}

TEST_F(AviWriterTest, NtscType2KeepsTheNtscRate) {
    auto frames = test::encodeDvFrames(m_dir.path(), false, 6, false);
    if (frames.empty()) GTEST_SKIP() << "ffmpeg not available";
    std::string path = m_dir.file("ntsc.avi");
    AviWriter writer;
    ASSERT_EQ(writer.open(path, dvType2Layout(false, dvInfoFromFrame(frames[0], false), PcmFormat{})), kOk);
    Written written;
    for (size_t i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(writer.writeChunk(kDvVideoStream, frames[i], true), kOk);
        ASSERT_EQ(writer.writeChunk(kDvAudioStream, test::pcmChunk(static_cast<int>(i), 6404), true), kOk);
        written.videoMd5s.push_back(test::md5Hex(frames[i]));
    }
    written.frames = static_cast<int>(frames.size());
    ASSERT_EQ(writer.finish(), kOk);
    auto streams = test::probeStreams(path);
    ASSERT_TRUE(streams);
    ASSERT_EQ(streams->size(), 2u);
    EXPECT_EQ((*streams)[0].frameRate, "30000/1001");
    EXPECT_EQ((*streams)[1].sampleRate, "48000");
    expectFfmpegReadsBack(path, written, true);
}

TEST_F(AviWriterTest, SuperIndexFullStopsTheWriteAndRemovesTheFile) {
    std::string path = m_dir.file("full.avi");
    AviWriterOptions options;
    options.segmentLimitBytes = kMinSegmentBytes;  // every DV frame gets a segment of its own
    options.superIndexEntries = 2;
    AviWriter writer;
    ASSERT_EQ(writer.open(path, dvType1Layout(true, palDvInfo()), options), kOk);
    EXPECT_EQ(writer.writeChunk(0, palFrame(0), true), kOk);
    EXPECT_EQ(writer.writeChunk(0, palFrame(1), true), kOk);
    EXPECT_EQ(writer.writeChunk(0, palFrame(2), true), static_cast<int>(WriterResult::IndexFull));
    EXPECT_EQ(writer.finish(), static_cast<int>(WriterResult::IndexFull));
    EXPECT_FALSE(app::fileExists(path));
}

TEST_F(AviWriterTest, MisuseIsRefusedAndUnfinishedFilesDisappear) {
    std::string path = m_dir.file("life.avi");
    AviLayout layout = dvType1Layout(true, palDvInfo());
    AviWriterOptions tooSmall;
    tooSmall.segmentLimitBytes = 1000;
    AviWriter refused;
    EXPECT_EQ(refused.open(path, layout, tooSmall), static_cast<int>(WriterResult::BadOptions));
    EXPECT_FALSE(app::fileExists(path));
    AviLayout shortHeader = layout;
    shortHeader.streams[0].header.resize(40);
    EXPECT_EQ(AviWriter().open(path, shortHeader), static_cast<int>(WriterResult::BadStream));
    EXPECT_EQ(AviWriter().open(m_dir.file("no/dir.avi"), layout), static_cast<int>(WriterResult::CannotCreate));
    {
        AviWriter abandoned;
        ASSERT_EQ(abandoned.open(path, layout), kOk);
        ASSERT_EQ(abandoned.writeChunk(0, palFrame(0), true), kOk);
        EXPECT_TRUE(app::fileExists(path));
    }
    EXPECT_FALSE(app::fileExists(path));

    AviWriter writer;
    ASSERT_EQ(writer.open(path, layout), kOk);
    std::vector<uint8_t> frame = palFrame(0);
    // Refused chunks leave the file as it was.
    EXPECT_EQ(writer.writeChunk(1, frame, true), static_cast<int>(WriterResult::BadStream));
    std::span<const uint8_t> huge(frame.data(), size_t{kMaxChunkBytes} + 1);  // never read
    EXPECT_EQ(writer.writeChunk(0, huge, true), static_cast<int>(WriterResult::SizeOverflow));
    EXPECT_EQ(writer.writeChunk(0, frame, true), kOk);
    EXPECT_EQ(writer.finish(), kOk);
    EXPECT_EQ(writer.finish(), static_cast<int>(WriterResult::BadState));
    EXPECT_EQ(writer.writeChunk(0, frame, true), static_cast<int>(WriterResult::BadState));
    Parsed p = parse(path);
    EXPECT_EQ(le32(p.bytes, p.avih + 16), 1u);
}

// A small tmpfs stands in for a full disk; mounting needs root.
class TinyMount {
public:
    explicit TinyMount(const std::string& folder) : m_folder(folder) {
        m_mounted = ::geteuid() == 0 && ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=2m") == 0;
    }
    ~TinyMount() {
        if (m_mounted) ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }

private:
    std::string m_folder;
    bool m_mounted = false;
};

TEST_F(AviWriterTest, FullDiskIsReportedAndLeavesNoFile) {
    std::string folder = m_dir.file("tiny");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    TinyMount mount(folder);
    if (!mount.mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
    std::string path = folder + "/out.avi";
    AviWriter writer;
    ASSERT_EQ(writer.open(path, dvType2Layout(true, palDvInfo(), PcmFormat{})), kOk);
    int failure = kOk;
    for (int i = 0; i < 40 && failure == kOk; ++i) {
        failure = writer.writeChunk(kDvVideoStream, palFrame(i), true);
        if (failure == kOk) failure = writer.writeChunk(kDvAudioStream, test::pcmChunk(i, kAudioChunkBytes), true);
    }
    EXPECT_EQ(failure, static_cast<int>(WriterResult::DiskFull));
    EXPECT_EQ(writer.lastErrno(), ENOSPC);
    EXPECT_EQ(writer.finish(), static_cast<int>(WriterResult::DiskFull));
    EXPECT_FALSE(app::fileExists(path));
}

// A handed-in descriptor stays the caller's: written, never closed or
// removed, whether the file is finished or discarded.
TEST_F(AviWriterTest, ADescriptorItIsHandedStaysItsOwners) {
    for (bool finish : {true, false}) {
        std::string path = m_dir.file(finish ? "finished.avi" : "discarded.avi");
        app::UniqueFd fd = app::createExclusiveFile(path);
        ASSERT_TRUE(fd);
        AviWriter writer;
        ASSERT_EQ(writer.open(fd.get(), path, dvType1Layout(true, palDvInfo())), kOk);
        ASSERT_EQ(writer.writeChunk(kDvVideoStream, palFrame(0), true), kOk);
        if (finish) {
            EXPECT_EQ(writer.finish(), kOk);
            Written written{{test::md5Hex(palFrame(0))}, {}, 1};
            expectFfmpegReadsBack(path, written, false);
        } else {
            writer.discard();
        }
        EXPECT_TRUE(app::fileExists(path));
        EXPECT_NE(::fcntl(fd.get(), F_GETFD), -1) << "the writer closed a descriptor it does not own";
    }
    AviWriter refused;
    EXPECT_EQ(refused.open(-1, "x.avi", dvType1Layout(true, palDvInfo())), static_cast<int>(WriterResult::BadState));
}

}  // namespace
}  // namespace klemora::avi
