#pragma once

#include <string_view>

namespace tlv {

// True when the path names an existing ordinary file: a regular file (links
// followed) whose name does not begin with "." (a hidden file).  False for
// folders, missing paths and a path ending in the separator.  The path is
// taken literally: "*" and "?" are ordinary characters.
bool DirCheck(std::string_view path);

}  // namespace tlv
