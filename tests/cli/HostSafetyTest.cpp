#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "CliTestSupport.h"
#include "TestUtil.h"
#include "fs/DirEntry.h"
#include "fs/FsCheck.h"
#include "host/AtomicFile.h"
#include "image/Geometry.h"
#include "support/TestDisk.h"

// What writing host files must never do: lose an update, write through a planted link, replace
// a node that is no regular file, leave a temporary file behind, drop owner or attributes.
namespace {

namespace fs = std::filesystem;
using clitest::FilesIn;
using clitest::Json;
using clitest::RunTool;
using testdisk::Bytes;
using testdisk::Pattern;
using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

class HostSafety : public clitest::ImageTest {
protected:
    std::set<std::string> Names(const std::string& path) {
        const auto run = RunTool({"ls", path, "--json"});
        EXPECT_EQ(run.code, 0) << run.err;
        std::set<std::string> names;
        for (const auto& row : Json(run))
            names.insert(row["name"].get<std::string>());
        return names;
    }
    // Runs the tool in a child process; returns its pid.
    static pid_t Spawn(std::vector<std::string> args) {
        const pid_t pid = fork();
        if (pid == 0)
            _exit(RunTool(args).code);
        return pid;
    }
    static int Wait(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(HostSafety, ConcurrentPutsBothLand) {
    const std::string a = Host("A.BIN", Pattern(3000, 1));
    const std::string b = Host("B.BIN", Pattern(5000, 2));
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(RunTool({"new", image, "--type", "1", "--force"}).code, 0);
        const pid_t first = Spawn({"put", image, a});
        const pid_t second = Spawn({"put", image, b});
        EXPECT_EQ(Wait(first), 0);
        EXPECT_EQ(Wait(second), 0);
        EXPECT_EQ(Names(image), (std::set<std::string>{"A.BIN", "B.BIN"}));
    }
    EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"disk.d88", "A.BIN", "B.BIN"}));
}

TEST_F(HostSafety, APutWaitsForAHeldLockThenGivesUp) {
    const Bytes before = ReadFileBytes(image);
    const int fd = open(image.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    setenv(ImageFileSession::kWaitVariable, "100", 1);
    const auto start = std::chrono::steady_clock::now();
    const auto run = RunTool({"put", image, Host("A.BIN", Pattern(10))});
    const auto waited = std::chrono::steady_clock::now() - start;
    unsetenv(ImageFileSession::kWaitVariable);
    close(fd);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "darvex-cli: put: " + image + ": the image is in use by another program\n");
    EXPECT_GE(waited, std::chrono::milliseconds(100));
    EXPECT_LT(waited, std::chrono::seconds(2));
    EXPECT_EQ(ReadFileBytes(image), before);
}

TEST_F(HostSafety, AReadOnlyImageIsWrittenOnlyWithForce) {
    ASSERT_EQ(RunTool({"put", image, Host("A.BIN", Pattern(10)), "--name", "X"}).code, 0);
    ASSERT_EQ(chmod(image.c_str(), 0444), 0);
    for (std::vector<std::string> args : {std::vector<std::string>{"put", image, Host("B", {1})},
                                          {"rm", image, "X"},
                                          {"boot-put", image, Host("IPL", {1})}}) {
        SCOPED_TRACE(args[0]);
        const Bytes before = ReadFileBytes(image);
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.err, "darvex-cli: " + args[0] + ": " + image + ": the image is read-only\n");
        EXPECT_EQ(ReadFileBytes(image), before);
        args.push_back("--force");
        EXPECT_EQ(RunTool(args).code, 0);
        EXPECT_NE(ReadFileBytes(image), before);
        EXPECT_EQ(fs::status(image).permissions(), fs::perms(0444));
    }
}

TEST_F(HostSafety, AKilledWriterLeavesTheImageWholeAndNothingBeside) {
    const std::string big = Host("BIG.BIN", Pattern(60000, 3));
    std::mt19937 rng(7);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        const pid_t pid = fork();
        if (pid == 0) {
            for (int i = 0; i < 1000; ++i) {
                RunTool({"put", image, big, "--name", "F" + std::to_string(i % 20)});
                RunTool({"rm", image, "F" + std::to_string(i % 20)});
            }
            _exit(0);
        }
        usleep(std::uniform_int_distribution<int>(2000, 40000)(rng));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        DiskImage disk;
        ASSERT_TRUE(ImageFile::Load(image, disk).Ok());
        EXPECT_TRUE(CheckFileSystem(disk).Ok()) << CheckFileSystem(disk).Summary();
        // A kill between naming the finished file and the rename can leave it; the next
        // writer removes it.
        ASSERT_EQ(RunTool({"new", (dir.path() / "next.d88").string(), "--type", "1"}).code, 0);
        fs::remove(dir.path() / "next.d88");
        EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"disk.d88", "BIG.BIN"}));
    }
}

TEST_F(HostSafety, TheNamedTemporaryFallbackLeavesNothingEither) {
    AtomicFile::ForceNamedTemporaryForTests(true);
    const auto run = RunTool({"put", image, Host("A.BIN", Pattern(100))});
    AtomicFile::ForceNamedTemporaryForTests(false);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Names(image), std::set<std::string>{"A.BIN"});
    EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"disk.d88", "A.BIN"}));
}

TEST_F(HostSafety, ALongImageNameCanBeUpdated) {
    const std::string longName = (dir.path() / (std::string(250, 'x') + ".d88")).string();
    ASSERT_EQ(RunTool({"new", longName, "--type", "2"}).code, 0);
    const auto run = RunTool({"put", longName, Host("A.BIN", Pattern(100))});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Names(longName), std::set<std::string>{"A.BIN"});
}

TEST_F(HostSafety, ImageBehindASymbolicLink) {
    const fs::path link = dir.path() / "link.d88";
    fs::create_symlink("disk.d88", link);
    ASSERT_EQ(RunTool({"put", link.string(), Host("A.BIN", Pattern(10))}).code, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Names(image), std::set<std::string>{"A.BIN"});

    const fs::path dangling = dir.path() / "dangling.d88";
    fs::create_symlink("nowhere.d88", dangling);
    const auto run = RunTool({"put", dangling.string(), Host("B.BIN", Pattern(10))});
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(fs::exists(dir.path() / "nowhere.d88"));
    EXPECT_TRUE(fs::is_symlink(dangling));
}

TEST_F(HostSafety, NodesThatAreNoRegularFileAreRefused) {
    const std::string file = Host("A.BIN", Pattern(10));
    const fs::path fifo = dir.path() / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path socketPath = dir.path() / "socket";
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    struct Case {
        const char* label;
        std::vector<std::string> args;
    };
    const Case kCases[] = {
        {"-o onto a FIFO", {"put", image, file, "-o", fifo.string()}},
        {"-o onto a socket", {"put", image, file, "-o", socketPath.string()}},
        {"-o onto a folder", {"put", image, file, "-o", dir.path().string()}},
        {"a FIFO as IMAGE", {"put", fifo.string(), file}},
        {"a FIFO as HOSTFILE", {"put", image, fifo.string()}},
        {"ls of a FIFO", {"ls", fifo.string()}},
        {"get onto a FIFO", {"get", image, "X", fifo.string()}},
    };
    ASSERT_EQ(RunTool({"put", image, file, "--name", "X"}).code, 0);
    const Bytes before = ReadFileBytes(image);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(RunTool(c.args).code, 1);
        struct stat st {};
        ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
        ASSERT_EQ(lstat(socketPath.c_str(), &st), 0);
        EXPECT_TRUE(S_ISSOCK(st.st_mode));
    }
    close(sock);
    EXPECT_EQ(ReadFileBytes(image), before);
}

TEST_F(HostSafety, ExportsReplaceALinkAndNeverWriteThroughIt) {
    ASSERT_EQ(RunTool({"put", image, Host("A.BIN", Pattern(300, 4))}).code, 0);
    ASSERT_EQ(RunTool({"boot-put", image, Host("IPL.BIN", Pattern(200, 5))}).code, 0);
    const fs::path secret = dir.path() / "secret";
    ASSERT_TRUE(WriteFileBytes(secret, {1, 2, 3}));
    const fs::path out = dir.path() / "out";
    fs::create_directory(out);
    const fs::path planted = out / "A.BIN";
    fs::create_symlink(secret, planted);
    const fs::path bootLink = out / "boot.bin";
    fs::create_symlink(secret, bootLink);

    EXPECT_EQ(RunTool({"get", image, "A.BIN", planted.string()}).code, 0);
    EXPECT_EQ(RunTool({"boot-get", image, bootLink.string()}).code, 0);
    EXPECT_EQ(ReadFileBytes(secret), (Bytes{1, 2, 3}));
    EXPECT_FALSE(fs::is_symlink(planted));
    EXPECT_EQ(ReadFileBytes(planted), Pattern(300, 4));
    EXPECT_FALSE(fs::is_symlink(bootLink));
    EXPECT_EQ(ReadFileBytes(bootLink), Pattern(200, 5));

    // --all replaces nothing: the planted link stays and the file takes the next free name.
    fs::remove(planted);
    fs::create_symlink(secret, planted);
    EXPECT_EQ(RunTool({"get", image, "--all", out.string()}).code, 0);
    EXPECT_EQ(ReadFileBytes(secret), (Bytes{1, 2, 3}));
    EXPECT_TRUE(fs::is_symlink(planted));
    EXPECT_EQ(ReadFileBytes(out / "A~2.BIN"), Pattern(300, 4));
}

TEST_F(HostSafety, AFailedExportLeavesTheOldFile) {
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const fs::path small = dir.path() / "small";
    fs::create_directory(small);
    const std::string mount =
        "mount -t tmpfs -o size=64k tmpfs '" + small.string() + "' 2>/dev/null";
    if (std::system(mount.c_str()) != 0)
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    const fs::path existing = small / "A.BIN";
    ASSERT_TRUE(WriteFileBytes(existing, Bytes(20000, 7)));
    ASSERT_EQ(RunTool({"put", image, Host("A.BIN", Pattern(60000, 6))}).code, 0);
    const auto run = RunTool({"get", image, "A.BIN", existing.string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(ReadFileBytes(existing), Bytes(20000, 7));
    EXPECT_EQ(FilesIn(small), std::set<std::string>{"A.BIN"});
    EXPECT_EQ(std::system(("umount '" + small.string() + "'").c_str()), 0);
}

TEST_F(HostSafety, OwnerGroupModeAndAttributesAreKept) {
    if (geteuid() != 0)
        GTEST_SKIP() << "giving the image to another user needs root";
    ASSERT_EQ(chown(image.c_str(), 4321, 4322), 0);
    ASSERT_EQ(chmod(image.c_str(), 0600), 0);
    const bool xattrs = setxattr(image.c_str(), "user.darvex", "kept", 4, 0) == 0;
    ASSERT_EQ(RunTool({"put", image, Host("A.BIN", Pattern(10))}).code, 0);
    struct stat st {};
    ASSERT_EQ(stat(image.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    if (xattrs) {
        char value[8] = {};
        EXPECT_EQ(getxattr(image.c_str(), "user.darvex", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
}

TEST_F(HostSafety, HardLinksAreWrittenWithAWarning) {
    const fs::path other = dir.path() / "other.d88";
    fs::create_hard_link(image, other);
    const auto run = RunTool({"put", image, Host("A.BIN", Pattern(10))});
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.err.find("warning: the file has other names"), std::string::npos) << run.err;
    EXPECT_EQ(Names(image), std::set<std::string>{"A.BIN"});
    EXPECT_TRUE(Names(other.string()).empty());
}

TEST_F(HostSafety, ADirectoryOverTheBitmapIsReadOnly) {
    DiskImage disk;
    ASSERT_TRUE(ImageFile::Load(image, disk).Ok());
    // A DIR entry whose 8 sectors start at the bitmap (sector 15).
    testdisk::PutEntry(disk, kRootDirSector, 1,
                       testdisk::MakeEntry({.mode = 0x0F, .name = "BAD", .start = 15}));
    clitest::SaveDisk(disk, image);
    const Bytes before = ReadFileBytes(image);

    auto run = RunTool({"put", image, Host("A.BIN", Pattern(10)), "--dir", "BAD"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("it is read-only"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(image), before);
    run = RunTool({"check", image});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("error dir-reserved"), std::string::npos) << run.out;
    EXPECT_EQ(RunTool({"ls", image, "BAD"}).code, 0); // still listed
}

TEST_F(HostSafety, ControlBytesInNamesNeverReachTheTerminal) {
    DiskImage disk;
    ASSERT_TRUE(ImageFile::Load(image, disk).Ok());
    ASSERT_EQ(testdisk::AddRawEntry(disk, "A\x1B[2J\x07Z", 0x01, Pattern(5)), 0);
    clitest::SaveDisk(disk, image);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"ls", image}, std::vector<std::string>{"tree", image}}) {
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 0);
        for (char c : run.out + run.err)
            EXPECT_FALSE((static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F);
    }
    EXPECT_NE(RunTool({"ls", image}).out.find("A\\x1B[2J\\x07Z"), std::string::npos);
    // JSON keeps the raw text; its own escaping makes it safe.
    EXPECT_EQ(Json(RunTool({"ls", image, "--json"}))[0]["name"], "A\x1B[2J\x07Z");
}

TEST_F(HostSafety, StandardOutputErrorsAreErrors) {
#ifdef DARVEX_CLI_PATH
    // Standard output is a pipe nobody reads any more: every write to it fails.
    for (const char* command : {"ls", "info", "check", "tree"}) {
        SCOPED_TRACE(command);
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        close(ends[0]);
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(ends[1], STDOUT_FILENO);
            const int quiet = open((dir.path() / "stderr").c_str(), O_WRONLY | O_CREAT, 0600);
            dup2(quiet, STDERR_FILENO);
            std::signal(SIGPIPE, SIG_IGN); // kept across exec: EPIPE instead of death
            execl(DARVEX_CLI_PATH, DARVEX_CLI_PATH, command, image.c_str(), nullptr);
            _exit(127);
        }
        close(ends[1]);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
    }
#endif
    std::ostringstream failing;
    failing.setstate(std::ios::badbit);
    std::ostringstream err;
    std::vector<std::string> all{"darvex-cli", "ls", image};
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), failing, err), 1);
    EXPECT_EQ(err.str(), "darvex-cli: cannot write to standard output\n");
}

TEST_F(HostSafety, ATapeLongerThanItsSizeTakesOnlyItsSize) {
    DiskImage disk;
    ASSERT_TRUE(ImageFile::Load(image, disk).Ok());
    const int usedBefore = testdisk::CountUsed(disk);
    const std::string tape =
        Host("T.mzt", testdisk::MakeMzt({.name = "TAPE\r", .size = 100, .data = Pattern(3000)}));
    ASSERT_EQ(RunTool({"put", image, tape, "--mode", "obj"}).code, 0);
    ASSERT_TRUE(ImageFile::Load(image, disk).Ok());
    EXPECT_EQ(testdisk::CountUsed(disk), usedBefore + 1); // 100 bytes: one 512-byte cluster
    ASSERT_EQ(RunTool({"rm", image, "TAPE"}).code, 0);
    ASSERT_TRUE(ImageFile::Load(image, disk).Ok());
    EXPECT_EQ(testdisk::CountUsed(disk), usedBefore);
    const auto run = RunTool({"check", image});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out.rfind("0 errors, 0 warnings", 0), 0u) << run.out;
}

TEST_F(HostSafety, MessagesNameTheRealCause) {
    struct Case {
        const char* label;
        std::vector<std::string> args;
        std::string reason;
    };
    const Case kCases[] = {
        {"empty .mzt",
         {"put", image, Host("E.mzt", {})},
         "the file is shorter than the 128-byte header of an MZT file"},
        {"header only",
         {"put", image, Host("H.mzt", testdisk::MakeMzt({.name = "H\r"}))},
         "an MZT file of 128 bytes or less holds no data"},
        {"name ending at its CR",
         {"put", image, Host("A.BIN", Pattern(5)), "--name", "\r"},
         "the name on the disk is empty"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        const auto run = RunTool(c.args);
        EXPECT_EQ(run.code, 1);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
}

TEST_F(HostSafety, ReadCommandsRefuseWhatIsNoMzDisk) {
    const std::string text = Host("notes.txt", Bytes(5000, 'a'));
    // A disk without a bitmap: a D88 image, but no MZ file system.
    DiskImage disk;
    disk.Format(0);
    std::fill_n(testdisk::WritableImage(disk).data() + 15 * 256, 256, 0);
    const std::string noise = Host("noise.d88", {});
    std::string reason;
    ASSERT_TRUE(ImageFile::Write(noise, disk, reason)) << reason;
    // Random bytes with a plausible D88 size field, in which no track is found: no disk.
    Bytes junk = Pattern(20000, 9);
    junk[0x1C] = 0x20;
    junk[0x1D] = 0x4E;
    junk[0x1E] = 0;
    junk[0x1F] = 0;
    const std::string junkPath = Host("junk.d88", junk);
    for (const std::string& path : {text, noise, junkPath}) {
        for (const char* command : {"ls", "tree"}) {
            SCOPED_TRACE(path + " " + command);
            const auto run = RunTool({command, path});
            EXPECT_EQ(run.code, 1);
            EXPECT_TRUE(run.out.empty());
        }
    }
    EXPECT_NE(RunTool({"ls", noise}).err.find("not an MZ disk file system (--force"),
              std::string::npos);
    EXPECT_EQ(RunTool({"ls", noise, "--force"}).code, 0);
    EXPECT_EQ(RunTool({"info", noise}).code, 0);
    for (const auto& args : {std::vector<std::string>{"ls", junkPath, "--force"},
                             std::vector<std::string>{"info", junkPath}}) {
        const auto run = RunTool(args);
        EXPECT_EQ(run.code, 1) << args[0];
        EXPECT_NE(run.err.find("not a D88 disk image"), std::string::npos) << run.err;
    }
}

} // namespace
