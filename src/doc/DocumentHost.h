#pragma once

#include <wx/string.h>

class wxListCtrl;
class wxTreeCtrl;

// What the document needs of the main frame: the two pane controls it fills (the frame owns
// them for its whole life, the views come and go with the documents) and the usage pane.
class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    virtual wxTreeCtrl* GetTreeCtrl() const = 0;
    virtual wxListCtrl* GetListCtrl() const = 0;
    virtual void SetSpaceText(const wxString& text) = 0;
};
