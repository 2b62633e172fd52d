#include "desktop/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
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

namespace {

// The least client size that cuts none of the window's visible controls.
QSize contents_extent(const QWidget* window) {
    QRect extent;
    for (const QWidget* child :
         window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isVisible() && child->geometry().right() >= 0) extent |= child->geometry();
    return {extent.right() + 2, extent.bottom() + 2};
}

void give_up_frame(QWidget* window, const QMargins& frame) {
    QSize client =
        (window->size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom()))
            .expandedTo(contents_extent(window));
    if (window->minimumSize() == window->maximumSize()) {
        window->setFixedSize(client);
    } else {
        window->resize(client);
    }
}

}  // namespace

// The frame is known only some moments after the window is shown (the window
// manager reparents it): it is asked for a few times, then given up on.
void keep_designed_outer_size(QWidget* window) {
    if (window->property("tolvane-outer-size").toBool()) return;  // once per window
    window->setProperty("tolvane-outer-size", true);
    auto* poll = new QTimer(window);
    poll->setInterval(50);
    QObject::connect(poll, &QTimer::timeout, window, [window, poll, tries = 0]() mutable {
        QMargins frame =
            window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
        if (frame.isNull() && ++tries < 20) return;
        poll->deleteLater();
        if (!frame.isNull()) give_up_frame(window, frame);
    });
    poll->start();
}

}  // namespace tlv::desktop
