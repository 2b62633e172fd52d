#include "conversion/ClsRoutes.h"

#include "shared/ClsError.h"
#include "shared/failure.h"
#include "shared/int16.h"

namespace tlv {

void ClsRoutes::objWaypoint(std::shared_ptr<ClsWaypoint> val) {
    try {
        increment16(member_count_);
        members_.push_back(std::move(val));
    } catch (...) {
        // The message does not reach the conversion's error text: the log holds it.
        ClsError().error("ClsRoutes", current_failure_number(), __func__, "", false);
    }
}

}  // namespace tlv
