#pragma once

#include <wx/docview.h>

// The one document type. Every file goes through the document, whatever its extension: the
// document itself decides what it can show (".d88" and ".d20" images; anything else leaves
// both panes empty), and every opened file goes into the recent-file list.
class DarvexDocTemplate : public wxDocTemplate {
public:
    DarvexDocTemplate(wxDocManager* manager, wxClassInfo* docClass, wxClassInfo* viewClass);

    bool FileMatchesTemplate(const wxString&) override { return true; }
};
