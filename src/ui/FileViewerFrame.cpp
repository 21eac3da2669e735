#include "ui/FileViewerFrame.h"

#include <algorithm>
#include <cstring>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/notebook.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include "doc/DarvexDoc.h"
#include "doc/DialogSupport.h"
#include "doc/DocText.h"
#include "doc/MessageBox.h"
#include "fs/FileMode.h"
#include "fs/Messages.h"
#include "fs/SjisText.h"
#include "host/ExtractOutput.h"
#include "host/HostFile.h"
#include "host/HostNames.h"
#include "image/Geometry.h"
#include "ui/ListingPage.h"
#include "ui/SectorViewFrame.h"
#include "view/FileView.h"
#include "view/SectorView.h"

namespace {

constexpr int kShownColumns = 82; // a hex row and a little more
constexpr int kShownLines = 28;
const wxColour kNoteColour(0xA0, 0x20, 0x20);

// The entry at dirSector's index, read from the image; false when the image does not hold it.
bool EntryAt(const DiskImage& disk, int dirSector, int index, DirEntry& entry) {
    if (dirSector < 0 || index < 0 || index >= kDirEntries)
        return false;
    const ByteView bytes = disk.Image().slice(EntryOffset(dirSector, index), DirEntry::kBytes);
    if (bytes.size() < DirEntry::kBytes)
        return false;
    entry = DirEntry(bytes.data());
    return true;
}

bool IsFileEntry(const DirEntry& entry) {
    return !entry.IsFree() && entry.Mode() != FileMode::ToByte(FileModeCode::Dir);
}

wxString ShownName(const DirEntry& entry) {
    return wxString::FromUTF8(SjisToTerminal(entry.NameText()));
}

} // namespace

bool CFileViewerFrame::HoldsFile(const CDarvexDoc& doc, int dirSector, int entryIndex) {
    DirEntry entry;
    return doc.IsLoaded() && EntryAt(doc.GetDisk(), dirSector, entryIndex, entry) &&
           IsFileEntry(entry);
}

CFileViewerFrame* CFileViewerFrame::Find(const CDarvexDoc& doc, int dirSector, int entryIndex) {
    for (wxView* view : doc.GetViewsVector())
        if (auto* windowView = dynamic_cast<CWindowView*>(view))
            if (auto* viewer = dynamic_cast<CFileViewerFrame*>(windowView->GetDocWindow()))
                if (viewer->m_disk == doc.GetDisk().GetSelectedDisk() &&
                    viewer->m_dirSector == dirSector && viewer->m_entryIndex == entryIndex)
                    return viewer;
    return nullptr;
}

CFileViewerFrame* CFileViewerFrame::Open(CDarvexDoc& doc, int dirSector, int entryIndex) {
    DirEntry entry;
    if (!doc.IsLoaded() || !EntryAt(doc.GetDisk(), dirSector, entryIndex, entry) ||
        !IsFileEntry(entry))
        return nullptr;
    CFileViewerFrame* viewer = Find(doc, dirSector, entryIndex);
    if (!viewer) {
        viewer = new CFileViewerFrame(wxTheApp->GetTopWindow(), doc, dirSector, entryIndex, entry);
        viewer->Show();
    }
    viewer->Raise();
    return viewer;
}

CFileViewerFrame::CFileViewerFrame(wxWindow* parent, CDarvexDoc& doc, int dirSector, int entryIndex,
                                   const DirEntry& entry)
    : wxFrame(parent, wxID_ANY, wxString()), m_doc(&doc), m_disk(doc.GetDisk().GetSelectedDisk()),
      m_dirSector(dirSector), m_entryIndex(entryIndex), m_entry(entry),
      m_kinds(ViewKindsFor(entry.Mode())) {
    m_findData.SetFlags(wxFR_DOWN);
    CreateMenus();
    m_book = new wxNotebook(this, wxID_ANY);
    for (ViewKind kind : m_kinds)
        m_texts.push_back(AddListingPage(m_book, KindLabel(kind), true));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_book, wxSizerFlags(1).Expand());
    SetSizer(sizer);

    // Room for a hex row and a screenful of lines, as far as the screen allows.
    const wxSize cell = m_texts.front()->GetTextExtent("M");
    const wxRect screen = wxGetClientDisplayRect();
    SetClientSize(std::min(cell.x * kShownColumns + 40, screen.width * 9 / 10),
                  std::min(cell.y * kShownLines + 60, screen.height * 8 / 10));
    CentreOnParent();

    Relist();
    ShowKind(DefaultViewKind(entry.Mode()));
    m_view = new CWindowView(&doc, this);

    Bind(wxEVT_MENU, &CFileViewerFrame::OnSaveAs, this, wxID_SAVEAS);
    Bind(wxEVT_MENU, &CFileViewerFrame::OnPrint, this, wxID_PRINT);
    Bind(wxEVT_MENU, &CFileViewerFrame::OnPreview, this, wxID_PREVIEW);
    Bind(wxEVT_MENU, &CFileViewerFrame::OnCloseCommand, this, wxID_CLOSE);
    Bind(wxEVT_MENU, &CFileViewerFrame::OnCopy, this, wxID_COPY);
    Bind(wxEVT_UPDATE_UI, &CFileViewerFrame::OnUpdateCopy, this, wxID_COPY);
    Bind(wxEVT_MENU, &CFileViewerFrame::OnSelectAll, this, wxID_SELECTALL);
    Bind(wxEVT_MENU, &CFileViewerFrame::OnFind, this, wxID_FIND);
    Bind(wxEVT_MENU, &CFileViewerFrame::OnFindNext, this, XRCID("ID_FIND_NEXT"));
    Bind(wxEVT_FIND, &CFileViewerFrame::OnFindDialog, this);
    Bind(wxEVT_FIND_NEXT, &CFileViewerFrame::OnFindDialog, this);
    Bind(wxEVT_FIND_CLOSE, &CFileViewerFrame::OnFindClose, this);
    Bind(wxEVT_MENU, &CFileViewerFrame::OnFirstSector, this, XRCID("ID_VIEW_FIRST_SECTOR"));
    Bind(wxEVT_UPDATE_UI, &CFileViewerFrame::OnUpdateFirstSector, this,
         XRCID("ID_VIEW_FIRST_SECTOR"));
    Bind(wxEVT_CLOSE_WINDOW, &CFileViewerFrame::OnClose, this);
}

void CFileViewerFrame::CreateMenus() {
    auto* file = new wxMenu;
    file->Append(wxID_SAVEAS, Tr("Save &As..."), Tr("Save the listing as UTF-8 text"));
    file->AppendSeparator();
    file->Append(wxID_PRINT, Tr("&Print...") + "\tCtrl+P", Tr("Print the listing"));
    file->Append(wxID_PREVIEW, Tr("Print Pre&view"), Tr("Show the printed pages"));
    file->AppendSeparator();
    file->Append(wxID_CLOSE, Tr("&Close") + "\tCtrl+W", Tr("Close this window"));
    auto* edit = new wxMenu;
    edit->Append(wxID_COPY, Tr("&Copy") + "\tCtrl+C",
                 Tr("Copy the selection and put it on the clipboard"));
    edit->Append(wxID_SELECTALL, Tr("Select &All") + "\tCtrl+A", Tr("Select the whole listing"));
    edit->AppendSeparator();
    edit->Append(wxID_FIND, Tr("&Find...") + "\tCtrl+F", Tr("Find a text in the listing"));
    edit->Append(XRCID("ID_FIND_NEXT"), Tr("Find &Next") + "\tF3", Tr("Find the text again"));
    auto* view = new wxMenu;
    view->Append(XRCID("ID_VIEW_FIRST_SECTOR"), Tr("Show &First Sector"),
                 Tr("Show the first sector of the file in the sector view"));
    auto* bar = new wxMenuBar;
    bar->Append(file, Tr("&File"));
    bar->Append(edit, Tr("&Edit"));
    bar->Append(view, Tr("&View"));
    SetMenuBar(bar);
}

wxString CFileViewerFrame::KindLabel(ViewKind kind) const {
    switch (kind) {
    case ViewKind::Basic:
        return Tr("BASIC");
    case ViewKind::Text:
        return Tr("Text");
    case ViewKind::Hex:
        break;
    }
    return Tr("Hex");
}

std::vector<CFileViewerFrame::ShownLine> CFileViewerFrame::ShownLines(const Listing& listing) {
    std::vector<ShownLine> shown;
    std::size_t next = 0;
    for (std::size_t line = 0; line <= listing.lines.size(); ++line) {
        for (; next < listing.notes.size() && listing.notes[next].atLine <= line; ++next)
            shown.push_back({wxString::Format(Tr("Note: %s"),
                                              wxString::FromUTF8(NoteMessage(listing.notes[next]))),
                             true});
        if (line < listing.lines.size())
            shown.push_back({wxString::FromUTF8(listing.lines[line]), false});
    }
    return shown;
}

void CFileViewerFrame::Relist() {
    const DiskImage& disk = m_doc->GetDisk();
    for (std::size_t k = 0; k < m_kinds.size(); ++k) {
        const std::vector<ShownLine> lines = ShownLines(ViewFile(disk, m_entry, m_kinds[k]));
        wxString all;
        std::vector<std::pair<long, long>> notes;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0)
                all += '\n';
            const long at = static_cast<long>(all.length());
            all += lines[i].text;
            if (lines[i].note)
                notes.emplace_back(at, static_cast<long>(all.length()));
        }
        wxTextCtrl* text = m_texts[k];
        text->ChangeValue(all);
        for (const auto& [from, to] : notes)
            text->SetStyle(from, to, wxTextAttr(kNoteColour));
        text->SetInsertionPoint(0);
    }
    UpdateTitle();
}

void CFileViewerFrame::UpdateTitle() {
    const wxString mode = wxString::FromUTF8(std::string(FileMode::DisplayName(m_entry.Mode())));
    SetTitle(wxString::Format("%s (%s) - %s", ShownName(m_entry), mode.Strip(wxString::both),
                              m_doc ? m_doc->GetUserReadableName() : wxString()));
}

ViewKind CFileViewerFrame::GetShownKind() const {
    const int page = m_book->GetSelection();
    return page >= 0 && page < static_cast<int>(m_kinds.size()) ? m_kinds[page] : m_kinds.front();
}

void CFileViewerFrame::ShowKind(ViewKind kind) {
    const auto it = std::find(m_kinds.begin(), m_kinds.end(), kind);
    if (it != m_kinds.end())
        m_book->ChangeSelection(static_cast<size_t>(it - m_kinds.begin()));
}

wxTextCtrl* CFileViewerFrame::GetText() const {
    const int page = std::max(0, m_book->GetSelection());
    return m_texts[std::min<std::size_t>(static_cast<std::size_t>(page), m_texts.size() - 1)];
}

wxString CFileViewerFrame::GetListingText() const {
    return GetText()->GetValue();
}

void CFileViewerFrame::DocumentChanged(DocHint::Kind kind) {
    if (kind != DocHint::EntriesChanged && kind != DocHint::WholeDisk)
        return;
    DirEntry now;
    if (m_doc->GetDisk().GetSelectedDisk() != m_disk ||
        !EntryAt(m_doc->GetDisk(), m_dirSector, m_entryIndex, now) || !IsFileEntry(now)) {
        // The file (or its disk) is gone: so is its viewer, once the views have all been told.
        CallAfter([this] { Close(true); });
        return;
    }
    m_entry = now;
    const ViewKind shown = GetShownKind();
    Relist();
    ShowKind(shown);
}

void CFileViewerFrame::ViewGone() {
    m_view = nullptr;
    m_doc = nullptr;
}

void CFileViewerFrame::OnClose(wxCloseEvent&) {
    if (m_findDialog)
        m_findDialog->Destroy();
    m_findDialog = nullptr;
    if (CWindowView* view = m_view) {
        m_view = nullptr;
        m_doc = nullptr;
        view->ReleaseWindow();
        delete view;
    }
    Destroy();
}

void CFileViewerFrame::OnCloseCommand(wxCommandEvent&) {
    Close();
}

void CFileViewerFrame::OnSaveAs(wxCommandEvent&) {
    if (!m_doc)
        return;
    const std::string name = VisibleFileName(SafeHostFileName(m_entry.NameText()) + ".txt");
    const wxString folder = wxFileName(m_doc->GetFilename()).GetPath();
    wxFileDialog dialog(this, Tr("Save Listing"), folder, wxString::FromUTF8(name),
                        Tr("Text Files (*.txt)") + "|*.txt;*.TXT|" + Tr("All Files (*.*)") + "|*",
                        wxFD_SAVE);
    if (dialog.ShowModal() != wxID_OK)
        return;
    const std::string path =
        dialog.GetFilterIndex() == 0
            ? DialogSupport::WithDefaultExtension(dialog.GetPath().utf8_string(), "txt")
            : dialog.GetPath().utf8_string();
    SaveListingTo(wxString::FromUTF8(path));
}

bool CFileViewerFrame::SaveListingTo(const wxString& path) {
    const std::string target = path.utf8_string();
    const std::string image = m_doc ? m_doc->GetFilename().utf8_string() : std::string();
    if (!image.empty() && IsSameFile(target, image)) {
        DialogSupport::ShowError(this, UiMessage(ExportResult::SameAsImage, target));
        return false;
    }
    if (PathExists(target)) {
        const wxString question =
            wxString::Format(wxString::FromUTF8(UiMessage(UiText::ReplaceQuestion)), path);
        if (ShowMessageBox(this, question, wxString::FromUTF8(UiMessage(UiText::AppCaption)),
                           wxYES_NO | wxICON_NONE) != wxID_YES)
            return false;
    }
    const std::string text = GetListingText().utf8_string() + "\n";
    int error = 0;
    if (!HostFile::Write(target.c_str(), reinterpret_cast<const unsigned char*>(text.data()),
                         text.size(), &error)) {
        DialogSupport::ShowError(this, UiMessage(UiText::ListingSaveFailed) + "\n(" +
                                           std::strerror(error) + ")");
        return false;
    }
    return true;
}

PrintTable CFileViewerFrame::MakePrintTable() const {
    PrintTable table;
    table.title = GetTitle();
    table.heading = {GetTitle(), KindLabel(GetShownKind())};
    const wxString text = GetListingText();
    for (const wxString& line : wxSplit(text, '\n', '\0'))
        table.rows.push_back({line});
    return table;
}

void CFileViewerFrame::OnPrint(wxCommandEvent&) {
    if (!m_doc)
        return;
    CTablePrintout printout(MakePrintTable());
    wxPrintDialogData data(m_doc->GetDocumentManager()->GetPageSetupDialogData().GetPrintData());
    wxPrinter printer(&data);
    printer.Print(this, &printout, true);
}

void CFileViewerFrame::OnPreview(wxCommandEvent&) {
    if (!m_doc)
        return;
    wxPrintDialogData data(m_doc->GetDocumentManager()->GetPageSetupDialogData().GetPrintData());
    // One printout to show, one to print from the preview.
    auto* preview = new wxPrintPreview(new CTablePrintout(MakePrintTable()),
                                       new CTablePrintout(MakePrintTable()), &data);
    if (!preview->IsOk()) {
        delete preview;
        return;
    }
    auto* frame = new wxPreviewFrame(preview, this, wxGetTranslation("Print Preview"));
    frame->Centre(wxBOTH);
    frame->Initialize();
    frame->Show();
}

void CFileViewerFrame::OnCopy(wxCommandEvent&) {
    GetText()->Copy();
}

void CFileViewerFrame::OnUpdateCopy(wxUpdateUIEvent& event) {
    event.Enable(GetText()->CanCopy());
}

void CFileViewerFrame::OnSelectAll(wxCommandEvent&) {
    GetText()->SetFocus();
    GetText()->SelectAll();
}

bool CFileViewerFrame::FindText(const wxString& text, bool forward, bool matchCase) {
    if (text.empty())
        return false;
    wxTextCtrl* control = GetText();
    wxString all = control->GetValue();
    wxString sought = text;
    if (!matchCase) {
        all.MakeLower();
        sought.MakeLower();
    }
    long from = 0, to = 0;
    control->GetSelection(&from, &to);
    size_t at = wxString::npos;
    if (forward) {
        at = all.find(sought, static_cast<size_t>(to));
        if (at == wxString::npos)
            at = all.find(sought);
    } else {
        if (from > 0)
            at = all.rfind(sought, static_cast<size_t>(from - 1));
        if (at == wxString::npos)
            at = all.rfind(sought);
    }
    if (at == wxString::npos)
        return false;
    const long start = static_cast<long>(at);
    control->SetSelection(start, start + static_cast<long>(sought.length()));
    control->ShowPosition(start);
    return true;
}

void CFileViewerFrame::FindAgain(bool forward, bool matchCase) {
    const wxString sought = m_findData.GetFindString();
    if (!FindText(sought, forward, matchCase))
        DialogSupport::ShowInformation(
            m_findDialog ? static_cast<wxWindow*>(m_findDialog) : this,
            wxString::Format(wxString::FromUTF8(UiMessage(UiText::TextNotFound)), sought));
}

void CFileViewerFrame::OnFind(wxCommandEvent&) {
    if (m_findDialog) {
        m_findDialog->Raise();
        return;
    }
    m_findDialog = new wxFindReplaceDialog(this, &m_findData, Tr("Find"), wxFR_NOWHOLEWORD);
    m_findDialog->Show();
}

void CFileViewerFrame::OnFindNext(wxCommandEvent& event) {
    if (m_findData.GetFindString().empty()) {
        OnFind(event);
        return;
    }
    const int flags = m_findData.GetFlags();
    FindAgain((flags & wxFR_DOWN) != 0, (flags & wxFR_MATCHCASE) != 0);
}

void CFileViewerFrame::OnFindDialog(wxFindDialogEvent& event) {
    // Kept for Find Next (F3) once the dialog is closed.
    m_findData.SetFindString(event.GetFindString());
    m_findData.SetFlags(event.GetFlags());
    const int flags = event.GetFlags();
    FindAgain((flags & wxFR_DOWN) != 0, (flags & wxFR_MATCHCASE) != 0);
}

void CFileViewerFrame::OnFindClose(wxFindDialogEvent&) {
    if (m_findDialog)
        m_findDialog->Destroy();
    m_findDialog = nullptr;
}

int CFileViewerFrame::FirstSector() const {
    return m_doc ? FirstSectorOf(m_doc->GetDisk(), m_entry) : -1;
}

void CFileViewerFrame::OnFirstSector(wxCommandEvent&) {
    const int sector = FirstSector();
    if (sector >= 0)
        CSectorViewFrame::Open(*m_doc, sector);
}

void CFileViewerFrame::OnUpdateFirstSector(wxUpdateUIEvent& event) {
    event.Enable(FirstSector() >= 0);
}
