#pragma once

#include <memory>

#include <wx/filehistory.h>

class wxMenu;

// The four-entry recent-file list, shown where the File menu holds its "最近使ったﾌｧｲﾙ"
// placeholder (wx's own menu handling would append it at the end of the menu instead). The
// placeholder stands, disabled, while the list is empty.
class RecentFiles : public wxFileHistory {
public:
    static constexpr int kMaxFiles = 4;
    static constexpr std::size_t kMaxLabelChars = 30;

    RecentFiles();
    ~RecentFiles() override;

    // menu holds the placeholder item (id wxID_FILE1) where the entries go.
    void SetPlace(wxMenu* menu);

    void AddFileToHistory(const wxString& file) override;
    void RemoveFileFromHistory(size_t i) override;
    // Stored in the section "Recent File List" as "File1" ... "File4".
    void Load(const wxConfigBase& config) override;
    void Save(wxConfigBase& config) override;

    // The menu text of entry i: "&1 " and the path, cut to 30 characters from its left end.
    wxString EntryLabel(size_t i) const;

private:
    void Refresh();

    wxMenu* m_menu = nullptr;
    size_t m_place = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true); // for calls made later
};
