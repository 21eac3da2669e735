#pragma once

#include <string>
#include <vector>

#include <wx/dataobj.h>

// What the program offers and takes by drag and drop and through the clipboard, in the order a
// taker should prefer them: the program's own pack of entries (EntryPack) for another of its
// windows, then the exported files as file managers take them, "text/uri-list" and, on the
// clipboard, "x-special/gnome-copied-files".
class CTransferData : public wxDataObjectComposite {
public:
    enum class Kind { None, Pack, Files };

    // What a drop or a paste brought, taken out of the data object.
    struct Payload {
        Kind kind = Kind::None;
        std::vector<unsigned char> pack;
        std::vector<std::string> paths; // local files, in the list's order
        int skipped = 0;                // entries of the list that were no local files
    };

    // Takes any of the formats (a drop target, a paste).
    CTransferData();
    // Offers the pack (when not empty) and the files (when any).
    CTransferData(const std::vector<unsigned char>& pack, const std::vector<std::string>& paths,
                  bool clipboard);

    static wxDataFormat PackFormat();
    static wxDataFormat UriListFormat();
    static wxDataFormat CopiedFilesFormat();

    // What arrived (SetData from a drop or a paste): its kind, the pack's bytes, the local
    // paths of the file list (skipped: how many entries were not local files).
    Kind ReceivedKind() const;
    std::vector<unsigned char> ReceivedPack() const;
    std::vector<std::string> ReceivedPaths(int* skipped = nullptr) const;
    Payload Received() const;

private:
    wxCustomDataObject* m_pPack = nullptr;
    wxCustomDataObject* m_pUriList = nullptr;
    wxCustomDataObject* m_pCopiedFiles = nullptr;
};
