// GoogleTest inside the wx main loop, for the dialog tests: a dialog that no test expects
// fails the test and is cancelled instead of hanging a headless run.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/modalhook.h>

#include "doc/DialogIds.h"

namespace {

class LastResortHook : public wxModalDialogHook {
protected:
    int Enter(wxDialog* dlg) override {
        ADD_FAILURE() << "unexpected dialog \"" << dlg->GetTitle().utf8_string() << "\"";
        return wxID_CANCEL;
    }
    void Exit(wxDialog*) override {}
};

void AssertToFailure(const wxString& file, int line, const wxString& func, const wxString& cond,
                     const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_string().c_str(), line)
        << "wx assertion in " << func.utf8_string() << ": " << cond.utf8_string() << " "
        << msg.utf8_string();
}

class DlgTestApp : public wxApp {
public:
    bool OnInit() override {
        wxLog::SetActiveTarget(new wxLogStderr);
        wxSetAssertHandler(AssertToFailure);
        wxInitAllImageHandlers();
        LoadDialogResources();
        m_hook.Register();
        CallAfter([this] {
            m_result = RUN_ALL_TESTS();
            ExitMainLoop();
        });
        return true;
    }
    int OnExit() override {
        m_hook.Unregister();
        return wxApp::OnExit();
    }
    int m_result = 1;

private:
    LastResortHook m_hook;
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(DlgTestApp);

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!wxEntryStart(argc, argv))
        return 2;
    int result = 1;
    if (wxTheApp->CallOnInit()) {
        wxTheApp->OnRun();
        result = static_cast<DlgTestApp*>(wxTheApp)->m_result;
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
