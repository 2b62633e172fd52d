#include "shared/ModWriteFile.h"

#include "shared/ClsError.h"
#include "shared/failure.h"
#include "shared/platform/port.h"

namespace tlv {

std::string SchrijfBestand(std::string_view path, std::string_view text) {
    try {
        port::files().replace(path, text);
        return {};
    } catch (...) {
        return ClsError().error("ModWriteFile", current_failure_number(), __func__, path, false);
    }
}

}  // namespace tlv
