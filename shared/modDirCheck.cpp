#include "shared/modDirCheck.h"

#include "shared/platform/port.h"

namespace tlv {

bool DirCheck(std::string_view path) { return port::files().is_plain_file(path); }

}  // namespace tlv
