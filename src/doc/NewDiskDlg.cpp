#include "doc/NewDiskDlg.h"

#include <wx/choice.h>
#include <wx/xrc/xmlres.h>

#include "doc/CommandIds.h"
#include "doc/DialogSupport.h"

CNewDiskDlg::CNewDiskDlg(wxWindow* parent) {
    DialogSupport::LoadTemplate(*this, parent, "IDD_NEWDISK");
    m_pType = wxStaticCast(FindWindow(IDC_DISK_TYPE), wxChoice);
}

void CNewDiskDlg::SetSelection(int position) {
    m_nSelection = position;
}

int CNewDiskDlg::GetDiskType() const {
    return m_nSelection >= 1 && m_nSelection <= 3 ? m_nSelection : 0;
}

bool CNewDiskDlg::TransferDataToWindow() {
    m_pType->SetSelection(m_nSelection);
    return true;
}

bool CNewDiskDlg::TransferDataFromWindow() {
    m_nSelection = m_pType->GetSelection();
    return true;
}
