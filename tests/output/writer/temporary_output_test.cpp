// The scene writers' temporary file in a shared destination folder: created
// once, private until complete and written through that one descriptor, so a
// link another user plants is never written through or moved into place.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "avi/avi_reader.h"
#include "output/output_file.h"
#include "output/output_steps.h"
#include "output/scene_writer.h"
#include "output/source_streams.h"
#include "output/write_context.h"
#include "output/write_result.h"
#include "tests/avi/writer/writer_test_support.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/file_facts.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

class SharedDestination : public ::testing::Test {
protected:
    void SetUp() override {
        ::chmod(dest.path().c_str(), 01777);
        writeTextFile(victim, "root's file");
        ASSERT_TRUE(makeDvSource(source, 2, false, 12));
    }

    TempDir dest;
    TempDir elsewhere;
    std::string victim = elsewhere.file("victim");
    std::string source = elsewhere.file("source.avi");
};

TEST_F(SharedDestination, TemporaryIsCreatedOnceAndALinkSwappedInIsNeverFollowed) {
    avi::AviReader reader;
    ASSERT_EQ(reader.Open(source, "r"), 1);
    output::SourceStreams streams;
    ASSERT_EQ(output::describeSource(reader, streams), 1);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);
    std::string destination = dest.file("scene.avi");

    output::TemporaryOutput out(destination);
    avi::AviWriter writer;
    ASSERT_EQ(output::beginOutput(out, writer, streams.layout, context, "WriteScene"), 1);
    std::string temporary = out.path();
    EXPECT_EQ(fileMode(temporary), 0600);             // nobody else reads a half-written scene
    EXPECT_EQ(descriptorsOpenOn(temporary), 1);        // the writer uses the creating descriptor
    ASSERT_EQ(::unlink(temporary.c_str()), 0);         // the moment a name-reopening writer leaves open
    ASSERT_EQ(::symlink(victim.c_str(), temporary.c_str()), 0);

    std::vector<uint8_t> frame(avi::kDvFrameSizePal, 0x5A);
    ASSERT_EQ(writer.writeChunk(streams.videoOutput, frame, true), 1);
    EXPECT_EQ(output::completeOutput(out, writer, context, "WriteScene"),
              static_cast<int>(output::WriteSceneResult::RenameFailed));
    EXPECT_EQ(readTextFile(victim), "root's file");
    EXPECT_FALSE(isSymlink(destination));
    EXPECT_EQ(fileMode(destination), -1);
    EXPECT_TRUE(context.writtenFiles.empty());
}

TEST_F(SharedDestination, WrittenSceneReplacesALinkAndTakesTheModeOfANewFile) {
    ScopedUmask mask(027);
    std::string linked = dest.file("linked.avi"), kept = dest.file("kept.avi");
    ASSERT_EQ(::symlink(victim.c_str(), linked.c_str()), 0);
    writeTextFile(kept, "older scene");
    ::chmod(kept.c_str(), 0600);
    ScriptedUserInterface ui;
    output::WriteContext context(ui);

    ASSERT_EQ(output::WriteScene(source, linked, context, 2, 9, 1.0f), 1) << ui.allMessages();
    ASSERT_EQ(output::WriteScene(source, kept, context, 0, 3, 1.0f), 1) << ui.allMessages();
    EXPECT_EQ(readTextFile(victim), "root's file");
    EXPECT_FALSE(isSymlink(linked));
    EXPECT_EQ(fileMode(linked), 0640);
    EXPECT_EQ(fileMode(kept), 0600);
    avi::AviReader written;
    ASSERT_EQ(written.Open(linked, "r"), 1);
    EXPECT_EQ(written.GetFrameCount(), 8);
    EXPECT_EQ(filesIn(dest.path()), (std::vector<std::string>{"kept.avi", "linked.avi"}));
}

}  // namespace
}  // namespace klemora::test
