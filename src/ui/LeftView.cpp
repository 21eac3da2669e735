#include "ui/LeftView.h"

#include <memory>

#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/treectrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DarvexDoc.h"
#include "doc/DocHint.h"
#include "doc/DocText.h"
#include "doc/DocumentHost.h"
#include "doc/UiText.h"
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
    const DocHint::Kind kind = DocHint::KindOf(hint);
    // Only another disk changes the directory hierarchy.
    if (kind == DocHint::WholeDisk)
        FillTree();
    if (kind != DocHint::None)
        SelectCurrentDirectory();
}

// The selection follows the document's disk and current directory (undo goes back to where a
// change was made) without showing that directory again.
void CLeftView::SelectCurrentDirectory() {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    if (!doc || !doc->IsLoaded())
        return;
    const int disk = doc->GetDisk().GetSelectedDisk();
    const int dirSector = doc->GetDisk().GetCurrentDir();
    const wxTreeItemId selected = m_pTree->GetSelection();
    int found = -1;
    for (int n = 0; n < m_nTreeCount; ++n) {
        if (m_nTreeDisk[n] != disk || m_nTreeDirSector[n] != dirSector)
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

wxTreeItemId CLeftView::AddNode(const wxTreeItemId& parent, const wxString& text, int disk,
                                int dirSector) {
    if (m_nTreeCount >= kMaxTreeNodes)
        return wxTreeItemId();
    const wxTreeItemId item =
        parent.IsOk() ? m_pTree->AppendItem(parent, text) : m_pTree->AddRoot(text);
    m_hTreeItem[m_nTreeCount] = item;
    m_nTreeDisk[m_nTreeCount] = disk;
    m_nTreeDirSector[m_nTreeCount] = dirSector;
    ++m_nTreeCount;
    return item;
}

void CLeftView::AddDirectories(const wxTreeItemId& diskNode) {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    const int disk = doc->GetDisk().GetSelectedDisk();
    // The core's walk is the one `darvex-cli tree` uses; its node 0 is the root, which is
    // diskNode.
    const std::vector<DirTreeNode> nodes = WalkDirTree(doc->GetDisk());
    std::vector<wxTreeItemId> items(nodes.size());
    if (!items.empty())
        items[0] = diskNode;
    for (std::size_t n = 1; n < nodes.size(); ++n) {
        const DirTreeNode& node = nodes[n];
        items[n] = AddNode(items[node.parent], wxString::FromUTF8(SjisToTerminal(node.name)), disk,
                           node.dirSector);
        if (!items[n].IsOk())
            break;
    }
}

namespace {

// "Disk 2 NAME", with what keeps the disk from being listed.
wxString DiskNodeText(const DiskImage& disk, int index) {
    const DiskSummary summary = disk.GetDiskSummary(index);
    wxString text = wxString::Format(Tr(doctext::kDiskNode), index + 1);
    if (!summary.name.empty())
        text += " " + wxString::FromUTF8(SjisToTerminal(summary.name));
    if (summary.damaged)
        text += " " + Tr(doctext::kDiskDamaged);
    else if (!summary.mzFileSystem)
        text += " (" + wxString::FromUTF8(UiMessage(UiText::NoMzFileSystem)) + ")";
    return text;
}

} // namespace

void CLeftView::FillTree() {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    m_nTreeCount = 0;
    m_pTree->DeleteAllItems();
    if (!doc || !doc->IsLoaded())
        return;
    const DiskImage& disk = doc->GetDisk();
    const int disks = disk.GetDiskCount();
    // Several disks hang from a root that is not shown; one disk is the root itself.
    const long style = m_pTree->GetWindowStyleFlag();
    const long wanted = disks > 1 ? style | wxTR_HIDE_ROOT : style & ~wxTR_HIDE_ROOT;
    if (wanted != style)
        m_pTree->SetWindowStyleFlag(wanted);
    if (disks <= 1) {
        // A disk without an MZ file system has no directories: its root says so.
        if (!doc->HasMzFileSystem()) {
            AddNode(wxTreeItemId(), doc->SpaceText(), 0, kRootDirSector);
            return;
        }
        AddDirectories(AddNode(wxTreeItemId(), "root", 0, kRootDirSector));
        return;
    }
    const wxTreeItemId root = m_pTree->AddRoot(wxString());
    for (int d = 0; d < disks; ++d) {
        const wxTreeItemId node = AddNode(root, DiskNodeText(disk, d), d, kRootDirSector);
        if (d == disk.GetSelectedDisk() && node.IsOk() && doc->HasMzFileSystem()) {
            AddDirectories(node);
            m_pTree->Expand(node);
        }
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
    for (int n = 0; !m_bSelecting && doc && doc->IsLoaded() && n < m_nTreeCount; ++n) {
        if (m_hTreeItem[n] != event.GetItem())
            continue;
        const int disk = m_nTreeDisk[n];
        if (disk != doc->GetDisk().GetSelectedDisk()) {
            // Another disk fills the tree again: not from inside the tree's own event. A disk
            // that cannot be shown leaves the selection where it was.
            CallAfter([this, disk] {
                auto* d = wxDynamicCast(GetDocument(), CDarvexDoc);
                if (d && !d->ShowDisk(disk))
                    SelectCurrentDirectory();
            });
        } else if (doc->HasMzFileSystem()) {
            doc->ShowDirectory(m_nTreeDirSector[n]);
        }
        break;
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
