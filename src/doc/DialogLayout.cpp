#include "doc/DialogLayout.h"

#include <algorithm>

#include <wx/dialog.h>

void FitDialogUnits(wxDialog* dialog, const wxSize& dialogUnits) {
    wxSize client = dialog->ConvertDialogToPixels(dialogUnits);
    const int margin = dialog->ConvertDialogToPixels(wxSize(4, 4)).y;
    for (wxWindow* child : dialog->GetChildren()) {
        const wxRect r = child->GetRect();
        client.x = std::max(client.x, r.GetRight() + 1 + margin);
        client.y = std::max(client.y, r.GetBottom() + 1 + margin);
    }
    dialog->SetClientSize(client);
    dialog->CentreOnParent();
}
