#include "GuiTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filedlg.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/toolbar.h>

#include "TestUtil.h"
#include "doc/DarvexDoc.h"
#include "doc/DarvexDocManager.h"
#include "fs/DiskImage.h"
#include "host/ImageFile.h"
#include "ui/DarvexApp.h"
#include "ui/DarvexView.h"
#include "ui/LeftView.h"
#include "ui/Localization.h"
#include "ui/MainFrame.h"

namespace guitest {

CDarvexApp& App() {
    return wxGetApp();
}

CMainFrame& Frame() {
    return *App().GetMainFrame();
}

DarvexDocManager& Manager() {
    return *App().GetDocManager();
}

CDarvexDoc* Doc() {
    return wxDynamicCast(Manager().GetCurrentDocument(), CDarvexDoc);
}

namespace {

template <typename View> View& ViewOf() {
    View* found = nullptr;
    for (wxView* view : Doc()->GetViewsVector())
        if (auto* v = dynamic_cast<View*>(view))
            found = v;
    EXPECT_NE(found, nullptr);
    return *found;
}

} // namespace

CLeftView& TreeView() {
    return ViewOf<CLeftView>();
}

CDarvexView& ListView() {
    return ViewOf<CDarvexView>();
}

void Settle(int ms) {
    wxYield();
    wxMilliSleep(ms);
    wxYield();
}

void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(&Frame());
    Frame().ProcessWindowEvent(event);
}

namespace {

void UpdateUi() {
    Frame().UpdateWindowUI(wxUPDATE_UI_RECURSE);
    for (size_t i = 0; i < Frame().GetMenuBar()->GetMenuCount(); ++i)
        Frame().GetMenuBar()->GetMenu(i)->UpdateUI(&Frame());
}

} // namespace

bool IsEnabled(int id) {
    UpdateUi();
    wxMenuItem* item = Frame().GetMenuBar()->FindItem(id);
    wxToolBarToolBase* tool = Frame().GetToolBar()->FindById(id);
    EXPECT_TRUE(item || tool) << "no menu item or tool " << id;
    const bool menuOn = item ? item->IsEnabled() : true;
    const bool toolOn = tool ? tool->IsEnabled() : true;
    if (item && tool) {
        EXPECT_EQ(menuOn, toolOn) << "menu and tool bar disagree on " << id;
    }
    return menuOn && toolOn;
}

bool IsChecked(int id) {
    UpdateUi();
    if (wxMenuItem* item = Frame().GetMenuBar()->FindItem(id))
        return item->IsChecked();
    wxToolBarToolBase* tool = Frame().GetToolBar()->FindById(id);
    return tool && tool->IsToggled();
}

void ResetToStart() {
    for (wxDocument* doc : Manager().GetDocumentsVector())
        doc->Modify(false);
    Manager().CloseDocuments(true);
    Frame().SetSpaceText(wxString());
    Frame().GetListCtrl()->SetSingleStyle(wxLC_REPORT);
    App().ProcessShellCommand(CommandLine{});
    Settle(1);
}

bool StartWith(const std::filesystem::path& file) {
    for (wxDocument* doc : Manager().GetDocumentsVector())
        doc->Modify(false);
    Manager().CloseDocuments(true);
    Frame().SetSpaceText(wxString());
    CommandLine cl;
    cl.files = {file.string()};
    return App().ProcessShellCommand(cl);
}

wxDocument* OpenFile(const std::filesystem::path& file) {
    return Manager().CreateDocument(wxString::FromUTF8(file.string()), wxDOC_SILENT);
}

std::vector<std::string> TreeTexts() {
    std::vector<std::string> out;
    wxTreeCtrl* tree = Frame().GetTreeCtrl();
    const auto walk = [&](auto& self, const wxTreeItemId& item, int depth) -> void {
        if (!item.IsOk())
            return;
        out.push_back(std::string(2 * depth, ' ') + tree->GetItemText(item).utf8_string());
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree->GetFirstChild(item, cookie); c.IsOk();
             c = tree->GetNextChild(item, cookie))
            self(self, c, depth + 1);
    };
    walk(walk, tree->GetRootItem(), 0);
    return out;
}

std::vector<std::vector<std::string>> ListRows() {
    std::vector<std::vector<std::string>> rows;
    wxListCtrl* list = Frame().GetListCtrl();
    for (long r = 0; r < list->GetItemCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < list->GetColumnCount(); ++c)
            row.push_back(list->GetItemText(r, c).utf8_string());
        rows.push_back(row);
    }
    return rows;
}

std::string SpaceText() {
    return Frame().GetStatusBar()->GetStatusText(CMainFrame::kPaneSpace).utf8_string();
}

std::string Title() {
    return Frame().GetTitle().utf8_string();
}

std::string ScreenshotSuffix() {
    std::string suffix = "-" + std::string(LanguageCode(Localization::Current()));
    if (const char* scale = std::getenv("GDK_SCALE"); scale && std::string(scale) != "1")
        suffix += "-x" + std::string(scale);
    return suffix;
}

std::filesystem::path Screenshot(const std::string& name, wxWindow* window) {
    if (!window)
        window = &Frame();
    const std::filesystem::path dir(DARVEX_SCREENSHOT_DIR);
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / (name + ScreenshotSuffix() + ".png");
    window->Raise();
    for (int i = 0; i < 20 && !window->IsShownOnScreen(); ++i)
        Settle(20);
    window->Refresh();
    window->Update();
    Settle(300);
    const wxRect rect = window->GetScreenRect();
    wxBitmap bitmap(rect.width, rect.height);
    {
        wxScreenDC screen;
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    }
    bitmap.SaveFile(wxString::FromUTF8(path.string()), wxBITMAP_TYPE_PNG);
    return path;
}

bool ImageHasContent(const std::filesystem::path& png) {
    wxImage image;
    if (!image.LoadFile(wxString::FromUTF8(png.string()), wxBITMAP_TYPE_PNG) || !image.IsOk())
        return false;
    const unsigned char* data = image.GetData();
    const size_t bytes = static_cast<size_t>(image.GetWidth()) * image.GetHeight() * 3;
    for (size_t i = 3; i < bytes; ++i)
        if (data[i] != data[i % 3])
            return true;
    return false;
}

void SaveDiskFile(const DiskImage& disk, const std::filesystem::path& path) {
    std::string reason;
    ASSERT_TRUE(ImageFile::Write(path.string(), disk, reason)) << reason;
}

std::string RunCli(const std::vector<std::string>& args) {
    // The tool's own language, not the one this run shows the program in.
    std::string command = std::string("LANGUAGE=en ") + DARVEX_CLI_PATH;
    for (const std::string& a : args)
        command += " '" + a + "'";
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return out;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
        out.append(buffer, n);
    return out;
}

} // namespace guitest

int ExpectNewDisk::OnInvoked(CNewDiskDlg* dialog) const {
    // What the user sees on opening: the four types, the first one selected.
    dialog->TransferDataToWindow();
    wxChoice* choice = dialog->GetTypeChoice();
    EXPECT_EQ(choice->GetCount(), 4u);
    EXPECT_EQ(choice->GetSelection(), 0);
    choice->SetSelection(m_position);
    if (m_result == wxID_OK)
        dialog->TransferDataFromWindow();
    return m_result;
}

int ExpectMessage::OnInvoked(wxMessageDialog* dialog) const {
    const std::string text = dialog->GetMessage().utf8_string();
    EXPECT_EQ(m_prefixOnly ? text.substr(0, m_text.size()) : text, m_text);
    EXPECT_EQ(dialog->GetCaption().utf8_string(), m_caption);
    // The program's message boxes carry no icon.
    EXPECT_EQ(dialog->GetMessageDialogStyle() &
                  (wxICON_ERROR | wxICON_WARNING | wxICON_QUESTION | wxICON_INFORMATION),
              0);
    return m_result;
}

int ExpectFileDialog::OnInvoked(wxFileDialog* dialog) const {
    if (!m_wildcard.empty()) {
        EXPECT_EQ(dialog->GetWildcard().utf8_string(), m_wildcard);
    }
    const wxString path = wxString::FromUTF8(m_path.string());
    dialog->SetPath(path);
    for (int i = 0; i < 200 && dialog->GetPath() != path; ++i)
        guitest::Settle(5);
    return wxID_OK;
}
