#pragma once

#include <wx/app.h>
#include <wx/docview.h>
#include <wx/string.h>

class wxListCtrl;
class wxTreeCtrl;

// What the views need of the main frame: the two pane controls they fill (the frame owns
// them for its whole life, the views come and go with the documents) and the usage pane.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual wxTreeCtrl* GetTreeCtrl() const = 0;
    virtual wxListCtrl* GetListCtrl() const = 0;
    virtual void SetSpaceText(const wxString& text) = 0;
};

// A new view's part of the main frame: the frame becomes the view's frame, and its host
// interface is returned (null when the top window is no host).
inline DocumentHost* AttachViewToHost(wxView* view) {
    wxWindow* frame = wxTheApp->GetTopWindow();
    auto* host = dynamic_cast<DocumentHost*>(frame);
    if (host)
        view->SetFrame(frame);
    return host;
}
