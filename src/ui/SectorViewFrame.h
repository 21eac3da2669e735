#pragma once

#include <vector>

#include <wx/frame.h>

#include "ui/WindowView.h"
#include "view/SectorView.h"

class CDarvexDoc;
class wxSpinCtrl;
class wxSpinEvent;
class wxStaticText;
class wxTextCtrl;

// The sector view of the disk: any sector by cylinder, side and record or by its logical
// number, with the header of the D88 record it was read from and its bytes as the machine
// reads them and as the D88 file stores them. It only reads, and it shows any disk the D88
// container holds, MZ file system or not. One a document; it closes with the document.
class CSectorViewFrame : public wxFrame, public DocWindow {
public:
    // The document's sector view, brought to the front and showing sector (its current
    // sector when sector is -1). Null when the document holds no disk.
    static CSectorViewFrame* Open(CDarvexDoc& doc, int sector = -1);
    // The document's sector view; null when it has none.
    static CSectorViewFrame* Find(const CDarvexDoc& doc);

    wxFrame* GetWindow() override { return this; }
    void DocumentChanged(DocHint::Kind kind) override;
    void ViewGone() override;

    // Shows a sector of the disk; false (and the shown sector kept) when it has none of that
    // number.
    bool ShowSector(int sector);
    const SectorView& GetShown() const { return m_shown; }
    // The hex rows shown on the tabs: as the machine reads the sector, as the file stores it.
    wxString GetMachineText() const;
    wxString GetStoredText() const;
    // The header's fields as shown, from C to the data length.
    std::vector<wxString> GetHeaderTexts() const;

private:
    CSectorViewFrame(wxWindow* parent, CDarvexDoc& doc);
    void SetRanges();
    void OnPlace(wxSpinEvent& event);
    void OnSector(wxSpinEvent& event);
    void OnStep(wxCommandEvent& event);
    void OnCloseCommand(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    CDarvexDoc* m_doc;
    CWindowView* m_view = nullptr;
    SectorView m_shown;
    wxSpinCtrl* m_cylinder = nullptr;
    wxSpinCtrl* m_side = nullptr;
    wxSpinCtrl* m_record = nullptr;
    wxSpinCtrl* m_sector = nullptr;
    wxStaticText* m_source = nullptr;
    std::vector<wxStaticText*> m_fields;
    wxStaticText* m_notes = nullptr;
    wxTextCtrl* m_machine = nullptr;
    wxTextCtrl* m_stored = nullptr;
};
