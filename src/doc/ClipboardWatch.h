#pragma once

#include <wx/clipbrd.h>
#include <wx/event.h>
#include <wx/timer.h>

// Whether the clipboard holds something Paste takes (the program's pack or a file list), kept
// up to date without waiting: on GTK a clipboard query runs the event loop until the owner
// answers, too slow and too reentrant for every update of the menu and the tool bar. The
// answer is asked for again every second, and at once through Refresh (the window activated,
// a copy of our own).
class CClipboardWatch : public wxEvtHandler {
public:
    CClipboardWatch();
    ~CClipboardWatch() override;

    void Start();
    void Stop();
    // Asks again; the answer arrives through the event loop.
    void Refresh();
    bool CanPaste() const { return m_canPaste; }

private:
    void OnFormats(wxClipboardEvent& event);
    void OnTimer(wxTimerEvent& event);

    wxTimer m_timer;
    bool m_canPaste = false;
};
