#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/PathParts.h"

using Part = std::optional<std::string>;

class PathPartsProbe {
public:
    static const Part& Drive(const PathParts& p) { return p.m_pszDrive; }
    static const Part& Dir(const PathParts& p) { return p.m_pszDir; }
    static const Part& Fname(const PathParts& p) { return p.m_pszFname; }
    static const Part& Ext(const PathParts& p) { return p.m_pszExt; }
    static const Part& Path(const PathParts& p) { return p.m_pszPath; }
};

namespace {

const Part kAbsent = std::nullopt;

struct SplitCase {
    const char* path;
    int result;
    Part drive, dir, fname, ext;
    const char* composed; // with PP_ALL
};

void CheckSplit(PathStyle style, const SplitCase& c) {
    SCOPED_TRACE(c.path);
    PathParts parts(style);
    EXPECT_EQ(parts.SetPath(c.path), c.result);
    EXPECT_EQ(PathPartsProbe::Path(parts), Part(c.path)); // until the next composition
    EXPECT_EQ(PathPartsProbe::Drive(parts), c.drive);
    EXPECT_EQ(PathPartsProbe::Dir(parts), c.dir);
    EXPECT_EQ(PathPartsProbe::Fname(parts), c.fname);
    EXPECT_EQ(PathPartsProbe::Ext(parts), c.ext);
    EXPECT_STREQ(parts.GetExt(), c.ext ? c.ext->c_str() : "");
    EXPECT_STREQ(parts.GetPath(PP_ALL), c.composed);
    EXPECT_EQ(PathPartsProbe::Path(parts), Part(c.composed));
}

const SplitCase kWindowsCases[] = {
    {"C:\\dir\\file.txt", 0, "C:", "\\dir\\", "file", "txt", "C:\\dir\\file.txt"},
    {"file", 0, kAbsent, kAbsent, "file", kAbsent, "file"},
    {"file.", 0, kAbsent, kAbsent, "file", "", "file"},
    {".d88", 0, kAbsent, kAbsent, "", "d88", ".d88"},
    {"a.b.c", 0, kAbsent, kAbsent, "a.b", "c", "a.b.c"},
    {"C:\\dir\\", 0, "C:", "\\dir\\", "", kAbsent, "C:\\dir\\"},
    {"C:file.txt", 0, "C:", kAbsent, "file", "txt", "C:file.txt"},
    {"\\\\server\\share\\f.d88", 0, kAbsent, "\\\\server\\share\\", "f", "d88",
     "\\\\server\\share\\f.d88"},
    {"C:\\dir.x\\file.txt", 0, "C:", "\\dir.x\\", "file", "txt", "C:\\dir.x\\file.txt"},
    {"C:/a/b.c", 0, "C:", "/a/", "b", "c", "C:/a/\\b.c"},
    {":x", 1, kAbsent, kAbsent, kAbsent, kAbsent, ""},
    {"C:\\a:b", 1, "C:", "\\", kAbsent, kAbsent, "C:\\"},
    {"", 1, kAbsent, kAbsent, kAbsent, kAbsent, ""},
    // 表 is 0x95 0x5C: its second byte is not a separator.
    {"C:\\\x95\x5C\\x.bin", 0, "C:", "\\\x95\x5C\\", "x", "bin", "C:\\\x95\x5C\\x.bin"},
    {"\x95\x5C.txt", 0, kAbsent, kAbsent, "\x95\x5C", "txt", "\x95\x5C.txt"},
    // デザイン ends in ン, 0x83 0x93: a trail byte in the lead range must not swallow the "\".
    {"C:\\\x83\x66\x83\x55\x83\x43\x83\x93\\f.txt", 0, "C:", "\\\x83\x66\x83\x55\x83\x43\x83\x93\\",
     "f", "txt", "C:\\\x83\x66\x83\x55\x83\x43\x83\x93\\f.txt"},
    // A lead byte last: it ends the file name.
    {"C:\\a\x95", 0, "C:", "\\", "a\x95", kAbsent, "C:\\a\x95"},
    {"dir\\sub/x", 0, kAbsent, "dir\\sub/", "x", kAbsent, "dir\\sub/\\x"},
    {"ab:c.d", 0, "ab:", kAbsent, "c", "d", "ab:c.d"},
    {"\\", 0, kAbsent, "\\", "", kAbsent, "\\"},
};

TEST(PathPartsWindows, SplitAndCompose) {
    for (const SplitCase& c : kWindowsCases)
        CheckSplit(PathStyle::Windows, c);
}

const SplitCase kPosixCases[] = {
    {"/home/u/game.d88", 0, kAbsent, "/home/u/", "game", "d88", "/home/u/game.d88"},
    {"file", 0, kAbsent, kAbsent, "file", kAbsent, "file"},
    {"file.", 0, kAbsent, kAbsent, "file", "", "file"},
    {".d88", 0, kAbsent, kAbsent, "", "d88", ".d88"},
    {"a.b.c", 0, kAbsent, kAbsent, "a.b", "c", "a.b.c"},
    {"dir/", 0, kAbsent, "dir/", "", kAbsent, "dir/"},
    {"/a:b/c.d88", 0, kAbsent, "/a:b/", "c", "d88", "/a:b/c.d88"},
    {"C:file.txt", 0, kAbsent, kAbsent, "C:file", "txt", "C:file.txt"},
    {":x", 0, kAbsent, kAbsent, ":x", kAbsent, ":x"},
    {"/dir.x/file", 0, kAbsent, "/dir.x/", "file", kAbsent, "/dir.x/file"},
    {"a\\b.c", 0, kAbsent, kAbsent, "a\\b", "c", "a\\b.c"},
    {"//srv//f.d88", 0, kAbsent, "//srv//", "f", "d88", "//srv//f.d88"},
    // UTF-8: /ディスク/デザイン.d88
    {"/\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF/"
     "\xE3\x83\x87\xE3\x82\xB6\xE3\x82\xA4\xE3\x83\xB3.d88",
     0, kAbsent, "/\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF/",
     "\xE3\x83\x87\xE3\x82\xB6\xE3\x82\xA4\xE3\x83\xB3", "d88",
     "/\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF/"
     "\xE3\x83\x87\xE3\x82\xB6\xE3\x82\xA4\xE3\x83\xB3.d88"},
    // No lead-byte skipping: 0x95 0x2F is a byte then a separator.
    {"\x95/x", 0, kAbsent, "\x95/", "x", kAbsent, "\x95/x"},
    {"", 1, kAbsent, kAbsent, kAbsent, kAbsent, ""},
    {"/", 0, kAbsent, "/", "", kAbsent, "/"},
};

TEST(PathPartsPosix, SplitAndCompose) {
    for (const SplitCase& c : kPosixCases)
        CheckSplit(PathStyle::Posix, c);
}

TEST(PathParts, DefaultStyleIsPosix) {
    PathParts parts;
    EXPECT_EQ(parts.SetPath("C:\\x"), 0);
    EXPECT_EQ(PathPartsProbe::Drive(parts), kAbsent);
    EXPECT_EQ(PathPartsProbe::Fname(parts), Part("C:\\x"));
}

TEST(PathParts, FreshObjectHasNothing) {
    PathParts parts(PathStyle::Windows);
    EXPECT_EQ(PathPartsProbe::Path(parts), kAbsent);
    EXPECT_EQ(PathPartsProbe::Fname(parts), kAbsent);
    EXPECT_STREQ(parts.GetExt(), "");
    EXPECT_STREQ(parts.GetPath(PP_ALL), "");
}

struct SetCase {
    const char* name;
    PathStyle style;
    const char* path;
    void (*change)(PathParts&);
    int flags;
    const char* composed;
};

const SetCase kSetCases[] = {
    {"fname and ext", PathStyle::Windows, "C:\\x\\game.d88",
     [](PathParts& p) {
         p.SetFname("PROG");
         p.SetExt("mzt");
     },
     PP_ALL, "C:\\x\\PROG.mzt"},
    {"empty ext", PathStyle::Windows, "C:\\x\\game.d88",
     [](PathParts& p) {
         p.SetFname("PROG");
         p.SetExt("mzt");
         p.SetExt("");
     },
     PP_ALL, "C:\\x\\PROG"},
    {"empty drive dir fname", PathStyle::Windows, "C:\\x\\game.d88",
     [](PathParts& p) {
         p.SetDrive("");
         p.SetDir("");
         p.SetFname("");
     },
     PP_ALL, ".d88"},
    {"drive, empty dir", PathStyle::Windows, "C:\\x\\game.d88",
     [](PathParts& p) {
         p.SetDir("");
         p.SetFname("x");
         p.SetExt("");
     },
     PP_ALL, "C:\\x"},
    {"bare name", PathStyle::Windows, "C:\\x\\game.mzt", [](PathParts&) {}, PP_FNAME | PP_EXT,
     "game.mzt"},
    {"dir only", PathStyle::Windows, "C:\\x\\game.mzt", [](PathParts&) {}, PP_DIR, "\\x\\"},
    {"drive and dir", PathStyle::Windows, "C:\\x\\game.mzt", [](PathParts&) {}, PP_DRIVE | PP_DIR,
     "C:\\x\\"},
    {"no flags", PathStyle::Windows, "C:\\x\\game.mzt", [](PathParts&) {}, 0, ""},
    {"dir without separator", PathStyle::Windows, "f.txt", [](PathParts& p) { p.SetDir("out"); },
     PP_ALL, "out\\f.txt"},
    {"set ext on a name without one", PathStyle::Windows, "C:\\a\\b",
     [](PathParts& p) { p.SetExt("bin"); }, PP_ALL, "C:\\a\\b.bin"},
    {"posix fname and ext", PathStyle::Posix, "/x/game.d88",
     [](PathParts& p) {
         p.SetFname("PROG");
         p.SetExt("mzt");
     },
     PP_ALL, "/x/PROG.mzt"},
    {"posix empty ext", PathStyle::Posix, "/x/game.d88",
     [](PathParts& p) {
         p.SetFname("PROG");
         p.SetExt("");
     },
     PP_ALL, "/x/PROG"},
    {"posix empty dir and fname", PathStyle::Posix, "/x/game.d88",
     [](PathParts& p) {
         p.SetDir("");
         p.SetFname("");
     },
     PP_ALL, ".d88"},
    {"posix bare name", PathStyle::Posix, "/x/game.mzt", [](PathParts&) {}, PP_FNAME | PP_EXT,
     "game.mzt"},
    {"posix dir without separator", PathStyle::Posix, "f.txt",
     [](PathParts& p) { p.SetDir("out"); }, PP_ALL, "out/f.txt"},
    {"posix backslash dir gets a slash", PathStyle::Posix, "f.txt",
     [](PathParts& p) { p.SetDir("out\\"); }, PP_ALL, "out\\/f.txt"},
    {"posix drive is still composed", PathStyle::Posix, "/x/f",
     [](PathParts& p) { p.SetDrive("D:"); }, PP_ALL, "D:/x/f"},
};

TEST(PathParts, SetComponentsAndCompose) {
    for (const SetCase& c : kSetCases) {
        SCOPED_TRACE(c.name);
        PathParts parts(c.style);
        ASSERT_EQ(parts.SetPath(c.path), 0);
        c.change(parts);
        EXPECT_STREQ(parts.GetPath(c.flags), c.composed);
    }
}

TEST(PathParts, SettersComposeAtOnce) {
    PathParts parts(PathStyle::Windows);
    ASSERT_EQ(parts.SetPath("C:\\x\\game.d88"), 0);
    parts.SetExt("mzt");
    EXPECT_EQ(PathPartsProbe::Path(parts), Part("C:\\x\\game.mzt"));
    parts.SetExt("");
    EXPECT_EQ(PathPartsProbe::Ext(parts), Part("")); // present and empty, not absent
    EXPECT_STREQ(parts.GetExt(), "");
}

TEST(PathParts, SetPathStartsOver) {
    PathParts parts(PathStyle::Windows);
    ASSERT_EQ(parts.SetPath("C:\\x\\game.d88"), 0);
    ASSERT_EQ(parts.SetPath("file"), 0);
    EXPECT_EQ(PathPartsProbe::Drive(parts), kAbsent);
    EXPECT_EQ(PathPartsProbe::Dir(parts), kAbsent);
    EXPECT_EQ(PathPartsProbe::Ext(parts), kAbsent);
    EXPECT_STREQ(parts.GetPath(PP_ALL), "file");
    parts.Clear();
    EXPECT_EQ(PathPartsProbe::Fname(parts), kAbsent);
    EXPECT_EQ(PathPartsProbe::Path(parts), kAbsent);
    EXPECT_STREQ(parts.GetPath(PP_ALL), "");
}

TEST(PathParts, SetFnameOnAFailedSplit) {
    // The callers go on with what the object holds after a failure.
    PathParts parts(PathStyle::Windows);
    ASSERT_EQ(parts.SetPath("C:\\a:b"), 1);
    parts.SetFname("n");
    EXPECT_STREQ(parts.GetPath(PP_ALL), "C:\\n");
}

} // namespace
