// The command line and the per-user registration: no window involved.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

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
        setenv("XDG_DATA_HOME", (m_dir.path() / "home").c_str(), 1);
        setenv("XDG_DATA_DIRS", (m_dir.path() / "system").c_str(), 1);
    }
    void TearDown() override {
        Restore("XDG_DATA_HOME", m_oldHome);
        Restore("XDG_DATA_DIRS", m_oldDirs);
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

    testutil::TempDir m_dir;
    std::optional<std::string> m_oldHome, m_oldDirs;
};

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
    const fs::path system = m_dir.path() / "system" / "applications";
    fs::create_directories(system);
    std::ofstream(system / "darvex.desktop") << "[Desktop Entry]\n";
    EXPECT_TRUE(ShellRegistration::InstalledSystemWide());
    EXPECT_FALSE(ShellRegistration::RegisterIfNeeded("/usr/bin/darvex"));
    EXPECT_FALSE(fs::exists(Home() / "applications" / "darvex.desktop"));
}
