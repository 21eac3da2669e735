#include "ui/LeftView.h"

#include <wx/frame.h>
#include <wx/treectrl.h>

#include "doc/DarvexDoc.h"
#include "doc/DocumentHost.h"

wxIMPLEMENT_DYNAMIC_CLASS(CLeftView, wxView);

bool CLeftView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags))
        return false;
    DocumentHost* host = AttachViewToHost(this);
    if (!host)
        return false;
    m_pTree = host->GetTreeCtrl();
    // Bound with the view as the sink: unbound when the view is deleted with its document.
    m_pTree->Bind(wxEVT_TREE_SEL_CHANGED, &CLeftView::OnSelChanged, this);
    m_pTree->Bind(wxEVT_SET_FOCUS, &CLeftView::OnFocus, this);
    Activate(true);
    return true;
}

bool CLeftView::OnClose(bool) {
    // The frame and its controls outlive the view; closing the document is the manager's.
    return true;
}

void CLeftView::OnDraw(wxDC*) {}

void CLeftView::OnChangeFilename() {
    if (wxWindow* frame = GetFrame())
        frame->SetLabel(GetDocumentManager()->MakeFrameTitle(GetDocument()));
}

void CLeftView::OnSelChanged(wxTreeEvent& event) {
    if (auto* doc = wxDynamicCast(GetDocument(), CDarvexDoc))
        doc->OnTreeSelChanged(event.GetItem());
    event.Skip();
}

void CLeftView::OnFocus(wxFocusEvent& event) {
    Activate(true);
    event.Skip();
}
