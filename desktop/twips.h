#pragma once

#include <QRect>

class QWidget;

// Form geometry is given in twips, as the forms were laid out.  One mapping
// serves all forms: pixels = twips x logical DPI / 1440, rounded (15 twips a
// pixel at 96 DPI).
namespace tlv::desktop {

int to_pixels(int twips, double logical_dpi);

// With the primary screen's logical DPI (96 without a screen).
int twips(int value);
QRect twips_rect(int left, int top, int width, int height);

// The dialogs were designed by their outer size, frame and title bar
// included, and are laid out with that size as their client size.  Once the
// window system has framed the shown window, the client gives up what the
// frame takes, so that the outer size is the designed one, but never so much
// that a control would be cut.  Without a frame (offscreen) nothing changes.
void keep_designed_outer_size(QWidget* window);

}  // namespace tlv::desktop
