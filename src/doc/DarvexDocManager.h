#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/docview.h>

#include "doc/ClipboardWatch.h"
#include "doc/DarvexDoc.h"
#include "doc/SessionState.h"

class RecentFiles;
class TransferFolder;

// The document manager of the one-document program: routes commands the way the original
// framework did (active pane, then its document, then the frame and the application), keeps
// the run's session state, asks for the disk type before the old document is closed, and
// titles windows "<document> - Darvex".
class DarvexDocManager : public wxDocManager {
public:
    DarvexDocManager();
    ~DarvexDocManager() override;

    SessionState& Session() { return m_session; }
    // The run's folder for files handed to other programs (removed when the run ends).
    TransferFolder& Transfers() { return *m_pTransfers; }
    CClipboardWatch& Clipboard() { return m_clipboard; }
    // The folder the clipboard's files were last exported into, replaced by the next copy.
    void SetClipboardFolder(const std::string& folder);
    // The folder of the last drag's files, replaced by the next drag (a file manager may still
    // be copying from it when the drag ends, but not when the next one begins).
    void SetDragFolder(const std::string& folder);

    // Opens the image files one after another once the current event is done: an open
    // replaces the document, which must not happen under a command of that document.
    void OpenFilesLater(const std::vector<std::string>& paths);

    // The class of each document's second view (the list pane), made by the document itself.
    void SetSecondViewClass(wxClassInfo* info) { m_pSecondView = info; }
    wxClassInfo* GetSecondViewClass() const { return m_pSecondView; }
    RecentFiles* GetRecentFiles() const;

    // The start-up New: no dialog, an empty document.
    bool NewEmptyDocument();
    // File > New as the user chooses it: the disk-type dialog first; Cancel leaves everything
    // as it was. Returns whether a new disk was made.
    bool NewDiskWithDialog();

    // Opening a file reads it first: a file that is no disk image is refused with the reason
    // and the open disk stays; only then is the old document closed.
    wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
    // The image CreateDocument read for the document now opening path (none otherwise).
    OpenedImage TakeOpenedImage(const wxString& path);
    // Recent files are remembered by their absolute, normalised path.
    void AddFileToHistory(const wxString& file) override;
    static wxString NormalisedPath(const wxString& path);
    wxString MakeNewDocumentName() override;
    wxString MakeFrameTitle(wxDocument* doc) override;
    wxFileHistory* OnCreateFileHistory() override;
    // The open dialog: "*.d88" first, then every file (".d20" images are chosen there).
    wxDocTemplate* SelectDocumentPath(wxDocTemplate** templates, int noTemplates, wxString& path,
                                      long flags, bool save = false) override;

    static wxString OpenFilter();

protected:
    bool TryBefore(wxEvent& event) override;
    // A recent file that is gone: our own message, and it leaves the list.
    void OnMRUFileNotExist(unsigned n, const wxString& filename) override;

private:
    void OnNew(wxCommandEvent& event);
    void OnUpdateUndo(wxUpdateUIEvent& event);

    SessionState m_session;
    std::unique_ptr<TransferFolder> m_pTransfers;
    CClipboardWatch m_clipboard;
    std::string m_clipboardFolder;
    std::string m_dragFolder;
    wxClassInfo* m_pSecondView = nullptr;
    OpenedImage m_opened;

    wxDECLARE_EVENT_TABLE();
};
