#pragma once

#include <array>
#include <vector>

#include <wx/docview.h>

#include "doc/DocHint.h"

class wxListCtrl;
class wxListEvent;
class wxFocusEvent;

// The list pane: a view over the frame's list control. It lists the document's current
// directory, keeps the table from its rows to the directory entries, and gives the file
// commands the entries the user selected. It also shows the disk usage in the frame's status
// bar.
class CDarvexView : public wxView, public EntrySelection {
public:
    static constexpr int kColumns = 8;
    static constexpr int kListRows = 64;

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

    std::vector<int> SelectedEntries() const override;
    // The entry of the list's current row (the focused one, else the first selected); -1 when
    // there is none.
    int CurrentEntry() const;
    int GetRowCount() const { return m_nRows; }
    int GetListEntry(int row) const { return m_nListEntry[row]; }

protected:
    bool TryBefore(wxEvent&) override { return false; }

private:
    void FillList();
    void OnFocus(wxFocusEvent& event);
    void OnBeginDrag(wxListEvent& event);

    wxListCtrl* m_pList = nullptr;
    std::array<int, kListRows> m_nListEntry{};
    int m_nRows = 0;

    wxDECLARE_DYNAMIC_CLASS(CDarvexView);
};
