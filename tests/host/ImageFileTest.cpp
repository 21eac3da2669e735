#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "TestUtil.h"
#include "cli/CliTestSupport.h"
#include "fs/DiskImage.h"
#include "fs/Messages.h"
#include "host/ImageFile.h"
#include "support/TestDisk.h"

namespace {

namespace fs = std::filesystem;
using clitest::FilesIn;
using testutil::ReadFileBytes;
using testutil::TempDir;
using testutil::WriteFileBytes;

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

// A blank disk and the D88 file it saves as.
const DiskImage& Blank() {
    static const DiskImage* disk = [] {
        auto* d = new DiskImage;
        d->Format(2);
        return d;
    }();
    return *disk;
}

std::vector<unsigned char> BlankFile() {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(Blank().GetSavedSize(0)));
    Blank().Save(bytes.data(), 0);
    return bytes;
}

// One save of the blank disk over path as an ordinary user: the ImageFileError as a number.
int SaveAsUser(const fs::path& path, bool force) {
    return testutil::RunAsUser([&] {
        ImageFileSession session;
        ImageFileStatus status = session.Open(path.string());
        if (status.Ok())
            status = session.Save(Blank(), nullptr, force);
        return static_cast<int>(status.error);
    });
}

TEST(ImageFile, WriteReplacesTheFileAndKeepsItsMode) {
    TempDir dir;
    const fs::path target = dir.path() / "disk.d88";
    ASSERT_TRUE(WriteFileBytes(target, {1, 2, 3}));
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);

    std::string reason;
    ASSERT_TRUE(ImageFile::Write(target.string(), Blank(), reason)) << reason;
    EXPECT_EQ(ReadFileBytes(target), BlankFile());
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"disk.d88"});
}

TEST(ImageFile, WriteCreatesANewFileWithTheUmaskMode) {
    TempDir dir;
    const fs::path target = dir.path() / "new.d88";
    const mode_t old = umask(022);
    std::string reason;
    const bool ok = ImageFile::Write(target.string(), Blank(), reason);
    umask(old);
    ASSERT_TRUE(ok) << reason;
    EXPECT_EQ(ModeOf(target), 0644u); // not the 0600 of the temporary file
    EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"new.d88"});
}

TEST(ImageFile, WriteThroughASymbolicLinkKeepsTheLink) {
    TempDir dir;
    const fs::path real = dir.path() / "real.d88";
    const fs::path link = dir.path() / "link.d88";
    ASSERT_TRUE(WriteFileBytes(real, {1}));
    fs::create_symlink(real, link);
    std::string reason;
    ASSERT_TRUE(ImageFile::Write(link.string(), Blank(), reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(real), BlankFile());
}

TEST(ImageFile, AFolderInTheTargetsPlaceIsRefused) {
    TempDir dir;
    const fs::path target = dir.path() / "busy";
    fs::create_directory(target);
    ASSERT_TRUE(WriteFileBytes(target / "inside", {4}));
    std::string reason;
    EXPECT_FALSE(ImageFile::Write(target.string(), Blank(), reason));
    EXPECT_NE(reason.find("not a regular file"), std::string::npos) << reason;
    EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"busy"});
    EXPECT_EQ(ReadFileBytes(target / "inside"), std::vector<unsigned char>{4});
}

TEST(ImageFile, MissingFolderFails) {
    TempDir dir;
    std::string reason;
    EXPECT_FALSE(ImageFile::Write((dir.path() / "no" / "x.d88").string(), Blank(), reason));
    EXPECT_NE(reason.find("temporary file"), std::string::npos) << reason;
    EXPECT_TRUE(FilesIn(dir.path()).empty());
}

TEST(ImageFile, ReadOnlyFolderFailsAndKeepsTheOldFile) {
    TempDir dir;
    const fs::path folder = dir.path() / "ro";
    fs::create_directory(folder);
    const fs::path target = folder / "disk.d88";
    ASSERT_TRUE(WriteFileBytes(target, {7, 7}));
    testutil::GiveToTestUser({folder, target});
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    const int failed = testutil::RunAsUser([&] {
        std::string reason;
        return ImageFile::Write(target.string(), Blank(), reason) ? 0 : 1;
    });
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(ReadFileBytes(target), (std::vector<unsigned char>{7, 7}));
    EXPECT_EQ(FilesIn(folder), std::set<std::string>{"disk.d88"});
}

TEST(ImageFileSession, AnotherUsersImageIsNeverGivenAway) {
    if (geteuid() != 0)
        GTEST_SKIP() << "making files of other users needs root";
    using E = ImageFileError;
    struct Case {
        const char* label;
        mode_t folderMode;
        uid_t owner;
        mode_t fileMode;
        E plain;
        E forced; // tried when the plain save is refused
    };
    const Case kCases[] = {
        {"root's 0644 file, world-writable folder", 0777, 0, 0644, E::ReadOnly, E::NotOwner},
        {"root's 0666 file, world-writable folder", 0777, 0, 0666, E::None, E::None},
        {"another's 0666 file, sticky folder", 01777, testutil::kOtherUid, 0666, E::None, E::None},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        ASSERT_EQ(chmod(dir.path().c_str(), c.folderMode), 0);
        const fs::path path = dir.path() / "disk.d88";
        ASSERT_TRUE(WriteFileBytes(path, {1}));
        ASSERT_EQ(chown(path.c_str(), c.owner, c.owner), 0);
        ASSERT_EQ(chmod(path.c_str(), c.fileMode), 0);
        struct stat before {};
        ASSERT_EQ(stat(path.c_str(), &before), 0);
        EXPECT_EQ(SaveAsUser(path, false), static_cast<int>(c.plain));
        if (c.plain != E::None) {
            EXPECT_EQ(SaveAsUser(path, true), static_cast<int>(c.forced));
        }
        const std::vector<unsigned char> expected =
            c.forced == E::None ? BlankFile() : std::vector<unsigned char>{1};
        EXPECT_EQ(ReadFileBytes(path), expected);
        struct stat after {};
        ASSERT_EQ(stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino); // written in place, never replaced
        EXPECT_EQ(after.st_uid, c.owner);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"disk.d88"});
    }
}

TEST(ImageFile, ReadReportsWhyAFileIsNoImage) {
    TempDir dir;
    const fs::path small = dir.path() / "small.d88";
    ASSERT_TRUE(WriteFileBytes(small, std::vector<unsigned char>(100, 0)));
    // Sparse files at the limit of 64 MiB and one byte over it, written out as numbers so that
    // a changed limit shows here.
    const fs::path atLimit = dir.path() / "limit.d88", big = dir.path() / "big.d88";
    for (const auto& [path, bytes] : {std::pair{atLimit, 67108864u}, std::pair{big, 67108865u}}) {
        ASSERT_TRUE(WriteFileBytes(path, {}));
        fs::resize_file(path, bytes);
    }
    struct Case {
        fs::path path;
        const char* reason;
    };
    const Case kCases[] = {
        {dir.path() / "missing.d88", "cannot read"},
        {dir.path(), "cannot read"},
        {small, "not a D88"},
        {atLimit, "not a D88"},
        {big, "too large"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.path.string());
        DiskImage disk;
        disk.Format(1);
        const std::string reason = ImageFile::Load(c.path.string(), disk).CliMessage();
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        EXPECT_EQ(disk.GetCylinders(), 40); // the held image is kept
    }
}

TEST(ImageFile, WriteThenReadGivesTheSameDisk) {
    TempDir dir;
    const fs::path target = dir.path() / "t.d88";
    for (int type = 0; type < 4; ++type) {
        SCOPED_TRACE(type);
        DiskImage disk;
        disk.Format(type);
        std::string reason;
        ASSERT_TRUE(ImageFile::Write(target.string(), disk, reason)) << reason;
        EXPECT_EQ(fs::file_size(target), static_cast<std::uintmax_t>(disk.GetSavedSize(0)));
        DiskImage back;
        ASSERT_TRUE(ImageFile::Load(target.string(), back).Ok());
        ASSERT_EQ(back.GetImageSize(), disk.GetImageSize());
        EXPECT_TRUE(std::equal(back.Image().data(), back.Image().data() + back.GetImageSize(),
                               disk.Image().data()));
    }
}

} // namespace

namespace {

TEST(ImageFileStamp, TellsWhenTheFileChangedSinceItWasRead) {
    TempDir dir;
    const std::string path = (dir.path() / "disk.d88").string();
    DiskImage disk;
    disk.Format(2);
    FileStamp saved;
    ASSERT_TRUE(ImageFile::Save(path, disk, &saved).Ok());
    FileStamp read;
    ASSERT_TRUE(ImageFile::Load(path, disk, &read).Ok());
    EXPECT_EQ(read, saved);
    EXPECT_EQ(ImageFile::CurrentStamp(path), read);

    // Another program saves over it: a new file at the same path.
    DiskImage other;
    other.Format(3);
    ASSERT_TRUE(ImageFile::Save(path, other).Ok());
    EXPECT_NE(ImageFile::CurrentStamp(path), read);
    EXPECT_FALSE(ImageFile::CurrentStamp((dir.path() / "none").string()).has_value());
}

TEST(ImageFileStatus, SaveFailuresNameTheirCause) {
    TempDir dir;
    fs::create_symlink("gone.d88", dir.path() / "link.d88");
    ASSERT_EQ(mkfifo((dir.path() / "fifo.d88").c_str(), 0600), 0);
    const std::pair<const char*, ImageFileError> kCases[] = {
        {"link.d88", ImageFileError::BrokenLink},
        {"fifo.d88", ImageFileError::NotRegular},
    };
    DiskImage disk;
    disk.Format(1);
    for (const auto& [name, error] : kCases) {
        SCOPED_TRACE(name);
        const ImageFileStatus status = ImageFile::Save((dir.path() / name).string(), disk);
        EXPECT_EQ(status.error, error);
        // Not the sentence of a file that could not be read as a disk.
        EXPECT_NE(status.UiMessage(), UiMessage(ImageFileError::NotD88));
    }
    EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"link.d88", "fifo.d88"}));
}

TEST(ImageFileStatus, LoadFailuresAndTheirMessages) {
    TempDir dir;
    DiskImage disk;
    disk.Format(1);
    const auto before = testdisk::Snapshot(disk);
    ASSERT_TRUE(WriteFileBytes(dir.path() / "short.d88", std::vector<unsigned char>(100, 0)));
    ImageFileStatus status = ImageFile::Load((dir.path() / "short.d88").string(), disk);
    EXPECT_EQ(status.error, ImageFileError::NotD88);
    EXPECT_EQ(status.CliMessage(), "not a D88 disk image");
    EXPECT_EQ(status.UiMessage(), UiMessage(LoadResult::NotAContainer));
    status = ImageFile::Load((dir.path() / "none.d88").string(), disk);
    EXPECT_EQ(status.error, ImageFileError::CannotRead);
    EXPECT_EQ(testdisk::Snapshot(disk), before);
}

} // namespace
