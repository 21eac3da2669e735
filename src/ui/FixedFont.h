#pragma once

#include <wx/font.h>

// The font of listings and hex rows, on screen and on paper: a fixed-pitch face that shows
// Japanese, whose half-width characters (ASCII and kana) take one cell and full-width ones two,
// so that columns stay aligned. IPA Gothic's fixed face where it is installed, else the
// desktop's monospace font.
wxFont FixedPitchFont(int points);
