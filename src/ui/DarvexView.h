#pragma once

#include <array>
#include <memory>
#include <vector>

#include <wx/docview.h>

#include "doc/DocHint.h"
#include "fs/ListOrder.h"

class wxListCtrl;
class wxListEvent;
class wxFocusEvent;
class ListActions;
class DirEntry;

// The list pane: a view over the frame's list control. It lists the document's current
// directory in the order the column headers show, keeps the table from its rows to the
// directory entries, and gives the file commands the entries the user selected. It also shows
// the disk usage in the frame's status bar. What the user does on the rows (keys, mouse,
// context menus, renaming) is its ListActions'.
class CDarvexView : public wxView, public EntrySelection {
public:
    static constexpr int kColumns = 8;
    static constexpr int kListRows = 64;

    CDarvexView();
    ~CDarvexView() override;

    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC* dc) override;
    void OnUpdate(wxView* sender, wxObject* hint) override;
    // The tree pane's view owns the frame title.
    void OnChangeFilename() override {}

    // Inserts the eight columns into an empty list control.
    static void InsertColumns(wxListCtrl* list);

    // The file list as printed: the image's name, disk name, directory and usage above the
    // rows as the list shows them.
    wxPrintout* OnCreatePrintout() override;

    // File rows only: the commands that act on files pass sub-directories by.
    std::vector<int> SelectedEntries() const override;
    // The entry of the list's current row (the focused one, else the first selected); -1 when
    // there is none.
    int CurrentEntry() const;
    int GetRowCount() const { return m_nRows; }
    int GetListEntry(int row) const { return m_nListEntry[row]; }
    // The entry row shows (a free entry for a row out of range).
    DirEntry EntryOfRow(long row) const;
    bool IsDirectoryRow(long row) const;
    // The row showing entryIndex, or -1.
    long RowOfEntry(int entryIndex) const;

    // The order the header shows; a click on a column header changes it.
    ListOrder GetOrder() const;
    // Sorts by column: ascending at first, reversed by a second click on the same column.
    void SortByColumn(int column);
    // Fills the list again, keeping the rows that are still there selected.
    void Refill();

    wxListCtrl* GetListCtrl() const { return m_pList; }

protected:
    bool TryBefore(wxEvent&) override { return false; }

private:
    void FillList(bool keepSelection);
    void OnFocus(wxFocusEvent& event);
    void OnBeginDrag(wxListEvent& event);
    void OnRename(wxCommandEvent& event);
    void OnUpdateRename(wxUpdateUIEvent& event);

    wxListCtrl* m_pList = nullptr;
    std::array<int, kListRows> m_nListEntry{};
    int m_nRows = 0;
    int m_nListedDir = -1;               // the directory the rows show
    const void* m_pListedDisk = nullptr; // and the disk it lies on
    std::unique_ptr<ListActions> m_pActions;

    wxDECLARE_DYNAMIC_CLASS(CDarvexView);
    wxDECLARE_EVENT_TABLE();
};
