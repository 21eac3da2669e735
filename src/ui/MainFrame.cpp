#include "ui/MainFrame.h"

#include <algorithm>

#include <wx/accel.h>
#include <wx/config.h>
#include <wx/iconbndl.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/splitter.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/treectrl.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include "doc/CommandIds.h"
#include "doc/DarvexDocManager.h"
#include "doc/DocText.h"
#include "doc/RecentFiles.h"
#include "ui/DarvexView.h"
#include "ui/EntryDropTarget.h"
#include "ui/Localization.h"
#include "ui/ViewerCommands.h"

// clang-format off
wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame)
    EVT_MENU_RANGE(ID_VIEW_SMALLICON, ID_VIEW_DETAILS, CMainFrame::OnListStyle)
    EVT_UPDATE_UI_RANGE(ID_VIEW_SMALLICON, ID_VIEW_DETAILS, CMainFrame::OnUpdateListStyle)
    EVT_MENU(ID_VIEW_TOOLBAR, CMainFrame::OnViewToolBar)
    EVT_UPDATE_UI(ID_VIEW_TOOLBAR, CMainFrame::OnUpdateViewToolBar)
    EVT_MENU(ID_VIEW_STATUS_BAR, CMainFrame::OnViewStatusBar)
    EVT_UPDATE_UI(ID_VIEW_STATUS_BAR, CMainFrame::OnUpdateViewStatusBar)
    EVT_MENU(ID_NEXT_PANE, CMainFrame::OnNextPane)
    EVT_MENU(ID_PREV_PANE, CMainFrame::OnNextPane)
    EVT_UPDATE_UI(ID_NEXT_PANE, CMainFrame::OnUpdateAlwaysEnabled)
    EVT_UPDATE_UI(ID_PREV_PANE, CMainFrame::OnUpdateAlwaysEnabled)
    EVT_DROP_FILES(CMainFrame::OnDropFiles)
    EVT_CLOSE(CMainFrame::OnClose)
    EVT_TIMER(wxID_ANY, CMainFrame::OnLockTimer)
wxEND_EVENT_TABLE();
// clang-format on

namespace {

constexpr int kLockPollMs = 250;
const char* const kConfigWindow = "/Window";

struct LockPane {
    int pane;
    const char* text;
};
// The texts also size their panes. Kana and scroll lock cannot be read on Linux.
constexpr LockPane kLockPanes[] = {
    {CMainFrame::kPaneKana, N_("KANA")},
    {CMainFrame::kPaneCaps, "CAP"},
    {CMainFrame::kPaneNum, "NUM"},
    {CMainFrame::kPaneScroll, "SCRL"},
};

} // namespace

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, doctext::kAppName, wxDefaultPosition,
                       wxSize(kDefaultWidth, kDefaultHeight)),
      m_lockTimer(this) {
    wxXmlResource* res = wxXmlResource::Get();
    wxIconBundle icons;
    // The sizes a window manager draws a window's icon at; launchers take the larger ones
    // from the installed icon theme. Each one is decoded and sent to the X server at start.
    for (int size : {16, 24, 32, 48, 64}) {
        wxIcon icon;
        icon.CopyFromBitmap(res->LoadBitmap(wxString::Format("IDR_MAINFRAME_%d", size)));
        if (icon.IsOk())
            icons.AddIcon(icon);
    }
    SetIcons(icons);
    wxMenuBar* menuBar = res->LoadMenuBar("IDR_MAINFRAME");
    SetMenuBar(menuBar);
    if (auto* recent = static_cast<DarvexDocManager*>(manager)->GetRecentFiles())
        recent->SetPlace(menuBar->GetMenu(0));
    SetToolBar(res->LoadToolBar(this, "IDR_MAINFRAME"));
    CreateStatusPanes();

    m_splitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                      wxSP_3D | wxSP_LIVE_UPDATE);
    m_pTree = new wxTreeCtrl(m_splitter, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                             wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_SINGLE | wxBORDER_SUNKEN);
    // The list pane's view sorts the rows itself and maps them to entries by its own table.
    m_pList = new wxListCtrl(m_splitter, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                             wxLC_REPORT | wxBORDER_SUNKEN);
    CDarvexView::InsertColumns(m_pList);
    m_splitter->SetMinimumPaneSize(20);
    m_splitter->SplitVertically(m_pTree, m_pList, kLeftPaneWidth);

    // F6 and Shift+F6 are keyboard-only commands of the window.
    wxAcceleratorEntry keys[] = {
        {wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE},
        {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE},
    };
    SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(keys), keys));

    Localization::BindMenu(this);
    ViewerCommands::Bind(this, manager);
    RestoreGeometry();
    // Files dropped elsewhere on the window are opened as images; the panes take files and
    // other windows' entries into a directory.
    DragAcceptFiles(true);
    m_pList->SetDropTarget(new CEntryDropTarget(m_pList, CEntryDropTarget::Pane::List, manager));
    m_pTree->SetDropTarget(new CEntryDropTarget(m_pTree, CEntryDropTarget::Pane::Tree, manager));
    auto& clipboard = static_cast<DarvexDocManager*>(manager)->Clipboard();
    clipboard.Start();
    // Back from another program, whose copy Paste may now take.
    Bind(wxEVT_ACTIVATE, [&clipboard](wxActivateEvent& event) {
        if (event.GetActive())
            clipboard.Refresh();
        event.Skip();
    });
    PollLockKeys();
    m_lockTimer.Start(kLockPollMs);
}

CMainFrame::~CMainFrame() {
    m_lockTimer.Stop();
    static_cast<DarvexDocManager*>(m_docManager)->Clipboard().Stop();
}

void CMainFrame::CreateStatusPanes() {
    wxStatusBar* bar = CreateStatusBar(kPanes);
    const int pad = bar->GetTextExtent("  ").x;
    int widths[kPanes] = {-1, bar->GetTextExtent(wxString(' ', 33)).x + pad};
    for (const LockPane& p : kLockPanes)
        widths[p.pane] = bar->GetTextExtent(Tr(p.text)).x + pad;
    bar->SetStatusWidths(kPanes, widths);
    // The idle text of the message pane is a single blank.
    bar->SetStatusText(" ", kPaneMessage);
}

void CMainFrame::SetSpaceText(const wxString& text) {
    if (wxStatusBar* bar = GetStatusBar(); bar && bar->GetFieldsCount() > kPaneSpace)
        bar->SetStatusText(text, kPaneSpace);
}

void CMainFrame::PollLockKeys() {
    wxStatusBar* bar = GetStatusBar();
    if (!bar)
        return;
    const auto show = [bar](int pane, const char* text, bool on) {
        const wxString want = on ? wxString::FromUTF8(text) : wxString();
        if (bar->GetStatusText(pane) != want)
            bar->SetStatusText(want, pane);
    };
    show(kPaneCaps, "CAP", wxGetKeyState(WXK_CAPITAL));
    show(kPaneNum, "NUM", wxGetKeyState(WXK_NUMLOCK));
}

void CMainFrame::OnLockTimer(wxTimerEvent&) {
    PollLockKeys();
}

wxSize CMainFrame::DefaultSize() const {
    // Wide enough for the tree and all eight columns, as far as the screen allows.
    int columns = 0;
    for (int c = 0; c < m_pList->GetColumnCount(); ++c)
        columns += m_pList->GetColumnWidth(c);
    const int scrollBar = m_pList->GetTextExtent("MM").x;
    const wxRect screen = wxGetClientDisplayRect();
    return wxSize(
        std::min(std::max(kDefaultWidth, kLeftPaneWidth + columns + scrollBar), screen.width),
        std::min(kDefaultHeight, screen.height));
}

void CMainFrame::RestoreGeometry() {
    wxConfigBase* config = wxConfigBase::Get();
    wxConfigPathChanger path(config, wxString(kConfigWindow) + "/");
    // The size of the window's inside is remembered: its outer size includes the window
    // manager's frame, which is not known before the window is shown, so restoring that would
    // add the frame again at every start.
    const int w = config->ReadLong("ClientWidth", -1);
    const int h = config->ReadLong("ClientHeight", -1);
    const int x = config->ReadLong("X", -1);
    const int y = config->ReadLong("Y", -1);
    if (w > 0 && h > 0) {
        // A remembered size too small to read is not worth keeping.
        SetClientSize(std::max(w, kDefaultWidth / 2), std::max(h, kDefaultHeight / 2));
    } else {
        SetSize(DefaultSize());
    }
    if (x >= 0 && y >= 0)
        Move(x, y);
    else
        Centre();
}

void CMainFrame::SaveGeometry() {
    if (IsIconized() || IsMaximized())
        return;
    wxConfigBase* config = wxConfigBase::Get();
    wxConfigPathChanger path(config, wxString(kConfigWindow) + "/");
    const wxPoint at = GetPosition();
    const wxSize inside = GetClientSize();
    config->Write("X", at.x);
    config->Write("Y", at.y);
    config->Write("ClientWidth", inside.x);
    config->Write("ClientHeight", inside.y);
    // The outer size of earlier versions, which a start would misread.
    config->DeleteEntry("Width", false);
    config->DeleteEntry("Height", false);
}

long CMainFrame::ListViewStyle(int id) const {
    switch (id) {
    case ID_VIEW_LARGEICON:
        return wxLC_ICON;
    case ID_VIEW_SMALLICON:
        return wxLC_SMALL_ICON;
    case ID_VIEW_LIST:
        return wxLC_LIST;
    default:
        return wxLC_REPORT;
    }
}

void CMainFrame::OnListStyle(wxCommandEvent& event) {
    const long style = ListViewStyle(event.GetId());
    if (!m_pList->HasFlag(style)) {
        m_pList->SetSingleStyle(style);
        // The generic list control places the items of the icon and list views only when
        // it is sized: without this they stay unplaced (and unseen) until the next resize.
        m_pList->SendSizeEvent();
    }
}

void CMainFrame::OnUpdateListStyle(wxUpdateUIEvent& event) {
    event.Enable(true);
    event.Check(m_pList->HasFlag(ListViewStyle(event.GetId())));
}

void CMainFrame::OnViewToolBar(wxCommandEvent&) {
    if (wxToolBar* bar = GetToolBar()) {
        bar->Show(!bar->IsShown());
        SendSizeEvent();
    }
}

void CMainFrame::OnUpdateViewToolBar(wxUpdateUIEvent& event) {
    event.Check(GetToolBar() && GetToolBar()->IsShown());
}

void CMainFrame::OnViewStatusBar(wxCommandEvent&) {
    if (wxStatusBar* bar = GetStatusBar()) {
        bar->Show(!bar->IsShown());
        SendSizeEvent();
    }
}

void CMainFrame::OnUpdateViewStatusBar(wxUpdateUIEvent& event) {
    event.Check(GetStatusBar() && GetStatusBar()->IsShown());
}

void CMainFrame::OnNextPane(wxCommandEvent&) {
    // Two panes: the next and the previous one are the same.
    wxWindow* focus = FindFocus();
    if (focus == m_pTree || (focus && m_pTree->IsDescendant(focus)))
        m_pList->SetFocus();
    else
        m_pTree->SetFocus();
}

void CMainFrame::OnUpdateAlwaysEnabled(wxUpdateUIEvent& event) {
    event.Enable(true);
}

void CMainFrame::OpenDroppedFiles(const wxArrayString& files) {
    for (const wxString& file : files)
        m_docManager->CreateDocument(file, wxDOC_SILENT);
}

void CMainFrame::OnDropFiles(wxDropFilesEvent& event) {
    Raise();
    wxArrayString files;
    for (int i = 0; i < event.GetNumberOfFiles(); ++i)
        files.push_back(event.GetFiles()[i]);
    OpenDroppedFiles(files);
}

void CMainFrame::OnClose(wxCloseEvent& event) {
    SaveGeometry();
    event.Skip(); // the document frame closes the document (asking to save) and the window
}
