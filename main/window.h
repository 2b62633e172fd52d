#pragma once

#include <string>

namespace tlv {

// The window road of tolvane: the application, the Qt adapter of the port,
// the main window until it unloads.  A failure while the window loads is the
// start-up report of "ModStart"; the result is the exit code.
int run_window(const std::string& exchange, const std::string& text);

}  // namespace tlv
