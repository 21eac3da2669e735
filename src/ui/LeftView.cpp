#include "ui/LeftView.h"

#include <wx/frame.h>
#include <wx/treectrl.h>

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
