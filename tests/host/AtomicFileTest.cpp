#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestUtil.h"
#include "cli/CliTestSupport.h"
#include "host/AtomicFile.h"
#include "host/Fd.h"
#include "support/ScopedFaults.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Step = AtomicFile::Result::Step;
using clitest::FilesIn;
using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

const Bytes kOld(3000, 0x11);
const Bytes kNew(5000, 0x22);

AtomicFile::Writer Writes(const Bytes& bytes) {
    return [&bytes](int fd) { return AtomicFile::WriteAll(fd, bytes.data(), bytes.size()); };
}

// Writes half of kNew, then fails as a full disk would.
bool FailsHalfway(int fd) {
    AtomicFile::WriteAll(fd, kNew.data(), kNew.size() / 2);
    errno = ENOSPC;
    return false;
}

ino_t InodeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0);
    return st.st_ino;
}

TEST(AtomicFileReplace, AFailedStepLeavesTheOldFileAndNothingBeside) {
    struct Case {
        const char* label;
        AtomicFile::Faults faults;
        bool writerFails;
        Step step;
        int error;
    };
    const Case kCases[] = {
        {"the writer fails", {}, true, Step::Write, ENOSPC},
        {"the disk is full", {.fileLimit = 4096}, false, Step::Write, ENOSPC},
        {"fsync fails", {.failSyncFrom = 1}, false, Step::Sync, EIO},
        {"the rename fails", {.failRename = true}, false, Step::Replace, EIO},
    };
    for (bool named : {false, true}) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(c.label) + (named ? ", named temporary" : ", unnamed"));
            TempDir dir;
            const fs::path path = dir.path() / "disk.d88";
            ASSERT_TRUE(WriteFileBytes(path, kOld));
            Fd old(open(path.c_str(), O_RDONLY | O_CLOEXEC));
            AtomicFile::ForceNamedTemporaryForTests(named);
            AtomicFile::Result result;
            {
                ScopedFaults faults(c.faults);
                result = AtomicFile::Replace(path, c.writerFails ? FailsHalfway : Writes(kNew),
                                             old.get());
            }
            AtomicFile::ForceNamedTemporaryForTests(false);
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.failedAt, c.step);
            EXPECT_EQ(result.sysError, c.error);
            EXPECT_EQ(ReadFileBytes(path), kOld);
            EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"disk.d88"});
        }
    }
}

TEST(AtomicFileReplace, ARealRenameFailureRemovesTheFinishedFile) {
    TempDir dir;
    const fs::path busy = dir.path() / "busy";
    fs::create_directory(busy);
    ASSERT_TRUE(WriteFileBytes(busy / "inside", {4}));
    const AtomicFile::Result result = AtomicFile::Replace(busy, Writes(kNew));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failedAt, Step::Replace);
    EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"busy"});
    EXPECT_EQ(ReadFileBytes(busy / "inside"), Bytes{4});
}

TEST(AtomicFileRewrite, WritesTheFileItselfAndPutsTheOldContentsBackOnFailure) {
    struct Case {
        const char* label;
        AtomicFile::Faults faults;
        bool writerFails;
        Step step;     // None: written
        bool copyKept; // the old contents could not be put back
    };
    const Case kCases[] = {
        {"written", {}, false, Step::None, false},
        {"the writer fails", {}, true, Step::Write, false},
        {"the disk is full", {.fileLimit = 4000}, false, Step::Write, false},
        {"fsync of the copy fails", {.failSyncFrom = 1}, false, Step::Create, false},
        {"fsync fails, and again when putting back", {.failSyncFrom = 2}, false, Step::Sync, true},
        {"the writer fails, and putting back too", {.failSyncFrom = 2}, true, Step::Write, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        const fs::path path = dir.path() / "disk.d88";
        ASSERT_TRUE(WriteFileBytes(path, kOld));
        ASSERT_EQ(chmod(path.c_str(), 0646), 0);
        const ino_t inode = InodeOf(path);
        Fd old(open(path.c_str(), O_RDONLY | O_CLOEXEC));
        AtomicFile::Result result;
        {
            ScopedFaults faults(c.faults);
            result =
                AtomicFile::Rewrite(path, c.writerFails ? FailsHalfway : Writes(kNew), old.get());
        }
        EXPECT_EQ(result.ok, c.step == Step::None);
        EXPECT_EQ(result.failedAt, c.step);
        EXPECT_EQ(InodeOf(path), inode);
        EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0646));
        const fs::path copy = dir.path() / "disk.d88.dvx-copy";
        if (c.copyKept) {
            EXPECT_EQ(result.keptCopy, copy.string());
            EXPECT_EQ(ReadFileBytes(copy), kOld);
            EXPECT_EQ(FilesIn(dir.path()),
                      (std::set<std::string>{"disk.d88", "disk.d88.dvx-copy"}));
        } else {
            EXPECT_TRUE(result.keptCopy.empty());
            EXPECT_EQ(ReadFileBytes(path), result.ok ? kNew : kOld);
            EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"disk.d88"});
        }
    }
}

TEST(AtomicFileRewrite, ACrashMidWriteLeavesAWholeCopyThatLaterWritesKeep) {
    TempDir dir;
    const fs::path path = dir.path() / "disk.d88";
    ASSERT_TRUE(WriteFileBytes(path, kOld));
    const pid_t pid = fork();
    if (pid == 0) {
        Fd old(open(path.c_str(), O_RDONLY | O_CLOEXEC));
        AtomicFile::Rewrite(
            path,
            [](int fd) {
                AtomicFile::WriteAll(fd, kNew.data(), 1000);
                _exit(0); // the process dies with the file half written
                return true;
            },
            old.get());
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const fs::path copy = dir.path() / "disk.d88.dvx-copy";
    EXPECT_EQ(ReadFileBytes(copy), kOld);
    EXPECT_EQ(ReadFileBytes(path).front(), 0x22);

    // The next write takes a copy name of its own and leaves the survivor alone.
    Fd old(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_TRUE(AtomicFile::Rewrite(path, Writes(kNew), old.get()).ok);
    EXPECT_EQ(ReadFileBytes(path), kNew);
    EXPECT_EQ(ReadFileBytes(copy), kOld);
    EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"disk.d88", "disk.d88.dvx-copy"}));
}

} // namespace
