#include "desktop/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace tlv::desktop {

int to_pixels(int twips, double logical_dpi) {
    return static_cast<int>(std::lround(twips * logical_dpi / 1440.0));
}

int twips(int value) {
    QScreen* screen = QGuiApplication::primaryScreen();
    return to_pixels(value, screen ? screen->logicalDotsPerInch() : 96.0);
}

QRect twips_rect(int left, int top, int width, int height) {
    return {twips(left), twips(top), twips(width), twips(height)};
}

}  // namespace tlv::desktop
