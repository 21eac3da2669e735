#pragma once

#include <cstddef>
#include <functional>

#include <wx/cmdproc.h>

#include "doc/DocHint.h"
#include "fs/DiskChange.h"

// One step of the undo history: a change already made to the disk, named for the Edit menu.
// Undo and Do (redo) hand the change back to the document, which applies it to its disk and
// tells its views.
class DiskChangeCommand : public wxCommand {
public:
    // undo: true to take the change back, false to make it again; false when it could not.
    using Replay = std::function<bool(const DiskChange& change, bool undo, DocHint::Kind hint)>;

    DiskChangeCommand(const wxString& name, DiskChange change, DocHint::Kind hint, Replay replay)
        : wxCommand(true, name), m_change(std::move(change)), m_hint(hint),
          m_replay(std::move(replay)) {}

    bool Do() override { return m_replay(m_change, false, m_hint); }
    bool Undo() override { return m_replay(m_change, true, m_hint); }

    // The memory the step holds.
    std::size_t Bytes() const {
        return sizeof(*this) + m_change.Bytes() + GetName().length() * sizeof(wxUniChar);
    }

private:
    DiskChange m_change;
    DocHint::Kind m_hint;
    Replay m_replay;
};
