#include "desktop/qt_tray.h"

#include "desktop/qt_text.h"

namespace tlv::desktop {

int QtTrayIcons::mouse_code(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return port::tray_mouse::kLeftButtonUp;
        case QSystemTrayIcon::DoubleClick:
            return port::tray_mouse::kLeftDoubleClick;
        case QSystemTrayIcon::Context:
            return port::tray_mouse::kRightButtonUp;
        default:
            return 0;
    }
}

void QtTrayIcons::set_pictures(const QIcon& window_icon, const QIcon& busy_icon) {
    window_icon_ = window_icon;
    busy_icon_ = busy_icon;
}

QIcon QtTrayIcons::picture(port::TrayPicture which) const {
    return which == port::TrayPicture::Busy ? busy_icon_ : window_icon_;
}

bool QtTrayIcons::notify(port::TrayCommand command, const port::NotifyIconData& data) {
    if (command == port::TrayCommand::Delete) {
        bool had = icon_ != nullptr;
        icon_.reset();
        return had;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    if (!icon_) {
        if (command == port::TrayCommand::Modify) return false;
        icon_ = std::make_unique<QSystemTrayIcon>();
        connect(icon_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    int code = mouse_code(reason);
                    if (code != 0 && handler_) handler_(code);
                });
    }
    icon_->setIcon(picture(data.hIcon));
    icon_->setToolTip(to_qt(data.szTip));
    icon_->show();
    return true;
}

}  // namespace tlv::desktop
