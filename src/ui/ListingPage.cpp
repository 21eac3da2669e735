#include "ui/ListingPage.h"

#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "ui/FixedFont.h"

namespace {

constexpr int kFontPoints = 10;
constexpr int kMargin = 4;

} // namespace

wxTextCtrl* AddListingPage(wxNotebook* book, const wxString& label, bool styled) {
    auto* page = new wxPanel(book);
    page->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
    auto* text = new wxTextCtrl(page, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxHSCROLL |
                                    wxBORDER_NONE | (styled ? wxTE_RICH2 : 0));
    text->SetFont(FixedPitchFont(kFontPoints));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(text, wxSizerFlags(1).Expand().Border(wxLEFT | wxTOP, page->FromDIP(kMargin)));
    page->SetSizer(sizer);
    book->AddPage(page, label);
    return text;
}
