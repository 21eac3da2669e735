#pragma once

#include <wx/artprov.h>

// The tool bar's icons, drawn for this program at 16, 24 and 32 pixels
// (scripts/draw-toolbar-icons.py), so that they read the same on every desktop theme: art ids
// "darvex-<name>" (darvex-new, darvex-extract ...), which the XRC tool bar asks for.
class CToolBarArt : public wxArtProvider {
public:
    static constexpr const char* kPrefix = "darvex-";

protected:
    wxBitmapBundle CreateBitmapBundle(const wxArtID& id, const wxArtClient& client,
                                      const wxSize& size) override;
};
