#include "main/ModNotifyIcon.h"

namespace tlv::ModNotifyIcon {

port::NotifyIconData& nid() {
    static port::NotifyIconData record;
    return record;
}

bool Shell_NotifyIcon(port::TrayCommand command, port::TrayPicture icon, std::string_view tip) {
    port::NotifyIconData& record = nid();
    record.hIcon = icon;
    record.szTip = std::string(tip.substr(0, port::NotifyIconData::kTipLength));
    return port::tray().notify(command, record);
}

void Delete() { port::tray().notify(port::TrayCommand::Delete, nid()); }

}  // namespace tlv::ModNotifyIcon
