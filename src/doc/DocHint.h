#pragma once

#include <vector>

#include <wx/object.h>

// What changed in the document, for the views' OnUpdate: each view refreshes what shows it.
class DocHint : public wxObject {
public:
    enum Kind {
        None,            // wx's own update after an open: the document has sent its hint
        WholeDisk,       // another disk, or none: tree, list and usage
        DirectoryListed, // another directory became current: the list
        EntriesChanged,  // entries of the current directory changed: the list and usage
        UsageChanged,    // only the allocation changed (the boot program): usage
    };

    explicit DocHint(Kind kind) : m_kind(kind) {}

    // wx's own updates carry no hint; every change of ours sends one, so they need nothing.
    static Kind KindOf(const wxObject* hint) {
        const auto* ours = dynamic_cast<const DocHint*>(hint);
        return ours ? ours->m_kind : None;
    }

private:
    Kind m_kind;
};

// The list pane's part the document's file commands need: which entries the user selected.
class EntrySelection {
public:
    virtual ~EntrySelection() = default;
    // Entry indices of the current directory, in ascending row order.
    virtual std::vector<int> SelectedEntries() const = 0;
};
