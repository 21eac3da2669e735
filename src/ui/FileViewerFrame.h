#pragma once

#include <string>
#include <vector>

#include <wx/fdrepdlg.h>
#include <wx/frame.h>

#include "fs/DirEntry.h"
#include "ui/TablePrintout.h"
#include "ui/WindowView.h"
#include "view/Listing.h"

class CDarvexDoc;
class wxNotebook;
class wxTextCtrl;

// The viewer of one file of the disk: a tab for each way the file can be shown (the BASIC
// listing of a BTX program, text, hex) in a fixed-pitch font, with the listing's notes where
// they stand; find, copy, saving the listing as UTF-8 text, printing it, and the file's first
// sector in the sector view. One window a file, not modal; it closes with its document.
class CFileViewerFrame : public wxFrame, public DocWindow {
public:
    // The viewer of entry entryIndex of the directory at dirSector: the one already open,
    // brought to the front, or a new one. Null when the entry holds no file.
    static CFileViewerFrame* Open(CDarvexDoc& doc, int dirSector, int entryIndex);
    // Whether that entry holds a file to view (not a sub-directory, not a free entry).
    static bool HoldsFile(const CDarvexDoc& doc, int dirSector, int entryIndex);
    // The viewer open for that entry; null when there is none.
    static CFileViewerFrame* Find(const CDarvexDoc& doc, int dirSector, int entryIndex);

    wxFrame* GetWindow() override { return this; }
    void DocumentChanged(DocHint::Kind kind) override;
    void ViewGone() override;

    int GetDirSector() const { return m_dirSector; }
    int GetEntryIndex() const { return m_entryIndex; }
    const std::vector<ViewKind>& GetKinds() const { return m_kinds; }
    ViewKind GetShownKind() const;
    void ShowKind(ViewKind kind);
    // The shown tab's text control.
    wxTextCtrl* GetText() const;
    // The shown tab's listing with its notes, as the window shows, saves and prints it.
    wxString GetListingText() const;
    // Selects the next occurrence of text after the selection (the previous one before it),
    // going round the end; false when the listing holds none.
    bool FindText(const wxString& text, bool forward, bool matchCase);
    PrintTable MakePrintTable() const;

private:
    struct ShownLine {
        wxString text;
        bool note = false;
    };

    CFileViewerFrame(wxWindow* parent, CDarvexDoc& doc, int dirSector, int entryIndex,
                     const DirEntry& entry);
    void CreateMenus();
    void Relist();
    static std::vector<ShownLine> ShownLines(const Listing& listing);
    int FirstSector() const;
    wxString KindLabel(ViewKind kind) const;
    void UpdateTitle();
    // The menu command's steps after the file dialog: never over the image, a yes before
    // replacing a file, the listing written whole or not at all.
    bool SaveListingTo(const wxString& path);
    void FindAgain(bool forward, bool matchCase);

    void OnSaveAs(wxCommandEvent& event);
    void OnPrint(wxCommandEvent& event);
    void OnPreview(wxCommandEvent& event);
    void OnCloseCommand(wxCommandEvent& event);
    void OnCopy(wxCommandEvent& event);
    void OnUpdateCopy(wxUpdateUIEvent& event);
    void OnSelectAll(wxCommandEvent& event);
    void OnFind(wxCommandEvent& event);
    void OnFindNext(wxCommandEvent& event);
    void OnFindDialog(wxFindDialogEvent& event);
    void OnFindClose(wxFindDialogEvent& event);
    void OnFirstSector(wxCommandEvent& event);
    void OnUpdateFirstSector(wxUpdateUIEvent& event);
    void OnClose(wxCloseEvent& event);

    CDarvexDoc* m_doc;
    CWindowView* m_view = nullptr;
    int m_disk; // the disk of the file that holds it
    int m_dirSector;
    int m_entryIndex;
    DirEntry m_entry;
    std::vector<ViewKind> m_kinds;
    wxNotebook* m_book = nullptr;
    std::vector<wxTextCtrl*> m_texts; // one a kind, in m_kinds' order
    wxFindReplaceData m_findData;
    wxFindReplaceDialog* m_findDialog = nullptr;
};
