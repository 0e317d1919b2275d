// The writer's copies from the source file (by the kernel's copy_file_range
// or sendfile, or by reads and writes when both refuse) against the plain path, where every chunk is read
// into memory and handed over: the written files must be the same bytes,
// whatever the source's layout, and a failing copy fails the write as a
// failing write does.
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "output/scene_writer.h"
#include "output/write_context.h"
#include "tests/output/writer/scene_test_support.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace klemora::test {
namespace {

using output::WriteContext;
using output::WriteScene;

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ssize_t refuseAcrossFileSystems(int, off_t*, int, off_t*, size_t, unsigned) {
    errno = EXDEV;
    return -1;
}

// The kernel copies part of the first run, then answers with a short copy:
// the reads and writes must go on where it stopped.
ssize_t stopAfterAFewBytes(int in, off_t* inOffset, int out, off_t* outOffset, size_t size, unsigned flags) {
    static int calls = 0;
    if (++calls % 2 == 0) return 0;
    return ::copy_file_range(in, inOffset, out, outOffset, std::min<size_t>(size, 100001), flags);
}

// The same for sendfile, the way across file systems.
ssize_t sendAFewBytesThenRefuse(int out, int in, off_t* inOffset, size_t size) {
    static int calls = 0;
    if (++calls % 2 == 0) {
        errno = EINVAL;
        return -1;
    }
    return ::sendfile(out, in, inOffset, std::min<size_t>(size, 70001));
}

ssize_t diskFull(int, off_t*, int, off_t*, size_t, unsigned) {
    errno = ENOSPC;
    return -1;
}

ssize_t sendToAFullDisk(int, int, off_t*, size_t) {
    errno = ENOSPC;
    return -1;
}

struct KernelCalls {
    avi::CopyRangeCall copy = avi::systemCopyRange();
    avi::SendFileCall send = avi::systemSendFile();
};

struct Scene {
    int32_t start;
    int32_t stop;
    float speed = 1.0f;
};

class SourceCopy : public ::testing::Test {
protected:
    // Writes `scene` of `source` the plain way and with `call`; both must succeed.
    void expectSameAsPlain(const std::string& source, Scene scene, KernelCalls calls = {},
                           uint64_t segmentBytes = 1u << 30) {
        std::string plain = write(source, scene, false, calls, segmentBytes);
        std::string copied = write(source, scene, true, calls, segmentBytes);
        ASSERT_FALSE(plain.empty());
        ASSERT_FALSE(copied.empty());
        std::vector<char> expected = fileBytes(plain);
        EXPECT_GT(expected.size(), 10000u);
        EXPECT_TRUE(expected == fileBytes(copied)) << source << " " << scene.start << ".." << scene.stop;
    }

    std::string write(const std::string& source, Scene scene, bool copy, KernelCalls calls, uint64_t segmentBytes) {
        ScriptedUserInterface ui;
        WriteContext context(ui);
        context.writerOptions.copyFromSource = copy;
        context.writerOptions.copyCall = calls.copy;
        context.writerOptions.sendCall = calls.send;
        context.writerOptions.segmentLimitBytes = segmentBytes;
        context.writerOptions.syncOnFinish = false;
        std::string out = dir.file(std::string(copy ? "copied" : "plain") + std::to_string(++m_written) + ".avi");
        int rc = WriteScene(source, out, context, scene.start, scene.stop, scene.speed);
        EXPECT_EQ(rc, 1) << ui.allMessages();
        return rc == 1 ? out : std::string();
    }

    TempDir dir;

private:
    int m_written = 0;
};

TEST_F(SourceCopy, DvTypesAndOpenDmlSegmentsGiveThePlainBytes) {
    std::string type1 = dir.file("type1.avi"), type2 = dir.file("type2.avi"), ntsc = dir.file("ntsc.avi");
    ASSERT_TRUE(makeDvSource(type1, 1, false, 60));
    ASSERT_TRUE(makeDvSource(type2, 2, false, 60, fixtures::OpenDmlLayout::Segments, 2u << 20));
    ASSERT_TRUE(makeDvSource(ntsc, 2, true, 60));
    for (const std::string& source : {type1, type2, ntsc}) {
        expectSameAsPlain(source, {5, 44});
        // The output's segments change in other places than the source's.
        expectSameAsPlain(source, {0, 59}, {}, 1u << 20);
        expectSameAsPlain(source, {37, -1});  // to the last frame
    }
}

TEST_F(SourceCopy, DamagedAndUnusualLayoutsGiveThePlainBytes) {
    std::string wrongSize = dir.file("wrongsize.avi"), odd = dir.file("odd.avi"), oddAudio = dir.file("mjpeg.avi");
    ASSERT_TRUE(makeDvSourceWithChunkSize(wrongSize, 40, 20, 100000));  // a header lies about frame 20
    fixtures::DvFixtureOptions options = fixtures::singleSessionOptions(40);
    options.junkChunks = true;
    options.oddSizeChunk = true;
    options.wrongSizeChunks = {{12, 143999}};
    ASSERT_TRUE(makeDvSource(odd, options));
    for (const std::string& source : {wrongSize, odd}) {
        expectSameAsPlain(source, {0, 39});
        expectSameAsPlain(source, {15, 25});
    }
    // 44.1 kHz at 25 frames/s: the sound of a frame is parts of the source's chunks.
    if (makeMjpegSource(oddAudio, 40)) expectSameAsPlain(oddAudio, {3, 30});
}

TEST_F(SourceCopy, OtherSpeedsRepeatOrSkipCopiedFramesAsThePlainPathDoes) {
    std::string source = dir.file("source.avi");
    ASSERT_TRUE(makeDvSource(source, 2, false, 60));
    expectSameAsPlain(source, {0, 59, 2.5f});
    expectSameAsPlain(source, {10, 20, 0.4f});
}

TEST_F(SourceCopy, TheReadWriteFallbackGivesThePlainBytes) {
    std::string source = dir.file("source.avi");
    ASSERT_TRUE(makeDvSource(source, 2, false, 60, fixtures::OpenDmlLayout::Segments, 2u << 20));
    const KernelCalls ways[] = {{nullptr, nullptr},
                                {&refuseAcrossFileSystems, nullptr},
                                {&refuseAcrossFileSystems, avi::systemSendFile()},
                                {&refuseAcrossFileSystems, &sendAFewBytesThenRefuse},
                                {&stopAfterAFewBytes, nullptr}};
    for (const KernelCalls& calls : ways) {
        expectSameAsPlain(source, {0, 59}, calls, 1u << 20);
        expectSameAsPlain(source, {9, -1}, calls);
    }
}

// A destination on another file system (tmpfs beside the test folder on
// disk): copy_file_range refuses there for real, and sendfile copies.
TEST_F(SourceCopy, AnotherFileSystemGetsThePlainBytes) {
    std::string shm = "/dev/shm/klemora-copy-XXXXXX";
    struct stat disk {}, memory {};
    if (::stat(dir.path().c_str(), &disk) != 0 || ::mkdtemp(shm.data()) == nullptr)
        GTEST_SKIP() << "no /dev/shm";
    std::string source = dir.file("source.avi"), copied = shm + "/copied.avi";
    ASSERT_TRUE(makeDvSource(source, 2, false, 40));
    if (::stat(shm.c_str(), &memory) != 0 || memory.st_dev == disk.st_dev) {
        std::filesystem::remove_all(shm);
        GTEST_SKIP() << "/dev/shm is no other file system here";
    }
    ScriptedUserInterface ui;
    WriteContext context(ui);
    context.writerOptions.syncOnFinish = false;
    int rc = WriteScene(source, copied, context, 3, 35, 1.0f);
    std::vector<char> bytes = fileBytes(copied);
    std::filesystem::remove_all(shm);
    ASSERT_EQ(rc, 1) << ui.allMessages();
    EXPECT_TRUE(bytes == fileBytes(write(source, {3, 35}, false, {}, 1u << 30)));
}

TEST_F(SourceCopy, AFullDiskDuringACopyFailsTheSceneAndLeavesNothing) {
    std::string source = dir.file("source.avi"), folder = dir.file("out");
    ASSERT_TRUE(makeDvSource(source, 2, false, 30));
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    for (KernelCalls calls : {KernelCalls{&diskFull, nullptr}, KernelCalls{&refuseAcrossFileSystems, &sendToAFullDisk}}) {
        ScriptedUserInterface ui;
        WriteContext context(ui);
        context.writerOptions.copyCall = calls.copy;
        context.writerOptions.sendCall = calls.send;
        int rc = WriteScene(source, folder + "/scene.avi", context, 0, 29, 1.0f);
        EXPECT_TRUE(rc == -50 || rc == -51) << rc;
        EXPECT_TRUE(ui.hasMessage("ENOSPC")) << ui.allMessages();
        EXPECT_EQ(filesIn(folder), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace klemora::test
