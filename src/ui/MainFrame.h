#pragma once

#include <wx/docview.h>
#include <wx/timer.h>

#include "doc/DocumentHost.h"

class wxListCtrl;
class wxSplitterWindow;
class wxTreeCtrl;
class wxDropFilesEvent;

// The main window: menus, tool bar, status bar and the splitter with the tree and list
// controls, which it owns for its whole life (the views of each document attach to them).
class CMainFrame : public wxDocParentFrame, public DocumentHost {
public:
    // Status bar panes, left to right.
    enum Pane { kPaneMessage, kPaneSpace, kPaneKana, kPaneCaps, kPaneNum, kPaneScroll, kPanes };
    static constexpr int kLeftPaneWidth = 200;
    static constexpr int kDefaultWidth = 900;
    static constexpr int kDefaultHeight = 560;

    explicit CMainFrame(wxDocManager* manager);
    ~CMainFrame() override;

    wxTreeCtrl* GetTreeCtrl() const override { return m_pTree; }
    wxListCtrl* GetListCtrl() const override { return m_pList; }
    void SetSpaceText(const wxString& text) override;
    wxSplitterWindow* GetSplitter() const { return m_splitter; }

    // Opens each file as the document in turn, as a drop on the window does.
    void OpenDroppedFiles(const wxArrayString& files);

    // Reads the lock keys now (a timer does it while the program runs).
    void PollLockKeys();

private:
    void CreateStatusPanes();
    wxSize DefaultSize() const;
    void RestoreGeometry();
    void SaveGeometry();
    long ListViewStyle(int id) const;

    void OnListStyle(wxCommandEvent& event);
    void OnUpdateListStyle(wxUpdateUIEvent& event);
    void OnViewToolBar(wxCommandEvent& event);
    void OnUpdateViewToolBar(wxUpdateUIEvent& event);
    void OnViewStatusBar(wxCommandEvent& event);
    void OnUpdateViewStatusBar(wxUpdateUIEvent& event);
    void OnNextPane(wxCommandEvent& event);
    void OnUpdateAlwaysEnabled(wxUpdateUIEvent& event);
    void OnDropFiles(wxDropFilesEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnLockTimer(wxTimerEvent& event);

    wxSplitterWindow* m_splitter = nullptr;
    wxTreeCtrl* m_pTree = nullptr;
    wxListCtrl* m_pList = nullptr;
    wxTimer m_lockTimer;

    wxDECLARE_EVENT_TABLE();
};
