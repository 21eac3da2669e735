#include "ui/LeftView.h"

#include <wx/frame.h>
#include <wx/treectrl.h>

#include "doc/DarvexDoc.h"
#include "doc/DocHint.h"
#include "doc/DocumentHost.h"
#include "fs/SjisText.h"
#include "image/Geometry.h"

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
    const DocHint::Kind kind = DocHint::KindOf(hint);
    // Only another disk changes the directory hierarchy.
    if (kind == DocHint::WholeDisk)
        FillTree();
    if (kind != DocHint::None)
        SelectCurrentDirectory();
}

// The selection follows the document's current directory (undo goes back to where a change
// was made) without showing that directory again.
void CLeftView::SelectCurrentDirectory() {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    if (!doc || !doc->HasMzFileSystem())
        return;
    const int dirSector = doc->GetDisk().GetCurrentDir();
    const wxTreeItemId selected = m_pTree->GetSelection();
    int found = -1;
    for (int n = 0; n < m_nTreeCount; ++n) {
        if (m_nTreeDirSector[n] != dirSector)
            continue;
        // A directory reached by two paths keeps the node the user chose.
        if (m_hTreeItem[n] == selected)
            return;
        if (found < 0)
            found = n;
    }
    if (found < 0)
        return;
    m_bSelecting = true;
    m_pTree->SelectItem(m_hTreeItem[found]);
    m_bSelecting = false;
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

void CLeftView::OnChangeFilename() {
    if (wxWindow* frame = GetFrame())
        frame->SetLabel(GetDocumentManager()->MakeFrameTitle(GetDocument()));
}

void CLeftView::OnSelChanged(wxTreeEvent& event) {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    for (int n = 0; !m_bSelecting && doc && doc->HasMzFileSystem() && n < m_nTreeCount; ++n) {
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
