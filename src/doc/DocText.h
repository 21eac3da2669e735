#pragma once

#include <wx/translation.h>

#include "fs/Translation.h"

// Names and titles of the desktop program, as English msgids of its catalog (po/). Messages are
// not here: they come from the core's tables (fs/Messages.h, host/ImageFileError.h) and
// doc/UiText.h.
namespace doctext {

// The program's catalog. wx's own texts come from wx's catalog (wxstd); naming ours keeps the
// two apart where both have a msgid ("Cancel" reads "ｷｬﾝｾﾙ" in our dialogs, "キャンセル" in wx's).
inline constexpr const char* kCatalog = "darvex";

inline constexpr const char* kAppName = "Darvex";
inline constexpr const char* kUntitled = N_("Untitled");
inline constexpr const char* kSaveAsTitle = N_("Save As");

// The Edit menu's undo and redo items, plain and naming the step they take back or make again.
inline constexpr const char* kUndo = N_("&Undo");
inline constexpr const char* kRedo = N_("&Redo");
inline constexpr const char* kUndoStep = N_("&Undo: %s");
inline constexpr const char* kRedoStep = N_("&Redo: %s");
// The steps' names.
inline constexpr const char* kStepAddFile = N_("Add File");
inline constexpr const char* kStepDelete = N_("Delete");
inline constexpr const char* kStepRegisterBoot = N_("Register Boot Program");
inline constexpr const char* kStepDiskInfo = N_("Disk Information");
// The tree's node of each disk of a file of several: its number, then its name and state.
inline constexpr const char* kDiskNode = N_("Disk %d");
inline constexpr const char* kDiskDamaged = N_("(damaged)");

} // namespace doctext

// msgid (UTF-8) in the user's language, from the program's catalog.
inline wxString Tr(const char* msgid) {
    return wxGetTranslation(wxString::FromUTF8(msgid), doctext::kCatalog);
}
