#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/PathParts.h"

using Part = std::optional<std::string>;

class PathPartsProbe {
public:
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
    Part dir, fname, ext;
    const char* composed; // with PP_ALL
};

void CheckSplit(const SplitCase& c) {
    SCOPED_TRACE(c.path);
    PathParts parts;
    EXPECT_EQ(parts.SetPath(c.path), c.result);
    EXPECT_EQ(PathPartsProbe::Path(parts), Part(c.path)); // until the next composition
    EXPECT_EQ(PathPartsProbe::Dir(parts), c.dir);
    EXPECT_EQ(PathPartsProbe::Fname(parts), c.fname);
    EXPECT_EQ(PathPartsProbe::Ext(parts), c.ext);
    EXPECT_STREQ(parts.GetExt(), c.ext ? c.ext->c_str() : "");
    EXPECT_STREQ(parts.GetPath(PP_ALL), c.composed);
    EXPECT_EQ(PathPartsProbe::Path(parts), Part(c.composed));
}

const SplitCase kPosixCases[] = {
    {"/home/u/game.d88", 0, "/home/u/", "game", "d88", "/home/u/game.d88"},
    {"file", 0, kAbsent, "file", kAbsent, "file"},
    {"file.", 0, kAbsent, "file", "", "file"},
    {".d88", 0, kAbsent, "", "d88", ".d88"},
    {"a.b.c", 0, kAbsent, "a.b", "c", "a.b.c"},
    {"dir/", 0, "dir/", "", kAbsent, "dir/"},
    {"/a:b/c.d88", 0, "/a:b/", "c", "d88", "/a:b/c.d88"},
    {"C:file.txt", 0, kAbsent, "C:file", "txt", "C:file.txt"},
    {":x", 0, kAbsent, ":x", kAbsent, ":x"},
    {"/dir.x/file", 0, "/dir.x/", "file", kAbsent, "/dir.x/file"},
    {"a\\b.c", 0, kAbsent, "a\\b", "c", "a\\b.c"},
    {"//srv//f.d88", 0, "//srv//", "f", "d88", "//srv//f.d88"},
    // UTF-8: /ディスク/デザイン.d88
    {"/\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF/"
     "\xE3\x83\x87\xE3\x82\xB6\xE3\x82\xA4\xE3\x83\xB3.d88",
     0, "/\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF/",
     "\xE3\x83\x87\xE3\x82\xB6\xE3\x82\xA4\xE3\x83\xB3", "d88",
     "/\xE3\x83\x87\xE3\x82\xA3\xE3\x82\xB9\xE3\x82\xAF/"
     "\xE3\x83\x87\xE3\x82\xB6\xE3\x82\xA4\xE3\x83\xB3.d88"},
    // No lead-byte skipping: 0x95 0x2F is a byte then a separator.
    {"\x95/x", 0, "\x95/", "x", kAbsent, "\x95/x"},
    {"", 1, kAbsent, kAbsent, kAbsent, ""},
    {"/", 0, "/", "", kAbsent, "/"},
};

TEST(PathParts, SplitAndCompose) {
    for (const SplitCase& c : kPosixCases)
        CheckSplit(c);
}

TEST(PathParts, FreshObjectHasNothing) {
    PathParts parts;
    EXPECT_EQ(PathPartsProbe::Path(parts), kAbsent);
    EXPECT_EQ(PathPartsProbe::Fname(parts), kAbsent);
    EXPECT_STREQ(parts.GetExt(), "");
    EXPECT_STREQ(parts.GetPath(PP_ALL), "");
}

struct SetCase {
    const char* name;
    const char* path;
    void (*change)(PathParts&);
    int flags;
    const char* composed;
};

const SetCase kSetCases[] = {
    {"fname and ext", "/x/game.d88",
     [](PathParts& p) {
         p.SetFname("PROG");
         p.SetExt("mzt");
     },
     PP_ALL, "/x/PROG.mzt"},
    {"empty ext", "/x/game.d88",
     [](PathParts& p) {
         p.SetFname("PROG");
         p.SetExt("");
     },
     PP_ALL, "/x/PROG"},
    {"empty dir and fname", "/x/game.d88",
     [](PathParts& p) {
         p.SetDir("");
         p.SetFname("");
     },
     PP_ALL, ".d88"},
    {"bare name", "/x/game.mzt", [](PathParts&) {}, PP_FNAME | PP_EXT, "game.mzt"},
    {"dir only", "/x/game.mzt", [](PathParts&) {}, PP_DIR, "/x/"},
    {"no flags", "/x/game.mzt", [](PathParts&) {}, 0, ""},
    {"dir without separator", "f.txt", [](PathParts& p) { p.SetDir("out"); }, PP_ALL, "out/f.txt"},
    {"backslash dir gets a slash", "f.txt", [](PathParts& p) { p.SetDir("out\\"); }, PP_ALL,
     "out\\/f.txt"},
    {"set ext on a name without one", "/a/b", [](PathParts& p) { p.SetExt("bin"); }, PP_ALL,
     "/a/b.bin"},
};

TEST(PathParts, SetComponentsAndCompose) {
    for (const SetCase& c : kSetCases) {
        SCOPED_TRACE(c.name);
        PathParts parts;
        ASSERT_EQ(parts.SetPath(c.path), 0);
        c.change(parts);
        EXPECT_STREQ(parts.GetPath(c.flags), c.composed);
    }
}

TEST(PathParts, SettersComposeAtOnce) {
    PathParts parts;
    ASSERT_EQ(parts.SetPath("/x/game.d88"), 0);
    parts.SetExt("mzt");
    EXPECT_EQ(PathPartsProbe::Path(parts), Part("/x/game.mzt"));
    parts.SetExt("");
    EXPECT_EQ(PathPartsProbe::Ext(parts), Part("")); // present and empty, not absent
    EXPECT_STREQ(parts.GetExt(), "");
}

TEST(PathParts, SetPathStartsOver) {
    PathParts parts;
    ASSERT_EQ(parts.SetPath("/x/game.d88"), 0);
    ASSERT_EQ(parts.SetPath("file"), 0);
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
    PathParts parts;
    ASSERT_EQ(parts.SetPath(""), 1);
    parts.SetFname("n");
    EXPECT_STREQ(parts.GetPath(PP_ALL), "n");
}

} // namespace
