#include "ui/WindowView.h"

#include <wx/frame.h>

CWindowView::CWindowView(wxDocument* doc, DocWindow* window) : m_window(window) {
    SetDocument(doc);
    SetFrame(window->GetWindow());
}

CWindowView::~CWindowView() {
    if (m_window) {
        m_window->ViewGone();
        m_window->GetWindow()->Destroy();
    }
}

void CWindowView::OnUpdate(wxView*, wxObject* hint) {
    const DocHint::Kind kind = DocHint::KindOf(hint);
    if (m_window && kind != DocHint::None)
        m_window->DocumentChanged(kind);
}
