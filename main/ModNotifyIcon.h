#pragma once

#include <string_view>

#include "shared/platform/port.h"

// The tray icon's one record, which every tray call passes.
namespace tlv::ModNotifyIcon {

inline constexpr std::string_view kWachtOpStrepla = "TolVANE wacht op Strepla";
inline constexpr std::string_view kBezigMetConverteren = "TolVANE is bezig met converteren";

port::NotifyIconData& nid();

// Fills the record (the tip cut at 64 characters) and sends the command.
bool Shell_NotifyIcon(port::TrayCommand command, port::TrayPicture icon, std::string_view tip);
// Removes the icon; removing an icon that is not there changes nothing.
void Delete();

}  // namespace tlv::ModNotifyIcon
