#pragma once

#include <array>

#include <wx/docview.h>
#include <wx/treebase.h>

#include "fs/DirTree.h"

class wxTreeCtrl;
class wxTreeEvent;
class wxFocusEvent;

// The tree pane: a view over the frame's tree control. It fills the tree from the document's
// disk and keeps the table from its nodes to their disks and directories; selecting a node has
// the document show that directory. A file of several disks shows one top node per disk (its
// number and name); the selected disk's node holds its directories.
class CLeftView : public wxView {
public:
    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC* dc) override;
    void OnUpdate(wxView* sender, wxObject* hint) override;
    void OnChangeFilename() override;
    // The tree's directory is printed as the list shows it.
    wxPrintout* OnCreatePrintout() override;

    int GetTreeCount() const { return m_nTreeCount; }
    // Moves the tree's selection as a click would, so the list follows: to the node of the
    // sub-directory at dirSector under the directory shown, or to the parent of the directory
    // shown. False when there is no such node.
    bool OpenChild(int dirSector);
    bool OpenParent();
    wxTreeItemId GetTreeItem(int node) const { return m_hTreeItem[node]; }
    int GetTreeDirSector(int node) const { return m_nTreeDirSector[node]; }
    // The directory a node of the tree shows; -1 for no node of an MZ file system.
    int DirSectorOf(const wxTreeItemId& item) const;
    // The names from the root down to the first node of the directory at dirSector, joined by
    // "/"; empty when no node shows it.
    wxString PathOf(int dirSector) const;
    int GetTreeDisk(int node) const { return m_nTreeDisk[node]; }

protected:
    // Routing is the document manager's (pane, then document); nothing is passed on here.
    bool TryBefore(wxEvent&) override { return false; }

private:
    void FillTree();
    // Appends a node under parent (the root when parent is not set); not set when the table
    // is full.
    wxTreeItemId AddNode(const wxTreeItemId& parent, const wxString& text, int disk, int dirSector);
    // The selected disk's directories under its node.
    void AddDirectories(const wxTreeItemId& diskNode);
    void SelectCurrentDirectory();
    void OnSelChanged(wxTreeEvent& event);
    void OnItemMenu(wxTreeEvent& event);
    // The node of the directory the list shows: the selected one, or the first that matches.
    wxTreeItemId ShownNode() const;
    int SectorOf(const wxTreeItemId& item) const; // -1 for no node of ours
    void Select(const wxTreeItemId& item);
    void OnFocus(wxFocusEvent& event);

    wxTreeCtrl* m_pTree = nullptr;
    std::array<wxTreeItemId, kMaxTreeNodes> m_hTreeItem;
    std::array<int, kMaxTreeNodes> m_nTreeDirSector{};
    std::array<int, kMaxTreeNodes> m_nTreeDisk{};
    int m_nTreeCount = 0;
    bool m_bSelecting = false; // the selection is being made to follow the document

    wxDECLARE_DYNAMIC_CLASS(CLeftView);
};
