// The index reader: every chunk of every stream from 'idx1' and from the
// OpenDML standard indexes of each segment, key-frame flags, the entry limit.
#include <gtest/gtest.h>

#include "avi/avi_index_reader.h"
#include "avi/avi_reader.h"
#include "tests/fixtures/dv_fixture.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using fixtures::OpenDmlLayout;

struct Written {
    fixtures::DvFixtureInfo info;
    avi::AviReader reader;
    avi::AviIndex index;
};

void writeAndIndex(TempDir& dir, const fixtures::DvFixtureOptions& options, Written& out, int64_t limit = INT32_MAX) {
    const std::string path = dir.file("indexed.avi");
    ASSERT_EQ(fixtures::writeDvAvi(path, options, &out.info), 1);
    ASSERT_EQ(out.reader.Open(path, "r"), 1);
    out.index.build(out.reader, limit);
}

void expectFramesAt(const Written& written) {
    const auto* video = written.index.stream(0);
    ASSERT_NE(video, nullptr);
    ASSERT_EQ(video->size(), written.info.frameDataOffsets.size());
    for (size_t i = 0; i < video->size(); ++i) {
        EXPECT_EQ((*video)[i].headerOffset, written.info.frameDataOffsets[i] - 8) << "frame " << i;
        EXPECT_EQ((*video)[i].size, written.info.frameSize) << "frame " << i;
    }
}

TEST(AviIndexReader, LegacyIndexListsEveryChunkAndItsKeyFlag) {
    TempDir dir;
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(12);
    options.nonKeyFrames = {3, 7};
    Written written;
    writeAndIndex(dir, options, written);
    expectFramesAt(written);
    EXPECT_FALSE(written.index.allKeyFrames(0));
    EXPECT_FALSE(written.index.isKeyFrame(0, 3));
    EXPECT_TRUE(written.index.isKeyFrame(0, 4));
    EXPECT_TRUE(written.index.isKeyFrame(0, 99));  // past the index: not known, so a key frame
    ASSERT_NE(written.index.stream(1), nullptr);   // the audio of type 2
    EXPECT_EQ(written.index.stream(1)->size(), 12u);
    EXPECT_EQ(written.index.stream(2), nullptr);
}

TEST(AviIndexReader, StandardIndexesOfEverySegment) {
    for (int type : {1, 2}) {
        TempDir dir;
        fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(40, type);
        options.openDml = OpenDmlLayout::Segments;
        options.riffSegmentBytes = 1u << 20;
        options.writeIdx1 = false;  // only the OpenDML indexes can tell
        Written written;
        writeAndIndex(dir, options, written);
        ASSERT_GT(written.info.riffSegments, 1);
        expectFramesAt(written);
        EXPECT_TRUE(written.index.allKeyFrames(0));
    }
}

TEST(AviIndexReader, KeepsAtMostTheLimit) {
    TempDir dir;
    Written written;
    writeAndIndex(dir, fixtures::singleSessionOptions(10, 1), written, 4);
    ASSERT_NE(written.index.stream(0), nullptr);
    EXPECT_EQ(written.index.stream(0)->size(), 4u);
}

TEST(AviIndexReader, FileWithoutIndexLeavesStreamsEmpty) {
    TempDir dir;
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(5, 1);
    options.writeIdx1 = false;
    Written written;
    writeAndIndex(dir, options, written);
    EXPECT_EQ(written.index.stream(0), nullptr);
    EXPECT_TRUE(written.index.allKeyFrames(0));
}

}  // namespace
}  // namespace klemora::test
