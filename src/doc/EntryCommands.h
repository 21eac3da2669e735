#pragma once

#include <string>

#include "fs/ResultCodes.h"

class CDarvexDoc;
class wxWindow;

// The commands that change one entry of the current directory in place: renaming and the
// file-information edit. Each makes its core calls as one step of the document (ApplyChange)
// and reports a refusal with the core's message.
class EntryCommands {
public:
    // Renames entryIndex to nameUtf8; a protected file after one more question (Cancel there:
    // RenameResult::Protected, nothing said and nothing changed).
    static RenameResult Rename(wxWindow* owner, CDarvexDoc& doc, int entryIndex,
                               const std::string& nameUtf8);
    // Whether a refusal of Rename is the name's, which the user may correct and try again.
    static bool IsNameRefusal(RenameResult result);

    // The file-information dialog for entryIndex; OK applies what the user changed. True when
    // the entry changed.
    static bool EditInfo(wxWindow* owner, CDarvexDoc& doc, int entryIndex);
};
