#pragma once

#include <cstdint>
#include <string_view>

#include "shared/platform/port.h"

// What a deliverable has without a desktop, on every platform: a box is a
// line on standard error answered with the safe choice, a file dialog keeps
// its initial name, there is no tray and no help viewer.
namespace tlv::port::headless {

// The answer of a box shown without a display: its safest button (No to a
// question, Cancel to an error report, OK otherwise).
Answer safe_answer(BoxStyle style);
// Writes "title: text" as a line on standard error; returns the safe answer.
Answer write_box(std::string_view text, std::string_view title, BoxStyle style);

FileDialogs& file_dialogs();
TrayIcons& tray();
HelpViewer& help();

// The key of a single-instance claim: user, program and folder hashed (FNV-1a).
uint64_t claim_key(std::string_view user, std::string_view program, std::string_view folder);

}  // namespace tlv::port::headless
