#include "doc/DialogLayout.h"

#include <algorithm>
#include <vector>

#include <wx/dialog.h>

namespace {

bool OverlapHorizontally(const wxRect& a, const wxRect& b) {
    return a.GetLeft() <= b.GetRight() && b.GetLeft() <= a.GetRight();
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

    // Grow what GTK draws larger than the template allows, and move down whatever lay below a
    // grown control so that nothing overlaps.
    const int gap = dialog->ConvertDialogToPixels(wxSize(0, 2)).y;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        Placed& p = placed[i];
        const wxSize best = p.window->GetBestSize();
        p.now.width = std::max(p.now.width, best.x);
        p.now.height = std::max(p.now.height, best.y);
        for (std::size_t j = 0; j < i; ++j) {
            const Placed& above = placed[j];
            if (OverlapHorizontally(p.original, above.original) &&
                p.original.y >= above.original.GetBottom())
                p.now.y = std::max(p.now.y, above.now.GetBottom() + 1 + gap);
        }
        p.window->SetSize(p.now);
    }

    wxSize client = dialog->ConvertDialogToPixels(dialogUnits);
    const int margin = dialog->ConvertDialogToPixels(wxSize(4, 4)).y;
    for (const Placed& p : placed) {
        client.x = std::max(client.x, p.now.GetRight() + 1 + margin);
        client.y = std::max(client.y, p.now.GetBottom() + 1 + margin);
    }
    dialog->SetClientSize(client);
    dialog->CentreOnParent();
}
