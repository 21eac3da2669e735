#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <wx/docview.h>
#include <wx/treebase.h>

#include "doc/DiskCommands.h"
#include "fs/DirTree.h"
#include "fs/Messages.h"
#include "host/ImageFile.h"
#include "image/DiskImage.h"

class DocumentHost;
struct SessionState;

// The one document: the disk image, its file on the host, and the tree and list tables that
// tie the two panes back to the disk.
class CDarvexDoc : public wxDocument {
public:
    static constexpr int kListRows = 64;

    CDarvexDoc();

    bool OnCreate(const wxString& path, long flags) override;
    bool OnNewDocument() override;
    bool OnSaveModified() override;
    // Save As with the program's own dialog: Japanese title and filter names, "*.d88" first.
    bool SaveAs() override;

    // Refills the list with the directory at dirSector and makes it current.
    int FillList(int dirSector);
    // The tree pane's selection moved to item: list that node's directory and make it current.
    void OnTreeSelChanged(const wxTreeItemId& item);

    bool IsLoaded() const { return m_bLoaded != 0; }
    // An image that is not an MZ file system is opened for reading only.
    bool IsReadOnly() const { return m_bReadOnly; }
    DiskImage& GetDisk() { return m_Disk; }
    const DiskImage& GetDisk() const { return m_Disk; }
    int GetListEntry(int row) const { return m_nListEntry[row]; }
    int GetTreeCount() const { return m_nTreeCount; }
    int GetTreeDirSector(int node) const { return m_nTreeDirSector[node]; }
    wxTreeItemId GetTreeItem(int node) const { return m_hTreeItem[node]; }
    SessionState& Session() const;

    // "%d/%d": used and total bytes of the disk.
    wxString SpaceText() const;

    // After a change to the image made by a command: list, usage and the modified mark.
    void ImageChanged();
    void ShowOutcome(DiskCommands::Outcome outcome);
    // The directory entries of the rows selected in the list pane, in ascending row order.
    std::vector<int> SelectedEntries() const;

protected:
    bool DoOpenDocument(const wxString& file) override;
    bool DoSaveDocument(const wxString& file) override;

private:
    DocumentHost* Host() const;
    void ClearPanes();
    void RootRebuild();
    int FillTree();
    void UpdateSpaceText();
    void ShowMessage(const std::string& text, UiText caption) const;

    void OnUpdateNeedsDisk(wxUpdateUIEvent& event);
    void OnUpdateNeedsWritableDisk(wxUpdateUIEvent& event);
    void OnUpdateNeedsWritableDir(wxUpdateUIEvent& event);
    void OnUpdateAddFile(wxUpdateUIEvent& event);
    void OnUpdateRegisterBoot(wxUpdateUIEvent& event);
    void OnUpdateFlatImage(wxUpdateUIEvent& event);
    void OnFlatImage(wxCommandEvent& event);
    void OnAddFile(wxCommandEvent& event);
    void OnDeleteFile(wxCommandEvent& event);
    void OnExtractBoot(wxCommandEvent& event);
    void OnRegisterBoot(wxCommandEvent& event);

    int m_bLoaded = 0;
    std::array<int, kListRows> m_nListEntry{};
    std::array<wxTreeItemId, kMaxTreeNodes> m_hTreeItem;
    std::array<int, kMaxTreeNodes> m_nTreeDirSector{};
    int m_nTreeCount = 0;
    DiskImage m_Disk;
    bool m_bReadOnly = false;
    // Adding files and registering a boot program are off while the bitmap leaves clusters of
    // a file or of the boot program unmarked (AllocationHazard).
    bool m_bNoAllocation = false;
    std::optional<FileStamp> m_stamp; // of the file as last read or written
    wxString m_stampPath;
    bool m_bSavingAs = false; // the save under way is a Save As

    wxDECLARE_DYNAMIC_CLASS(CDarvexDoc);
    wxDECLARE_EVENT_TABLE();
};
