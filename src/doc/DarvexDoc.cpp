#include "doc/DarvexDoc.h"

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/textentry.h>

#include "doc/CommandIds.h"
#include "doc/DarvexDocManager.h"
#include "doc/DialogSupport.h"
#include "doc/DiskChangeCommand.h"
#include "doc/DiskCommandProcessor.h"
#include "doc/DiskCommands.h"
#include "doc/DiskInfoDlg.h"
#include "doc/DocHint.h"
#include "doc/DocText.h"
#include "doc/EntryCommands.h"
#include "doc/MessageBox.h"
#include "doc/OutputPathDlg.h"
#include "doc/SessionState.h"
#include "fs/EntryPack.h"
#include "fs/ListRow.h"
#include "host/PathParts.h"
#include "host/TransferFolder.h"
#include "image/Geometry.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDarvexDoc, wxDocument);

// clang-format off
wxBEGIN_EVENT_TABLE(CDarvexDoc, wxDocument)
    EVT_UPDATE_UI(wxID_SAVE, CDarvexDoc::OnUpdateSave)
    EVT_UPDATE_UI(wxID_SAVEAS, CDarvexDoc::OnUpdateSave)
    EVT_UPDATE_UI(ID_DISK_INFO, CDarvexDoc::OnUpdateNeedsDisk)
    EVT_MENU(ID_DISK_INFO, CDarvexDoc::OnDiskInfo)
    EVT_UPDATE_UI(ID_EXTRACT_FILE, CDarvexDoc::OnUpdateNeedsDisk)
    EVT_UPDATE_UI(ID_EXTRACT_BOOT, CDarvexDoc::OnUpdateNeedsDisk)
    EVT_UPDATE_UI(ID_ADD_FILE, CDarvexDoc::OnUpdateAddFile)
    EVT_UPDATE_UI(ID_REGISTER_BOOT, CDarvexDoc::OnUpdateRegisterBoot)
    EVT_UPDATE_UI(ID_DELETE_FILE, CDarvexDoc::OnUpdateNeedsWritableDir)
    EVT_UPDATE_UI(ID_FLAT_IMAGE, CDarvexDoc::OnUpdateFlatImage)
    EVT_UPDATE_UI(ID_EDIT_FILE_INFO, CDarvexDoc::OnUpdateEditFileInfo)
    EVT_MENU(ID_EDIT_FILE_INFO, CDarvexDoc::OnEditFileInfo)
    EVT_MENU(ID_FLAT_IMAGE, CDarvexDoc::OnFlatImage)
    EVT_MENU(ID_ADD_FILE, CDarvexDoc::OnAddFile)
    EVT_MENU(ID_DELETE_FILE, CDarvexDoc::OnDeleteFile)
    EVT_MENU(ID_EXTRACT_FILE, CDarvexDoc::OnExtractFile)
    EVT_MENU(ID_EXTRACT_BOOT, CDarvexDoc::OnExtractBoot)
    EVT_MENU(ID_REGISTER_BOOT, CDarvexDoc::OnRegisterBoot)
    EVT_UPDATE_UI(wxID_COPY, CDarvexDoc::OnUpdateCopy)
    EVT_UPDATE_UI(wxID_CUT, CDarvexDoc::OnUpdateCut)
    EVT_UPDATE_UI(wxID_PASTE, CDarvexDoc::OnUpdatePaste)
    EVT_MENU(wxID_COPY, CDarvexDoc::OnCopy)
    EVT_MENU(wxID_CUT, CDarvexDoc::OnCut)
    EVT_MENU(wxID_PASTE, CDarvexDoc::OnPaste)
    EVT_MENU(wxID_UNDO, CDarvexDoc::OnUndo)
    EVT_MENU(wxID_REDO, CDarvexDoc::OnRedo)
    EVT_UPDATE_UI(wxID_UNDO, CDarvexDoc::OnUpdateUndo)
    EVT_UPDATE_UI(wxID_REDO, CDarvexDoc::OnUpdateRedo)
wxEND_EVENT_TABLE();
// clang-format on

CDarvexDoc::CDarvexDoc() : m_pDisk(std::make_unique<DiskImage>()) {}

SessionState& CDarvexDoc::Session() const {
    return static_cast<DarvexDocManager*>(GetDocumentManager())->Session();
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
    // The Edit menu names the steps of this document's history from now on.
    if (auto* frame = wxDynamicCast(GetDocumentWindow(), wxFrame); frame && frame->GetMenuBar()) {
        wxMenu* edit = nullptr;
        if (frame->GetMenuBar()->FindItem(wxID_UNDO, &edit))
            History().SetEditMenu(edit);
    }
    History().Initialize();
    return true;
}

void CDarvexDoc::Update(int kind) {
    DocHint hint(static_cast<DocHint::Kind>(kind));
    UpdateAllViews(nullptr, &hint);
}

bool CDarvexDoc::OnNewDocument() {
    if (!wxDocument::OnNewDocument())
        return false;
    m_bLoaded = 0;
    m_bReadOnly = false;
    m_bNoAllocation = false;
    // Only a New the user chose carries a disk type; the start-up New leaves the document
    // empty. The dialog itself ran before the old document was closed, so Cancel kept it.
    const int diskType = Session().pendingNewType;
    if (diskType >= 0) {
        m_pDisk->Format(diskType);
        m_pDisk->SetCurrentDir(-1);
        m_bLoaded = 1;
        // A new disk exists only in memory until it is saved.
        Modify(true);
    }
    Update(DocHint::WholeDisk);
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
    // The chosen image filter's extension when the user typed none.
    if (!name.HasExt() && dialog.GetFilterIndex() <= 1)
        name.SetExt(dialog.GetFilterIndex() == 0 ? "d88" : "d20");
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

bool CDarvexDoc::IsImageFileName(const wxString& path) {
    PathParts parts;
    parts.SetPath(path.utf8_string().c_str());
    const wxString ext = wxString::FromUTF8(parts.GetExt()).Lower();
    return ext == "d88" || ext == "d20";
}

ImageFileStatus CDarvexDoc::ReadImageFile(const wxString& path, OpenedImage& image) {
    ImageFileStatus status;
    // Another extension is not taken for an image: it would replace the open disk with
    // nothing (a tape file or a text dropped on the window by mistake).
    if (!IsImageFileName(path)) {
        status.error = ImageFileError::NotD88;
        return status;
    }
    auto disk = std::make_unique<DiskImage>();
    status = ImageFile::Load(path.utf8_string(), *disk, &image.stamp);
    if (status.Ok()) {
        image.path = path;
        image.disk = std::move(disk);
    }
    return status;
}

bool CDarvexDoc::DoOpenDocument(const wxString& file) {
    // The manager has read the file before it closed the old document; read it here when
    // the framework opens a file by another way.
    OpenedImage image = static_cast<DarvexDocManager*>(GetDocumentManager())->TakeOpenedImage(file);
    if (!image.disk) {
        const ImageFileStatus status = ReadImageFile(file, image);
        if (!status.Ok()) {
            ShowMessage(status.UiMessage(), UiText::ErrorCaption);
            return false;
        }
    }
    m_pDisk = std::move(image.disk);
    m_stamp = image.stamp;
    m_stampPath = file;
    m_bLoaded = 1;
    m_noticed.clear();
    ShowDisk(0);
    return true;
}

bool CDarvexDoc::ShowDisk(int index) {
    if (m_pDisk->SelectDisk(index) != ToInt(DiskSelectResult::Ok))
        return false;
    m_pDisk->SetCurrentDir(-1);
    const ChangeRefusal refusal = m_pDisk->WhyNotChangeable();
    m_bReadOnly = refusal != ChangeRefusal::None;
    const AllocationHazard hazard = FindAllocationHazard(*m_pDisk);
    m_bNoAllocation = hazard.Present();
    Update(DocHint::WholeDisk);
    // What a disk is like is said once, not each time the tree goes back to it.
    if (!m_noticed.insert(index).second)
        return true;
    if (m_bReadOnly)
        ShowMessage(UiMessage(refusal, index + 1), UiText::AppCaption);
    if (m_bNoAllocation)
        ShowMessage(UiMessage(hazard), UiText::AppCaption);
    if (const std::string warning = LoadWarningUi(m_pDisk->GetLoadReport()); !warning.empty())
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
        status = session.Save(*m_pDisk, &stamp, m_bSavingAs);
    if (!status.Ok()) {
        // The Japanese sentence, then the system's own reason.
        ShowMessage(status.UiMessage() + "\n(" + status.CliMessage() + ")", UiText::ErrorCaption);
        return false;
    }
    m_stamp = stamp;
    m_stampPath = file;
    Update(DocHint::UsageChanged);
    return true;
}

void CDarvexDoc::ShowMessage(const std::string& text, UiText caption) const {
    ShowMessageBox(GetDocumentWindow(), wxString::FromUTF8(text),
                   wxString::FromUTF8(UiMessage(caption)), wxOK | wxICON_NONE);
}

void CDarvexDoc::ShowDirectory(int dirSector) {
    m_pDisk->SetCurrentDir(dirSector);
    Update(DocHint::DirectoryListed);
}

wxString CDarvexDoc::SpaceText() const {
    if (!m_bLoaded)
        return wxString();
    if (!m_pDisk->IsMzFileSystem())
        return wxString::FromUTF8(UiMessage(UiText::NoMzFileSystem));
    return wxString::FromUTF8(::SpaceText(*m_pDisk));
}

wxCommandProcessor* CDarvexDoc::OnCreateCommandProcessor() {
    return new DiskCommandProcessor;
}

DiskCommandProcessor& CDarvexDoc::History() const {
    return *static_cast<DiskCommandProcessor*>(GetCommandProcessor());
}

bool CDarvexDoc::IsModified() const {
    return wxDocument::IsModified() || (GetCommandProcessor() && History().IsDirty());
}

void CDarvexDoc::Modify(bool modified) {
    if (!modified && GetCommandProcessor())
        History().MarkSaved();
    wxDocument::Modify(modified);
    RefreshTitle();
}

void CDarvexDoc::RefreshTitle() {
    // The tree pane's view owns the frame title, with its mark of unsaved changes.
    if (wxView* view = GetFirstView())
        view->OnChangeFilename();
}

bool CDarvexDoc::ApplyChange(const wxString& stepName, const std::function<bool(DiskImage&)>& op,
                             DocHint::Kind hint) {
    if (!m_bLoaded)
        return false;
    DiskChange change(*m_pDisk);
    // The bytes decide, not op's answer: a change left out would leave the older steps
    // pointing at sectors that hold something else.
    op(*m_pDisk);
    switch (change.Record(*m_pDisk)) {
    case DiskChange::Outcome::Nothing:
        return false;
    case DiskChange::Outcome::Unrecordable:
        History().ClearCommands();
        break;
    case DiskChange::Outcome::Recorded:
        History().Store(
            new DiskChangeCommand(stepName, std::move(change), hint,
                                  [this](const DiskChange& c, bool undo, DocHint::Kind h) {
                                      return Replay(c, undo, h);
                                  }));
        break;
    }
    AfterChange(hint);
    return true;
}

bool CDarvexDoc::Replay(const DiskChange& change, bool undo, DocHint::Kind hint) {
    if (!m_bLoaded)
        return false;
    const int shownDisk = m_pDisk->GetSelectedDisk();
    if (!(undo ? change.Undo(*m_pDisk) : change.Redo(*m_pDisk))) {
        // Something changed the disk outside the history: its steps no longer fit. The
        // history cannot clear itself from inside a step, so after this event.
        ShowMessage(UiMessage(UiText::UndoHistoryLost), UiText::ErrorCaption);
        CallAfter([this] {
            History().ClearCommands();
            RefreshTitle();
        });
        return false;
    }
    // The change went back to its disk and directory, so that its effect is in view; another
    // disk, or another name of it, fills the tree again.
    if (m_pDisk->GetSelectedDisk() != shownDisk || change.HeaderChanged())
        hint = DocHint::WholeDisk;
    else if (hint != DocHint::UsageChanged)
        hint = DocHint::EntriesChanged;
    AfterChange(hint);
    return true;
}

void CDarvexDoc::AfterChange(DocHint::Kind hint) {
    // Clearing the write-protect flag makes the disk writable; deleting the file the bitmap
    // left unmarked takes the hazard away with it.
    m_bReadOnly = m_pDisk->WhyNotChangeable() != ChangeRefusal::None;
    m_bNoAllocation = FindAllocationHazard(*m_pDisk).Present();
    Update(hint);
    RefreshTitle();
}

void CDarvexDoc::OnUpdateNeedsDisk(wxUpdateUIEvent& event) {
    event.Enable(m_bLoaded == 1);
}

// A read-only disk has nothing to save until its D88 header changes (or, in a file of several,
// another disk).
void CDarvexDoc::OnUpdateSave(wxUpdateUIEvent& event) {
    event.Enable(m_bLoaded == 1 && (!m_bReadOnly || IsModified()));
}

// Adding and deleting change the current directory's sectors: not where they overlap the
// reserved area.
void CDarvexDoc::OnUpdateNeedsWritableDir(wxUpdateUIEvent& event) {
    event.Enable(m_bLoaded == 1 && !m_bReadOnly &&
                 DirectoryWritable(*m_pDisk, m_pDisk->GetCurrentDir()));
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

// One file's information at a time: the one selected row's.
void CDarvexDoc::OnUpdateEditFileInfo(wxUpdateUIEvent& event) {
    OnUpdateNeedsWritableDir(event);
    if (event.GetEnabled() && SelectedEntries().size() != 1)
        event.Enable(false);
}

void CDarvexDoc::OnEditFileInfo(wxCommandEvent&) {
    const std::vector<int> entries = SelectedEntries();
    if (!HasMzFileSystem() || m_bReadOnly || entries.size() != 1)
        return;
    EntryCommands::EditInfo(GetDocumentWindow(), *this, entries.front());
}

std::vector<int> CDarvexDoc::SelectedEntries() const {
    for (wxView* view : GetViewsVector())
        if (const auto* selection = dynamic_cast<const EntrySelection*>(view))
            return selection->SelectedEntries();
    return {};
}

// A refused command still refreshes the list and usage; a cancelled one touches nothing.
void CDarvexDoc::RunCommand(const wxString& stepName, DocHint::Kind hint,
                            const std::function<DiskCommands::Outcome(DiskImage&)>& command) {
    DiskCommands::Outcome outcome = DiskCommands::Outcome::Cancelled;
    const bool changed = ApplyChange(
        stepName,
        [&](DiskImage& disk) {
            outcome = command(disk);
            return outcome == DiskCommands::Outcome::Changed;
        },
        hint);
    if (!changed && outcome != DiskCommands::Outcome::Cancelled)
        Update(hint);
}

void CDarvexDoc::OnAddFile(wxCommandEvent&) {
    if (!m_bLoaded || m_bReadOnly || m_bNoAllocation)
        return;
    RunCommand(Tr(doctext::kStepAddFile), DocHint::EntriesChanged, [this](DiskImage& disk) {
        return DiskCommands::AddFile(GetDocumentWindow(), disk);
    });
}

void CDarvexDoc::OnDeleteFile(wxCommandEvent&) {
    if (!m_bLoaded || m_bReadOnly)
        return;
    const std::vector<int> entries = SelectedEntries();
    RunCommand(Tr(doctext::kStepDelete), DocHint::EntriesChanged, [&](DiskImage& disk) {
        return DiskCommands::DeleteFiles(GetDocumentWindow(), disk, entries);
    });
}

// On the document rather than the list pane: the list's selection is what it acts on,
// whichever pane has the focus.
void CDarvexDoc::OnExtractFile(wxCommandEvent&) {
    if (!m_bLoaded)
        return;
    const std::vector<int> entries = SelectedEntries();
    DiskCommands::ExtractFiles(GetDocumentWindow(), *m_pDisk, GetFilename().utf8_string(), entries,
                               Session().extractFormat);
    if (!entries.empty())
        Session().extractFormatShown = true;
}

void CDarvexDoc::OnExtractBoot(wxCommandEvent&) {
    if (!m_bLoaded)
        return;
    DiskCommands::ExtractBoot(GetDocumentWindow(), *m_pDisk, GetFilename().utf8_string(),
                              Session().extractFormat);
    Session().extractFormatShown = true;
}

void CDarvexDoc::OnRegisterBoot(wxCommandEvent&) {
    if (!m_bLoaded || m_bReadOnly || m_bNoAllocation)
        return;
    // The boot program has no directory entry: the list stays as it is.
    RunCommand(Tr(doctext::kStepRegisterBoot), DocHint::UsageChanged, [this](DiskImage& disk) {
        return DiskCommands::RegisterBoot(GetDocumentWindow(), disk, Session().bootMachine);
    });
}

// The D88 header of the selected disk, whatever its file system: a write-protected disk is
// made writable here.
void CDarvexDoc::OnDiskInfo(wxCommandEvent&) {
    if (!m_bLoaded)
        return;
    CDiskInfoDlg dlg(GetDocumentWindow());
    dlg.m_sjisName = m_pDisk->GetDiskName();
    dlg.m_bWriteProtected = m_pDisk->IsWriteProtected();
    if (dlg.ShowModal() != wxID_OK)
        return;
    ApplyChange(
        Tr(doctext::kStepDiskInfo),
        [&dlg](DiskImage& disk) {
            disk.SetDiskName(dlg.m_sjisName);
            disk.SetWriteProtected(dlg.m_bWriteProtected);
            return true;
        },
        DocHint::WholeDisk);
}

void CDarvexDoc::OnUndo(wxCommandEvent&) {
    History().Undo();
    RefreshTitle();
}

void CDarvexDoc::OnRedo(wxCommandEvent&) {
    History().Redo();
    RefreshTitle();
}

void CDarvexDoc::OnUpdateUndo(wxUpdateUIEvent& event) {
    event.Enable(m_bLoaded && History().CanUndo());
    event.SetText(History().UndoLabel());
}

void CDarvexDoc::OnUpdateRedo(wxUpdateUIEvent& event) {
    event.Enable(m_bLoaded && History().CanRedo());
    event.SetText(History().RedoLabel());
}

namespace {

DarvexDocManager& ManagerOf(const wxDocument& doc) {
    return *static_cast<DarvexDocManager*>(doc.GetDocumentManager());
}

// The editing commands belong to a text field while one has the focus (a name being typed).
wxTextEntry* FocusedTextEntry() {
    return dynamic_cast<wxTextEntry*>(wxWindow::FindFocus());
}

// Runs f with dirSector as the disk's current directory, then shows the former one again.
bool InDirectory(DiskImage& disk, int dirSector, const std::function<bool()>& f) {
    const int shown = disk.GetCurrentDir();
    disk.SetCurrentDir(dirSector);
    const bool changed = f();
    disk.SetCurrentDir(shown);
    return changed;
}

} // namespace

DiskTransfer::Offer CDarvexDoc::OfferEntries(const std::vector<int>& entries, bool clipboard) {
    if (!HasMzFileSystem())
        return {};
    const SessionState& session = Session();
    const int format = session.extractFormatShown
                           ? COutputPathDlg::ExportFormatFor(session.extractFormat)
                           : ToInt(ExportFormat::Mzt);
    DarvexDocManager& manager = ManagerOf(*this);
    DiskTransfer::Offer offer =
        DiskTransfer::MakeOffer(GetDocumentWindow(), *m_pDisk, GetFilename().utf8_string(), entries,
                                manager.Transfers(), format, clipboard);
    // A copy's folder is kept once the clipboard holds it (CopyToClipboard).
    if (!clipboard)
        manager.SetDragFolder(offer.folder);
    return offer;
}

bool CDarvexDoc::CanTakeFiles(int dirSector, std::string* why) const {
    std::string reason;
    if (!m_bLoaded)
        reason.clear();
    else if (m_bReadOnly)
        reason = UiMessage(UiText::DiskTakesNoFiles);
    else if (m_bNoAllocation)
        reason = UiMessage(FindAllocationHazard(*m_pDisk));
    else if (!DirectoryWritable(*m_pDisk, dirSector))
        reason = UiMessage(ImportResult::ReadOnlyDirectory);
    else
        return true;
    if (why)
        *why = reason;
    return false;
}

void CDarvexDoc::ReceiveTransfer(const CTransferData::Payload& payload, int dirSector, bool shift,
                                 bool paste) {
    wxWindow* owner = GetDocumentWindow();
    const wxString step = Tr(paste ? N_("Paste") : N_("Drop"));
    if (payload.skipped > 0)
        DialogSupport::ShowError(owner, UiMessage(UiText::NotLocalFiles));
    std::string why;
    if (payload.kind == CTransferData::Kind::Pack) {
        const auto files = EntryPack::Decode(ByteView(payload.pack.data(), payload.pack.size()));
        if (!files || files->empty())
            return;
        if (!CanTakeFiles(dirSector, &why)) {
            if (!why.empty())
                DialogSupport::ShowError(owner, why);
            return;
        }
        ApplyChange(
            step,
            [&](DiskImage& disk) {
                return InDirectory(disk, dirSector,
                                   [&] { return DiskTransfer::StorePack(owner, disk, *files); });
            },
            DocHint::EntriesChanged);
        return;
    }
    if (payload.kind != CTransferData::Kind::Files)
        return;
    std::vector<std::string> images, others;
    for (const std::string& path : payload.paths)
        (!shift && IsImageFileName(wxString::FromUTF8(path)) ? images : others).push_back(path);
    if (!others.empty()) {
        if (CanTakeFiles(dirSector, &why)) {
            ApplyChange(
                step,
                [&](DiskImage& disk) {
                    return InDirectory(disk, dirSector, [&] {
                        return DiskTransfer::AddHostFiles(owner, disk, others);
                    });
                },
                DocHint::EntriesChanged);
        } else if (!m_bLoaded) {
            // No disk: as a drop on the window, each file is opened (and refused if no image).
            images.insert(images.end(), others.begin(), others.end());
        } else {
            DialogSupport::ShowError(owner, why);
        }
    }
    // After this command: opening an image replaces this document.
    ManagerOf(*this).OpenFilesLater(images);
}

void CDarvexDoc::OnUpdateCopy(wxUpdateUIEvent& event) {
    if (wxTextEntry* text = FocusedTextEntry())
        event.Enable(text->CanCopy());
    else
        event.Enable(HasMzFileSystem() && !SelectedEntries().empty());
}

void CDarvexDoc::OnUpdateCut(wxUpdateUIEvent& event) {
    if (wxTextEntry* text = FocusedTextEntry())
        event.Enable(text->CanCut());
    else
        event.Enable(HasMzFileSystem() && DirectoryWritable(*m_pDisk, m_pDisk->GetCurrentDir()) &&
                     !SelectedEntries().empty());
}

void CDarvexDoc::OnUpdatePaste(wxUpdateUIEvent& event) {
    if (wxTextEntry* text = FocusedTextEntry())
        event.Enable(text->CanPaste());
    else
        event.Enable(CanTakeFiles(m_pDisk->GetCurrentDir()) &&
                     ManagerOf(*this).Clipboard().CanPaste());
}

std::vector<int> CDarvexDoc::CopyToClipboard(const std::vector<int>& entries) {
    DiskTransfer::Offer offer = OfferEntries(entries, true);
    DarvexDocManager& manager = ManagerOf(*this);
    if (!offer.data) {
        manager.Transfers().Remove(offer.folder);
        return {};
    }
    wxClipboardLocker lock;
    if (!lock || !wxTheClipboard->SetData(offer.data.release())) {
        manager.Transfers().Remove(offer.folder);
        return {};
    }
    manager.SetClipboardFolder(offer.folder);
    manager.Clipboard().Refresh();
    return offer.entries;
}

void CDarvexDoc::OnCopy(wxCommandEvent&) {
    if (wxTextEntry* text = FocusedTextEntry())
        text->Copy();
    else
        CopyToClipboard(SelectedEntries());
}

void CDarvexDoc::OnCut(wxCommandEvent&) {
    if (wxTextEntry* text = FocusedTextEntry()) {
        text->Cut();
        return;
    }
    if (!HasMzFileSystem() || !DirectoryWritable(*m_pDisk, m_pDisk->GetCurrentDir()))
        return;
    // Only what reached the clipboard is deleted.
    const std::vector<int> entries = CopyToClipboard(SelectedEntries());
    if (entries.empty())
        return;
    wxWindow* owner = GetDocumentWindow();
    ApplyChange(
        Tr(N_("Cut")),
        [&](DiskImage& disk) {
            return DiskCommands::DeleteFiles(owner, disk, entries) ==
                   DiskCommands::Outcome::Changed;
        },
        DocHint::EntriesChanged);
}

void CDarvexDoc::OnPaste(wxCommandEvent&) {
    if (wxTextEntry* text = FocusedTextEntry()) {
        text->Paste();
        return;
    }
    CTransferData data;
    {
        wxClipboardLocker lock;
        if (!lock || !wxTheClipboard->GetData(data))
            return;
    }
    ReceiveTransfer(data.Received(), m_pDisk->GetCurrentDir(), false, true);
}
