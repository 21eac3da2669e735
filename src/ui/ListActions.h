#pragma once

#include <wx/event.h>
#include <wx/string.h>

class CDarvexDoc;
class CDarvexView;
class CLeftView;
class wxContextMenuEvent;
class wxListCtrl;
class wxListEvent;

// What the user does on the file list besides selecting: keys, double-clicks, context menus,
// clicks on the column headers and renaming in place. The list pane's view owns it; the
// commands it starts are the menus' (same ids, same update handlers, same document commands).
//
//   Delete               the delete command (its question first)
//   F2                   renames the selected file in place
//   Ctrl+A               selects every row
//   Backspace, Alt+Up    shows the parent directory
//   Enter, double-click  opens a sub-directory's row; on a file's row, the file viewer
class ListActions : public wxEvtHandler {
public:
    explicit ListActions(CDarvexView& view);

    // One file row selected on a disk whose current directory may change.
    bool CanRename() const;
    // Opens the name of the selected file for editing.
    void StartRename();

private:
    void OnKeyDown(wxKeyEvent& event);
    void OnActivated(wxListEvent& event);
    void OnItemRightClick(wxListEvent& event);
    void OnColumnRightClick(wxListEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnColumnClick(wxListEvent& event);
    void OnBeginLabelEdit(wxListEvent& event);
    void OnEndLabelEdit(wxListEvent& event);
    void OnOpenDirectory(wxCommandEvent& event);

    // The row's sub-directory in the list and the tree; a file row goes to the viewer.
    void OpenRow(long row);
    void SelectAll();
    void SelectOnly(long row);
    // A command as its menu item would run it: only while its update handler enables it.
    bool RunCommand(int id);
    // Renames the entry; a refused name is reported and its editor opened again on `name`.
    void CommitRename(int entryIndex, const wxString& name);
    void EditName(int entryIndex, const wxString& text);

    CDarvexDoc* Doc() const;
    CLeftView* Tree() const;

    CDarvexView& m_view;
    wxListCtrl* m_pList;
    static constexpr long kNoClick = -2;
    static constexpr long kHeaderClick = -3;
    // What the right click whose menu event comes next hit: a row, -1 for the space below the
    // rows, kHeaderClick for the header.
    long m_nRightClickedRow = kNoClick;
    long m_nMenuRow = -1; // the row a sub-directory's menu was opened on
};
