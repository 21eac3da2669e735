#include "doc/DarvexDoc.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/listctrl.h>
#include <wx/treectrl.h>

#include "doc/CommandIds.h"
#include "doc/DarvexDocManager.h"
#include "doc/DiskCommands.h"
#include "doc/DocText.h"
#include "doc/DocumentHost.h"
#include "doc/MessageBox.h"
#include "doc/SessionState.h"
#include "fs/DirEntry.h"
#include "fs/ListRow.h"
#include "fs/SjisText.h"
#include "host/PathParts.h"
#include "image/Geometry.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDarvexDoc, wxDocument);

// clang-format off
wxBEGIN_EVENT_TABLE(CDarvexDoc, wxDocument)
    EVT_UPDATE_UI(wxID_SAVE, CDarvexDoc::OnUpdateNeedsWritableDisk)
    EVT_UPDATE_UI(wxID_SAVEAS, CDarvexDoc::OnUpdateNeedsWritableDisk)
    EVT_UPDATE_UI(ID_EXTRACT_FILE, CDarvexDoc::OnUpdateNeedsDisk)
    EVT_UPDATE_UI(ID_EXTRACT_BOOT, CDarvexDoc::OnUpdateNeedsDisk)
    EVT_UPDATE_UI(ID_ADD_FILE, CDarvexDoc::OnUpdateAddFile)
    EVT_UPDATE_UI(ID_REGISTER_BOOT, CDarvexDoc::OnUpdateRegisterBoot)
    EVT_UPDATE_UI(ID_DELETE_FILE, CDarvexDoc::OnUpdateNeedsWritableDir)
    EVT_UPDATE_UI(ID_FLAT_IMAGE, CDarvexDoc::OnUpdateFlatImage)
    EVT_MENU(ID_FLAT_IMAGE, CDarvexDoc::OnFlatImage)
    EVT_MENU(ID_ADD_FILE, CDarvexDoc::OnAddFile)
    EVT_MENU(ID_DELETE_FILE, CDarvexDoc::OnDeleteFile)
    EVT_MENU(ID_EXTRACT_BOOT, CDarvexDoc::OnExtractBoot)
    EVT_MENU(ID_REGISTER_BOOT, CDarvexDoc::OnRegisterBoot)
wxEND_EVENT_TABLE();
// clang-format on

namespace {

// ext as PathParts gives it, without the dot.
bool IsImageExtension(const char* ext) {
    const wxString e = wxString::FromUTF8(ext).Lower();
    return e == "d88" || e == "d20";
}

} // namespace

CDarvexDoc::CDarvexDoc() = default;

SessionState& CDarvexDoc::Session() const {
    return static_cast<DarvexDocManager*>(GetDocumentManager())->Session();
}

DocumentHost* CDarvexDoc::Host() const {
    return dynamic_cast<DocumentHost*>(wxTheApp->GetTopWindow());
}

bool CDarvexDoc::OnCreate(const wxString& path, long flags) {
    // The template makes the tree pane's view; the list pane's view is the second one.
    if (!wxDocument::OnCreate(path, flags))
        return false;
    wxClassInfo* info = static_cast<DarvexDocManager*>(GetDocumentManager())->GetSecondViewClass();
    auto* list = info ? wxDynamicCast(info->CreateObject(), wxView) : nullptr;
    if (!list)
        return false;
    list->SetDocument(this);
    if (!list->OnCreate(this, flags)) {
        delete list;
        return false;
    }
    return true;
}

bool CDarvexDoc::OnNewDocument() {
    if (!wxDocument::OnNewDocument())
        return false;
    ClearPanes();
    m_bLoaded = 0;
    m_bReadOnly = false;
    m_bNoAllocation = false;
    // Only a New the user chose carries a disk type; the start-up New leaves the document
    // empty. The dialog itself ran before the old document was closed, so Cancel kept it.
    const int diskType = Session().pendingNewType;
    if (diskType < 0)
        return true;
    m_Disk.Format(diskType);
    RootRebuild();
    m_bLoaded = 1;
    // A new disk exists only in memory until it is saved.
    Modify(true);
    return true;
}

bool CDarvexDoc::OnSaveModified() {
    if (!IsModified())
        return true;
    const wxString text = wxString::Format(wxString::FromUTF8(UiMessage(UiText::SaveChangesPrompt)),
                                           GetUserReadableName());
    switch (ShowMessageBox(GetDocumentWindow(), text,
                           wxString::FromUTF8(UiMessage(UiText::AppCaption)),
                           wxYES_NO | wxCANCEL | wxICON_NONE)) {
    case wxID_YES:
        return Save();
    case wxID_NO:
        Modify(false);
        return true;
    default:
        return false;
    }
}

bool CDarvexDoc::SaveAs() {
    wxDocManager* manager = GetDocumentManager();
    wxFileDialog dialog(GetDocumentWindow(), Tr(doctext::kSaveAsTitle), manager->GetLastDirectory(),
                        wxFileName(GetFilename()).GetFullName(), DarvexDocManager::OpenFilter(),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    wxFileName name(dialog.GetPath());
    // The first filter's extension when the user typed none.
    if (!name.HasExt() && dialog.GetFilterIndex() == 0)
        name.SetExt("d88");
    const wxString path = name.GetFullPath();
    m_bSavingAs = true;
    const bool saved = OnSaveDocument(path);
    m_bSavingAs = false;
    if (!saved)
        return false;
    manager->SetLastDirectory(name.GetPath());
    SetTitle(name.GetFullName());
    SetFilename(path, true);
    manager->AddFileToHistory(path);
    return true;
}

bool CDarvexDoc::DoOpenDocument(const wxString& file) {
    PathParts parts(PathStyle::Posix);
    parts.SetPath(file.utf8_string().c_str());
    if (!IsImageExtension(parts.GetExt())) {
        // Another extension: both panes emptied, no message, and the open counts as done.
        ClearPanes();
        m_bLoaded = 0;
        UpdateSpaceText();
        return true;
    }
    FileStamp stamp;
    const ImageFileStatus status = ImageFile::Load(file.utf8_string(), m_Disk, &stamp);
    if (!status.Ok()) {
        ShowMessage(status.UiMessage(), UiText::ErrorCaption);
        return false;
    }
    m_stamp = stamp;
    m_stampPath = file;
    RootRebuild();
    m_bLoaded = 1;
    m_bReadOnly = !m_Disk.IsMzFileSystem();
    const AllocationHazard hazard = FindAllocationHazard(m_Disk);
    m_bNoAllocation = hazard.Present();
    UpdateSpaceText();
    if (m_bReadOnly)
        ShowMessage(UiMessage(UiText::NotMzReadOnly), UiText::AppCaption);
    if (m_bNoAllocation)
        ShowMessage(UiMessage(hazard), UiText::AppCaption);
    if (const std::string warning = LoadWarningUi(m_Disk.GetLoadReport()); !warning.empty())
        ShowMessage(warning, UiText::AppCaption);
    return true;
}

bool CDarvexDoc::DoSaveDocument(const wxString& file) {
    if (!m_bLoaded)
        return true;
    // The lock first, then the comparison, the question and the write: a writer that came
    // after the comparison would otherwise be overwritten without a word.
    ImageFileSession session;
    ImageFileStatus status = session.Open(file.utf8_string(), true);
    if (status.Ok() && m_stamp && file == m_stampPath) {
        const std::optional<FileStamp> now = session.LockedStamp();
        if (now && *now != *m_stamp) {
            const wxString text = wxString::Format(
                wxString::FromUTF8(UiMessage(UiText::ChangedOnDisk)), GetUserReadableName());
            if (ShowMessageBox(GetDocumentWindow(), text,
                               wxString::FromUTF8(UiMessage(UiText::AppCaption)),
                               wxYES_NO | wxICON_NONE) != wxID_YES)
                return false;
        }
    }
    FileStamp stamp;
    // Save As names the file itself, after the dialog's own question: that writes a file
    // marked read-only as well.
    if (status.Ok())
        status = session.Save(m_Disk, &stamp, m_bSavingAs);
    if (!status.Ok()) {
        // The Japanese sentence, then the system's own reason.
        ShowMessage(status.UiMessage() + "\n(" + status.CliMessage() + ")", UiText::ErrorCaption);
        return false;
    }
    m_stamp = stamp;
    m_stampPath = file;
    UpdateSpaceText();
    return true;
}

void CDarvexDoc::ShowMessage(const std::string& text, UiText caption) const {
    ShowMessageBox(GetDocumentWindow(), wxString::FromUTF8(text),
                   wxString::FromUTF8(UiMessage(caption)), wxOK | wxICON_NONE);
}

void CDarvexDoc::ClearPanes() {
    m_nTreeCount = 0;
    if (DocumentHost* host = Host()) {
        host->GetTreeCtrl()->DeleteAllItems();
        host->GetListCtrl()->DeleteAllItems();
    }
}

void CDarvexDoc::RootRebuild() {
    DocumentHost* host = Host();
    if (!host)
        return;
    wxTreeCtrl* tree = host->GetTreeCtrl();
    m_nTreeCount = 0;
    tree->DeleteAllItems();
    m_hTreeItem[0] = tree->AddRoot("root");
    m_nTreeDirSector[0] = kRootDirSector;
    m_nTreeCount = 1;
    FillTree();
    m_Disk.SetCurrentDir(-1);
    FillList(kRootDirSector);
    m_Disk.SetCurrentDir(-1);
}

int CDarvexDoc::FillTree() {
    // The core's walk is the one `darvex-cli tree` uses; node 0 is the root already placed.
    bool stopped = false;
    const std::vector<DirTreeNode> nodes = WalkDirTree(m_Disk, &stopped);
    wxTreeCtrl* tree = Host()->GetTreeCtrl();
    for (std::size_t n = 1; n < nodes.size() && m_nTreeCount < kMaxTreeNodes; ++n) {
        const DirTreeNode& node = nodes[n];
        m_hTreeItem[m_nTreeCount] = tree->AppendItem(m_hTreeItem[node.parent],
                                                     wxString::FromUTF8(SjisToTerminal(node.name)));
        m_nTreeDirSector[m_nTreeCount] = node.dirSector;
        ++m_nTreeCount;
    }
    return stopped ? 1 : 0;
}

int CDarvexDoc::FillList(int dirSector) {
    DocumentHost* host = Host();
    if (!host)
        return 0;
    wxListCtrl* list = host->GetListCtrl();
    list->DeleteAllItems();
    m_Disk.SetCurrentDir(dirSector);
    const std::vector<ListRow> rows = ListDirectory(m_Disk, dirSector);
    long row = 0;
    for (const ListRow& r : rows) {
        if (row >= kListRows)
            break;
        list->InsertItem(row, wxString::FromUTF8(SjisToTerminal(r.columns[0])));
        for (int c = 1; c < kListColumns; ++c)
            list->SetItem(row, c, wxString::FromUTF8(r.columns[c]));
        m_nListEntry[row] = r.entryIndex;
        ++row;
    }
    return 0;
}

void CDarvexDoc::OnTreeSelChanged(const wxTreeItemId& item) {
    for (int n = 0; n < m_nTreeCount; ++n) {
        if (m_hTreeItem[n] == item) {
            FillList(m_nTreeDirSector[n]);
            m_Disk.SetCurrentDir(m_nTreeDirSector[n]);
            return;
        }
    }
}

wxString CDarvexDoc::SpaceText() const {
    return wxString::FromUTF8(::SpaceText(m_Disk));
}

void CDarvexDoc::UpdateSpaceText() {
    if (DocumentHost* host = Host())
        host->SetSpaceText(SpaceText());
}

void CDarvexDoc::ImageChanged() {
    // Deleting the file the bitmap left unmarked takes the hazard away with it.
    m_bNoAllocation = FindAllocationHazard(m_Disk).Present();
    FillList(m_Disk.GetCurrentDir());
    UpdateSpaceText();
    Modify(true);
}

void CDarvexDoc::OnUpdateNeedsDisk(wxUpdateUIEvent& event) {
    event.Enable(m_bLoaded == 1);
}

void CDarvexDoc::OnUpdateNeedsWritableDisk(wxUpdateUIEvent& event) {
    event.Enable(m_bLoaded == 1 && !m_bReadOnly);
}

// Adding and deleting change the current directory's sectors: not where they overlap the
// reserved area.
void CDarvexDoc::OnUpdateNeedsWritableDir(wxUpdateUIEvent& event) {
    event.Enable(m_bLoaded == 1 && !m_bReadOnly &&
                 DirectoryWritable(m_Disk, m_Disk.GetCurrentDir()));
}

void CDarvexDoc::OnUpdateAddFile(wxUpdateUIEvent& event) {
    OnUpdateNeedsWritableDir(event);
    if (m_bNoAllocation)
        event.Enable(false);
}

void CDarvexDoc::OnUpdateRegisterBoot(wxUpdateUIEvent& event) {
    event.Enable(m_bLoaded == 1 && !m_bReadOnly && !m_bNoAllocation);
}

void CDarvexDoc::OnUpdateFlatImage(wxUpdateUIEvent& event) {
    event.Enable(false);
}

void CDarvexDoc::OnFlatImage(wxCommandEvent&) {}

std::vector<int> CDarvexDoc::SelectedEntries() const {
    std::vector<int> entries;
    DocumentHost* host = Host();
    if (!host)
        return entries;
    const wxListCtrl* list = host->GetListCtrl();
    for (long row = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
         row = list->GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        if (row < kListRows)
            entries.push_back(m_nListEntry[row]);
    }
    return entries;
}

// The commands refresh the list and the usage whenever they ran, and mark the document
// modified only when the disk changed.
// A refused command still refreshes the list and usage; a cancelled one touches nothing.
void CDarvexDoc::ShowOutcome(DiskCommands::Outcome outcome) {
    switch (outcome) {
    case DiskCommands::Outcome::Changed:
        ImageChanged();
        break;
    case DiskCommands::Outcome::Unchanged:
        FillList(m_Disk.GetCurrentDir());
        UpdateSpaceText();
        break;
    case DiskCommands::Outcome::Cancelled:
        break;
    }
}

void CDarvexDoc::OnAddFile(wxCommandEvent&) {
    if (!m_bLoaded || m_bReadOnly || m_bNoAllocation)
        return;
    ShowOutcome(DiskCommands::AddFile(GetDocumentWindow(), m_Disk));
}

void CDarvexDoc::OnDeleteFile(wxCommandEvent&) {
    if (!m_bLoaded || m_bReadOnly)
        return;
    ShowOutcome(DiskCommands::DeleteFiles(GetDocumentWindow(), m_Disk, SelectedEntries()));
}

void CDarvexDoc::OnExtractBoot(wxCommandEvent&) {
    if (!m_bLoaded)
        return;
    DiskCommands::ExtractBoot(GetDocumentWindow(), m_Disk, GetFilename().utf8_string(),
                              Session().extractFormat);
}

void CDarvexDoc::OnRegisterBoot(wxCommandEvent&) {
    if (!m_bLoaded || m_bReadOnly || m_bNoAllocation)
        return;
    const DiskCommands::Outcome outcome =
        DiskCommands::RegisterBoot(GetDocumentWindow(), m_Disk, Session().bootMachine);
    // The boot program has no directory entry: the list stays as it is.
    if (outcome != DiskCommands::Outcome::Cancelled)
        UpdateSpaceText();
    if (outcome == DiskCommands::Outcome::Changed)
        Modify(true);
}
