#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>

#include "TestUtil.h"
#include "host/TransferFolder.h"
#include "host/UriList.h"

namespace fs = std::filesystem;
using namespace std::string_view_literals;

// Instances side by side: a running one's folder is never swept, each removes its own at its
// end, and only folders it made are removed through it. (The desktop tests kill a run and start
// the next.)
TEST(TransferFolder, RunningInstancesKeepTheirFolders) {
    testutil::TempDir dir;
    const std::string base = (dir.path() / "darvex").string();
    std::string kept, own;
    {
        TransferFolder live(base);
        kept = live.NewFolder();
        ASSERT_EQ(kept.rfind(base + "/", 0), 0u);
        EXPECT_EQ(fs::status(base).permissions() & fs::perms::all, fs::perms::owner_all);
        {
            TransferFolder next(base);
            own = next.NewFolder();
            EXPECT_TRUE(fs::is_directory(kept));
            EXPECT_NE(own, kept);
            next.Remove(kept);
            next.Remove(base);
            EXPECT_TRUE(fs::is_directory(kept));
            next.Remove(own);
            EXPECT_FALSE(fs::exists(own));
            own = next.NewFolder();
        }
        EXPECT_FALSE(fs::exists(fs::path(own).parent_path()));
        EXPECT_TRUE(fs::is_directory(kept));
    }
    EXPECT_FALSE(fs::exists(fs::path(kept).parent_path()));
}

TEST(TransferFolder, ABaseThatIsALinkIsNotUsed) {
    testutil::TempDir dir;
    fs::create_directory(dir.path() / "elsewhere");
    fs::create_directory_symlink(dir.path() / "elsewhere", dir.path() / "darvex");
    TransferFolder folder((dir.path() / "darvex").string());
    int error = 0;
    EXPECT_EQ(folder.NewFolder(&error), "");
    EXPECT_EQ(error, EPERM);
    EXPECT_TRUE(fs::is_empty(dir.path() / "elsewhere"));
}

TEST(UriList, PathsSurviveTheListBothWays) {
    const std::vector<std::string> paths = {"/tmp/a b/プログラム.mzt", "/x/100%#?.bin",
                                            "/tmp/\x81\x40.d88"};
    EXPECT_EQ(UriList::FromPaths({"/a b"}), "file:///a%20b\r\n");
    EXPECT_EQ(UriList::ToPaths(UriList::FromPaths(paths)), paths);
    EXPECT_EQ(UriList::ToPaths(UriList::CopiedFilesFromPaths(paths)), paths);

    // What file managers and other programs put there.
    struct Case {
        std::string_view list;
        std::vector<std::string> paths;
        int skipped;
    };
    const Case cases[] = {
        {"# comment\r\nfile:/a\r\nFILE://localhost/b\nfile:///c%2Fd"sv, {"/a", "/b", "/c/d"}, 0},
        {"cut\nfile:///a"sv, {"/a"}, 0},
        {"file:///a\nhttp://host/b\nfile://other-host/c\nfile:///d%00e\nfile:///f%4"sv, {"/a"}, 4},
        // A NUL ends the list (some programs count the terminator in).
        {"file:///a?x\nrelative/path\nfile:///b\0\nfile:///c"sv, {"/b"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list));
        int skipped = -1;
        EXPECT_EQ(UriList::ToPaths(c.list, &skipped), c.paths);
        EXPECT_EQ(skipped, c.skipped);
    }
}
