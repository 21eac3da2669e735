#pragma once

#include <vector>

#include <wx/docview.h>

class wxListCtrl;
class wxFocusEvent;

// The list pane: a view over the frame's list control. It carries the extract command and
// the selection walk the file commands use.
class CDarvexView : public wxView {
public:
    static constexpr int kColumns = 8;

    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC* dc) override;
    // The tree pane's view owns the frame title.
    void OnChangeFilename() override {}

    // Inserts the eight columns into an empty list control.
    static void InsertColumns(wxListCtrl* list);

    // The directory entries of the selected rows, in ascending row order.
    std::vector<int> SelectedEntries() const;

protected:
    bool TryBefore(wxEvent&) override { return false; }

private:
    void OnFocus(wxFocusEvent& event);
    void OnExtractFile(wxCommandEvent& event);

    wxListCtrl* m_pList = nullptr;

    wxDECLARE_DYNAMIC_CLASS(CDarvexView);
    wxDECLARE_EVENT_TABLE();
};
