#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "shared/platform/port.h"

namespace tlv {

class ClsInstellingen;

// What the program's start hands to the window road, across the module
// boundary: the arguments as far as they were read, the program's one
// settings object (so that the file is read once), and its single-instance
// claim, whose channel brings a second start's request to show the window.
struct WindowStart {
    std::string exchange, text;
    std::shared_ptr<ClsInstellingen> settings;
    port::SingleInstance* instance = nullptr;
};

// The window module across its boundary: its name (the file name adds what
// the platform adds), its entry's name and its entry's type.
inline constexpr std::string_view kWindowModule = "tolvanevenster";
#define TLV_WINDOW_ENTRY TolvaneVenster
#define TLV_NAME_OF(symbol) TLV_TEXT_OF(symbol)
#define TLV_TEXT_OF(symbol) #symbol
inline constexpr const char* kWindowEntry = TLV_NAME_OF(TLV_WINDOW_ENTRY);
using WindowEntry = int (*)(const WindowStart* start);

// The window road of tolvane: the application, the Qt adapter of the port,
// the main window until it unloads.  A failure while the window loads is the
// start-up report of "ModStart"; the result is the exit code.
int run_window(const WindowStart& start);

}  // namespace tlv
