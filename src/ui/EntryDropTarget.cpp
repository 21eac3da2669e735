#include "ui/EntryDropTarget.h"

#include <wx/docview.h>
#include <wx/treectrl.h>
#include <wx/utils.h>

#include "doc/DarvexDoc.h"
#include "ui/LeftView.h"

namespace {

// The program's drag under way, if any.
const wxDocument* s_ownDoc = nullptr;
int s_ownDir = -1;

} // namespace

CEntryDropTarget::OwnDrag::OwnDrag(const wxDocument* doc, int dirSector) {
    s_ownDoc = doc;
    s_ownDir = dirSector;
}

CEntryDropTarget::OwnDrag::~OwnDrag() {
    s_ownDoc = nullptr;
    s_ownDir = -1;
}

CEntryDropTarget::CEntryDropTarget(wxWindow* control, Pane pane, wxDocManager* manager)
    : wxDropTarget(new CTransferData), m_pControl(control), m_pane(pane), m_pManager(manager) {
    // Files are always copied: a move would have the file manager delete its own.
    SetDefaultAction(wxDragCopy);
}

CTransferData& CEntryDropTarget::Data() const {
    return *static_cast<CTransferData*>(GetDataObject());
}

CDarvexDoc* CEntryDropTarget::Doc() const {
    return wxDynamicCast(m_pManager->GetCurrentDocument(), CDarvexDoc);
}

wxTreeItemId CEntryDropTarget::TreeItemAt(wxCoord x, wxCoord y) const {
    auto* tree = dynamic_cast<wxTreeCtrl*>(m_pControl);
    if (m_pane != Pane::Tree || !tree)
        return {};
    int flags = 0;
    const wxTreeItemId item = tree->HitTest(wxPoint(x, y), flags);
    return (flags &
            (wxTREE_HITTEST_ONITEMLABEL | wxTREE_HITTEST_ONITEMICON | wxTREE_HITTEST_ONITEMINDENT |
             wxTREE_HITTEST_ONITEMRIGHT | wxTREE_HITTEST_ONITEMBUTTON))
               ? item
               : wxTreeItemId();
}

int CEntryDropTarget::DirectoryAt(wxCoord x, wxCoord y) const {
    CDarvexDoc* doc = Doc();
    if (!doc || !doc->HasMzFileSystem())
        return -1;
    if (const wxTreeItemId item = TreeItemAt(x, y); item.IsOk())
        for (wxView* view : doc->GetViewsVector())
            if (auto* tree = dynamic_cast<CLeftView*>(view))
                if (const int dir = tree->DirSectorOf(item); dir >= 0)
                    return dir;
    return doc->GetDisk().GetCurrentDir();
}

bool CEntryDropTarget::IsOwnDragBackHome(int dirSector) const {
    return s_ownDoc != nullptr && s_ownDoc == Doc() && s_ownDir == dirSector;
}

void CEntryDropTarget::Highlight(const wxTreeItemId& item) {
    auto* tree = dynamic_cast<wxTreeCtrl*>(m_pControl);
    if (!tree || item == m_highlighted)
        return;
    if (m_highlighted.IsOk())
        tree->SetItemDropHighlight(m_highlighted, false);
    m_highlighted = item;
    if (m_highlighted.IsOk())
        tree->SetItemDropHighlight(m_highlighted, true);
}

wxDragResult CEntryDropTarget::OnEnter(wxCoord x, wxCoord y, wxDragResult def) {
    return OnDragOver(x, y, def);
}

wxDragResult CEntryDropTarget::OnDragOver(wxCoord x, wxCoord y, wxDragResult) {
    const int dir = DirectoryAt(x, y);
    Highlight(TreeItemAt(x, y));
    if (IsOwnDragBackHome(dir))
        return wxDragNone;
    CDarvexDoc* doc = Doc();
    const bool takesFiles = doc && dir >= 0 && doc->CanTakeFiles(dir);
    // A pack only lands on a disk that takes files; a file list may hold images to open.
    if (GetMatchingPair() == CTransferData::PackFormat())
        return takesFiles ? wxDragCopy : wxDragNone;
    return wxDragCopy;
}

void CEntryDropTarget::OnLeave() {
    Highlight(wxTreeItemId());
}

bool CEntryDropTarget::OnDrop(wxCoord x, wxCoord y) {
    Highlight(wxTreeItemId());
    return !IsOwnDragBackHome(DirectoryAt(x, y)) && wxDropTarget::OnDrop(x, y);
}

wxDragResult CEntryDropTarget::OnData(wxCoord x, wxCoord y, wxDragResult) {
    if (!GetData())
        return wxDragNone;
    return Received(x, y, wxGetKeyState(WXK_SHIFT));
}

wxDragResult CEntryDropTarget::Received(wxCoord x, wxCoord y, bool shift) {
    const CTransferData::Payload payload = Data().Received();
    const int dir = DirectoryAt(x, y);
    if (payload.kind == CTransferData::Kind::None || IsOwnDragBackHome(dir))
        return wxDragNone;
    if (payload.kind == CTransferData::Kind::Pack && dir < 0)
        return wxDragNone;
    CDarvexDoc* doc = Doc();
    m_pControl->CallAfter([this, doc, payload, dir, shift] {
        // The document the drop was aimed at, unless another took its place meanwhile.
        if (CDarvexDoc* now = Doc(); now && now == doc)
            now->ReceiveTransfer(payload, dir, shift, false);
    });
    return wxDragCopy;
}
