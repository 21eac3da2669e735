// The command line and the per-user registration: no window involved.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

#include "TestUtil.h"
#include "ui/CommandLine.h"
#include "ui/ShellRegistration.h"

namespace fs = std::filesystem;
using Action = CommandLine::Action;

TEST(CommandLineTest, FlagsAndFiles) {
    struct Case {
        std::vector<std::string> args;
        Action action;
        std::string file;
        std::string printer;
    };
    const Case cases[] = {
        {{}, Action::Run, "", ""},
        {{"disk.d88"}, Action::Run, "disk.d88", ""},
        {{"/abs/ディスク.d88"}, Action::Run, "/abs/ディスク.d88", ""}, // "/" is a path here
        {{"-p", "a.d88"}, Action::Print, "a.d88", ""},
        {{"-pt", "a.d88", "lp0"}, Action::PrintTo, "a.d88", "lp0"},
        {{"-Unregister"}, Action::Unregister, "", ""},
        {{"-unregserver"}, Action::Unregister, "", ""},
        {{"-dde", "-Embedding", "-Automation", "x.d20"}, Action::Run, "x.d20", ""},
        {{"--help"}, Action::Help, "", ""},
        {{"x.d88", "--version"}, Action::Version, "", ""},
        {{"-p"}, Action::Error, "", ""},
        {{"-pt", "a.d88"}, Action::Error, "", ""},
        {{"-bogus"}, Action::Error, "", ""},
        {{"a.d88", "b.d88"}, Action::Error, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CommandLine cl = CommandLine::Parse(c.args);
        EXPECT_EQ(cl.action, c.action);
        if (c.action != Action::Error) {
            EXPECT_EQ(cl.file, c.file);
            EXPECT_EQ(cl.printer, c.printer);
        } else {
            EXPECT_FALSE(cl.error.empty());
        }
    }
}

class ShellRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kVariables)
            if (const char* v = std::getenv(name))
                m_saved[name] = v;
        setenv("XDG_DATA_HOME", Home().c_str(), 1);
        setenv("XDG_DATA_DIRS", (m_dir.path() / "system").c_str(), 1);
        // Without the desktop's refresh tools on the PATH, which take a quarter of a second a
        // run and are not what these tests look at.
        setenv("PATH", (m_dir.path() / "no-tools").c_str(), 1);
    }
    void TearDown() override {
        for (const char* name : kVariables) {
            if (m_saved.count(name))
                setenv(name, m_saved[name].c_str(), 1);
            else
                unsetenv(name);
        }
    }
    fs::path Home() const { return m_dir.path() / "home"; }
    std::string Text(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    static constexpr const char* kVariables[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "HOME", "PATH"};
    testutil::TempDir m_dir;
    std::map<std::string, std::string> m_saved;
};

// The registration's files, relative to the data folder.
const char* const kDesktop = "applications/darvex.desktop";
const char* const kMime = "mime/packages/darvex-mime.xml";
const char* const kAppIcon = "icons/hicolor/scalable/apps/darvex.svg";
const char* const kDocIcon = "icons/hicolor/scalable/mimetypes/application-x-d88-floppy-image.svg";

TEST_F(ShellRegistrationTest, RegistersOnceForTheUserAndUnregisters) {
    const fs::path desktop = Home() / "applications" / "darvex.desktop";
    const fs::path mime = Home() / "mime" / "packages" / "darvex-mime.xml";
    EXPECT_TRUE(ShellRegistration::RegisterIfNeeded("/opt/my build/darvex"));
    ASSERT_TRUE(fs::exists(desktop));
    ASSERT_TRUE(fs::exists(mime));
    EXPECT_TRUE(fs::exists(Home() / "icons/hicolor/scalable/apps/darvex.svg"));

    std::ifstream in(desktop);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("Exec=\"/opt/my build/darvex\" %F\n"), std::string::npos) << text;
    EXPECT_NE(text.find("MimeType=application/x-d88-floppy-image;"), std::string::npos);
    EXPECT_EQ(text.find("Exec=darvex"), std::string::npos);

    // Registered already: nothing is written again.
    EXPECT_FALSE(ShellRegistration::RegisterIfNeeded("/elsewhere/darvex"));
    EXPECT_TRUE(ShellRegistration::Unregister());
    EXPECT_FALSE(fs::exists(desktop));
    EXPECT_FALSE(fs::exists(mime));
    EXPECT_FALSE(fs::exists(Home() / "icons/hicolor/scalable/apps/darvex.svg"));
    // Nothing left to remove is no failure.
    EXPECT_TRUE(ShellRegistration::Unregister());
}

TEST_F(ShellRegistrationTest, UnregisterLeavesAnInstallationUnderTheUsersHome) {
    // What `cmake --install --prefix ~/.local` puts there: the same names, not ours to remove.
    const fs::path desktop = Home() / "applications" / "darvex.desktop";
    const fs::path icon = Home() / "icons/hicolor/scalable/apps/darvex.svg";
    fs::create_directories(desktop.parent_path());
    fs::create_directories(icon.parent_path());
    std::ofstream(desktop) << "[Desktop Entry]\nExec=darvex %F\n";
    std::ofstream(icon) << "<svg/>";
    EXPECT_FALSE(ShellRegistration::RegisterIfNeeded("/opt/darvex")); // registered already
    EXPECT_TRUE(ShellRegistration::Unregister());
    EXPECT_TRUE(fs::exists(desktop));
    EXPECT_TRUE(fs::exists(icon));
}

TEST_F(ShellRegistrationTest, SystemWideInstallationNeedsNoUserRegistration) {
    const fs::path system = m_dir.path() / "system" / "applications";
    fs::create_directories(system);
    std::ofstream(system / "darvex.desktop") << "[Desktop Entry]\n";
    EXPECT_TRUE(ShellRegistration::InstalledSystemWide());
    EXPECT_FALSE(ShellRegistration::RegisterIfNeeded("/usr/bin/darvex"));
    EXPECT_FALSE(fs::exists(Home() / "applications" / "darvex.desktop"));
}

TEST_F(ShellRegistrationTest, NeverWritesOverOrThroughWhatStandsThere) {
    enum class Kind { UsersFile, LinkToNotes, DanglingLink };
    const fs::path notes = m_dir.path() / "notes.txt";
    for (const char* relative : {kAppIcon, kDocIcon, kMime, kDesktop}) {
        for (Kind kind : {Kind::UsersFile, Kind::LinkToNotes, Kind::DanglingLink}) {
            SCOPED_TRACE(std::string(relative) + " kind " + std::to_string(static_cast<int>(kind)));
            fs::remove_all(Home());
            std::ofstream(notes) << "mine";
            const fs::path path = Home() / relative;
            fs::create_directories(path.parent_path());
            if (kind == Kind::UsersFile)
                std::ofstream(path) << "mine";
            else
                fs::create_symlink(kind == Kind::LinkToNotes ? notes : m_dir.path() / "gone", path);

            // Only a user's desktop file stops the registration; the others are passed over.
            const bool desktop = std::string(relative) == kDesktop;
            EXPECT_EQ(ShellRegistration::RegisterIfNeeded("/opt/darvex"), !desktop);
            EXPECT_TRUE(ShellRegistration::Unregister());
            EXPECT_EQ(Text(notes), "mine");
            EXPECT_FALSE(fs::exists(m_dir.path() / "gone"));
            if (kind == Kind::UsersFile) {
                EXPECT_EQ(Text(path), "mine");
            } else {
                EXPECT_TRUE(fs::is_symlink(path));
            }
            // What the registration made of its own is gone again.
            for (const char* other : {kAppIcon, kDocIcon, kMime, kDesktop}) {
                if (std::string_view(other) != relative) {
                    EXPECT_FALSE(fs::exists(Home() / other)) << other;
                }
            }
        }
    }
}

TEST_F(ShellRegistrationTest, UnregisterKeepsWhatTheUserChanged) {
    ASSERT_TRUE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
    std::ofstream(Home() / kAppIcon) << "<svg>the user's own</svg>";
    std::ofstream(Home() / kMime, std::ios::app) << "<!-- edited -->\n"; // our mark still in it
    EXPECT_TRUE(ShellRegistration::Unregister());
    EXPECT_FALSE(fs::exists(Home() / kDesktop));
    EXPECT_FALSE(fs::exists(Home() / kDocIcon));
    EXPECT_EQ(Text(Home() / kAppIcon), "<svg>the user's own</svg>");
    EXPECT_TRUE(fs::exists(Home() / kMime));
    // Registering again leaves the user's versions too.
    EXPECT_TRUE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
    EXPECT_EQ(Text(Home() / kAppIcon), "<svg>the user's own</svg>");
    EXPECT_NE(Text(Home() / kMime).find("<!-- edited -->"), std::string::npos);
}

TEST_F(ShellRegistrationTest, NoHomeMeansNoRegistration) {
    struct Case {
        const char* xdgDataHome; // nullptr: unset
        const char* home;
    };
    const Case cases[] = {
        {nullptr, nullptr}, {"relative/data", nullptr}, {"", ""}, {nullptr, "relative"}};
    // Relative paths would land in the working folder: make that one the test's own.
    const fs::path cwd = fs::current_path(), work = m_dir.path() / "cwd";
    fs::create_directories(work);
    fs::current_path(work);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.xdgDataHome ? c.xdgDataHome : "(unset)") + " / " +
                     (c.home ? c.home : "(unset)"));
        c.xdgDataHome ? setenv("XDG_DATA_HOME", c.xdgDataHome, 1) : unsetenv("XDG_DATA_HOME");
        c.home ? setenv("HOME", c.home, 1) : unsetenv("HOME");
        ASSERT_EQ(ShellRegistration::UserDataHome(), ""); // never "/.local/share"
        EXPECT_FALSE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
        EXPECT_TRUE(ShellRegistration::Unregister());
        EXPECT_TRUE(fs::is_empty(work));
    }
    fs::current_path(cwd);
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(ShellRegistration::UserDataHome(), "/home/someone/.local/share");
}

TEST_F(ShellRegistrationTest, ASystemWideInstallationRemovesOurEntry) {
    ASSERT_TRUE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
    std::ofstream(Home() / kDocIcon) << "<svg>the user's own</svg>";
    const fs::path system = m_dir.path() / "system" / "applications";
    fs::create_directories(system);
    std::ofstream(system / "darvex.desktop") << "[Desktop Entry]\nExec=darvex %F\n";
    EXPECT_FALSE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
    EXPECT_FALSE(fs::exists(Home() / kDesktop));
    EXPECT_FALSE(fs::exists(Home() / kMime));
    EXPECT_FALSE(fs::exists(Home() / kAppIcon));
    EXPECT_TRUE(fs::exists(Home() / kDocIcon));
    // Our own entry, seen through a data folder that is also listed system-wide, is not one.
    fs::remove(system / "darvex.desktop");
    ASSERT_TRUE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
    const std::string both = (m_dir.path() / "system").string() + ":" + Home().string();
    setenv("XDG_DATA_DIRS", both.c_str(), 1);
    EXPECT_FALSE(ShellRegistration::InstalledSystemWide());
}

TEST_F(ShellRegistrationTest, ExecAndTryExecQuoting) {
    struct Case {
        std::string exe;
        std::string exec, tryExec; // empty: the path cannot stand in a desktop file
    };
    const Case cases[] = {
        {"/opt/my build/darvex", R"(Exec="/opt/my build/darvex" %F)",
         "TryExec=/opt/my build/darvex"},
        {"/b/100%/darvex", R"(Exec="/b/100%%/darvex" %F)", "TryExec=/b/100%/darvex"},
        {R"(/b/say "hi"/darvex)", R"(Exec="/b/say \\"hi\\"/darvex" %F)",
         R"(TryExec=/b/say "hi"/darvex)"},
        {R"(/b/a\b/darvex)", R"(Exec="/b/a\\\\b/darvex" %F)", R"(TryExec=/b/a\\b/darvex)"},
        {"/b/$HOME`x`/darvex", R"(Exec="/b/\\$HOME\\`x\\`/darvex" %F)",
         "TryExec=/b/$HOME`x`/darvex"},
        {"/b/ディスク 'x'/darvex", R"(Exec="/b/ディスク 'x'/darvex" %F)",
         "TryExec=/b/ディスク 'x'/darvex"},
        {"/b/new\nline/darvex", "", ""},
        {"/b/tab\t/darvex", "", ""},
        {"/b/del\x7F/darvex", "", ""},
        {"/b/\xFF\xFE/darvex", "", ""}, // not UTF-8
        {"relative/darvex", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exe);
        const std::string text = ShellRegistration::DesktopFileFor(c.exe);
        if (c.exec.empty()) {
            EXPECT_EQ(text, "");
            EXPECT_FALSE(ShellRegistration::RegisterIfNeeded(c.exe));
            EXPECT_FALSE(fs::exists(Home() / kDesktop));
            continue;
        }
        EXPECT_NE(text.find("\n" + c.exec + "\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\n" + c.tryExec + "\n"), std::string::npos) << text;
    }
}

TEST_F(ShellRegistrationTest, DesktopFileOfAnOddBuildFolderValidates) {
    setenv("PATH", m_saved["PATH"].c_str(), 1);
    const int found = std::system("command -v desktop-file-validate >/dev/null 2>&1");
    if (found != 0)
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    const fs::path build = m_dir.path() / R"(my "odd" 100% ビルド \ $x`y`)";
    ASSERT_TRUE(ShellRegistration::RegisterIfNeeded((build / "darvex").string()));
    const std::string command = "desktop-file-validate '" + (Home() / kDesktop).string() + "' > '" +
                                (m_dir.path() / "out.txt").string() + "' 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    const std::string out = Text(m_dir.path() / "out.txt");
    EXPECT_EQ(WEXITSTATUS(status), 0) << out;
    // Hints are advice; errors and warnings fail.
    EXPECT_EQ(out.find(": error:"), std::string::npos) << out;
    EXPECT_EQ(out.find(": warning:"), std::string::npos) << out;
}
