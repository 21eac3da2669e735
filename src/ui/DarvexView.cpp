#include "ui/DarvexView.h"

#include <algorithm>

#include <wx/listctrl.h>

#include "doc/CommandIds.h"
#include "doc/DarvexDoc.h"
#include "doc/DiskCommands.h"
#include "doc/DocText.h"
#include "doc/DocumentHost.h"
#include "doc/SessionState.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDarvexView, wxView);

// clang-format off
wxBEGIN_EVENT_TABLE(CDarvexView, wxView)
    EVT_MENU(ID_EXTRACT_FILE, CDarvexView::OnExtractFile)
wxEND_EVENT_TABLE();
// clang-format on

namespace {

struct Column {
    const char* title;
    int width;
};

constexpr Column kColumnTable[CDarvexView::kColumns] = {
    {N_("File name"), 160}, {N_("Mode"), 60},         {N_("Attribute"), 60},
    {N_("File size"), 80},  {N_("Load address"), 80}, {N_("Execution address"), 80},
    {N_("Date"), 80},       {N_("Start sector"), 80},
};

} // namespace

void CDarvexView::InsertColumns(wxListCtrl* list) {
    if (list->GetColumnCount() != 0)
        return;
    // GTK's header font is larger than the one the widths were chosen for: a column is at
    // least as wide as its title.
    const int padding = list->GetTextExtent("MM").x;
    for (int c = 0; c < kColumns; ++c) {
        const wxString title = Tr(kColumnTable[c].title);
        const int width = std::max(kColumnTable[c].width, list->GetTextExtent(title).x + padding);
        list->InsertColumn(c, title, wxLIST_FORMAT_LEFT, width);
    }
}

bool CDarvexView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags))
        return false;
    DocumentHost* host = AttachViewToHost(this);
    if (!host)
        return false;
    m_pList = host->GetListCtrl();
    // The control lives as long as the frame: its columns are made once.
    InsertColumns(m_pList);
    m_pList->Bind(wxEVT_SET_FOCUS, &CDarvexView::OnFocus, this);
    return true;
}

bool CDarvexView::OnClose(bool) {
    return true;
}

void CDarvexView::OnDraw(wxDC*) {}

std::vector<int> CDarvexView::SelectedEntries() const {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    return doc ? doc->SelectedEntries() : std::vector<int>();
}

void CDarvexView::OnFocus(wxFocusEvent& event) {
    Activate(true);
    event.Skip();
}

void CDarvexView::OnExtractFile(wxCommandEvent&) {
    auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc);
    if (!doc || !doc->IsLoaded())
        return;
    DiskCommands::ExtractFiles(GetFrame(), doc->GetDisk(), doc->GetFilename().utf8_string(),
                               SelectedEntries(), doc->Session().extractFormat);
}
