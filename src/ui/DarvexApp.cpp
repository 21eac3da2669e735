#include "ui/DarvexApp.h"

#include <cstdio>
#include <cstdlib>

#include <wx/cmdline.h>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/print.h>
#include <wx/stdpaths.h>
#include <wx/toolbar.h>
#include <wx/uilocale.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DarvexDocManager.h"
#include "doc/DarvexDocTemplate.h"
#include "doc/DocText.h"
#include "doc/RecentFiles.h"
#include "fs/Messages.h"
#include "ui/AboutDlg.h"
#include "ui/DarvexView.h"
#include "ui/DebugLog.h"
#include "ui/LeftView.h"
#include "ui/Localization.h"
#include "ui/MainFrame.h"
#include "ui/ShellRegistration.h"
#include "ui/ToolBarArt.h"

extern void InitXmlResource();

wxIMPLEMENT_APP_NO_MAIN(CDarvexApp);

// clang-format off
wxBEGIN_EVENT_TABLE(CDarvexApp, wxApp)
    EVT_MENU(wxID_ABOUT, CDarvexApp::OnShowAbout)
    EVT_UPDATE_UI(wxID_ABOUT, CDarvexApp::OnUpdateAlwaysEnabled)
wxEND_EVENT_TABLE();
// clang-format on

std::string CDarvexApp::s_programPath;
std::string CDarvexApp::s_catalogFolder;

CDarvexApp::CDarvexApp() = default;
CDarvexApp::~CDarvexApp() = default;

void CDarvexApp::SetProgramPath(std::string path) {
    s_programPath = std::move(path);
}

void CDarvexApp::OnInitCmdLine(wxCmdLineParser& parser) {
    CommandLine::Describe(parser);
}

bool CDarvexApp::OnCmdLineParsed(wxCmdLineParser& parser) {
    m_commandLine = CommandLine::FromParser(parser);
    return m_commandLine.action != CommandLine::Action::Error;
}

void CDarvexApp::SetCatalogFolder(std::string folder) {
    s_catalogFolder = std::move(folder);
}

bool CDarvexApp::OnInit() {
    SetAppName(doctext::kAppName);
    SetAppDisplayName(doctext::kAppName);
    // ~/.config/Darvex.conf and ~/.local/share/Darvex rather than dot files in the home folder.
    wxStandardPaths::Get().SetFileLayout(wxStandardPaths::FileLayout_XDG);
    wxUILocale::UseDefault();
    Localization::Use(Localization::Resolve(Localization::ReadSetting(*wxConfigBase::Get())),
                      s_catalogFolder.empty() ? OwnCatalogFolder() : s_catalogFolder);
    m_pDebugLog = std::make_unique<DebugLog>(1, DataFolder());
    // The command line (OnInitCmdLine, OnCmdLineParsed).
    if (!wxApp::OnInit())
        return false;
    const CommandLine& commandLine = m_commandLine;

    // Every bitmap of the resources is a PNG; the other decoders are not needed.
    wxImage::AddHandler(new wxPNGHandler);
    wxXmlResource::Get()->InitAllHandlers();
    for (const CommandNumber& c : kCommandTable)
        wxXmlResource::GetXRCID(c.xrcName, c.id);
    wxXmlResource::GetXRCID("IDC_DISK_TYPE", IDC_DISK_TYPE);
    InitXmlResource();
    wxArtProvider::Push(new CToolBarArt);

    m_pDocManager = new DarvexDocManager;
    m_pDocManager->Initialize();
    m_pDocManager->SetSecondViewClass(CLASSINFO(CDarvexView));
    new DarvexDocTemplate(m_pDocManager, CLASSINFO(CDarvexDoc), CLASSINFO(CLeftView));

    m_pFrame = new CMainFrame(m_pDocManager);
    SetTopWindow(m_pFrame);
    m_pDocManager->FileHistoryLoad(*wxConfigBase::Get());

    if (!ProcessShellCommand(commandLine))
        return false;
    if (commandLine.action == CommandLine::Action::Print ||
        commandLine.action == CommandLine::Action::PrintTo) {
        m_printFailed = !PrintDocument(commandLine);
        m_pFrame->Destroy();
        return true;
    }
    m_pFrame->Show();
    // For the start-up benchmark: the window is on the screen with its panes filled once
    // this runs; say so and leave.
    if (std::getenv("DARVEX_EXIT_WHEN_SHOWN")) {
        CallAfter([this] {
            m_pFrame->Update();
            // The window's inside, which a start restores as the last run left it.
            const wxSize inside = m_pFrame->GetClientSize();
            std::printf("shown %dx%d\n", inside.x, inside.y);
            std::fflush(stdout);
            m_pFrame->Close(true);
        });
    }
    return true;
}

std::string CDarvexApp::DataFolder() {
    // Without a home there is no folder of ours (never "/Darvex").
    const std::string home = ShellRegistration::UserDataHome();
    return home.empty() ? home : home + "/" + doctext::kAppName;
}

bool CDarvexApp::ProcessShellCommand(const CommandLine& commandLine) {
    if (commandLine.files.empty())
        return m_pDocManager->NewEmptyDocument();
    for (std::size_t i = 1; i < commandLine.files.size(); ++i)
        StartInstance(commandLine.files[i]);
    return m_pDocManager->CreateDocument(wxString::FromUTF8(commandLine.files[0]), wxDOC_SILENT) !=
           nullptr;
}

bool CDarvexApp::StartInstance(const std::string& file) {
    if (s_programPath.empty())
        return false;
    // "--": a file whose name begins with "-" is still a file.
    const std::wstring program = wxString::FromUTF8(s_programPath).ToStdWstring();
    const std::wstring name = wxString::FromUTF8(file).ToStdWstring();
    const wchar_t* argv[] = {program.c_str(), L"--", name.c_str(), nullptr};
    return wxExecute(argv, wxEXEC_ASYNC) > 0;
}

bool CDarvexApp::PrintDocument(const CommandLine& commandLine) {
    // -p and -pt print without asking, on the named printer for -pt.
    wxView* view = m_pDocManager->GetAnyUsableView();
    if (!view)
        return false;
    std::unique_ptr<wxPrintout> printout(view->OnCreatePrintout());
    wxPrintDialogData data;
    if (commandLine.action == CommandLine::Action::PrintTo)
        data.GetPrintData().SetPrinterName(wxString::FromUTF8(commandLine.printer));
    wxPrinter printer(&data);
    // Nobody can cancel here: GTK reports a missing printer as a cancelled job. No window is
    // shown in this mode, so the shell hears of it.
    if (printer.Print(m_pFrame, printout.get(), false))
        return true;
    std::fprintf(stderr, "%s\n", UiMessage(UiText::PrintFailed).c_str());
    return false;
}

int CDarvexApp::OnRun() {
    const int status = wxApp::OnRun();
    return m_printFailed ? EXIT_FAILURE : status;
}

int CDarvexApp::OnExit() {
    // The window is gone: whatever goes wrong from here on is told on stderr, not in a
    // dialog (a dialog after the application object is gone would crash).
    delete wxLog::SetActiveTarget(new wxLogStderr);
    if (m_pDocManager) {
        m_pDocManager->FileHistorySave(*wxConfigBase::Get());
        delete m_pDocManager;
        m_pDocManager = nullptr;
    }
    // wxFileConfig does not create the folder of its file.
    if (auto* config = wxDynamicCast(wxConfigBase::Get(false), wxFileConfig)) {
        const wxFileName file(
            wxFileConfig::GetLocalFileName(GetAppName(), wxCONFIG_USE_LOCAL_FILE));
        wxFileName::Mkdir(file.GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
        config->Flush();
    }
    delete wxConfigBase::Set(nullptr);
    m_pDebugLog.reset();
    return wxApp::OnExit();
}

bool CDarvexApp::TryAfter(wxEvent& event) {
    // The original framework shows a command disabled when nothing on the route handles it;
    // wx leaves it alone. This is the end of the route, so whatever arrives here was not
    // handled. Update events also come for every window, hence the checks on the source.
    if (event.GetEventType() == wxEVT_UPDATE_UI && IsProgramCommand(event.GetId())) {
        const wxObject* source = event.GetEventObject();
        if (source &&
            (source->IsKindOf(wxCLASSINFO(wxMenu)) || source->IsKindOf(wxCLASSINFO(wxToolBar)) ||
             source->IsKindOf(wxCLASSINFO(wxFrame)))) {
            static_cast<wxUpdateUIEvent&>(event).Enable(false);
            return true;
        }
    }
    return wxApp::TryAfter(event);
}

void CDarvexApp::OnShowAbout(wxCommandEvent&) {
    CAboutDlg dialog(m_pFrame);
    dialog.ShowModal();
}

void CDarvexApp::OnUpdateAlwaysEnabled(wxUpdateUIEvent& event) {
    event.Enable(true);
}
