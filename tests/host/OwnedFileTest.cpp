#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "TestUtil.h"
#include "host/OwnedFile.h"

namespace {

namespace fs = std::filesystem;
using Outcome = OwnedFile::Outcome;

std::string Text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(OwnedFile, WritesAndRemovesOnlyWhatIsOurs) {
    enum class Before { Nothing, Ours, UsersFile, LinkToFile, DanglingLink, Fifo, Folder };
    const struct {
        Before before;
        Outcome outcome; // of a write and of a removal alike
    } cases[] = {
        {Before::Nothing, Outcome::Done},         {Before::Ours, Outcome::Done},
        {Before::UsersFile, Outcome::NotOurs},    {Before::LinkToFile, Outcome::NotOurs},
        {Before::DanglingLink, Outcome::NotOurs}, {Before::Fifo, Outcome::NotOurs},
        {Before::Folder, Outcome::NotOurs},
    };
    const auto ours = [](const std::string& content) { return content.rfind("ours:", 0) == 0; };
    for (const auto& c : cases) {
        for (bool remove : {false, true}) {
            SCOPED_TRACE(testing::Message() << "case " << static_cast<int>(c.before)
                                            << (remove ? " remove" : " write"));
            testutil::TempDir dir;
            const fs::path folder = dir.path() / "a" / "b"; // a write makes the folders
            const fs::path path = folder / "f.txt", notes = dir.path() / "notes.txt";
            std::ofstream(notes) << "notes";
            if (c.before != Before::Nothing)
                fs::create_directories(folder);
            if (c.before == Before::Ours || c.before == Before::UsersFile)
                std::ofstream(path) << (c.before == Before::Ours ? "ours:old" : "mine");
            if (c.before == Before::LinkToFile || c.before == Before::DanglingLink)
                fs::create_symlink(c.before == Before::LinkToFile ? notes : folder / "gone", path);
            if (c.before == Before::Fifo)
                mkfifo(path.c_str(), 0600);
            if (c.before == Before::Folder)
                fs::create_directory(path);
            const fs::file_type type = fs::symlink_status(path).type();

            EXPECT_EQ(remove ? OwnedFile::Remove(path.string(), ours)
                             : OwnedFile::Write(path.string(), "ours:new", ours),
                      c.outcome);
            EXPECT_EQ(Text(notes), "notes");
            EXPECT_FALSE(fs::exists(folder / "gone"));
            if (c.outcome == Outcome::NotOurs) {
                EXPECT_EQ(fs::symlink_status(path).type(), type);
            } else if (remove) {
                EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
            } else {
                EXPECT_EQ(Text(path), "ours:new");
                EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1); // no temporary
            }
            if (c.before == Before::UsersFile) {
                EXPECT_EQ(Text(path), "mine");
            }
        }
    }
}

} // namespace
