#pragma once

#include <array>

#include <wx/docview.h>
#include <wx/treebase.h>

#include "fs/DirTree.h"

class wxTreeCtrl;
class wxTreeEvent;
class wxFocusEvent;

// The tree pane: a view over the frame's tree control. It fills the tree from the document's
// disk and keeps the table from its nodes to their directories; selecting a node has the
// document show that directory.
class CLeftView : public wxView {
public:
    bool OnCreate(wxDocument* doc, long flags) override;
    bool OnClose(bool deleteWindow) override;
    void OnDraw(wxDC* dc) override;
    void OnUpdate(wxView* sender, wxObject* hint) override;
    void OnChangeFilename() override;

    int GetTreeCount() const { return m_nTreeCount; }
    wxTreeItemId GetTreeItem(int node) const { return m_hTreeItem[node]; }
    int GetTreeDirSector(int node) const { return m_nTreeDirSector[node]; }

protected:
    // Routing is the document manager's (pane, then document); nothing is passed on here.
    bool TryBefore(wxEvent&) override { return false; }

private:
    void FillTree();
    void SelectCurrentDirectory();
    void OnSelChanged(wxTreeEvent& event);
    void OnFocus(wxFocusEvent& event);

    wxTreeCtrl* m_pTree = nullptr;
    std::array<wxTreeItemId, kMaxTreeNodes> m_hTreeItem;
    std::array<int, kMaxTreeNodes> m_nTreeDirSector{};
    int m_nTreeCount = 0;
    bool m_bSelecting = false; // the selection is being made to follow the document

    wxDECLARE_DYNAMIC_CLASS(CLeftView);
};
