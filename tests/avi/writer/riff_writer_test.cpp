#include "avi/riff_writer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <utility>

#include "tests/support/temp_dir.h"
#include "writer_test_support.h"

namespace klemora::avi {
namespace {

using test::fourcc;
using test::readBytes;

std::vector<uint8_t> bytesOf(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

void appendText(std::vector<uint8_t>& out, const char* text) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(text[i]));
}
void appendLe(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Odd sizes are padded but not counted; the lists' sizes include their
// children's pad bytes. The tiny buffer sends most patches to the disk and
// the big chunk straight past the buffer.
TEST(RiffWriter, NestedScopesPadAndPatchSizesWhateverTheBuffer) {
    for (size_t bufferBytes : {size_t{16}, RiffWriter::kDefaultBufferBytes}) {
        test::TempDir dir;
        RiffWriter out;
        ASSERT_EQ(out.create(dir.file("t.riff"), bufferBytes), 1);
        ChunkScope riff = out.openList(fourcc("RIFF"), fourcc("TEST"));
        ChunkScope odd = out.openChunk(fourcc("abcd"));
        out.append(bytesOf({1, 2, 3}));
        EXPECT_EQ(odd.finish(), 1);
        ChunkScope list = out.openList(fourcc("LIST"), fourcc("lst "));
        out.writeChunk(fourcc("efgh"), bytesOf({4, 5, 6, 7, 8}));
        EXPECT_EQ(list.finish(), 1);
        std::vector<uint8_t> big(40, 0xAB);
        out.writeChunk(fourcc("big "), big);
        EXPECT_EQ(riff.finish(), 1);
        EXPECT_EQ(out.close(), 1);

        std::vector<uint8_t> expected;
        appendText(expected, "RIFF");
        appendLe(expected, 4 + 12 + 26 + 48);
        appendText(expected, "TEST");
        appendText(expected, "abcd");
        appendLe(expected, 3);
        expected.insert(expected.end(), {1, 2, 3, 0});
        appendText(expected, "LIST");
        appendLe(expected, 18);
        appendText(expected, "lst ");
        appendText(expected, "efgh");
        appendLe(expected, 5);
        expected.insert(expected.end(), {4, 5, 6, 7, 8, 0});
        appendText(expected, "big ");
        appendLe(expected, 40);
        expected.insert(expected.end(), big.begin(), big.end());
        EXPECT_EQ(readBytes(dir.file("t.riff")), expected) << "buffer " << bufferBytes;
    }
}

TEST(RiffWriter, PatchesAcrossTheFlushedBoundary) {
    test::TempDir dir;
    RiffWriter out;
    ASSERT_EQ(out.create(dir.file("p.bin"), 16), 1);
    std::vector<uint8_t> data(24);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    out.append({data.data(), 12});  // flushed once the next part does not fit
    out.append({data.data() + 12, 12});
    ASSERT_EQ(out.patch(10, bytesOf({0xA0, 0xA1, 0xA2, 0xA3})), 1);  // two bytes on disk, two buffered
    EXPECT_EQ(out.patch(23, bytesOf({1, 2})), static_cast<int>(WriterResult::BadState));  // past the end
    ASSERT_EQ(out.close(), static_cast<int>(WriterResult::BadState));

    RiffWriter again;
    ASSERT_EQ(again.create(dir.file("q.bin"), 16), 1);
    again.append({data.data(), 12});
    again.append({data.data() + 12, 12});
    ASSERT_EQ(again.patch(10, bytesOf({0xA0, 0xA1, 0xA2, 0xA3})), 1);
    ASSERT_EQ(again.close(), 1);
    data[10] = 0xA0, data[11] = 0xA1, data[12] = 0xA2, data[13] = 0xA3;
    EXPECT_EQ(readBytes(dir.file("q.bin")), data);
}

TEST(RiffWriter, MisuseAndFailuresStick) {
    test::TempDir dir;
    {
        RiffWriter out;
        ASSERT_EQ(out.create(dir.file("u.riff")), 1);
        { ChunkScope forgotten = out.openChunk(fourcc("abcd")); }  // an early return
        EXPECT_EQ(out.result(), static_cast<int>(WriterResult::BadState));
        EXPECT_EQ(out.appendLe32(1), static_cast<int>(WriterResult::BadState));
    }
    {
        RiffWriter out;
        ASSERT_EQ(out.create(dir.file("o.riff")), 1);
        ChunkScope outer = out.openChunk(fourcc("outr"));
        ChunkScope inner = out.openChunk(fourcc("innr"));
        EXPECT_EQ(outer.finish(), static_cast<int>(WriterResult::BadState));  // not innermost
        EXPECT_EQ(inner.finish(), static_cast<int>(WriterResult::BadState));
    }
    RiffWriter missing;
    EXPECT_EQ(missing.create(dir.file("no/such/folder/x.riff")), static_cast<int>(WriterResult::CannotCreate));
    EXPECT_EQ(missing.lastErrno(), ENOENT);
    EXPECT_EQ(writerResultName(-3), "DiskFull");
    EXPECT_EQ(writerResultName(-99), "Unknown");
}


ssize_t copyOnlyOnce(int in, off_t* inOffset, int out, off_t* outOffset, size_t size, unsigned flags) {
    static int calls = 0;
    if (++calls % 2 == 0) {
        errno = EXDEV;
        return -1;
    }
    return ::copy_file_range(in, inOffset, out, outOffset, std::min<size_t>(size, 5), flags);
}

ssize_t sendOnlyOnce(int out, int in, off_t* inOffset, size_t size) {
    static int calls = 0;
    if (++calls % 2 == 0) {
        errno = EINVAL;
        return -1;
    }
    return ::sendfile(out, in, inOffset, std::min<size_t>(size, 7));
}

// Copies of a source's bytes land where they were appended, among bytes of
// our own and patched sizes, whether the kernel copies (by either call),
// refuses half-way or is never asked; runs that follow each other in the
// source join.
TEST(RiffWriter, CopiedBytesLandInPlaceAmongOurOwn) {
    test::TempDir dir;
    std::vector<uint8_t> source;
    for (int i = 0; i < 300; ++i) source.push_back(static_cast<uint8_t>(i * 7));
    {
        std::ofstream file(dir.file("source"), std::ios::binary);
        file.write(reinterpret_cast<const char*>(source.data()), static_cast<std::streamsize>(source.size()));
    }
    std::vector<uint8_t> expected;
    appendText(expected, "LIST");
    appendLe(expected, 4 + 100 + 4 + 150);
    appendText(expected, "copy");
    expected.insert(expected.end(), source.begin() + 10, source.begin() + 110);  // two runs that join
    appendText(expected, "mine");
    expected.insert(expected.end(), source.begin() + 150, source.begin() + 300);
    const std::pair<CopyRangeCall, SendFileCall> ways[] = {{systemCopyRange(), systemSendFile()},
                                                           {nullptr, nullptr},
                                                           {&copyOnlyOnce, nullptr},
                                                           {nullptr, systemSendFile()},
                                                           {&copyOnlyOnce, &sendOnlyOnce}};
    for (auto [call, send] : ways) {
        int in = ::open(dir.file("source").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(in, 0);
        RiffWriter out;
        out.setCopyCalls(call, send);
        ASSERT_EQ(out.create(dir.file("t.riff"), 16), 1);
        ChunkScope list = out.openList(fourcc("LIST"), fourcc("copy"));
        out.appendCopy(in, 10, 60);
        out.appendCopy(in, 70, 40);
        EXPECT_EQ(out.position(), 112);
        out.appendLe32(fourcc("mine"));
        out.appendCopy(in, 150, 150);
        EXPECT_EQ(list.finish(), 1);
        EXPECT_EQ(out.close(), 1);
        ::close(in);
        EXPECT_EQ(readBytes(dir.file("t.riff")), expected);
    }
}

}  // namespace
}  // namespace klemora::avi
