// The command line and the per-user registration: no window involved.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/wait.h>

#include "TestUtil.h"
#include "ui/CommandLine.h"
#include "ui/ShellRegistration.h"

namespace fs = std::filesystem;
using Action = CommandLine::Action;

TEST(CommandLineTest, FlagsAndFiles) {
    using Files = std::vector<std::string>;
    struct Case {
        std::vector<std::string> args;
        Action action;
        Files files;
        std::string printer;
    };
    const Case cases[] = {
        {{}, Action::Run, {}, ""},
        {{"disk.d88"}, Action::Run, {"disk.d88"}, ""},
        {{"/abs/ディスク.d88"}, Action::Run, {"/abs/ディスク.d88"}, ""}, // "/" is a path here
        {{"a.d88", "b.d88", "c.d20"}, Action::Run, {"a.d88", "b.d88", "c.d20"}, ""},
        {{"--", "-p"}, Action::Run, {"-p"}, ""},
        {{"-p", "a.d88"}, Action::Print, {"a.d88"}, ""},
        {{"-P", "a.d88"}, Action::Print, {"a.d88"}, ""},
        {{"-pt", "a.d88", "lp0"}, Action::PrintTo, {"a.d88"}, "lp0"},
        {{"-Unregister"}, Action::Unregister, {}, ""},
        {{"-unregserver"}, Action::Unregister, {}, ""},
        {{"-dde", "-Embedding", "-AUTOMATION", "x.d20"}, Action::Run, {"x.d20"}, ""},
        {{"--help"}, Action::Help, {}, ""},
        {{"-h"}, Action::Help, {}, ""},
        {{"-?"}, Action::Help, {}, ""},
        {{"x.d88", "--version"}, Action::Version, {}, ""},
        {{"-p"}, Action::Error, {}, ""},
        {{"-pt", "a.d88"}, Action::Error, {}, ""},
        {{"-p", "a.d88", "b.d88"}, Action::Error, {}, ""},
        {{"-bogus"}, Action::Error, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CommandLine cl = CommandLine::Parse(c.args);
        EXPECT_EQ(cl.action, c.action);
        if (c.action != Action::Error) {
            EXPECT_EQ(cl.files, c.files);
            EXPECT_EQ(cl.printer, c.printer);
        } else {
            EXPECT_FALSE(cl.error.empty());
        }
    }
}

class ShellRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        Save("XDG_DATA_HOME", m_oldHome);
        Save("XDG_DATA_DIRS", m_oldDirs);
        Save("HOME", m_oldHomeVar);
        setenv("XDG_DATA_HOME", (m_dir.path() / "home").c_str(), 1);
        setenv("XDG_DATA_DIRS", (m_dir.path() / "system").c_str(), 1);
    }
    void TearDown() override {
        Restore("XDG_DATA_HOME", m_oldHome);
        Restore("XDG_DATA_DIRS", m_oldDirs);
        Restore("HOME", m_oldHomeVar);
    }
    static void Save(const char* name, std::optional<std::string>& slot) {
        if (const char* v = std::getenv(name))
            slot = v;
    }
    static void Restore(const char* name, const std::optional<std::string>& slot) {
        if (slot)
            setenv(name, slot->c_str(), 1);
        else
            unsetenv(name);
    }
    fs::path Home() const { return m_dir.path() / "home"; }
    static std::string Text(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }

    testutil::TempDir m_dir;
    std::optional<std::string> m_oldHome, m_oldDirs, m_oldHomeVar;
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
    EXPECT_NE(text.find("Exec=\"/opt/my build/darvex\" %f\n"), std::string::npos) << text;
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
    std::ofstream(desktop) << "[Desktop Entry]\nExec=darvex %f\n";
    std::ofstream(icon) << "<svg/>";
    EXPECT_FALSE(ShellRegistration::RegisterIfNeeded("/opt/darvex")); // registered already
    EXPECT_TRUE(ShellRegistration::Unregister());
    EXPECT_TRUE(fs::exists(desktop));
    EXPECT_TRUE(fs::exists(icon));
}

TEST_F(ShellRegistrationTest, SystemWideInstallationNeedsNoUserRegistration) {
    // Registered before the installation came: our entry goes, the user's own icon stays.
    ASSERT_TRUE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
    std::ofstream(Home() / kDocIcon) << "<svg>the user's own</svg>";
    const fs::path system = m_dir.path() / "system" / "applications";
    fs::create_directories(system);
    std::ofstream(system / "darvex.desktop") << "[Desktop Entry]\n";
    EXPECT_TRUE(ShellRegistration::InstalledSystemWide());
    EXPECT_FALSE(ShellRegistration::RegisterIfNeeded("/usr/bin/darvex"));
    for (const char* ours : {kDesktop, kMime, kAppIcon})
        EXPECT_FALSE(fs::exists(Home() / ours)) << ours;
    EXPECT_TRUE(fs::exists(Home() / kDocIcon));
    // Our own entry, seen through a data folder that is also listed system-wide, is not one.
    fs::remove(system / "darvex.desktop");
    ASSERT_TRUE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
    const std::string both = (m_dir.path() / "system").string() + ":" + Home().string();
    setenv("XDG_DATA_DIRS", both.c_str(), 1);
    EXPECT_FALSE(ShellRegistration::InstalledSystemWide());
}

TEST_F(ShellRegistrationTest, TheUsersFilesAndLinksStay) {
    const fs::path notes = m_dir.path() / "notes.txt";
    std::ofstream(notes) << "mine";
    fs::create_directories((Home() / kMime).parent_path());
    fs::create_symlink(notes, Home() / kMime);
    fs::create_directories((Home() / kAppIcon).parent_path());
    std::ofstream(Home() / kAppIcon) << "mine";
    ASSERT_TRUE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
    // Edited after registering, our mark still in it: no longer what we wrote.
    std::ofstream(Home() / kDocIcon, std::ios::app) << "<!-- edited -->\n";
    EXPECT_TRUE(ShellRegistration::Unregister());
    EXPECT_FALSE(fs::exists(Home() / kDesktop));
    EXPECT_TRUE(fs::is_symlink(Home() / kMime));
    EXPECT_EQ(Text(notes), "mine");
    EXPECT_EQ(Text(Home() / kAppIcon), "mine");
    EXPECT_NE(Text(Home() / kDocIcon).find("<!-- edited -->"), std::string::npos);
}

TEST_F(ShellRegistrationTest, NoHomeMeansNoRegistration) {
    // Relative paths would land in the working folder: make that one the test's own.
    const fs::path cwd = fs::current_path(), work = m_dir.path() / "cwd";
    fs::create_directories(work);
    fs::current_path(work);
    for (const auto& [xdgDataHome, home] :
         {std::pair{"", ""}, std::pair{"relative/data", ""}, std::pair{"", "relative"}}) {
        SCOPED_TRACE(std::string(xdgDataHome) + " / " + home);
        setenv("XDG_DATA_HOME", xdgDataHome, 1);
        *home ? setenv("HOME", home, 1) : unsetenv("HOME");
        ASSERT_EQ(ShellRegistration::UserDataHome(), ""); // never "/.local/share"
        EXPECT_FALSE(ShellRegistration::RegisterIfNeeded("/opt/darvex"));
        EXPECT_TRUE(ShellRegistration::Unregister());
        EXPECT_TRUE(fs::is_empty(work));
    }
    fs::current_path(cwd);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(ShellRegistration::UserDataHome(), "/home/someone/.local/share");
}

TEST_F(ShellRegistrationTest, ExecQuoting) {
    const struct {
        std::string exe;
        std::string exec; // empty: the path cannot stand in a desktop file
    } cases[] = {
        {"/opt/my build/darvex", R"(Exec="/opt/my build/darvex" %f)"},
        {"/b/100%/darvex", R"(Exec="/b/100%%/darvex" %f)"},
        {R"(/b/say "hi"/darvex)", R"(Exec="/b/say \\"hi\\"/darvex" %f)"},
        {R"(/b/a\b/darvex)", R"(Exec="/b/a\\\\b/darvex" %f)"},
        {"/b/$HOME`x`/darvex", R"(Exec="/b/\\$HOME\\`x\\`/darvex" %f)"},
        {"/b/ディスク 'x'/darvex", R"(Exec="/b/ディスク 'x'/darvex" %f)"},
        {"/b/new\nline/darvex", ""},
        {"/b/tab\t/darvex", ""},
        {"/b/del\x7F/darvex", ""},
        {"/b/\xFF\xFE/darvex", ""}, // not UTF-8
        {"relative/darvex", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exe);
        const std::string text = ShellRegistration::DesktopFileFor(c.exe);
        if (c.exec.empty()) {
            EXPECT_EQ(text, "");
            EXPECT_FALSE(ShellRegistration::RegisterIfNeeded(c.exe));
            EXPECT_FALSE(fs::exists(Home() / kDesktop));
        } else {
            EXPECT_NE(text.find("\n" + c.exec + "\n"), std::string::npos) << text;
        }
    }
    // TryExec is a plain string value: only the backslash is escaped.
    EXPECT_NE(ShellRegistration::DesktopFileFor(R"(/b/"a\b"/x)").find(R"(TryExec=/b/"a\\b"/x)"),
              std::string::npos);
}

TEST_F(ShellRegistrationTest, DesktopFileOfAnOddBuildFolderValidates) {
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
