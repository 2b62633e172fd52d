#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tlv {

// Splits a text at "*" into fields numbered from 0; always at least one
// field, nothing trimmed.  Positions and field numbers are 16-bit: a text of
// 32767 characters or more is failure 6 (overflow).
std::vector<std::string> Splitsen(std::string_view text);

// Joins fields with "*"; more than 32767 fields is failure 6.
std::string Samenvoegen(const std::vector<std::string>& fields);

}  // namespace tlv
