#include "doc/RecentFiles.h"

#include <wx/app.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/menu.h>

#include "doc/DocText.h"

namespace {
const char* const kPlaceholder = N_("Recent File");
const char* const kPrompt = N_("Open this file");
const char* const kSection = "Recent File List";
} // namespace

RecentFiles::RecentFiles() : wxFileHistory(kMaxFiles, wxID_FILE1) {}

RecentFiles::~RecentFiles() {
    *m_alive = false;
}

void RecentFiles::SetPlace(wxMenu* menu) {
    m_menu = menu;
    m_place = 0;
    if (!menu)
        return;
    const wxMenuItemList& items = menu->GetMenuItems();
    size_t index = 0;
    for (wxMenuItemList::const_iterator it = items.begin(); it != items.end(); ++it, ++index) {
        if ((*it)->GetId() == wxID_FILE1) {
            m_place = index;
            break;
        }
    }
    Refresh();
}

void RecentFiles::AddFileToHistory(const wxString& file) {
    wxFileHistoryBase::AddFileToHistory(file);
    Refresh();
    // wx's GTK part also tells the desktop's recent-file store, which reads and rewrites its
    // file: once the window is up, not while it starts. Replayed in order, the calls leave
    // the list as it is; a file the list dropped meanwhile stays out.
    wxTheApp->CallAfter([this, alive = m_alive, file] {
        for (size_t i = 0; *alive && i < GetCount(); ++i)
            if (GetHistoryFile(i) == file) {
                wxFileHistory::AddFileToHistory(file);
                Refresh();
                return;
            }
    });
}

void RecentFiles::RemoveFileFromHistory(size_t i) {
    wxFileHistory::RemoveFileFromHistory(i);
    Refresh();
}

void RecentFiles::Load(const wxConfigBase& config) {
    while (GetCount() > 0)
        wxFileHistory::RemoveFileFromHistory(0);
    // Oldest first, so the first entry ends up on top.
    for (int i = kMaxFiles; i >= 1; --i) {
        wxString file;
        // The base class's list only: wx's GTK part would also hand every remembered file to
        // the desktop's recent-file store, which reads and rewrites its file at every start.
        if (config.Read(wxString::Format("/%s/File%d", kSection, i), &file) && !file.empty())
            wxFileHistoryBase::AddFileToHistory(file);
    }
    Refresh();
}

void RecentFiles::Save(wxConfigBase& config) {
    for (int i = 1; i <= kMaxFiles; ++i) {
        const wxString key = wxString::Format("/%s/File%d", kSection, i);
        if (static_cast<size_t>(i) <= GetCount())
            config.Write(key, GetHistoryFile(i - 1));
        else
            config.DeleteEntry(key, false);
    }
}

wxString RecentFiles::EntryLabel(size_t i) const {
    wxString path = GetHistoryFile(i);
    if (path.length() > kMaxLabelChars) {
        const wxString name = wxFileName(path).GetFullName();
        const wxString shortened = "...";
        path = name.length() + shortened.length() + 1 <= kMaxLabelChars
                   ? shortened + wxFileName::GetPathSeparator() + name
                   : name;
    }
    path.Replace("&", "&&");
    return wxString::Format("&%zu %s", i + 1, path);
}

void RecentFiles::Refresh() {
    if (!m_menu)
        return;
    for (int id = wxID_FILE1; id < wxID_FILE1 + kMaxFiles; ++id)
        if (wxMenuItem* item = m_menu->FindChildItem(id))
            m_menu->Destroy(item);
    if (GetCount() == 0) {
        m_menu->Insert(m_place, wxID_FILE1, Tr(kPlaceholder), Tr(kPrompt))->Enable(false);
        return;
    }
    for (size_t i = 0; i < GetCount(); ++i)
        m_menu->Insert(m_place + i, wxID_FILE1 + static_cast<int>(i), EntryLabel(i), Tr(kPrompt));
}
