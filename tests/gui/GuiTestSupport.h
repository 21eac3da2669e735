#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <wx/docview.h>
#include <wx/filedlg.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/treectrl.h>

#include "doc/NewDiskDlg.h"

class CDarvexApp;
class CDarvexDoc;
class CDarvexView;
class CLeftView;
class CMainFrame;
class DarvexDocManager;
class DiskImage;

// The running application and its window, for tests that run inside its main loop.
namespace guitest {

CDarvexApp& App();
CMainFrame& Frame();
DarvexDocManager& Manager();
// The open document; null when there is none.
CDarvexDoc* Doc();
// The open document's tree and list views.
CLeftView& TreeView();
CDarvexView& ListView();

// Lets the window paint and pending events run.
void Settle(int ms = 30);

// Sends a menu command to the main window as a click would.
void Command(int id);
// Enabled and checked states after the window's update-UI pass, as the user would see
// them in the menu (menuOnly) or on both the menu item and the tool bar button.
bool IsEnabled(int id);
bool IsChecked(int id);

// Closes whatever is open without a question and starts over with the start-up New.
void ResetToStart();
// The start-up with a file, as `darvex FILE` does it.
bool StartWith(const std::filesystem::path& file);
wxDocument* OpenFile(const std::filesystem::path& file);

// The texts the panes show.
std::vector<std::string> TreeTexts();             // depth-first, "  " per level
std::vector<std::vector<std::string>> ListRows(); // each row's eight column texts
std::string SpaceText();
std::string Title();

// "-ja", "-en" (and "-x2" at GDK_SCALE=2): screenshots of each language and scale side by side.
std::string ScreenshotSuffix();
// Writes the screen area of window (the main window when null) to a PNG in the build's
// screenshot folder, named name + ScreenshotSuffix(); returns its path. Without raise the
// window stays below what covers it (an open menu).
std::filesystem::path Screenshot(const std::string& name, wxWindow* window = nullptr,
                                 bool raise = true);
// Whether the PNG shows more than one colour.
bool ImageHasContent(const std::filesystem::path& png);

// Saves disk as D88 to path.
void SaveDiskFile(const DiskImage& disk, const std::filesystem::path& path);

// Runs darvex-cli with the arguments and returns its standard output.
std::string RunCli(const std::vector<std::string>& args);

// The temporary folders the run uses as XDG data home and as its working folder.
std::filesystem::path DataHome();
std::filesystem::path WorkDir();

} // namespace guitest

// Drives the new-disk dialog: checks what it shows on opening, picks a list position and
// closes it with OK or Cancel.
class ExpectNewDisk : public wxExpectModalBase<CNewDiskDlg, ExpectNewDisk> {
public:
    explicit ExpectNewDisk(int position, int result = wxID_OK)
        : m_position(position), m_result(result) {}

protected:
    int OnInvoked(CNewDiskDlg* dialog) const override;

private:
    int m_position;
    int m_result;
};

// A message box: checks its text (or only how it begins) and caption and answers with result.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
public:
    ExpectMessage(std::string text, std::string caption, int result = wxID_OK)
        : m_text(std::move(text)), m_caption(std::move(caption)), m_result(result) {}

    ExpectMessage StartingWith() const {
        ExpectMessage e(*this);
        e.m_prefixOnly = true;
        return e;
    }

protected:
    int OnInvoked(wxMessageDialog* dialog) const override;

private:
    std::string m_text;
    std::string m_caption;
    int m_result;
    bool m_prefixOnly = false;
};

// A file dialog (open or save): answers with path. GTK applies a set path asynchronously,
// so this waits until the dialog reports it.
class ExpectFileDialog : public wxExpectModalBase<wxFileDialog, ExpectFileDialog> {
public:
    explicit ExpectFileDialog(std::filesystem::path path, std::string wildcard = {})
        : m_path(std::move(path)), m_wildcard(std::move(wildcard)) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override;

private:
    std::filesystem::path m_path;
    std::string m_wildcard; // checked when not empty
};

// Every GUI test starts from the state the program has after starting without arguments.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override { guitest::ResetToStart(); }
    void TearDown() override { guitest::ResetToStart(); }
};
