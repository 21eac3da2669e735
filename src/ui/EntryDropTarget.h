#pragma once

#include <wx/dnd.h>
#include <wx/treebase.h>

#include "doc/TransferData.h"

class CDarvexDoc;
class wxDocManager;
class wxDocument;

// The drop target of the file list (the current directory) and of the directory tree (the
// directory of the node under the pointer; the current one below the last node). It takes
// the program's own pack from another window and files from a file manager, and hands them to
// the document once the drop has ended, so that the dialogs a drop opens never hold up the
// program the files came from.
class CEntryDropTarget : public wxDropTarget {
public:
    enum class Pane { List, Tree };

    CEntryDropTarget(wxWindow* control, Pane pane, wxDocManager* manager);

    wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult def) override;
    wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult def) override;
    void OnLeave() override;
    bool OnDrop(wxCoord x, wxCoord y) override;
    wxDragResult OnData(wxCoord x, wxCoord y, wxDragResult def) override;

    // OnData once the data object holds what arrived: the directory at (x, y) takes it after
    // the drop (shift: images are added as files rather than opened). wxDragNone when nothing
    // there can take it.
    wxDragResult Received(wxCoord x, wxCoord y, bool shift);
    // The directory a drop at (x, y) of the control goes to; -1 when no MZ disk is open.
    int DirectoryAt(wxCoord x, wxCoord y) const;
    CTransferData& Data() const;

    // While the program's own drag runs: its rows dropped back on the directory they came
    // from would only meet their own names, so that is refused.
    class OwnDrag {
    public:
        OwnDrag(const wxDocument* doc, int dirSector);
        ~OwnDrag();
        OwnDrag(const OwnDrag&) = delete;
        OwnDrag& operator=(const OwnDrag&) = delete;
    };

private:
    CDarvexDoc* Doc() const;
    wxTreeItemId TreeItemAt(wxCoord x, wxCoord y) const;
    bool IsOwnDragBackHome(int dirSector) const;
    void Highlight(const wxTreeItemId& item);

    wxWindow* m_pControl;
    Pane m_pane;
    wxDocManager* m_pManager;
    wxTreeItemId m_highlighted;
};
