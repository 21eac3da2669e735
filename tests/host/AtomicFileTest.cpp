#include <gtest/gtest.h>

#include <fcntl.h>
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
using Names = std::set<std::string>;

const Bytes kOld(3000, 0x11);
const Bytes kNew(5000, 0x22);

bool WritesNew(int fd) {
    return AtomicFile::WriteAll(fd, kNew.data(), kNew.size());
}
// Half of kNew, then the failure of a full disk.
bool FailsHalfway(int fd) {
    AtomicFile::WriteAll(fd, kNew.data(), kNew.size() / 2);
    errno = ENOSPC;
    return false;
}

struct Case {
    const char* label;
    AtomicFile::Faults faults;
    bool writerFails;
    Step step;             // None: written
    int error;             // errno of the failed step
    bool copyKept = false; // Rewrite could not put the old contents back
};

// Runs one replacement (or rewrite) of a kOld file under the case's faults and checks what is
// left in the folder.
void Check(const Case& c, bool rewrite) {
    SCOPED_TRACE(c.label);
    testutil::TempDir dir;
    const fs::path path = dir.path() / "disk.d88";
    ASSERT_TRUE(testutil::WriteFileBytes(path, kOld));
    Fd old(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    const AtomicFile::Writer writer = c.writerFails ? FailsHalfway : WritesNew;
    AtomicFile::Result result;
    {
        ScopedFaults faults(c.faults);
        result = rewrite ? AtomicFile::Rewrite(path, writer, old.get())
                         : AtomicFile::Replace(path, writer, old.get());
    }
    EXPECT_EQ(result.ok, c.step == Step::None);
    EXPECT_EQ(result.failedAt, c.step);
    EXPECT_EQ(result.sysError, c.error);
    const fs::path copy = dir.path() / "disk.d88.dvx-copy";
    EXPECT_EQ(result.keptCopy, c.copyKept ? copy.string() : "");
    if (c.copyKept) {
        EXPECT_EQ(testutil::ReadFileBytes(copy), kOld);
        return;
    }
    EXPECT_EQ(testutil::ReadFileBytes(path), result.ok ? kNew : kOld);
    EXPECT_EQ(clitest::FilesIn(dir.path()), Names{"disk.d88"});
}

TEST(AtomicFile, ReplaceReportsTheFailedStepAndLeavesNothingBeside) {
    const Case kCases[] = {
        {"written", {}, false, Step::None, 0},
        {"the writer fails", {}, true, Step::Write, ENOSPC},
        {"the disk is full", {.fileLimit = 4096}, false, Step::Write, ENOSPC},
        {"fsync fails", {.failSyncFrom = 1}, false, Step::Sync, EIO},
        {"the rename fails", {.failRename = true}, false, Step::Replace, EIO},
    };
    for (bool named : {false, true}) {
        AtomicFile::ForceNamedTemporaryForTests(named);
        for (const Case& c : kCases)
            Check(c, false);
    }
    AtomicFile::ForceNamedTemporaryForTests(false);
}

TEST(AtomicFile, RewritePutsTheOldContentsBackOrKeepsTheirCopy) {
    const Case kCases[] = {
        {"written", {}, false, Step::None, 0},
        {"the writer fails", {}, true, Step::Write, ENOSPC},
        {"the disk is full", {.fileLimit = 4000}, false, Step::Write, ENOSPC},
        {"fsync of the copy fails", {.failSyncFrom = 1}, false, Step::Create, EIO},
        {"fsync fails, putting back too", {.failSyncFrom = 2}, false, Step::Sync, EIO, true},
        {"the writer fails, putting back too",
         {.failSyncFrom = 2},
         true,
         Step::Write,
         ENOSPC,
         true},
    };
    for (const Case& c : kCases)
        Check(c, true);
}

TEST(AtomicFile, ACrashMidRewriteLeavesAWholeCopyThatLaterWritesKeep) {
    testutil::TempDir dir;
    const fs::path path = dir.path() / "disk.d88";
    ASSERT_TRUE(testutil::WriteFileBytes(path, kOld));
    const auto rewrite = [&](const AtomicFile::Writer& writer) {
        Fd old(open(path.c_str(), O_RDONLY | O_CLOEXEC));
        return AtomicFile::Rewrite(path, writer, old.get()).ok;
    };
    if (const pid_t pid = fork(); pid == 0) {
        rewrite([](int fd) { // dies with the file half written
            FailsHalfway(fd);
            _exit(0);
            return false;
        });
        _exit(1);
    } else {
        waitpid(pid, nullptr, 0);
    }
    EXPECT_EQ(testutil::ReadFileBytes(dir.path() / "disk.d88.dvx-copy"), kOld);
    EXPECT_TRUE(rewrite(WritesNew));
    EXPECT_EQ(testutil::ReadFileBytes(path), kNew);
    EXPECT_EQ(testutil::ReadFileBytes(dir.path() / "disk.d88.dvx-copy"), kOld);
    EXPECT_EQ(clitest::FilesIn(dir.path()), (Names{"disk.d88", "disk.d88.dvx-copy"}));
}

} // namespace
