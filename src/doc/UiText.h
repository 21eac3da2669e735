#pragma once

#include <string>

struct LoadReport;

// The desktop program's captions, questions and notes: its texts that belong to no operation's
// result (those are in fs/Messages.h and host/ImageFileError.h).
enum class UiText {
    ErrorCaption,            // caption of every failure message box
    AppCaption,              // caption of the save prompt and of notes after an open
    DeleteCaption,           // caption of the delete question
    DeleteQuestion,          // the delete command's confirmation
    SaveLosesSectorInfo,     // the load report says a save normalises the file
    SaveChangesPrompt,       // "%s": the document title
    ChangedOnDisk,           // the file changed on disk since it was read ("%s": its name)
    ReplaceQuestion,         // an extraction's output exists ("%s": its path)
    NoMzFileSystem,          // the tree's root and the usage pane of a disk without one
    RecentFileGone,          // a recent file that no longer exists ("%s": its path)
    NamedFile,               // "%s": the name of the file a message that follows is about
    DiskTakesNoFiles,        // files dropped or pasted on a disk open read-only
    NotLocalFiles,           // a drop or paste named items that are no local files
    NoTransferFolder,        // no folder to export dragged or copied files into ("%s": why)
    TextNotFound,            // the file viewer's find ("%s": the text sought)
    ListingSaveFailed,       // the file viewer could not save its listing (the reason follows)
    PrintFailed,             // darvex -p / -pt: nothing was printed (no printer, an error)
    UndoHistoryLost,         // the disk no longer matches the undo history, which is cleared
    DiskNameNotEncodable,    // a disk name with characters Shift-JIS lacks
    DiskNameTooLong,         // a disk name longer than the D88 header holds
    ProtectedDeleteQuestion, // "%s": the protected files among those to delete, one a line
    ProtectedRenameQuestion, // "%s": the protected file about to be renamed
};
inline constexpr UiText kLastUiText = UiText::ProtectedRenameQuestion;

// The text in the user's language (an English msgid of the catalog, fs/Translation.h).
std::string UiMessage(UiText text);

// The warning after loading: UiText::SaveLosesSectorInfo, and a line for each kind of record a
// save of the changed disk would lose; empty when a save writes what was read.
std::string LoadWarningUi(const LoadReport& report);
