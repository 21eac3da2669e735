#include "ui/ListActions.h"

#include <memory>
#include <utility>

#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DialogSupport.h"
#include "doc/EntryCommands.h"
#include "ui/DarvexView.h"
#include "ui/LeftView.h"

ListActions::ListActions(CDarvexView& view) : m_view(view), m_pList(view.GetListCtrl()) {
    // Bound with this object as the sink: unbound when the view (and so this) is deleted.
    m_pList->Bind(wxEVT_KEY_DOWN, &ListActions::OnKeyDown, this);
    m_pList->Bind(wxEVT_LIST_ITEM_ACTIVATED, &ListActions::OnActivated, this);
    m_pList->Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, &ListActions::OnItemRightClick, this);
    m_pList->Bind(wxEVT_LIST_COL_RIGHT_CLICK, &ListActions::OnColumnRightClick, this);
    m_pList->Bind(wxEVT_CONTEXT_MENU, &ListActions::OnContextMenu, this);
    m_pList->Bind(wxEVT_LIST_COL_CLICK, &ListActions::OnColumnClick, this);
    m_pList->Bind(wxEVT_LIST_BEGIN_LABEL_EDIT, &ListActions::OnBeginLabelEdit, this);
    m_pList->Bind(wxEVT_LIST_END_LABEL_EDIT, &ListActions::OnEndLabelEdit, this);
    m_pList->Bind(wxEVT_MENU, &ListActions::OnOpenDirectory, this, XRCID("ID_OPEN_DIRECTORY"));
}

CDarvexDoc* ListActions::Doc() const {
    return wxDynamicCast(m_view.GetDocument(), CDarvexDoc);
}

CLeftView* ListActions::Tree() const {
    if (CDarvexDoc* doc = Doc())
        for (wxView* view : doc->GetViewsVector())
            if (auto* tree = wxDynamicCast(view, CLeftView))
                return tree;
    return nullptr;
}

bool ListActions::RunCommand(int id) {
    wxWindow* frame = m_view.GetFrame();
    if (!frame)
        return false;
    // The menu's own test: a command its update handler disables does nothing.
    wxUpdateUIEvent update(id);
    update.SetEventObject(frame);
    frame->ProcessWindowEvent(update);
    if (update.GetSetEnabled() && !update.GetEnabled())
        return false;
    wxCommandEvent command(wxEVT_MENU, id);
    command.SetEventObject(frame);
    frame->ProcessWindowEvent(command);
    return true;
}

void ListActions::OnKeyDown(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    if (key == WXK_DELETE && modifiers == wxMOD_NONE) {
        RunCommand(ID_DELETE_FILE);
    } else if (key == WXK_F2 && modifiers == wxMOD_NONE) {
        StartRename();
    } else if (key == 'A' && modifiers == wxMOD_CONTROL) {
        SelectAll();
    } else if ((key == WXK_BACK && modifiers == wxMOD_NONE) ||
               (key == WXK_UP && modifiers == wxMOD_ALT)) {
        if (CLeftView* tree = Tree())
            tree->OpenParent();
    } else {
        event.Skip();
    }
}

void ListActions::SelectAll() {
    for (long row = 0; row < m_pList->GetItemCount(); ++row)
        m_pList->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

void ListActions::SelectOnly(long row) {
    for (long r = 0; r < m_pList->GetItemCount(); ++r)
        if (r != row)
            m_pList->SetItemState(r, 0, wxLIST_STATE_SELECTED);
    if (row >= 0)
        m_pList->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                              wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
}

void ListActions::OnActivated(wxListEvent& event) {
    OpenRow(event.GetIndex());
}

void ListActions::OpenRow(long row) {
    if (row < 0 || row >= m_view.GetRowCount())
        return;
    if (m_view.IsDirectoryRow(row)) {
        const int dirSector = m_view.EntryOfRow(row).StartSector();
        CLeftView* tree = Tree();
        // A directory past the tree's node limit has no node: the list shows it all the same.
        if (!tree || !tree->OpenChild(dirSector))
            if (CDarvexDoc* doc = Doc())
                doc->ShowDirectory(dirSector);
        return;
    }
    // The file viewer acts on the list's current row.
    if (wxWindow* frame = m_view.GetFrame())
        wxQueueEvent(frame->GetEventHandler(),
                     new wxCommandEvent(wxEVT_MENU, XRCID("ID_VIEW_FILE")));
}

void ListActions::OnOpenDirectory(wxCommandEvent&) {
    OpenRow(m_nMenuRow);
}

void ListActions::OnItemRightClick(wxListEvent& event) {
    m_nRightClickedRow = event.GetIndex();
    event.Skip();
}

void ListActions::OnColumnRightClick(wxListEvent& event) {
    // Forgotten once the click's events are over, whether a menu event came or not.
    m_nRightClickedRow = kHeaderClick;
    CallAfter([this] {
        if (m_nRightClickedRow == kHeaderClick)
            m_nRightClickedRow = kNoClick;
    });
    event.Skip();
}

void ListActions::OnContextMenu(wxContextMenuEvent& event) {
    // A right click on a row is told first by the list's own event (the list has selected a
    // row outside the selection by then); one on the header by the column's event; one below
    // the rows by neither. The keyboard's menu key gives no position: the menu is then the
    // selected row's.
    const long clicked = std::exchange(m_nRightClickedRow, kNoClick);
    long row = clicked;
    wxPoint at = event.GetPosition();
    if (clicked == kHeaderClick)
        return; // the header has no menu
    if (clicked == kNoClick && at == wxDefaultPosition) {
        row = m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
        if (row >= 0 && !m_pList->GetItemState(row, wxLIST_STATE_SELECTED))
            row = -1;
        wxRect rect;
        at = row >= 0 && m_pList->GetItemRect(row, rect)
                 ? m_pList->ClientToScreen(rect.GetBottomLeft())
                 : m_pList->GetScreenPosition();
    } else if (clicked == kNoClick) {
        row = -1;
    }
    // As in a file manager: a row outside the selection is selected alone, the empty space
    // clears the selection.
    if (row < 0 || !m_pList->GetItemState(row, wxLIST_STATE_SELECTED))
        SelectOnly(row);
    m_pList->SetFocus();
    m_view.Activate(true);
    m_nMenuRow = row;
    const char* menu = row < 0
                           ? "IDM_LIST_SPACE"
                           : (m_view.IsDirectoryRow(row) ? "IDM_DIRECTORY_ROW" : "IDM_LIST_ROWS");
    std::unique_ptr<wxMenu> popup(wxXmlResource::Get()->LoadMenu(menu));
    if (popup)
        m_pList->PopupMenu(popup.get(), m_pList->ScreenToClient(at));
}

void ListActions::OnColumnClick(wxListEvent& event) {
    m_view.SortByColumn(event.GetColumn());
}

bool ListActions::CanRename() const {
    CDarvexDoc* doc = Doc();
    if (!doc || !doc->HasMzFileSystem() || doc->IsReadOnly() || m_pList->GetEditControl() ||
        !DirectoryWritable(doc->GetDisk(), doc->GetDisk().GetCurrentDir()) ||
        m_pList->GetSelectedItemCount() != 1)
        return false;
    const long row = m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    return row >= 0 && !m_view.IsDirectoryRow(row);
}

void ListActions::StartRename() {
    if (!CanRename())
        return;
    const long row = m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    m_pList->SetFocus();
    m_pList->EnsureVisible(row);
    m_pList->EditLabel(row);
}

void ListActions::OnBeginLabelEdit(wxListEvent& event) {
    const long row = event.GetIndex();
    CDarvexDoc* doc = Doc();
    if (!doc || !doc->HasMzFileSystem() || doc->IsReadOnly() || m_view.IsDirectoryRow(row) ||
        !DirectoryWritable(doc->GetDisk(), doc->GetDisk().GetCurrentDir()))
        event.Veto();
}

void ListActions::OnEndLabelEdit(wxListEvent& event) {
    // The list writes no text of its own: the rename refills it, or nothing changed.
    event.Veto();
    const long row = event.GetIndex();
    if (event.IsEditCancelled() || row < 0 || row >= m_view.GetRowCount() ||
        event.GetLabel() == m_pList->GetItemText(row))
        return;
    // The editor is still being closed: the list is refilled once it is gone.
    const int entryIndex = m_view.GetListEntry(row);
    const wxString name = event.GetLabel();
    CallAfter([this, entryIndex, name] { CommitRename(entryIndex, name); });
}

void ListActions::CommitRename(int entryIndex, const wxString& name) {
    CDarvexDoc* doc = Doc();
    if (!doc || !doc->HasMzFileSystem())
        return;
    const RenameResult result =
        EntryCommands::Rename(m_view.GetFrame(), *doc, entryIndex, DialogSupport::ToUtf8(name));
    // A name the user can correct: the editor opens again on what was typed.
    if (EntryCommands::IsNameRefusal(result))
        EditName(entryIndex, name);
}

void ListActions::EditName(int entryIndex, const wxString& text) {
    const long row = m_view.RowOfEntry(entryIndex);
    if (row < 0)
        return;
    SelectOnly(row);
    m_pList->SetFocus();
    if (wxTextCtrl* editor = m_pList->EditLabel(row)) {
        editor->SetValue(text);
        editor->SelectAll();
    }
}
