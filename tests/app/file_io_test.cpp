// The one way user files are saved: a private temporary beside the target,
// created exclusively and written through its one descriptor, renamed over
// the target when complete. In a shared folder nothing planted by another
// user is followed, moved into place or removed.
#include "app/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "tests/support/file_facts.h"
#include "tests/support/temp_dir.h"

namespace klemora::app {
namespace {

using test::fileMode;
using test::isSymlink;
using test::readTextFile;
using test::TempDir;
using test::writeTextFile;

// A folder like /tmp: anyone may create files, only owners remove them.
class SharedFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ::chmod(dir.path().c_str(), 01777);
        writeTextFile(victim, "precious");
    }

    TempDir dir;
    TempDir elsewhere;
    std::string victim = elsewhere.file("victim.txt");
};

TEST_F(SharedFolder, ExclusiveCreationRefusesEveryPlantedLink) {
    std::string toVictim = dir.file("a"), dangling = dir.file("b"), target = elsewhere.file("created-through-link");
    ASSERT_EQ(::symlink(victim.c_str(), toVictim.c_str()), 0);
    ASSERT_EQ(::symlink(target.c_str(), dangling.c_str()), 0);
    for (const std::string& name : {toVictim, dangling}) {
        errno = 0;
        EXPECT_FALSE(createExclusiveFile(name)) << name;
        EXPECT_EQ(errno, EEXIST);
    }
    EXPECT_EQ(readTextFile(victim), "precious");
    EXPECT_FALSE(fileExists(target));  // a dangling link is not a way to create a file elsewhere
}

TEST_F(SharedFolder, TemporaryIsPrivateUntilCompleteAndHeldByItsOneDescriptor) {
    test::ScopedUmask mask(027);
    std::string target = dir.file("project.scn");
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    ASSERT_TRUE(writer.write("half"));
    struct stat st;
    ASSERT_EQ(::fstat(writer.fd(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(fileMode(writer.temporaryPath()), 0600);
    EXPECT_EQ(test::descriptorsOpenOn(writer.temporaryPath()), 1);
    EXPECT_FALSE(fileExists(target));
    ASSERT_TRUE(writer.commit());
    EXPECT_EQ(readTextFile(target), "half");
    EXPECT_EQ(fileMode(target), 0640);  // what open(..., 0666) would have made
    EXPECT_EQ(newFileMode(), 0640u);
}

TEST_F(SharedFolder, FinalModeIsThatOfTheReplacedFileAndALinkIsReplacedNotFollowed) {
    test::ScopedUmask mask(022);
    std::string kept = dir.file("kept.csv"), linked = dir.file("linked.csv");
    writeTextFile(kept, "old");
    ::chmod(kept.c_str(), 0604);
    ASSERT_EQ(::symlink(victim.c_str(), linked.c_str()), 0);
    ::chmod(victim.c_str(), 0600);

    ASSERT_TRUE(replaceFileAtomically(kept, "new"));
    EXPECT_EQ(readTextFile(kept), "new");
    EXPECT_EQ(fileMode(kept), 0604);

    ASSERT_TRUE(replaceFileAtomically(linked, "mine"));
    EXPECT_FALSE(isSymlink(linked));
    EXPECT_EQ(readTextFile(linked), "mine");
    EXPECT_EQ(fileMode(linked), 0644);
    EXPECT_EQ(readTextFile(victim), "precious");
    EXPECT_EQ(fileMode(victim), 0600);
}

TEST_F(SharedFolder, ATemporaryNameTakenOverIsNeitherRenamedNorRemoved) {
    std::string target = dir.file("page.htm");
    writeTextFile(target, "old page");
    AtomicFileWriter writer(target);
    ASSERT_TRUE(writer.open());
    std::string temporary = writer.temporaryPath();
    // Someone swaps a link in at our name (possible only where the folder is not sticky).
    ASSERT_EQ(::unlink(temporary.c_str()), 0);
    ASSERT_EQ(::symlink(victim.c_str(), temporary.c_str()), 0);
    ASSERT_TRUE(writer.write("new page"));
    EXPECT_FALSE(writer.commit());
    EXPECT_EQ(writer.lastError(), EEXIST);
    EXPECT_EQ(readTextFile(target), "old page");
    EXPECT_EQ(readTextFile(victim), "precious");
    EXPECT_TRUE(isSymlink(temporary));  // not ours to remove
}

TEST_F(SharedFolder, AFailedOrAbandonedSaveLeavesNoTemporary) {
    std::string target = dir.file("picture.bmp");
    {
        AtomicFileWriter writer(target);
        ASSERT_TRUE(writer.open());
        ASSERT_TRUE(writer.write("partial"));
    }
    AtomicFileWriter refused(dir.file("missing-folder/x.bmp"));
    EXPECT_FALSE(refused.open());
    EXPECT_EQ(refused.lastError(), ENOENT);
    EXPECT_FALSE(refused.commit());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// A killed write leaves its temporary; the next one clears it, but never a
// temporary a running writer holds, one just created, nor anything else.
TEST_F(SharedFolder, OnlyTemporariesNoWriterHoldsAreCleared) {
    AtomicFileWriter running(dir.file("running.avi"), "new_avi-", ".tmp");
    ASSERT_TRUE(running.open());
    ASSERT_TRUE(running.write("RIFF"));
    writeTextFile(dir.file("new_avi-Ab12Cd.tmp"), "RIFF");  // left by a killed write
    writeTextFile(dir.file("new_avi-Ef34Gh.tmp"), "");      // new: a writer may be about to lock it
    writeTextFile(dir.file("new_avi-toolong.tmp"), "RIFF");
    writeTextFile(dir.file("notes.tmp"), "mine");
    ::symlink(victim.c_str(), dir.file("new_avi-Ij56Kl.tmp").c_str());
    EXPECT_EQ(removeAbandonedTemporaries(dir.path(), "new_avi-", ".tmp"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("new_avi-Ab12Cd.tmp")));
    for (const char* kept : {"new_avi-Ef34Gh.tmp", "new_avi-toolong.tmp", "notes.tmp"})
        EXPECT_TRUE(std::filesystem::exists(dir.file(kept))) << kept;
    EXPECT_TRUE(isSymlink(dir.file("new_avi-Ij56Kl.tmp")));
    EXPECT_EQ(readTextFile(victim), "precious");
    EXPECT_TRUE(std::filesystem::exists(running.temporaryPath()));
    EXPECT_TRUE(running.commit());
    EXPECT_EQ(readTextFile(dir.file("running.avi")), "RIFF");
}

}  // namespace
}  // namespace klemora::app
