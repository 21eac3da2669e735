#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fs/EntryPack.h"

class CTransferData;
class DiskImage;
class TransferFolder;
class wxWindow;

// The commands behind drag and drop and the clipboard, on the current directory of a disk:
// what the selected entries are offered as, and what files and packs that arrive do. Each
// asks and reports as the menu commands do (the add-file dialog, the core's messages); the
// document makes each user action one step of undo.
class DiskTransfer {
public:
    struct Offer {
        std::unique_ptr<CTransferData> data; // null when nothing could be offered
        std::string folder;                  // the folder the files were exported into
        std::vector<int> entries;            // the entries offered (those not refused)
    };

    // The entries, in this order, for a drag or the clipboard: each exported under the name
    // the extract command proposes (never hidden, numbered where names meet) into a new folder
    // of `folder`, in exportFormat (0 MZT, 1 BIN), and all of them packed for another window
    // of the program. An entry whose body the export refuses is left out with its message.
    static Offer MakeOffer(wxWindow* owner, const DiskImage& disk, const std::string& imagePath,
                           const std::vector<int>& entries, TransferFolder& folder,
                           int exportFormat, bool clipboard);

    // Adds host files to the current directory, one add-file dialog each; with more than one
    // file the dialog has "すべて OK", which adds that file and the rest with the values
    // proposed for each. Cancel skips one file. True when any file was stored.
    static bool AddHostFiles(wxWindow* owner, DiskImage& disk,
                             const std::vector<std::string>& paths);
    // Stores the files of a pack as they came; a file that cannot be stored is reported with
    // its name and the rest go on. True when any file was stored.
    static bool StorePack(wxWindow* owner, DiskImage& disk,
                          const std::vector<EntryPack::File>& files);
};
