#pragma once

#include <wx/docview.h>

#include "doc/DocHint.h"

class wxFrame;

// A window of its own that shows part of the document (a file's listing, the disk's sectors).
class DocWindow {
public:
    virtual ~DocWindow() = default;
    virtual wxFrame* GetWindow() = 0;
    // The document changed; kind says what (DocHint).
    virtual void DocumentChanged(DocHint::Kind kind) = 0;
    // The view goes with its document and destroys the window: the window must not reach the
    // document any more.
    virtual void ViewGone() = 0;
};

// The view that ties such a window to the document: the window hears of the document's
// changes and closes with it. The view is never made the active one, so the main window's
// commands never reach it; the window handles its own.
class CWindowView : public wxView {
public:
    // Adds the view to doc.
    CWindowView(wxDocument* doc, DocWindow* window);
    ~CWindowView() override;

    DocWindow* GetDocWindow() const { return m_window; }
    // The window closes by the user's choice and is gone before the view.
    void ReleaseWindow() { m_window = nullptr; }

    // Closing the window is not closing the document.
    bool OnClose(bool) override { return true; }
    void OnDraw(wxDC*) override {}
    void OnUpdate(wxView* sender, wxObject* hint) override;
    // The main window's title is the tree pane's.
    void OnChangeFilename() override {}

protected:
    bool TryBefore(wxEvent&) override { return false; }

private:
    DocWindow* m_window;
};
