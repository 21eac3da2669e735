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

    // The raw arguments (without the program name), decoded as UTF-8 whatever the locale;
    // main() hands them over before wx starts.
    static void SetRawArgs(std::vector<std::string> args);
    // Where the message catalogs are, for a program that is not where they expect it (the
    // tests); by default beside the program (see OwnCatalogFolder).
    static void SetCatalogFolder(std::string folder);

    bool OnInit() override;
    int OnExit() override;

    // What start-up does with the command line: no file, the empty start-up document; a
    // file, that file opened. False when the file could not be opened.
    bool ProcessShellCommand(const CommandLine& commandLine);

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
    void PrintDocument(const CommandLine& commandLine);

    static std::vector<std::string> s_rawArgs;
    static std::string s_catalogFolder;

    DarvexDocManager* m_pDocManager = nullptr;
    CMainFrame* m_pFrame = nullptr;
    std::unique_ptr<DebugLog> m_pDebugLog;

    wxDECLARE_EVENT_TABLE();
};

wxDECLARE_APP(CDarvexApp);
