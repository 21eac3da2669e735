#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/app.h>

#include "Version.h"
#include "ui/CommandLine.h"
#include "ui/DarvexApp.h"
#include "ui/ShellRegistration.h"

int main(int argc, char** argv) {
    // Raw bytes: wx would decode them with the C locale before the program sets one.
    std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine commandLine = CommandLine::Parse(args);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::fputs(CommandLine::HelpText().c_str(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("darvex %s\n", kDarvexVersion);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "darvex: %s\n%s", commandLine.error.c_str(),
                     CommandLine::HelpText().c_str());
        return 2;
    case CommandLine::Action::Unregister:
        return ShellRegistration::Unregister() ? 0 : 1;
    default:
        break;
    }
    // Run from a build tree without an installation: the user gets the file type anyway.
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        ShellRegistration::RegisterIfNeeded(exe.string());

    CDarvexApp::SetRawArgs(std::move(args));
    // wx sees only the program name: every argument is ours and already taken apart.
    int wxArgc = 1;
    return wxEntry(wxArgc, argv);
}
