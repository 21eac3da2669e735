#pragma once

#include <wx/docview.h>

class wxTreeCtrl;
class wxTreeEvent;
class wxFocusEvent;

// The tree pane: a view over the frame's tree control. Selecting a node lists its directory.
class CLeftView : public wxView {
public:
    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC* dc) override;
    void OnChangeFilename() override;

protected:
    // Routing is the document manager's (pane, then document); nothing is passed on here.
    bool TryBefore(wxEvent&) override { return false; }

private:
    void OnSelChanged(wxTreeEvent& event);
    void OnFocus(wxFocusEvent& event);

    wxTreeCtrl* m_pTree = nullptr;

    wxDECLARE_DYNAMIC_CLASS(CLeftView);
};
