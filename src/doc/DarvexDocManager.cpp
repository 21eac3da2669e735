#include "doc/DarvexDocManager.h"

#include <wx/app.h>
#include <wx/filedlg.h>

#include "doc/DocText.h"
#include "doc/NewDiskDlg.h"
#include "doc/RecentFiles.h"

// clang-format off
wxBEGIN_EVENT_TABLE(DarvexDocManager, wxDocManager)
    EVT_MENU(wxID_NEW, DarvexDocManager::OnNew)
    EVT_UPDATE_UI(wxID_UNDO, DarvexDocManager::OnUpdateUndo)
wxEND_EVENT_TABLE();
// clang-format on

// wxDocManager(flags, true) would create the file history from its constructor, before our
// OnCreateFileHistory is in force; the caller runs Initialize() instead.
DarvexDocManager::DarvexDocManager() : wxDocManager(0, false) {
    SetMaxDocsOpen(1);
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
    wxDocument* doc = wxDocManager::CreateDocument(path, flags);
    // A failed open has already closed the old document: leave an empty one behind so the
    // window, its title and the command states stay coherent.
    if (!doc && GetDocuments().empty() && !(flags & wxDOC_NEW))
        NewEmptyDocument();
    return doc;
}

wxString DarvexDocManager::MakeNewDocumentName() {
    return Tr(doctext::kUntitled);
}

wxString DarvexDocManager::MakeFrameTitle(wxDocument* doc) {
    const wxString app = doctext::kAppName;
    return doc ? doc->GetUserReadableName() + " - " + app : app;
}

wxFileHistory* DarvexDocManager::OnCreateFileHistory() {
    return new RecentFiles;
}

wxString DarvexDocManager::OpenFilter() {
    return Tr("Darvex Files (*.d88)") + "|*.d88|" + Tr("All Files (*.*)") + "|*";
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

// wx's own handler would enable Undo from the command processor and relabel it in English;
// this program has no undo.
void DarvexDocManager::OnUpdateUndo(wxUpdateUIEvent& event) {
    event.Enable(false);
}

void DarvexDocManager::OnNew(wxCommandEvent&) {
    NewDiskWithDialog();
}
