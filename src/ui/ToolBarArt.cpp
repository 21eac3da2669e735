#include "ui/ToolBarArt.h"

#include <wx/vector.h>
#include <wx/xrc/xmlres.h>

wxBitmapBundle CToolBarArt::CreateBitmapBundle(const wxArtID& id, const wxArtClient&,
                                               const wxSize&) {
    wxString name;
    if (!id.StartsWith(kPrefix, &name))
        return wxBitmapBundle();
    wxVector<wxBitmap> sizes;
    for (int pixels : {16, 24, 32}) {
        const wxBitmap bitmap =
            wxXmlResource::Get()->LoadBitmap(wxString::Format("TOOL_%s_%d", name.Upper(), pixels));
        if (bitmap.IsOk())
            sizes.push_back(bitmap);
    }
    return wxBitmapBundle::FromBitmaps(sizes);
}
