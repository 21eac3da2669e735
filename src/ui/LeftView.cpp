#include "ui/LeftView.h"

#include <memory>

#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/treectrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DarvexDoc.h"
#include "doc/DocHint.h"
#include "doc/DocumentHost.h"
#include "fs/SjisText.h"
#include "image/Geometry.h"
#include "ui/DarvexView.h"

wxIMPLEMENT_DYNAMIC_CLASS(CLeftView, wxView);

bool CLeftView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags))
        return false;
    DocumentHost* host = AttachViewToHost(this);
    if (!host)
        return false;
    m_pTree = host->GetTreeCtrl();
    // Bound with the view as the sink: unbound when the view is deleted with its document.
    m_pTree->Bind(wxEVT_TREE_SEL_CHANGED, &CLeftView::OnSelChanged, this);
    m_pTree->Bind(wxEVT_SET_FOCUS, &CLeftView::OnFocus, this);
    m_pTree->Bind(wxEVT_TREE_ITEM_MENU, &CLeftView::OnItemMenu, this);
    Activate(true);
    return true;
}

bool CLeftView::OnClose(bool) {
    // The frame and its controls outlive the view; closing the document is the manager's.
    return true;
}

void CLeftView::OnDraw(wxDC*) {}

void CLeftView::OnUpdate(wxView*, wxObject* hint) {
    // Only another disk changes the directory hierarchy.
    if (DocHint::KindOf(hint) == DocHint::WholeDisk)
        FillTree();
}

void CLeftView::FillTree() {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    m_nTreeCount = 0;
    m_pTree->DeleteAllItems();
    if (!doc || !doc->IsLoaded())
        return;
    // A disk without an MZ file system has no directories: its root says so.
    if (!doc->HasMzFileSystem()) {
        m_hTreeItem[0] = m_pTree->AddRoot(doc->SpaceText());
        m_nTreeDirSector[0] = kRootDirSector;
        m_nTreeCount = 1;
        return;
    }
    // The core's walk is the one `darvex-cli tree` uses; node 0 is the root.
    const std::vector<DirTreeNode> nodes = WalkDirTree(doc->GetDisk());
    for (std::size_t n = 0; n < nodes.size() && m_nTreeCount < kMaxTreeNodes; ++n) {
        const DirTreeNode& node = nodes[n];
        m_hTreeItem[m_nTreeCount] =
            n == 0 ? m_pTree->AddRoot("root")
                   : m_pTree->AppendItem(m_hTreeItem[node.parent],
                                         wxString::FromUTF8(SjisToTerminal(node.name)));
        m_nTreeDirSector[m_nTreeCount] = node.dirSector;
        ++m_nTreeCount;
    }
}

int CLeftView::DirSectorOf(const wxTreeItemId& item) const {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    for (int n = 0; item.IsOk() && doc && doc->HasMzFileSystem() && n < m_nTreeCount; ++n)
        if (m_hTreeItem[n] == item)
            return m_nTreeDirSector[n];
    return -1;
}

void CLeftView::OnChangeFilename() {
    if (wxWindow* frame = GetFrame())
        frame->SetLabel(GetDocumentManager()->MakeFrameTitle(GetDocument()));
}

wxString CLeftView::PathOf(int dirSector) const {
    for (int n = 0; n < m_nTreeCount; ++n) {
        if (m_nTreeDirSector[n] != dirSector)
            continue;
        wxString path;
        for (wxTreeItemId item = m_hTreeItem[n]; item.IsOk(); item = m_pTree->GetItemParent(item))
            path = m_pTree->GetItemText(item) + (path.empty() ? "" : "/") + path;
        return path;
    }
    return wxString();
}

wxPrintout* CLeftView::OnCreatePrintout() {
    for (wxView* view : GetDocument()->GetViewsVector())
        if (auto* list = dynamic_cast<CDarvexView*>(view))
            return list->OnCreatePrintout();
    return wxView::OnCreatePrintout();
}

void CLeftView::OnSelChanged(wxTreeEvent& event) {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    for (int n = 0; doc && doc->HasMzFileSystem() && n < m_nTreeCount; ++n) {
        if (m_hTreeItem[n] == event.GetItem()) {
            doc->ShowDirectory(m_nTreeDirSector[n]);
            break;
        }
    }
    event.Skip();
}

void CLeftView::OnFocus(wxFocusEvent& event) {
    Activate(true);
    event.Skip();
}

int CLeftView::SectorOf(const wxTreeItemId& item) const {
    for (int n = 0; item.IsOk() && n < m_nTreeCount; ++n)
        if (m_hTreeItem[n] == item)
            return m_nTreeDirSector[n];
    return -1;
}

wxTreeItemId CLeftView::ShownNode() const {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    if (!doc || !doc->HasMzFileSystem())
        return wxTreeItemId();
    const int shown = doc->GetDisk().GetCurrentDir();
    const wxTreeItemId selected = m_pTree->GetSelection();
    if (SectorOf(selected) == shown)
        return selected;
    // Several nodes may show one directory (links that lead back): the first one the walk met.
    for (int n = 0; n < m_nTreeCount; ++n)
        if (m_nTreeDirSector[n] == shown)
            return m_hTreeItem[n];
    return wxTreeItemId();
}

void CLeftView::Select(const wxTreeItemId& item) {
    m_pTree->EnsureVisible(item);
    m_pTree->SelectItem(item);
}

bool CLeftView::OpenChild(int dirSector) {
    const wxTreeItemId shown = ShownNode();
    if (!shown.IsOk())
        return false;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = m_pTree->GetFirstChild(shown, cookie); child.IsOk();
         child = m_pTree->GetNextChild(shown, cookie)) {
        if (SectorOf(child) == dirSector) {
            Select(child);
            return true;
        }
    }
    return false;
}

bool CLeftView::OpenParent() {
    const wxTreeItemId shown = ShownNode();
    if (!shown.IsOk())
        return false;
    const wxTreeItemId parent = m_pTree->GetItemParent(shown);
    if (!parent.IsOk() || SectorOf(parent) < 0)
        return false;
    Select(parent);
    return true;
}

// The commands that act on a directory as a whole: the node is selected first, so that they
// act on the directory the user pointed at.
void CLeftView::OnItemMenu(wxTreeEvent& event) {
    const wxTreeItemId item = event.GetItem();
    if (!item.IsOk() || SectorOf(item) < 0)
        return;
    if (m_pTree->GetSelection() != item)
        Select(item);
    m_pTree->SetFocus();
    Activate(true);
    std::unique_ptr<wxMenu> menu(wxXmlResource::Get()->LoadMenu("IDM_TREE_NODE"));
    if (menu)
        m_pTree->PopupMenu(menu.get(), event.GetPoint());
}
