#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>

#include "TestUtil.h"
#include "host/OwnedFile.h"

namespace {

namespace fs = std::filesystem;
using Outcome = OwnedFile::Outcome;
using testutil::TempDir;

bool Ours(const std::string& content) {
    return content.rfind("ours:", 0) == 0;
}

std::string Text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

// What stands at the path before the call; "outside" is a file of the user's beside it.
enum class Before { Nothing, OursOld, UsersFile, LinkToFile, DanglingLink, Fifo, Folder };

void Make(Before kind, const fs::path& path, const fs::path& outside) {
    std::ofstream(outside) << "notes";
    switch (kind) {
    case Before::Nothing:
        break;
    case Before::OursOld:
        std::ofstream(path) << "ours:old";
        break;
    case Before::UsersFile:
        std::ofstream(path) << "mine";
        break;
    case Before::LinkToFile:
        fs::create_symlink(outside, path);
        break;
    case Before::DanglingLink:
        fs::create_symlink(path.parent_path() / "nowhere", path);
        break;
    case Before::Fifo:
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        break;
    case Before::Folder:
        fs::create_directory(path);
        break;
    }
}

struct Case {
    const char* name;
    Before before;
    Outcome write, remove;
};

const Case kCases[] = {
    {"nothing there", Before::Nothing, Outcome::Done, Outcome::Done},
    {"ours", Before::OursOld, Outcome::Done, Outcome::Done},
    {"the user's file", Before::UsersFile, Outcome::NotOurs, Outcome::NotOurs},
    {"a link to the user's file", Before::LinkToFile, Outcome::NotOurs, Outcome::NotOurs},
    {"a dangling link", Before::DanglingLink, Outcome::NotOurs, Outcome::NotOurs},
    {"a FIFO", Before::Fifo, Outcome::NotOurs, Outcome::NotOurs},
    {"a folder", Before::Folder, Outcome::NotOurs, Outcome::NotOurs},
};

TEST(OwnedFile, WriteCreatesOrReplacesOnlyOurs) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path folder = dir.path() / "a" / "b"; // made on the way
        const fs::path path = folder / "f.txt", outside = dir.path() / "notes.txt";
        fs::create_directories(folder);
        Make(c.before, path, outside);
        const fs::file_type type = fs::symlink_status(path).type();

        EXPECT_EQ(OwnedFile::Write(path.string(), "ours:new", Ours), c.write);
        EXPECT_EQ(Text(outside), "notes");
        if (c.write == Outcome::Done) {
            EXPECT_EQ(Text(path), "ours:new");
            EXPECT_EQ(Names(folder), std::set<std::string>{"f.txt"}); // no temporary left
        } else {
            EXPECT_EQ(fs::symlink_status(path).type(), type);
            if (c.before == Before::UsersFile) {
                EXPECT_EQ(Text(path), "mine");
            }
        }
    }
}

TEST(OwnedFile, WriteMakesTheFolders) {
    TempDir dir;
    const fs::path path = dir.path() / "x" / "y" / "f.txt";
    ASSERT_EQ(OwnedFile::Write(path.string(), "ours:1", Ours), Outcome::Done);
    EXPECT_EQ(Text(path), "ours:1");
    // The same text again writes nothing and still succeeds.
    EXPECT_EQ(OwnedFile::Write(path.string(), "ours:1", Ours), Outcome::Done);
}

TEST(OwnedFile, RemoveTakesOnlyOurs) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path path = dir.path() / "f.txt", outside = dir.path() / "notes.txt";
        Make(c.before, path, outside);
        const fs::file_type type = fs::symlink_status(path).type();

        EXPECT_EQ(OwnedFile::Remove(path.string(), Ours), c.remove);
        EXPECT_EQ(Text(outside), "notes");
        if (c.before == Before::OursOld) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
        } else {
            EXPECT_EQ(fs::symlink_status(path).type(), type);
        }
    }
}

TEST(OwnedFile, ReadRefusesLinksAndOversizedFiles) {
    TempDir dir;
    const fs::path file = dir.path() / "f", link = dir.path() / "l";
    std::ofstream(file) << "12345";
    fs::create_symlink(file, link);
    EXPECT_EQ(OwnedFile::Read(file.string()), "12345");
    EXPECT_EQ(OwnedFile::Read(file.string(), 5), "12345");
    EXPECT_EQ(OwnedFile::Read(file.string(), 4), std::nullopt);
    EXPECT_EQ(OwnedFile::Read(link.string()), std::nullopt);
    EXPECT_EQ(OwnedFile::Read(dir.path().string()), std::nullopt);
}

} // namespace
