#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <wx/docview.h>

#include "doc/DiskCommands.h"
#include "doc/DiskTransfer.h"
#include "doc/DocHint.h"
#include "doc/TransferData.h"
#include "doc/UiText.h"
#include "fs/DiskImage.h"
#include "fs/Messages.h"
#include "host/ImageFile.h"

class DiskChange;
class DiskCommandProcessor;
struct SessionState;

// A disk image read from its file, before a document takes it.
struct OpenedImage {
    wxString path;
    std::unique_ptr<DiskImage> disk;
    FileStamp stamp;
};

// The one document: the disk image and its file on the host. It changes the disk, marks
// itself modified and tells its views what changed (DocHint); the tree and list views fill
// their controls themselves, and own the tables from their nodes and rows back to the disk.
class CDarvexDoc : public wxDocument {
public:
    CDarvexDoc();

    bool OnCreate(const wxString& path, long flags) override;
    bool OnNewDocument() override;
    bool OnSaveModified() override;
    // Save As with the program's own dialog: Japanese title and filter names, "*.d88" first.
    bool SaveAs() override;

    // Reads an image file as the open command takes it: a ".d88" or ".d20" name (any case)
    // and a D88 container in which a track is found. On failure the status says why.
    static ImageFileStatus ReadImageFile(const wxString& path, OpenedImage& image);

    // Makes dirSector the current directory and has the list show it.
    void ShowDirectory(int dirSector);

    // Shows disk `index` of the file (0 after an open) from its root, and the first time says
    // why it is read-only if it is. False, changing nothing, for a disk that is not there or
    // could not be read.
    bool ShowDisk(int index);

    bool IsLoaded() const { return m_bLoaded != 0; }
    // A disk that is not an MZ file system, or whose D88 header marks it write-protected, is
    // shown for reading only; one that is not an MZ file system lists nothing.
    bool IsReadOnly() const { return m_bReadOnly; }
    bool HasMzFileSystem() const { return m_bLoaded && m_pDisk->IsMzFileSystem(); }
    DiskImage& GetDisk() { return *m_pDisk; }
    const DiskImage& GetDisk() const { return *m_pDisk; }
    SessionState& Session() const;

    // What the status bar's usage pane shows: "%d/%d" (used and total bytes of the disk),
    // the note that the disk holds no MZ file system, or nothing without a disk.
    wxString SpaceText() const;

    // Runs op on the selected disk as one step that Edit > Undo takes back, named for the
    // menu ("元に戻す: 削除"). op returns true when it changed the disk (false: nothing to
    // undo, nothing marked). hint says what the views must refresh. Whatever op changed is
    // recorded, whatever it answers, so that the history always matches the disk.
    bool ApplyChange(const wxString& stepName, const std::function<bool(DiskImage&)>& op,
                     DocHint::Kind hint);
    DiskCommandProcessor& History() const;

    // Changed since the file was last saved or opened: steps not undone, or a new disk.
    bool IsModified() const override;
    // Modify(false): the disk is now what its file holds (saved, opened, or to be dropped).
    void Modify(bool modified) override;
    // The directory entries of the rows selected in the list pane, in ascending row order,
    // whichever pane has the focus.
    std::vector<int> SelectedEntries() const;


    // The entries as files for a drag or the clipboard (DiskTransfer::MakeOffer), in the
    // format last shown in the extract dialog, MZT until it has been shown. A drag's files
    // take the place of the last drag's.
    DiskTransfer::Offer OfferEntries(const std::vector<int>& entries, bool clipboard);
    // Whether files can be stored in the directory at dirSector now; when not, why (empty
    // when no disk is open).
    bool CanTakeFiles(int dirSector, std::string* why = nullptr) const;
    // What arrived by a drop on the directory at dirSector, or by Paste (the current one), as
    // one step of undo: a pack stored as it came; files added through the add-file dialog,
    // except images (".d88", ".d20") without shift, which are opened as a drop on the window
    // opens them. Without a disk that takes files, files are opened as images (and refused
    // with the open command's reason).
    void ReceiveTransfer(const CTransferData::Payload& payload, int dirSector, bool shift,
                         bool paste);
    // Whether a host file's name marks a disk image (".d88" or ".d20", any case).
    static bool IsImageFileName(const wxString& path);

protected:
    wxCommandProcessor* OnCreateCommandProcessor() override;
    bool DoOpenDocument(const wxString& file) override;
    bool DoSaveDocument(const wxString& file) override;

private:
    void Update(int kind);
    // A disk command as one undo step: the list and usage refreshed even when it was refused.
    void RunCommand(const wxString& stepName, DocHint::Kind hint,
                    const std::function<DiskCommands::Outcome(DiskImage&)>& command);
    bool Replay(const DiskChange& change, bool undo, DocHint::Kind hint);
    // Reads again what the selected disk allows (read-only, allocation hazard), then tells
    // the views.
    void AfterChange(DocHint::Kind hint);
    void RefreshTitle();
    void ShowMessage(const std::string& text, UiText caption) const;

    void OnUpdateNeedsDisk(wxUpdateUIEvent& event);
    void OnUpdateSave(wxUpdateUIEvent& event);
    void OnUpdateNeedsWritableDir(wxUpdateUIEvent& event);
    void OnUpdateAddFile(wxUpdateUIEvent& event);
    void OnUpdateRegisterBoot(wxUpdateUIEvent& event);
    void OnUpdateFlatImage(wxUpdateUIEvent& event);
    void OnUpdateEditFileInfo(wxUpdateUIEvent& event);
    void OnEditFileInfo(wxCommandEvent& event);
    void OnFlatImage(wxCommandEvent& event);
    void OnAddFile(wxCommandEvent& event);
    void OnDeleteFile(wxCommandEvent& event);
    void OnExtractFile(wxCommandEvent& event);
    void OnExtractBoot(wxCommandEvent& event);
    void OnRegisterBoot(wxCommandEvent& event);
    void OnUpdateCopy(wxUpdateUIEvent& event);
    void OnUpdateCut(wxUpdateUIEvent& event);
    void OnUpdatePaste(wxUpdateUIEvent& event);
    void OnCopy(wxCommandEvent& event);
    void OnCut(wxCommandEvent& event);
    void OnPaste(wxCommandEvent& event);
    // Puts the entries on the clipboard; returns those it could offer.
    std::vector<int> CopyToClipboard(const std::vector<int>& entries);
    void OnDiskInfo(wxCommandEvent& event);
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);
    void OnUpdateUndo(wxUpdateUIEvent& event);
    void OnUpdateRedo(wxUpdateUIEvent& event);

    int m_bLoaded = 0;
    std::unique_ptr<DiskImage> m_pDisk;
    bool m_bReadOnly = false;
    // Adding files and registering a boot program are off while the bitmap leaves clusters of
    // a file or of the boot program unmarked (AllocationHazard).
    bool m_bNoAllocation = false;
    std::optional<FileStamp> m_stamp; // of the file as last read or written
    wxString m_stampPath;
    bool m_bSavingAs = false; // the save under way is a Save As
    std::set<int> m_noticed;  // the disks whose notes (read-only, hazard, load report) were shown

    wxDECLARE_DYNAMIC_CLASS(CDarvexDoc);
    wxDECLARE_EVENT_TABLE();
};
