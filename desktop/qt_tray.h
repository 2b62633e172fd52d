#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "shared/platform/port.h"

namespace tlv::desktop {

// The tray icon on QSystemTrayIcon.  Its activations come back to the owner
// as the tray's mouse codes: a click as 514, a double click as 515, the
// context request as 517.  Without a system tray it takes no command.
class QtTrayIcons final : public QObject, public port::TrayIcons {
    Q_OBJECT
public:
    bool notify(port::TrayCommand command, const port::NotifyIconData& data) override;
    void set_mouse_handler(std::function<void(int)> handler) override {
        handler_ = std::move(handler);
    }
    void set_pictures(const QIcon& window_icon, const QIcon& busy_icon);
    QIcon picture(port::TrayPicture which) const;

    static int mouse_code(QSystemTrayIcon::ActivationReason reason);

private:
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::function<void(int)> handler_;
    QIcon window_icon_, busy_icon_;
};

}  // namespace tlv::desktop
