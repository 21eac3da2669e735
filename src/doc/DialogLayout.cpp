#include "doc/DialogLayout.h"

#include <algorithm>
#include <vector>

#include <wx/dialog.h>
#include <wx/stattext.h>

namespace {

bool IsLabel(const wxWindow* window) {
    return window->IsKindOf(wxCLASSINFO(wxStaticText));
}

} // namespace

void FitDialogUnits(wxDialog* dialog, const wxSize& dialogUnits) {
    struct Placed {
        wxWindow* window;
        wxRect original;
        wxRect now;
    };
    std::vector<Placed> placed;
    for (wxWindow* child : dialog->GetChildren())
        placed.push_back({child, child->GetRect(), child->GetRect()});
    std::sort(placed.begin(), placed.end(),
              [](const Placed& a, const Placed& b) { return a.original.y < b.original.y; });

    // Grow what GTK draws larger than the template allows, and move everything that lay wholly
    // below a grown control down by as much, whichever column it is in: a label and its field
    // stay on one row.
    for (std::size_t i = 0; i < placed.size(); ++i) {
        Placed& p = placed[i];
        const wxSize best = p.window->GetBestSize();
        p.now.width = std::max(p.now.width, best.x);
        p.now.height = std::max(p.now.height, best.y);
        int down = 0;
        for (std::size_t j = 0; j < i; ++j) {
            const Placed& above = placed[j];
            if (p.original.y > above.original.GetBottom())
                down = std::max(down, above.now.GetBottom() - above.original.GetBottom());
        }
        p.now.y = p.original.y + down;
    }
    // A label beside a field that grew is centred on it, as the template centred it on the
    // smaller one.
    for (Placed& label : placed) {
        if (!IsLabel(label.window))
            continue;
        const int centre = label.original.y + label.original.height / 2;
        for (const Placed& field : placed) {
            if (IsLabel(field.window) || field.original.x <= label.original.GetRight() ||
                centre < field.original.y || centre > field.original.GetBottom())
                continue;
            label.now.y = field.now.y + (field.now.height - label.now.height) / 2;
            break;
        }
    }
    for (const Placed& p : placed)
        p.window->SetSize(p.now);

    wxSize client = dialog->ConvertDialogToPixels(dialogUnits);
    const int margin = dialog->ConvertDialogToPixels(wxSize(4, 4)).y;
    for (const Placed& p : placed) {
        client.x = std::max(client.x, p.now.GetRight() + 1 + margin);
        client.y = std::max(client.y, p.now.GetBottom() + 1 + margin);
    }
    dialog->SetClientSize(client);
    dialog->CentreOnParent();
}
