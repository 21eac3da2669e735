#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/app.h>

#include "Version.h"
#include "host/UiLanguage.h"
#include "ui/CommandLine.h"
#include "ui/DarvexApp.h"
#include "ui/ShellRegistration.h"

int main(int argc, char** argv) {
    // Raw bytes: wx would decode them with the C locale before the program sets one.
    const std::vector<std::string> args = CommandLine::Canonical({argv + 1, argv + argc});
    // The options that open no window are done before the toolkit starts: they need no
    // display. The application's own parser (OnInitCmdLine) reads the same description.
    const CommandLine commandLine = CommandLine::Parse(args);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        // In the user's language, through the C library: the toolkit's translations need it
        // started.
        UseGettextCatalog(LanguageFromEnvironment(), OwnCatalogFolder());
        std::fputs(CommandLine::HelpText().c_str(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("darvex %s\n", kDarvexVersion);
        return 0;
    case CommandLine::Action::Error:
        UseGettextCatalog(LanguageFromEnvironment(), OwnCatalogFolder());
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
    if (!ec) {
        ShellRegistration::RegisterIfNeeded(exe.string());
        CDarvexApp::SetProgramPath(exe.string());
    }

    // wx gets the arguments decoded as UTF-8, whatever the locale says.
    std::vector<std::wstring> wide = {std::wstring(wxString(argv[0]).wc_str())};
    for (const std::string& a : args)
        wide.push_back(wxString::FromUTF8(a.data(), a.size()).ToStdWstring());
    std::vector<wchar_t*> wideArgv;
    for (std::wstring& w : wide)
        wideArgv.push_back(w.data());
    wideArgv.push_back(nullptr);
    int wxArgc = static_cast<int>(wide.size());
    return wxEntry(wxArgc, wideArgv.data());
}
