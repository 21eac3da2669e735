#include "ui/FixedFont.h"

#include <wx/fontenum.h>

wxFont FixedPitchFont(int points) {
    static const bool haveIpa = wxFontEnumerator::IsValidFacename("IPAGothic");
    wxFontInfo info(points);
    info.Family(wxFONTFAMILY_TELETYPE);
    if (haveIpa)
        info.FaceName("IPAGothic");
    return wxFont(info);
}
