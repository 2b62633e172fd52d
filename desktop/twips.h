#pragma once

#include <QRect>

// Form geometry is given in twips, as the forms were laid out.  One mapping
// serves all forms: pixels = twips x logical DPI / 1440, rounded (15 twips a
// pixel at 96 DPI).
namespace tlv::desktop {

int to_pixels(int twips, double logical_dpi);

// With the primary screen's logical DPI (96 without a screen).
int twips(int value);
QRect twips_rect(int left, int top, int width, int height);

}  // namespace tlv::desktop
