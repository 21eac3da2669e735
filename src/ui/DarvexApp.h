#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>

#include "ui/CommandLine.h"

class CMainFrame;
class DarvexDocManager;
class DebugLog;

// The application: start-up (configuration, resources, document template, main window, the
// command line), the about box, and the disabling of commands nobody handles.
class CDarvexApp : public wxApp {
public:
    CDarvexApp();
    ~CDarvexApp() override;

    // The program's own executable, which starts one more window for each further file of
    // the command line (main() sets it; without it those files are not opened).
    static void SetProgramPath(std::string path);
    // Where the message catalogs are, for a program that is not where they expect it (the
    // tests); by default beside the program (see OwnCatalogFolder).
    static void SetCatalogFolder(std::string folder);

    bool OnInit() override;
    // The main loop's status, or a failure when -p or -pt printed nothing.
    int OnRun() override;
    int OnExit() override;
    void OnInitCmdLine(wxCmdLineParser& parser) override;
    bool OnCmdLineParsed(wxCmdLineParser& parser) override;

    // What start-up does with the command line: no file, the empty start-up document; a
    // file, that file opened; each further file in a program of its own (one window holds
    // one disk). False when the first file could not be opened.
    bool ProcessShellCommand(const CommandLine& commandLine);
    // Starts the program for file, without waiting for it. False when it could not start.
    static bool StartInstance(const std::string& file);

    // The program's own data folder: $XDG_DATA_HOME/Darvex (wx 3.2 keeps ~/.Darvex even
    // with the XDG layout).
    static std::string DataFolder();

    DarvexDocManager* GetDocManager() const { return m_pDocManager; }
    CMainFrame* GetMainFrame() const { return m_pFrame; }

protected:
    bool TryAfter(wxEvent& event) override;

private:
    void OnShowAbout(wxCommandEvent& event);
    void OnUpdateAlwaysEnabled(wxUpdateUIEvent& event);
    // -p and -pt: false when nothing was printed (said on standard error).
    bool PrintDocument(const CommandLine& commandLine);

    static std::string s_programPath;
    CommandLine m_commandLine;
    static std::string s_catalogFolder;

    bool m_printFailed = false;
    DarvexDocManager* m_pDocManager = nullptr;
    CMainFrame* m_pFrame = nullptr;
    std::unique_ptr<DebugLog> m_pDebugLog;

    wxDECLARE_EVENT_TABLE();
};

wxDECLARE_APP(CDarvexApp);
