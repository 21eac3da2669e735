#pragma once

#include <wx/docview.h>

// The one document type. Every file goes through the document manager, whatever its
// extension: it reads the file before the open disk is closed and refuses what is no disk
// image (CDarvexDoc::ReadImageFile).
class DarvexDocTemplate : public wxDocTemplate {
public:
    DarvexDocTemplate(wxDocManager* manager, wxClassInfo* docClass, wxClassInfo* viewClass);

    bool FileMatchesTemplate(const wxString&) override { return true; }
};
