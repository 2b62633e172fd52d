#pragma once

#include <QIcon>
#include <memory>

#include "shared/platform/port.h"

class QApplication;

// The Qt adapter of the platform port: message boxes, file dialogs, the tray
// icon and the help viewer.  Clock, files and program start stay with the
// platform's own adapter.  Both interactive programs install it once, after
// creating their QApplication.
namespace tlv::desktop {

class QtPlatform {
public:
    QtPlatform();
    ~QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // The pictures the tray shows: the window's icon and the busy icon.
    void set_tray_pictures(const QIcon& window_icon, const QIcon& busy_icon);

private:
    struct Services;
    std::unique_ptr<Services> services_;
    port::Services previous_;
};

// The application as a pilot meets it on any platform: Dutch standard buttons
// and dialogs (Qt's own translations, Dutch number formats), and an Alt+letter
// that no access key takes never typed into a text field (as on Windows,
// where such a key makes no character).
void prepare_application(QApplication& application);

}  // namespace tlv::desktop
