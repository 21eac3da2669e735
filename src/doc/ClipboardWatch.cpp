#include "doc/ClipboardWatch.h"

#include "doc/TransferData.h"

namespace {
constexpr int kPollMs = 1000;
} // namespace

CClipboardWatch::CClipboardWatch() : m_timer(this) {
    Bind(wxEVT_CLIPBOARD_CHANGED, &CClipboardWatch::OnFormats, this);
    Bind(wxEVT_TIMER, &CClipboardWatch::OnTimer, this);
}

CClipboardWatch::~CClipboardWatch() {
    m_timer.Stop();
}

void CClipboardWatch::Start() {
    Refresh();
    m_timer.Start(kPollMs);
}

void CClipboardWatch::Stop() {
    m_timer.Stop();
}

void CClipboardWatch::Refresh() {
    // False while an answer is still awaited: that answer comes soon enough.
    wxTheClipboard->IsSupportedAsync(this);
}

void CClipboardWatch::OnFormats(wxClipboardEvent& event) {
    m_canPaste = event.SupportsFormat(CTransferData::PackFormat()) ||
                 event.SupportsFormat(CTransferData::UriListFormat()) ||
                 event.SupportsFormat(CTransferData::CopiedFilesFormat());
}

void CClipboardWatch::OnTimer(wxTimerEvent&) {
    Refresh();
}
