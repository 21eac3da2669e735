#include "ui/SectorViewFrame.h"

#include <algorithm>

#include <wx/accel.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DarvexDoc.h"
#include "doc/DocText.h"
#include "fs/Messages.h"
#include "image/Geometry.h"
#include "ui/FixedFont.h"
#include "ui/ListingPage.h"
#include "view/HexView.h"

namespace {

constexpr int kFontPoints = 10;
// The step buttons and their keys (Page Up, Page Down).
int PreviousId() {
    return XRCID("ID_SECTOR_PREVIOUS");
}
int NextId() {
    return XRCID("ID_SECTOR_NEXT");
}

// The name the language checks know a value by: shown as it is in every language.
constexpr const char* kValueName = "value";

wxString HexRowsText(const unsigned char* bytes, std::size_t count) {
    wxString text;
    const int digits = OffsetDigits(kSectorBytes);
    for (const HexRow& row : HexRows(ByteView(bytes, count))) {
        if (!text.empty())
            text += '\n';
        text += wxString::FromUTF8(FormatHexRow(row, digits));
    }
    return text;
}

} // namespace

CSectorViewFrame* CSectorViewFrame::Find(const CDarvexDoc& doc) {
    for (wxView* view : doc.GetViewsVector())
        if (auto* windowView = dynamic_cast<CWindowView*>(view))
            if (auto* sectors = dynamic_cast<CSectorViewFrame*>(windowView->GetDocWindow()))
                return sectors;
    return nullptr;
}

CSectorViewFrame* CSectorViewFrame::Open(CDarvexDoc& doc, int sector) {
    if (!doc.IsLoaded() || SectorCount(doc.GetDisk()) == 0)
        return nullptr;
    CSectorViewFrame* frame = Find(doc);
    if (!frame) {
        frame = new CSectorViewFrame(wxTheApp->GetTopWindow(), doc);
        frame->ShowSector(std::max(sector, 0));
        frame->Show();
    } else if (sector >= 0) {
        frame->ShowSector(sector);
    }
    frame->Raise();
    return frame;
}

CSectorViewFrame::CSectorViewFrame(wxWindow* parent, CDarvexDoc& doc)
    : wxFrame(parent, wxID_ANY, wxString()), m_doc(&doc) {
    auto* panel = new wxPanel(this);
    const wxSizerFlags label = wxSizerFlags().CentreVertical().Border(wxLEFT | wxRIGHT);
    const auto spin = [panel](int max) {
        return new wxSpinCtrl(panel, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                              wxSP_ARROW_KEYS, 0, max, 0);
    };

    auto* place = new wxBoxSizer(wxHORIZONTAL);
    m_cylinder = spin(0);
    m_side = spin(1);
    m_record = spin(kSectorsPerTrack);
    m_sector = spin(0);
    const std::pair<const char*, wxSpinCtrl*> places[] = {{N_("Cylinder"), m_cylinder},
                                                          {N_("Side"), m_side},
                                                          {N_("Record"), m_record},
                                                          {N_("Logical sector"), m_sector}};
    for (const auto& [text, control] : places) {
        place->Add(new wxStaticText(panel, wxID_ANY, Tr(text)), label);
        place->Add(control, wxSizerFlags().CentreVertical());
        place->AddSpacer(FromDIP(8));
    }
    place->AddStretchSpacer();
    place->Add(new wxButton(panel, PreviousId(), Tr("&Previous")), wxSizerFlags().Border(wxRIGHT));
    place->Add(new wxButton(panel, NextId(), Tr("&Next")));

    auto* header = new wxStaticBoxSizer(wxVERTICAL, panel, Tr("D88 sector header"));
    m_source = new wxStaticText(header->GetStaticBox(), wxID_ANY, wxString(), wxDefaultPosition,
                                wxDefaultSize, 0, kValueName);
    header->Add(m_source, wxSizerFlags().Border(wxALL));
    auto* grid = new wxFlexGridSizer(10, FromDIP(4), FromDIP(8));
    // The header's own names for C, H, R and N; the other fields in words.
    const char* const fields[] = {"C",
                                  "H",
                                  "R",
                                  "N",
                                  N_("Sectors"),
                                  N_("Density"),
                                  N_("Deleted mark"),
                                  N_("Status"),
                                  N_("Data length")};
    for (const char* field : fields) {
        const bool word = std::string(field).size() > 1;
        grid->Add(new wxStaticText(header->GetStaticBox(), wxID_ANY,
                                   word ? Tr(field) : wxString(field), wxDefaultPosition,
                                   wxDefaultSize, 0,
                                   word ? wxString(wxStaticTextNameStr) : wxString(kValueName)),
                  wxSizerFlags().Border(wxLEFT).Right());
        auto* value = new wxStaticText(header->GetStaticBox(), wxID_ANY, "0000", wxDefaultPosition,
                                       wxDefaultSize, 0, kValueName);
        value->SetFont(FixedPitchFont(kFontPoints));
        m_fields.push_back(value);
        // Each label stands by its value; pairs are kept apart.
        grid->Add(value, wxSizerFlags().Border(wxRIGHT, FromDIP(8)));
    }
    header->Add(grid, wxSizerFlags().Border(wxLEFT | wxRIGHT | wxBOTTOM));

    m_notes = new wxStaticText(panel, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, 0,
                               kValueName);
    m_notes->SetForegroundColour(wxColour(0xA0, 0x20, 0x20));

    auto* book = new wxNotebook(panel, wxID_ANY);
    m_machine = AddListingPage(book, Tr("As the machine reads it"), false);
    m_stored = AddListingPage(book, Tr("As stored in the D88 file"), false);

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(place, wxSizerFlags().Expand().Border(wxALL));
    sizer->Add(header, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT));
    sizer->Add(m_notes, wxSizerFlags().Expand().Border(wxALL));
    // Room for the 16 rows and a line more.
    const wxSize cell = m_machine->GetTextExtent("M");
    for (wxTextCtrl* text : {m_machine, m_stored})
        text->SetMinSize(text->GetSizeFromTextSize(cell.x * 76, cell.y * 17));
    sizer->Add(book, wxSizerFlags(1).Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM));
    panel->SetSizer(sizer);
    auto* frameSizer = new wxBoxSizer(wxVERTICAL);
    frameSizer->Add(panel, wxSizerFlags(1).Expand());
    SetSizerAndFit(frameSizer);
    CentreOnParent();

    SetRanges();
    SetTitle(Tr("Sector View") + " - " + doc.GetUserReadableName());

    wxAcceleratorEntry keys[] = {
        {wxACCEL_CTRL, 'W', wxID_CLOSE},
        {wxACCEL_NORMAL, WXK_PAGEUP, PreviousId()},
        {wxACCEL_NORMAL, WXK_PAGEDOWN, NextId()},
    };
    SetAcceleratorTable(wxAcceleratorTable(WXSIZEOF(keys), keys));
    for (wxSpinCtrl* control : {m_cylinder, m_side, m_record})
        control->Bind(wxEVT_SPINCTRL, &CSectorViewFrame::OnPlace, this);
    m_sector->Bind(wxEVT_SPINCTRL, &CSectorViewFrame::OnSector, this);
    for (const int id : {PreviousId(), NextId()}) {
        Bind(wxEVT_BUTTON, &CSectorViewFrame::OnStep, this, id);
        Bind(wxEVT_MENU, &CSectorViewFrame::OnStep, this, id);
    }
    Bind(wxEVT_MENU, &CSectorViewFrame::OnCloseCommand, this, wxID_CLOSE);
    Bind(wxEVT_CLOSE_WINDOW, &CSectorViewFrame::OnClose, this);
    m_view = new CWindowView(&doc, this);
}

void CSectorViewFrame::SetRanges() {
    const DiskImage& disk = m_doc->GetDisk();
    m_cylinder->SetRange(0, std::max(0, (SectorCount(disk) - 1) / kSectorsPerCylinder));
    m_side->SetRange(0, 1);
    m_record->SetRange(1, kSectorsPerTrack);
    m_sector->SetRange(0, std::max(0, SectorCount(disk) - 1));
}

bool CSectorViewFrame::ShowSector(int sector) {
    SectorView view;
    if (!m_doc || !ViewSector(m_doc->GetDisk(), sector, view))
        return false;
    m_shown = std::move(view);
    m_cylinder->SetValue(m_shown.cylinder);
    m_side->SetValue(m_shown.head);
    m_record->SetValue(m_shown.record);
    m_sector->SetValue(m_shown.sector);

    const SectorRecordHeader& h = m_shown.header;
    m_source->SetLabel(m_shown.headerLoaded ? Tr("As read from the D88 file:")
                                            : Tr("No record was read; a save writes:"));
    const wxString values[] = {
        wxString::Format("%02X", h.Cylinder()),    wxString::Format("%02X", h.Head()),
        wxString::Format("%02X", h.Record()),      wxString::Format("%02X", h.SizeCode()),
        wxString::Format("%u", h.SectorCount()),   wxString::Format("%02X", h.Density()),
        wxString::Format("%02X", h.DeletedMark()), wxString::Format("%02X", h.Status()),
        wxString::Format("%u", h.DataLength())};
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        m_fields[i]->SetLabel(values[i]);
    wxString notes;
    for (const ViewNote& note : m_shown.notes)
        notes += (notes.empty() ? "" : "\n") + wxString::FromUTF8(NoteMessage(note));
    m_notes->SetLabel(notes);

    m_machine->ChangeValue(HexRowsText(m_shown.machine.data(), m_shown.machine.size()));
    m_stored->ChangeValue(HexRowsText(m_shown.stored.data(), m_shown.stored.size()));
    Layout();
    return true;
}

wxString CSectorViewFrame::GetMachineText() const {
    return m_machine->GetValue();
}

wxString CSectorViewFrame::GetStoredText() const {
    return m_stored->GetValue();
}

std::vector<wxString> CSectorViewFrame::GetHeaderTexts() const {
    std::vector<wxString> texts;
    for (const wxStaticText* field : m_fields)
        texts.push_back(field->GetLabel());
    return texts;
}

void CSectorViewFrame::OnPlace(wxSpinEvent&) {
    if (!m_doc)
        return;
    const int sector = SectorAt(m_doc->GetDisk(), m_cylinder->GetValue(), m_side->GetValue(),
                                m_record->GetValue());
    // A place past the disk's end shows the sector shown before.
    if (!ShowSector(sector))
        ShowSector(m_shown.sector);
}

void CSectorViewFrame::OnSector(wxSpinEvent&) {
    if (!ShowSector(m_sector->GetValue()))
        ShowSector(m_shown.sector);
}

void CSectorViewFrame::OnStep(wxCommandEvent& event) {
    ShowSector(m_shown.sector + (event.GetId() == NextId() ? 1 : -1));
}

void CSectorViewFrame::DocumentChanged(DocHint::Kind kind) {
    if (kind == DocHint::DirectoryListed)
        return;
    SetRanges();
    if (!ShowSector(m_shown.sector))
        ShowSector(0);
}

void CSectorViewFrame::ViewGone() {
    m_view = nullptr;
    m_doc = nullptr;
}

void CSectorViewFrame::OnCloseCommand(wxCommandEvent&) {
    Close();
}

void CSectorViewFrame::OnClose(wxCloseEvent&) {
    if (CWindowView* view = m_view) {
        m_view = nullptr;
        m_doc = nullptr;
        view->ReleaseWindow();
        delete view;
    }
    Destroy();
}
