// Runs the GUI tests inside the application's own main loop, with its configuration and data
// folders and its working folder in a temporary place.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/log.h>
#include <wx/modalhook.h>

#include "GuiTestSupport.h"
#include "doc/DarvexDocManager.h"
#include "ui/DarvexApp.h"
#include "ui/MainFrame.h"

namespace {

std::filesystem::path g_root;

// Any dialog no test expected fails the test and is cancelled rather than shown (a shown
// dialog would wait forever for a user on the virtual display).
class LastResortHook : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dialog) override {
        ADD_FAILURE() << "unexpected dialog \"" << dialog->GetTitle().utf8_string() << "\"";
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

void AssertToTest(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << "wx assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " "
        << msg.utf8_string();
}

void WriteFile(const std::filesystem::path& path, const char* text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

} // namespace

namespace guitest {
std::filesystem::path DataHome() {
    return g_root / "data";
}
std::filesystem::path WorkDir() {
    return g_root / "work";
}
} // namespace guitest

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS(); // lists them; needs no display

    char pattern[] = "/tmp/darvex-gui-XXXXXX";
    if (!mkdtemp(pattern))
        return 2;
    g_root = pattern;
    setenv("XDG_CONFIG_HOME", (g_root / "config").c_str(), 1);
    // Files handed to other programs go to a runtime folder of the run's own.
    std::filesystem::create_directories(g_root / "runtime");
    setenv("XDG_RUNTIME_DIR", (g_root / "runtime").c_str(), 1);
    setenv("XDG_DATA_HOME", guitest::DataHome().c_str(), 1);
    // The program speaks the language the run names (Japanese unless DARVEX_TEST_LANGUAGE says
    // otherwise), whatever the machine's locale, from the catalogs of this build.
    const char* language = std::getenv("DARVEX_TEST_LANGUAGE");
    setenv("LANGUAGE", language && *language ? language : "ja", 1);
    CDarvexApp::SetCatalogFolder(DARVEX_LOCALE_DIR);
    // Stale debug logs: the one in the data folder goes at start-up, the one in the working
    // folder stays (the DebugLog test checks both).
    WriteFile(guitest::DataHome() / "Darvex" / "DEBUG.TXT", "old log");
    WriteFile(guitest::WorkDir() / "DEBUG.TXT", "the user's own file");
    std::filesystem::current_path(guitest::WorkDir());

    wxSetAssertHandler(AssertToTest);
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv))
        return 2;
    delete wxLog::SetActiveTarget(new wxLogStderr);
    LastResortHook lastResort;
    lastResort.Register();

    int result = 1;
    if (wxTheApp->CallOnInit()) {
        wxTheApp->CallAfter([&result] {
            guitest::Frame().Show();
            guitest::Settle(100);
            result = RUN_ALL_TESTS();
            for (wxDocument* doc : guitest::Manager().GetDocumentsVector())
                doc->Modify(false);
            guitest::Frame().Close(true);
        });
        wxTheApp->OnRun();
    }
    wxTheApp->OnExit();
    // Whatever the tests dragged out or copied went with the program's end: the transfer
    // folder holds nothing but the lock the instances share.
    std::error_code ec;
    for (const auto& left : std::filesystem::directory_iterator(g_root / "runtime" / "darvex", ec))
        if (left.path().filename() != "lock") {
            std::fprintf(stderr, "left after the end: %s\n", left.path().c_str());
            result = 1;
        }
    lastResort.Unregister();
    // Whatever is logged at clean-up goes to stderr, not into a dialog of a dead application.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    wxLog::DontCreateOnDemand();
    wxEntryCleanup();
    std::filesystem::remove_all(g_root, ec);
    return result;
}
