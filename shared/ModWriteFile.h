#pragma once

#include <string>
#include <string_view>

namespace tlv {

// Replaces the file at path with the text, byte for byte (no line end is
// added).  The text goes to a temporary file in the same folder that is then
// renamed over the target, so a failure leaves the old file untouched.
// Returns "" on success; otherwise the failure is reported ("ModWriteFile",
// "SchrijfBestand", the path, no box) and the report's message is returned.
std::string SchrijfBestand(std::string_view path, std::string_view text);

}  // namespace tlv
