#include "doc/DarvexDocManager.h"

#include <filesystem>

#include <wx/app.h>
#include <wx/filedlg.h>

#include "doc/DocText.h"
#include "doc/MessageBox.h"
#include "doc/NewDiskDlg.h"
#include "doc/RecentFiles.h"
#include "doc/UiText.h"
#include "host/TransferFolder.h"

// clang-format off
wxBEGIN_EVENT_TABLE(DarvexDocManager, wxDocManager)
    EVT_MENU(wxID_NEW, DarvexDocManager::OnNew)
    EVT_UPDATE_UI(wxID_UNDO, DarvexDocManager::OnUpdateUndo)
    EVT_UPDATE_UI(wxID_REDO, DarvexDocManager::OnUpdateUndo)
wxEND_EVENT_TABLE();
// clang-format on

// wxDocManager(flags, true) would create the file history from its constructor, before our
// OnCreateFileHistory is in force; the caller runs Initialize() instead.
DarvexDocManager::DarvexDocManager()
    : wxDocManager(0, false),
      // Sweeps the folders of earlier runs that ended without removing theirs (killed).
      m_pTransfers(std::make_unique<TransferFolder>(TransferFolder::DefaultBase())) {
    SetMaxDocsOpen(1);
}

DarvexDocManager::~DarvexDocManager() = default;

void DarvexDocManager::SetClipboardFolder(const std::string& folder) {
    if (m_clipboardFolder != folder)
        m_pTransfers->Remove(m_clipboardFolder);
    m_clipboardFolder = folder;
}

void DarvexDocManager::SetDragFolder(const std::string& folder) {
    if (m_dragFolder != folder)
        m_pTransfers->Remove(m_dragFolder);
    m_dragFolder = folder;
}

void DarvexDocManager::OpenFilesLater(const std::vector<std::string>& paths) {
    if (paths.empty())
        return;
    CallAfter([this, paths] {
        for (const std::string& path : paths)
            CreateDocument(wxString::FromUTF8(path), wxDOC_SILENT);
    });
}

RecentFiles* DarvexDocManager::GetRecentFiles() const {
    return static_cast<RecentFiles*>(GetFileHistory());
}

bool DarvexDocManager::NewEmptyDocument() {
    m_session.pendingNewType = -1;
    return CreateDocument(wxString(), wxDOC_NEW) != nullptr;
}

bool DarvexDocManager::NewDiskWithDialog() {
    CNewDiskDlg dialog(wxTheApp->GetTopWindow());
    dialog.SetSelection(0);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    m_session.pendingNewType = dialog.GetDiskType();
    wxDocument* doc = CreateDocument(wxString(), wxDOC_NEW);
    m_session.pendingNewType = -1;
    return doc != nullptr;
}

wxDocument* DarvexDocManager::CreateDocument(const wxString& path, long flags) {
    if (flags & wxDOC_NEW)
        return wxDocManager::CreateDocument(path, flags);
    wxString chosen = path;
    if (chosen.empty()) {
        if (GetTemplates().empty())
            return nullptr;
        wxDocTemplate* templates[] = {
            static_cast<wxDocTemplate*>(GetTemplates().GetFirst()->GetData())};
        if (!SelectDocumentPath(templates, 1, chosen, flags))
            return nullptr;
    }
    chosen = NormalisedPath(chosen);
    OpenedImage image;
    const ImageFileStatus status = CDarvexDoc::ReadImageFile(chosen, image);
    if (!status.Ok()) {
        ShowMessageBox(wxTheApp->GetTopWindow(), wxString::FromUTF8(status.UiMessage()),
                       wxString::FromUTF8(UiMessage(UiText::ErrorCaption)), wxOK | wxICON_NONE);
        return nullptr;
    }
    m_opened = std::move(image);
    wxDocument* doc = wxDocManager::CreateDocument(chosen, flags);
    m_opened = OpenedImage();
    // A failed open has already closed the old document: leave an empty one behind so the
    // window, its title and the command states stay coherent.
    if (!doc && GetDocuments().empty() && !(flags & wxDOC_NEW))
        NewEmptyDocument();
    return doc;
}

OpenedImage DarvexDocManager::TakeOpenedImage(const wxString& path) {
    if (m_opened.path != path)
        return OpenedImage();
    return std::move(m_opened);
}

wxString DarvexDocManager::NormalisedPath(const wxString& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(path.utf8_string()), ec);
    if (ec)
        return path;
    // ".." is resolved through the links it passes, as the system does; the rest by name only,
    // so that a link the user chose keeps its own name.
    fs::path normal = absolute.lexically_normal();
    for (const fs::path& part : absolute)
        if (part == "..") {
            normal = fs::weakly_canonical(absolute, ec);
            if (ec)
                normal = absolute.lexically_normal();
            break;
        }
    std::string text = normal.string();
    if (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return wxString::FromUTF8(text);
}

void DarvexDocManager::AddFileToHistory(const wxString& file) {
    wxDocManager::AddFileToHistory(NormalisedPath(file));
}

void DarvexDocManager::OnMRUFileNotExist(unsigned n, const wxString& filename) {
    const wxString text =
        wxString::Format(wxString::FromUTF8(UiMessage(UiText::RecentFileGone)), filename);
    ShowMessageBox(wxTheApp->GetTopWindow(), text,
                   wxString::FromUTF8(UiMessage(UiText::ErrorCaption)), wxOK | wxICON_NONE);
    RemoveFileFromHistory(n);
}

wxString DarvexDocManager::MakeNewDocumentName() {
    return Tr(doctext::kUntitled);
}

wxString DarvexDocManager::MakeFrameTitle(wxDocument* doc) {
    const wxString app = doctext::kAppName;
    if (!doc)
        return app;
    // The usual mark of unsaved changes on Linux desktops: "*work.d88 - Darvex".
    return (doc->IsModified() ? "*" : "") + doc->GetUserReadableName() + " - " + app;
}

wxFileHistory* DarvexDocManager::OnCreateFileHistory() {
    return new RecentFiles;
}

wxString DarvexDocManager::OpenFilter() {
    // GTK matches patterns case-sensitively: both spellings of each extension.
    return Tr("Darvex Files (*.d88)") + "|*.d88;*.D88|" + Tr("Darvex Files (*.d20)") +
           "|*.d20;*.D20|" + Tr("All Files (*.*)") + "|*";
}

wxDocTemplate* DarvexDocManager::SelectDocumentPath(wxDocTemplate** templates, int noTemplates,
                                                    wxString& path, long, bool) {
    if (noTemplates < 1)
        return nullptr;
    wxFileDialog dialog(wxTheApp->GetTopWindow(), Tr("Open"), GetLastDirectory(), wxString(),
                        OpenFilter(), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) {
        path.clear();
        return nullptr;
    }
    path = dialog.GetPath();
    SetLastDirectory(dialog.GetDirectory());
    return templates[0];
}

bool DarvexDocManager::TryBefore(wxEvent& event) {
    // Stock wx asks the document before the view; the original order is the active pane,
    // then its document. The views' own TryBefore passes nothing on.
    if (wxView* view = GetAnyUsableView()) {
        if (view->ProcessEventLocally(event))
            return true;
        if (wxDocument* doc = view->GetDocument(); doc && doc->ProcessEventLocally(event))
            return true;
    }
    return wxEvtHandler::TryBefore(event);
}

// The document labels and enables Undo and Redo itself, ahead of this; without a document wx's
// own handler would relabel them in English.
void DarvexDocManager::OnUpdateUndo(wxUpdateUIEvent& event) {
    event.Enable(false);
}

void DarvexDocManager::OnNew(wxCommandEvent&) {
    NewDiskWithDialog();
}
